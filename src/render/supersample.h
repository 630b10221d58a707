#pragma once

#include "picture/picture.h"

// The picture of RGBA pixels aRgba (nWidth x nHeight, rows from the top) made nFactor times
// smaller on each side, each pixel the mean of an nFactor x nFactor block, rounded to nearest. With bAlpha
// the colours are averaged by weight of alpha, so that edges against a transparent background keep the
// surface's colour and take partial alpha; the pixels off the surface must then be (0, 0, 0, 0). The sides
// must divide by nFactor.
Picture BoxFilter(const std::vector<uint8_t>& aRgba, int nWidth, int nHeight, int nFactor, bool bAlpha);
