#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "camera/camera_math.h"
#include "export/frame_pattern.h"
#include "export/picture.h"
#include "lobara-render/usage_error.h"
#include "surface/color_schemes.h"
#include "surface/field.h"
#include "surface/field_coloring.h"
#include "surface/map_projection.h"
#include "surface/radius_rule.h"
#include "surface/sampling_defaults.h"
#include "text/table_captions.h"

// What one run of lobara-render is asked to do. The defaults are the viewer's.
struct RenderOptions
{
    int32_t nL = kDefaultL;
    int32_t nM = kDefaultM;
    std::vector<Term> aTerms;          // --term L,M,C; empty: none given
    std::vector<double> aAcn;          // --acn C0,C1,...; empty: none given
    std::string strCoeffsPath;         // --coeffs FILE; empty: none given
    std::string strOrbital;            // --orbital NAME; empty: none given
    int32_t nLmax = -1;                // --lmax L: the file's degrees kept; -1: all
    bool bNormalizationGiven = false;  // --norm was given
    Convention convention;             // --norm, --cs, --sine, or the defaults of the input
    Field field;                       // what is sampled: Y(l, m), the terms, the ACN list or the orbital
                                       // (for --coeffs only its convention: the run reads the file)
    std::vector<std::array<double, 2>> aAt;  // --at THETA,PHI: print the field's value there
    RadiusRule radius;                       // --radius or --core: how far each sample lies
    double dScaleMillimetres = 0.0;          // --scale MM for meshes; 0: as built
    int32_t nThetaDiv = kDefaultThetaDiv;
    int32_t nPhiDiv = kDefaultPhiDiv;
    int32_t nColorScheme = kDefaultColorScheme;
    Camera camera = kDefaultCamera;
    int nWidth = 800;
    int nHeight = 600;
    bool bFit = false;  // choose the distance From-To that frames the surface
    int nSupersample = 1;
    Background background = Background::kBlack;
    bool bStats = false;
    std::string strValuesPath;   // empty: no values file
    std::string strMeshPath;     // empty: no mesh file
    std::string strPicturePath;  // empty: no picture; with turntable frames, the pattern of their names
    std::string strTitle;        // --title TEXT; empty: none
    int32_t nTableMax = -1;      // --table LMAX; -1: no table
    TableLabels tableLabels = TableLabels::kNone;
    bool bTablePolynomials = false;          // --table-polynomials: the orbitals' polynomials too
    bool bTableCommonScale = false;          // --table-scale common: one distance for every cell
    int32_t nTurntableFrames = 0;            // --turntable N; 0: a single picture
    FramePattern framePattern;               // the frame names of a turntable
    std::string strInfo;                     // --help or --version: print this and do nothing else
    bool bSizeGiven = false;                 // --size was given
    bool bComplex = false;                   // --complex: the field of the complex harmonics
    ColorMode colorMode = ColorMode::kSign;  // --color, or the default of the field and output
    std::string strColorMap;                 // --colormap NAME; empty: the default of the colouring
    bool bRange = false;                     // --range LO,HI was given
    double dRangeLow = 0.0;
    double dRangeHigh = 0.0;
    bool bSmooth = false;  // --smooth: normals per vertex
    bool bMap = false;     // --map: a flat map instead of the 3D picture
    MapProjection mapProjection = MapProjection::kMollweide;
};

// Reads argv[1..argc-1]. Options take their value as the next argument or after '='.
// Throws UsageError for an unknown option, a missing or malformed value, options that do not
// go together, From = To, and when nothing is asked for.
RenderOptions ParseRenderOptions(int argc, const char* const* argv);
