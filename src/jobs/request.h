#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "colour/field_coloring.h"
#include "geodesy/field_quantity.h"
#include "geodesy/reference_ellipsoid.h"
#include "maps/map_projection.h"
#include "mesh/radius_rule.h"
#include "picture/picture.h"
#include "sht/convention.h"
#include "sht/rotation.h"
#include "sht/sample_grid.h"
#include "text/table_captions.h"

// Everything one run asks for, as a front end was told it: each item that may be left out is
// empty until given, and the run chooses its default then. No item is text of a command line;
// a front end reads its own words into these values.
struct Request
{
    // The field: at most one source; none is the viewer's Y(2, 0).
    std::optional<int32_t> l;
    std::optional<int32_t> m;
    std::vector<Term> aTerms;        // C * Y(L, M), added up
    std::vector<double> aAcn;        // ambisonic channels in ACN order
    std::string strCoeffsPath;       // a coefficient file
    std::string strOrbital;          // an orbital by name
    std::string strAnalyzePath;      // sampled values, whose coefficients make the field
    std::optional<SampleGrid> grid;  // where those values lie: a grid (lobara unless told),
    bool bGridPoints = false;        // or scattered points
    std::optional<int32_t> nLmin;    // the degrees of the field kept, from
    std::optional<int32_t> nLmax;    // and up to (for an analysis, the highest analysed)
    // Its convention: each part the input's own unless given.
    std::optional<Normalization> normalization;
    bool bCondonShortley = false;
    std::optional<SineSign> sine;
    std::optional<Convention> convention;  // all three at once, by a common set's name
    bool bComplex = false;                 // the complex harmonics instead of the real ones
    bool bDensity = false;                 // --slice shows |psi|^2 (see the orbital's items below)
    std::vector<Rotation> aRotations;      // turns of the field, the first applied first
    // A hydrogen-like orbital instead of a field of harmonics: its n, l and m (an --orbital name
    // with a principal number gives them too), the nuclear charge, and the surface drawn: the one
    // that encloses a probability or that of a value of |psi|; or its slice through the nucleus
    // (the plane by its normal), of psi or of |psi|^2.
    std::optional<std::array<int32_t, 3>> hydrogen;
    std::optional<int32_t> nHydrogenShell;  // --hydrogen N alone: every orbital of that n, for --table
    std::optional<double> dCharge;
    std::optional<double> dEnclose;
    std::optional<double> dIso;
    std::optional<std::array<double, 3>> sliceNormal;
    // What a gravity or magnetic model of the file gives: its quantity at a height (metres above
    // the model's sphere), the normal field removed, the model at an epoch (days,
    // fields/model_time.h).
    const QuantityInfo* pQuantity = nullptr;
    std::optional<double> dHeight;
    const ReferenceEllipsoid* pNormalField = nullptr;
    std::optional<double> epoch;

    // The sample grid and the surface on it.
    std::optional<int32_t> nThetaDiv;
    std::optional<int32_t> nPhiDiv;
    std::optional<RadiusRule> radius;
    std::optional<double> dCore;              // the radius rule offset:R
    std::optional<double> dScaleMillimetres;  // of the mesh's largest extent

    // Pictures.
    std::optional<int32_t> nColorScheme;
    std::optional<std::array<double, 3>> from;
    std::optional<std::array<double, 3>> to;
    bool bFit = false;
    std::optional<std::array<int, 2>> size;  // width, height
    std::optional<int> nSupersample;
    std::optional<Background> background;
    std::optional<std::string> title;
    std::optional<ColorMode> colorMode;
    std::optional<std::string> colorMap;
    std::optional<std::array<double, 2>> range;  // low, high
    bool bSmooth = false;
    std::optional<MapProjection> map;
    std::optional<int32_t> nTurntableFrames;
    std::optional<int32_t> nTableMax;
    std::optional<TableLabels> tableLabels;
    bool bTable = false;  // --table, with or without its LMAX
    bool bTablePolynomials = false;
    std::optional<bool> bTableCommonScale;

    // What comes out: printed lines, and files.
    std::vector<std::array<double, 2>> aAt;  // theta, phi
    std::string strValuesPath;
    std::string strMeshPath;
    std::string strPicturePath;    // with turntable frames, the pattern of their names
    std::string strPagePath;       // the interactive HTML page of the surface
    std::string strCoeffsOutPath;  // the field's coefficients
    std::string strSpectrumPath;   // the power of each degree: CSV, or a plot for a .png name
    bool bStats = false;           // the run's numbers printed as one line
    // Their convention: each part the output format's own unless given.
    std::optional<Normalization> outNormalization;
    bool bOutCondonShortley = false;
    std::optional<SineSign> outSine;
};
