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
    kTable,    // the table of harmonics
};

// A request checked and with every default chosen: what the runs read.
struct Job
{
    JobKind kind = JobKind::kSurface;
    // The field, in the convention of its input; a coefficient file's is read by the run.
    Field field;
    Rotation rotation;  // of the field before anything is sampled; the identity: none
    // --complex: the field's real and imaginary parts, turned; made by the run (WithTurnedField).
    ComplexField complexField;
    bool bHarmonic = false;  // a single Y(l, m) was asked for (the default included)
    int32_t l = 0;           // that harmonic, as asked
    int32_t m = 0;
    std::string strCoeffsPath;
    GravityHeader gravityHeader;  // the file's model, for an ICGEM file written from it
    int32_t nLmin = 0;            // the degrees kept, from
    int32_t nLmax = -1;           // up to (the highest analysed); -1: all, or the grid's limit
    std::string strAnalyzePath;
    SampleGrid analyzeGrid = SampleGrid::kLobara;
    bool bAnalyzePoints = false;
    bool bNormalizationGiven = false;
    std::string strConventionNote;  // the convention in force, where the request gave it in part
    bool bComplex = false;
    const QuantityInfo* pQuantity = nullptr;  // as the request's
    double dHeight = 0.0;
    const ReferenceEllipsoid* pNormalField = nullptr;
    std::optional<double> epoch;
    // --quantity intensity: the fields whose root sum of squares is the value (Bx, By, Bz); the
    // field is then Bz, for its degree.
    std::vector<Field> aMagnitudeParts;

    int32_t nThetaDiv = 0;
    int32_t nPhiDiv = 0;
    RadiusRule radius;
    double dScaleMillimetres = 0.0;  // 0: as built

    int32_t nColorScheme = 0;
    Camera camera{};
    int nWidth = 0;
    int nHeight = 0;
    bool bSizeGiven = false;
    bool bFit = false;
    int nSupersample = 1;
    Background background = Background::kBlack;
    std::string strTitle;
    ColorMode colorMode = ColorMode::kSign;
    std::string strColorMap;  // empty: the colouring's default
    bool bRange = false;
    double dRangeLow = 0.0;
    double dRangeHigh = 0.0;
    bool bSmooth = false;
    MapProjection mapProjection = MapProjection::kMollweide;
    int32_t nTurntableFrames = 0;  // 0: a single picture
    FramePattern framePattern;
    int32_t nTableMax = -1;
    TableLabels tableLabels = TableLabels::kNone;
    bool bTablePolynomials = false;
    bool bTableCommonScale = false;

    bool bStats = false;
    std::vector<std::array<double, 2>> aAt;
    std::string strValuesPath;
    std::string strMeshPath;
    std::string strPicturePath;
    std::string strCoeffsOutPath;
    Convention outConvention;  // of the coefficients written
    std::string strSpectrumPath;
    Background plotBackground = Background::kWhite;  // of the spectrum's plot
};

// Checks what the request asks for together and chooses every default. Throws RequestError,
// one line, for items that do not go together, a camera that is not one, sizes beyond the
// limits, outputs that would land in one file, and a request for nothing.
Job PlanJob(const Request& request);
