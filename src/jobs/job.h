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
#include "jobs/geodetic_items.h"
#include "jobs/healpix_job.h"
#include "jobs/orbital_values.h"
#include "maps/map_projection.h"
#include "mesh/radius_rule.h"
#include "options/option_table.h"
#include "options/request.h"
#include "picture/picture.h"
#include "sht/complex_field.h"
#include "sht/field.h"
#include "sht/rotation.h"
#include "sht/sample_grid.h"
#include "text/table_captions.h"

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
    OrbitalValuesJob values;  // psi at points and on a box, of kOrbital
};

// A request checked, with what the plan made of it: what the runs read. The options' own values
// are the request's (request.Value(opt::kTheta): the value given or the declared default); the
// members below are those the plan works out from several options, or whose default depends on
// the rest of the request.
struct Job
{
    Request request;
    // The field, in the convention of its input; a coefficient file's is read by the run.
    Field field;
    Rotation rotation;  // of the field before anything is sampled; the identity: none
    // --complex: the field's real and imaginary parts, turned; made by the run (WithTurnedField).
    ComplexField complexField;
    GravityHeader gravityHeader;    // the file's model, for an ICGEM file written from it
    std::string strConventionNote;  // the convention in force, where the request gave it in part
    // --quantity intensity: the fields whose root sum of squares is the value (Bx, By, Bz); the
    // field is then Bz, for its degree.
    std::vector<Field> aMagnitudeParts;
    OrbitalJob orbital;  // of kOrbital, kSlice and a table of orbitals (its n; l and m each cell's)
    RadiusRule radius;   // --radius, or --core's
    Camera camera{};     // --from and --to
    FramePattern framePattern;
    Convention outConvention;                     // of the coefficients written
    GeodeticItems geodetic;                       // what a model's quantity is asked at geodetic places
    SampleGrid valuesGrid = SampleGrid::kLobara;  // where --values samples the field
    HealpixJob healpix;                           // --grid healpix, .fits values files
    MapFlip mapFlip = MapFlip::kGeo;              // --flip, or the map's own default

    JobKind kind = JobKind::kSurface;
    int32_t nLmin = 0;   // the degrees kept, from
    int32_t nLmax = -1;  // up to (the highest analysed); -1: all, or the grid's limit
    int32_t nTableMax = -1;
    ColorMode colorMode = ColorMode::kSign;
    Background plotBackground = Background::kWhite;  // of the spectrum's plot

    bool bHarmonic = false;  // a single Y(l, m) was asked for (the default included)
    bool bNormalizationGiven = false;
    bool bSizeGiven = false;      // a map's or slice's size was given, not its own shape's
    bool bFit = false;            // --fit, or an orbital's camera that was not placed
    bool bHydrogenTable = false;  // the table of the hydrogen-like orbitals of one n, not of harmonics
};

// Checks what the request asks for together and chooses every default. Throws RequestError,
// one line, for items that do not go together, a camera that is not one, sizes beyond the
// limits, outputs that would land in one file, and a request for nothing.
Job PlanJob(const Request& request);
