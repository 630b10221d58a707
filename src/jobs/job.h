#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "camera/camera_math.h"
#include "colour/field_coloring.h"
#include "export/frame_pattern.h"
#include "fields/gravity_header.h"
#include "hydrogen/boundary_surface.h"
#include "hydrogen/orbital_slice.h"
#include "jobs/request.h"
#include "maps/map_projection.h"
#include "mesh/radius_rule.h"
#include "picture/picture.h"
#include "sht/complex_field.h"
#include "sht/field.h"
#include "sht/rotation.h"
#include "sht/sample_grid.h"
#include "text/table_captions.h"

// The picture's size unless told.
constexpr int kDefaultPictureWidth = 800;
constexpr int kDefaultPictureHeight = 600;

// What kind of run a request makes.
enum class JobKind
{
    kSurface,  // the polar-plot surface: pictures, turntables, meshes, values, points, statistics
    kMap,      // a flat map picture
    kTable,    // the table of harmonics, or of the hydrogen-like orbitals of one n
    kOrbital,  // a hydrogen-like orbital's boundary surface: pictures, turntables, meshes, statistics
    kSlice,    // a flat picture of a hydrogen-like orbital in a plane through the nucleus
};

// What a job of a hydrogen-like orbital draws.
struct OrbitalJob
{
    HydrogenOrbital orbital;
    LevelRequest level;  // of the boundary surface
    BoundaryGrid grid;   // its samples
    SlicePlane slice{};  // of kSlice
    SliceQuantity sliceQuantity = SliceQuantity::kPsi;
};

// A request checked and with every default chosen: what the runs read.
struct Job
{
    // Members run from the widest to the narrowest, so that the value packs tightly.
    // The field, in the convention of its input; a coefficient file's is read by the run.
    Field field;
    Rotation rotation;  // of the field before anything is sampled; the identity: none
    // --complex: the field's real and imaginary parts, turned; made by the run (WithTurnedField).
    ComplexField complexField;
    std::string strCoeffsPath;
    GravityHeader gravityHeader;  // the file's model, for an ICGEM file written from it
    std::string strAnalyzePath;
    std::string strConventionNote;            // the convention in force, where the request gave it in part
    const QuantityInfo* pQuantity = nullptr;  // as the request's
    double dHeight = 0.0;
    const ReferenceEllipsoid* pNormalField = nullptr;
    std::optional<double> epoch;
    // --quantity intensity: the fields whose root sum of squares is the value (Bx, By, Bz); the
    // field is then Bz, for its degree.
    std::vector<Field> aMagnitudeParts;
    OrbitalJob orbital;  // of kOrbital, kSlice and a table of orbitals (its n; l and m each cell's)
    RadiusRule radius;
    double dScaleMillimetres = 0.0;  // 0: as built
    Camera camera{};
    std::string strTitle;
    std::string strColorMap;  // empty: the colouring's default
    double dRangeLow = 0.0;
    double dRangeHigh = 0.0;
    FramePattern framePattern;
    std::vector<std::array<double, 2>> aAt;
    std::string strValuesPath;
    std::string strMeshPath;
    std::string strPicturePath;
    std::string strPagePath;
    std::string strOrbital;  // the orbital's name as asked, for a page that offers the others
    std::string strCoeffsOutPath;
    std::string strSpectrumPath;
    Convention outConvention;  // of the coefficients written

    JobKind kind = JobKind::kSurface;
    int32_t l = 0;  // the single harmonic asked for, as asked
    int32_t m = 0;
    int32_t nLmin = 0;   // the degrees kept, from
    int32_t nLmax = -1;  // up to (the highest analysed); -1: all, or the grid's limit
    SampleGrid analyzeGrid = SampleGrid::kLobara;
    int32_t nThetaDiv = 0;
    int32_t nPhiDiv = 0;
    int32_t nColorScheme = 0;
    int nWidth = 0;
    int nHeight = 0;
    int nSupersample = 1;
    Background background = Background::kBlack;
    ColorMode colorMode = ColorMode::kSign;
    MapProjection mapProjection = MapProjection::kMollweide;
    int32_t nTurntableFrames = 0;  // 0: a single picture
    int32_t nTableMax = -1;
    TableLabels tableLabels = TableLabels::kNone;
    Background plotBackground = Background::kWhite;  // of the spectrum's plot

    bool bHarmonic = false;  // a single Y(l, m) was asked for (the default included)
    bool bAnalyzePoints = false;
    bool bNormalizationGiven = false;
    bool bComplex = false;
    bool bSizeGiven = false;
    bool bFit = false;
    bool bRange = false;
    bool bSmooth = false;
    bool bTablePolynomials = false;
    bool bTableCommonScale = false;
    bool bHydrogenTable = false;  // the table of the hydrogen-like orbitals of one n, not of harmonics
    bool bStats = false;
};

// Checks what the request asks for together and chooses every default. Throws RequestError,
// one line, for items that do not go together, a camera that is not one, sizes beyond the
// limits, outputs that would land in one file, and a request for nothing.
Job PlanJob(const Request& request);
