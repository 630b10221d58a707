#include "maps/map_picture.h"

#include <algorithm>
#include <cmath>

#include "colour/color_bar.h"
#include "sht/angles.h"

namespace {

// The most samples a map's grid takes, unless the field needs more: 512 MiB for a real field.
constexpr int64_t kMaxMapSamples = int64_t{1} << 26;

// The field at (theta, phi) from the four samples around it; phi wraps round the grid.
double Interpolate(const DoubleArray& aValue, int32_t nRows, int32_t nColumns, double dTheta, double dPhi)
{
    const double dRow = dTheta / kPi * (nRows - 1);
    const int32_t i = std::min(static_cast<int32_t>(dRow), nRows - 2);
    const double dFracRow = dRow - i;
    double dColumn = dPhi / kTwoPi * nColumns;
    if (dColumn < 0.0)
        dColumn += nColumns;
    const int32_t j = std::min(static_cast<int32_t>(dColumn), nColumns - 1);
    const double dFracColumn = dColumn - j;
    const int32_t j1 = j + 1 == nColumns ? 0 : j + 1;
    const double* pUpper = aValue.GetData() + static_cast<ptrdiff_t>(i) * nColumns;
    const double* pLower = pUpper + nColumns;
    const double dUpper = pUpper[j] + (pUpper[j1] - pUpper[j]) * dFracColumn;
    const double dLower = pLower[j] + (pLower[j1] - pLower[j]) * dFracColumn;
    return dUpper + (dLower - dUpper) * dFracRow;
}

}  // namespace

int ColorBarStripHeight(ColorMode mode, int nWidth, int nHeight, bool bCaption)
{
    if (mode == ColorMode::kSign)
        return 0;
    return std::min(ColorBarStripRows(nWidth, bCaption), nHeight / 4);
}

int MapPictureHeight(MapProjection projection, ColorMode mode, int nWidth, bool bCaption)
{
    const int nMap = std::max(1, static_cast<int>(std::lround(nWidth / MapAspect(projection))));
    return mode == ColorMode::kSign ? nMap : nMap + ColorBarStripRows(nWidth, bCaption);
}

GridSize MapGrid(int nMapHeight, const Field& field)
{
    const int64_t nPixelRows = std::max(nMapHeight, 1);
    const int64_t nDegree = std::max(FieldMaxDegree(field), 0);
    const int64_t nOrder = std::max(FieldMaxOrder(field), 0);
    int64_t nRows = std::min(20 * (nDegree + 1) + 1, 2 * nPixelRows + 1);
    int64_t nColumns = std::min(40 * (nOrder + 1), 4 * nPixelRows);
    // A very large map is interpolated from fewer samples than its pixels rather than refused.
    const double dShrink =
        std::sqrt(static_cast<double>(nRows * nColumns) / static_cast<double>(kMaxMapSamples));
    if (dShrink > 1.0)
    {
        nRows = static_cast<int64_t>(static_cast<double>(nRows) / dShrink);
        nColumns = static_cast<int64_t>(static_cast<double>(nColumns) / dShrink);
    }
    const GridSize sufficient = SufficientGrid(field);
    return GridSize{std::max({nRows, sufficient.nRows, int64_t{3}}),
                    std::max({nColumns, sufficient.nColumns, int64_t{4}})};
}

MapValueAt InterpolatedSamples(const MapSamples& samples)
{
    return [samples](double dTheta, double dPhi) {
        const bool bComplex = samples.aIm.GetSize() > 0;
        return std::array<double, 2>{
            Interpolate(samples.aRe, samples.nRows, samples.nColumns, dTheta, dPhi),
            bComplex ? Interpolate(samples.aIm, samples.nRows, samples.nColumns, dTheta, dPhi) : 0.0};
    };
}

Picture MakeMapPicture(MapProjection projection, MapFlip flip, const MapValueAt& valueAt,
                       const FieldColoring& coloring, int nWidth, int nHeight, Background background,
                       int nTitleRows, bool bCaption)
{
    Picture picture = BlankPicture(nWidth, nHeight, background);

    const int nStrip = ColorBarStripHeight(coloring.mode, nWidth, nHeight, bCaption);
    const int nMapHeight = nHeight - nStrip;
    const int nMapTop = std::clamp(nTitleRows, 0, nMapHeight);
    // The projection's box, as large as fits, centred in the map's rows below the title.
    const double dAspect = MapAspect(projection);
    const double dBoxWidth = std::min(static_cast<double>(nWidth), (nMapHeight - nMapTop) * dAspect);
    const double dBoxHeight = dBoxWidth / dAspect;
    const double dLeft = (nWidth - dBoxWidth) / 2.0,
                 dTop = nMapTop + (nMapHeight - nMapTop - dBoxHeight) / 2.0;
    for (int y = nMapTop; y < nMapHeight; ++y)
    {
        const double v = 1.0 - 2.0 * (y + 0.5 - dTop) / dBoxHeight;
        uint8_t* pRow = &picture.aRgba[static_cast<size_t>(y) * static_cast<size_t>(nWidth) * 4];
        for (int x = 0; x < nWidth; ++x)
        {
            const double u = 2.0 * (x + 0.5 - dLeft) / dBoxWidth - 1.0;
            double dTheta = 0.0, dPhi = 0.0;
            if (!MapDirection(projection, u, v, dTheta, dPhi))
                continue;
            const std::array<double, 2> value = valueAt(dTheta, flip == MapFlip::kAstro ? -dPhi : dPhi);
            const Rgb8 rgb = ColorOf(coloring, value[0], value[1]);
            uint8_t* p = pRow + static_cast<size_t>(x) * 4;
            p[0] = rgb[0];
            p[1] = rgb[1];
            p[2] = rgb[2];
            p[3] = 255;
        }
    }
    if (nStrip > 0)
        DrawColorBar(LayOutColorBar(nWidth, nMapHeight, nStrip, bCaption), coloring, background, picture);
    return picture;
}
