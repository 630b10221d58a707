#include "colour/color_bar.h"

#include <algorithm>
#include <cmath>

#include "sht/angles.h"

namespace {

// A caption's line is as tall as the numbers' rows, which are three tenths of the strip without it.
int WithCaption(int nRows)
{
    return nRows + (nRows * 3) / 10;
}

}  // namespace

int ColorBarStripRows(int nWidth, bool bCaption)
{
    const int nRows = std::max(12, nWidth / 10);
    return bCaption ? WithCaption(nRows) : nRows;
}

ColorBarLayout LayOutColorBar(int nWidth, int nTop, int nHeight, bool bCaption)
{
    // The part above the caption: the largest whose strip with a caption fits in nHeight.
    int nBar = nHeight;
    if (bCaption)
        while (nBar > 0 && WithCaption(nBar) > nHeight)
            --nBar;
    ColorBarLayout layout;
    layout.nLeft = nWidth / 8;
    layout.nRight = nWidth - nWidth / 8;
    layout.nTop = nTop + nBar / 5;
    layout.nBottom = nTop + nBar / 2;
    layout.nMarkBottom = nTop + (nBar * 7) / 10;
    layout.nLabelBottom = nTop + nBar;
    layout.nStripBottom = nTop + nHeight;
    return layout;
}

std::vector<ColorBarTick> ColorBarTicks(const ColorBarLayout& layout, const FieldColoring& coloring)
{
    const double dLow = coloring.dLow, dHigh = coloring.dHigh;
    std::vector<double> aValues;
    if (coloring.mode == ColorMode::kPhase)
        aValues = {-kPi, -kPi / 2.0, 0.0, kPi / 2.0, kPi};
    else
    {
        aValues = {dLow, dLow + (dHigh - dLow) / 2.0, dHigh};
        if (dLow < 0.0 && dHigh > 0.0 && aValues[1] != 0.0)
            aValues.push_back(0.0);
    }
    std::vector<ColorBarTick> aTicks;
    const double dSpan = std::max(layout.nRight - layout.nLeft - 1, 0);
    for (double dValue : aValues)
    {
        const double t = (dValue - dLow) / (dHigh - dLow);
        aTicks.push_back(ColorBarTick{dValue, layout.nLeft + static_cast<int>(std::lround(t * dSpan))});
    }
    return aTicks;
}

void DrawColorBar(const ColorBarLayout& layout, const FieldColoring& coloring, Background background,
                  Picture& picture)
{
    const auto put = [&picture](int x, int y, const Rgb8& rgb) {
        if (x < 0 || y < 0 || x >= picture.nWidth || y >= picture.nHeight)
            return;
        uint8_t* p = &picture.aRgba[(static_cast<size_t>(y) * picture.nWidth + x) * 4];
        p[0] = rgb[0];
        p[1] = rgb[1];
        p[2] = rgb[2];
        p[3] = 255;
    };
    const int nColumns = layout.nRight - layout.nLeft;
    for (int x = layout.nLeft; x < layout.nRight; ++x)
    {
        // The bar runs over the map's whole scale, entry 0 at the left.
        const double t = (x - layout.nLeft + 0.5) / nColumns;
        const Rgb8 rgb = MapColor(*coloring.pMap, t);
        for (int y = layout.nTop; y < layout.nBottom; ++y)
            put(x, y, rgb);
    }
    const Rgb8 mark = background == Background::kWhite ? Rgb8{0, 0, 0} : Rgb8{255, 255, 255};
    const int nMarkWidth = std::max(1, picture.nWidth / 400);
    for (const ColorBarTick& tick : ColorBarTicks(layout, coloring))
        for (int x = tick.nColumn - nMarkWidth / 2; x < tick.nColumn - nMarkWidth / 2 + nMarkWidth; ++x)
            for (int y = layout.nBottom; y < layout.nMarkBottom; ++y)
                put(x, y, mark);
}
