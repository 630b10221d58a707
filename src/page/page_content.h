#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "colour/color_maps.h"
#include "infra/growable_array.h"
#include "mesh/radius_rule.h"
#include "mesh/surface_mesh.h"
#include "picture/picture.h"
#include "sht/convention.h"

// A field that the page can synthesise itself, so that its controls may change it: terms of the
// program's own harmonics (ortho, no phase, sine lobara), as the viewer draws them.
struct PageLiveField
{
    std::vector<Term> aTerms;  // the field shown first
    int32_t l = 0;             // the degree and order the controls show first
    int32_t m = 0;
    std::string strOrbital;  // the orbital shown first; empty for a harmonic
    // Every orbital the page offers by name, each with its terms in the own harmonics.
    std::vector<std::pair<std::string, std::vector<Term>>> aOrbitals;
};

// The rates of the gestures, as the program's camera takes them: degrees of turn and eye units of
// pan a pixel, the least zoom factor of a step, the wheel's pixels that halve the size and the
// pixels of a line of a wheel that counts lines.
struct PageGestures
{
    double dDegreesPerPixel = 0.0;
    double dPanPerPixel = 0.0;
    double dMinZoom = 0.0;
    double dWheelPixelsPerHalving = 0.0;
    double dWheelLinePixels = 0.0;
};

// Everything one page holds: the surface as the sample grid it is built from (or as triangles),
// how it is placed and coloured, the camera it starts from and the pictures of its words.
struct PageContent
{
    int nWidth = 0;  // the picture of --size, which the page draws first
    int nHeight = 0;
    int nSupersample = 1;
    Background background = Background::kBlack;
    double from[3] = {0.0, 0.0, 0.0};  // the camera the page starts from and resets to
    double to[3] = {0.0, 0.0, 0.0};
    int32_t nThetaDiv = 0;
    int32_t nPhiDiv = 0;
    RadiusRule radius;
    bool bSmooth = false;
    int32_t nColorScheme = 0;
    // The value at each sample (|f| for a complex field), when the page does not synthesise it.
    const DoubleArray* pValues = nullptr;
    // A surface of triangles instead of the grid's (an orbital's boundary surface): every face a
    // triangle A, B, C whose fourth corner is C again, as pictures draw it.
    const SurfaceMesh* pTriangles = nullptr;
    std::vector<Rgb8> aVertexColors;  // one a sample (a vertex) for --color phase or value; empty by sign
    std::string strTitle;
    std::string strTitlePng;  // the title drawn as the picture draws it, over nothing
    std::string strBarPng;    // the colour bar of phase and value colourings, with its numbers
    int nBarRows = 0;         // the bar's rows at the bottom of the picture, where no surface is drawn
    PageGestures gestures;
    bool bLive = false;
    PageLiveField live;
};
