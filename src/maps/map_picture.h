#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "colour/field_coloring.h"
#include "infra/growable_array.h"
#include "maps/map_projection.h"
#include "picture/picture.h"
#include "sht/field.h"

// A flat map of a field: the projection fitted to the top of the picture, centred, and under it,
// unless the colouring is by sign, a strip with the colour bar, and with a line for its caption
// where bCaption.

// The rows of the colour bar's strip in a picture of nWidth x nHeight (0 for sign colouring).
int ColorBarStripHeight(ColorMode mode, int nWidth, int nHeight, bool bCaption);

// The picture height that fits the projection at nWidth, with the strip of the bar.
int MapPictureHeight(MapProjection projection, ColorMode mode, int nWidth, bool bCaption);

// The grid a map of nMapHeight pixel rows samples the field on: about 40 samples to each period
// of the field's highest degree along theta and of its highest order along phi, which keeps the
// bilinear interpolation within 0.3 % of the field's amplitude (finer than a colour map's 256
// entries), but no more than two to each pixel row (four round the equator), and no more than
// 2^26 in all; never below SufficientGrid.
GridSize MapGrid(int nMapHeight, const Field& field);

// The field sampled on an nRows x nColumns grid of the surfaces (index i * nColumns + j): aRe,
// and aIm for a complex field (empty for a real one).
struct MapSamples
{
    const DoubleArray& aRe;
    const DoubleArray& aIm;
    int32_t nRows;
    int32_t nColumns;
};

// The value (re, im; im 0 for a real field) shown in the direction (theta, phi), theta from 0 to
// pi and phi from -pi to pi.
using MapValueAt = std::function<std::array<double, 2>(double dTheta, double dPhi)>;

// The values of the samples interpolated bilinearly in theta and phi; samples must outlive it.
MapValueAt InterpolatedSamples(const MapSamples& samples);

// The map picture of nWidth x nHeight: at each pixel's centre the value valueAt gives, coloured,
// phi turned to -phi where flip is astro; the background elsewhere. The projection keeps clear of
// the nTitleRows at the top, where a title goes.
Picture MakeMapPicture(MapProjection projection, MapFlip flip, const MapValueAt& valueAt,
                       const FieldColoring& coloring, int nWidth, int nHeight, Background background,
                       int nTitleRows, bool bCaption);
