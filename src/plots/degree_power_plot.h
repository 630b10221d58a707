#pragma once

#include <string>
#include <vector>

#include "picture/picture.h"
#include "sht/degree_power.h"

// The plot of a power spectrum as papers show it: the power of each degree on a logarithmic
// axis against the degree, the points of successive degrees joined (a degree without power
// breaks the line; up to 64 degrees each point is marked), a frame with ticks outside, numbered
// through the text layer, the axes' titles and the picture's title above.
struct SpectrumPlotStyle
{
    int nWidth = 800;
    int nHeight = 600;
    std::string strTitle;  // empty: none
    Background background = Background::kWhite;
};

// Throws std::invalid_argument, saying why, when no degree has power (a field 0 everywhere) or
// the picture leaves no room for the plot.
Picture MakeSpectrumPlot(const std::vector<DegreePower>& aSpectrum, const SpectrumPlotStyle& style);
