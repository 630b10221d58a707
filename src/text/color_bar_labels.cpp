#include "text/color_bar_labels.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "sht/angles.h"
#include "text/picture_text.h"
#include "text/picture_title.h"

std::string TickText(double dValue, bool bPhase, int nDigits)
{
    if (bPhase)
    {
        // The phase ticks are whole quarters of a turn and halves.
        const long nHalves = std::lround(2.0 * dValue / kPi);
        const char* apszText[] = {"0", "\u03c0/2", "\u03c0"};
        const unsigned long nIndex = static_cast<unsigned long>(std::labs(nHalves));
        return WithPrintMinus(nIndex < 3 ? apszText[nIndex] : "?", nHalves < 0);
    }
    char szText[32];
    std::snprintf(szText, sizeof szText, "%.*g", nDigits, std::fabs(dValue));
    return WithPrintMinus(szText, dValue < 0.0);
}

std::vector<std::string> TickTexts(const std::vector<ColorBarTick>& aTicks, bool bPhase)
{
    // 17 significant digits tell any two doubles apart.
    std::vector<std::string> aTexts;
    for (int nDigits = 4; nDigits <= 17; ++nDigits)
    {
        aTexts.clear();
        for (const ColorBarTick& tick : aTicks)
            aTexts.push_back(TickText(tick.dValue, bPhase, nDigits));
        bool bDistinct = true;
        for (size_t i = 0; i < aTicks.size(); ++i)
            for (size_t j = i + 1; j < aTicks.size(); ++j)
                bDistinct = bDistinct && (aTexts[i] != aTexts[j] || aTicks[i].dValue == aTicks[j].dValue);
        if (bDistinct)
            break;
    }
    return aTexts;
}

namespace {

// The picture's text size, smaller where the numbers' rows below the marks would not hold a line:
// DejaVu Sans's line is about 1.2 of its size, and a fifth is kept clear.
TextStyle LabelStyle(const ColorBarLayout& layout, Background background, const Picture& picture)
{
    TextStyle style;
    const double dRoom = layout.nLabelBottom - layout.nMarkBottom;
    style.dPixelSize = std::min(PictureTextSize(picture.nWidth, picture.nHeight), dRoom / 1.4);
    style.colour = TextColourOn(background);
    return style;
}

}  // namespace

void DrawColorBarLabels(const ColorBarLayout& layout, const FieldColoring& coloring, Background background,
                        Picture& picture)
{
    const TextStyle style = LabelStyle(layout, background, picture);
    const bool bPhase = coloring.mode == ColorMode::kPhase;
    const double dTop = layout.nMarkBottom + style.dPixelSize / 5.0;
    // From left to right; a label that would touch the one before it is left out.
    std::vector<ColorBarTick> aTicks = ColorBarTicks(layout, coloring);
    std::sort(aTicks.begin(), aTicks.end(),
              [](const ColorBarTick& a, const ColorBarTick& b) { return a.nColumn < b.nColumn; });
    const std::vector<std::string> aTexts = TickTexts(aTicks, bPhase);
    const double dGap = style.dPixelSize / 2.0;
    double dLastRight = -HUGE_VAL;
    for (size_t i = 0; i < aTicks.size(); ++i)
    {
        const ColorBarTick& tick = aTicks[i];
        const std::string& strText = aTexts[i];
        const double dHalfWidth = MeasureText(strText, style).dWidth / 2.0;
        const double dCentre = tick.nColumn + 0.5;
        if (dCentre - dHalfWidth < dLastRight + dGap)
            continue;
        DrawText(picture, strText, style, dCentre, dTop, TextAlign::kCentre, TextAnchor::kTop);
        dLastRight = dCentre + dHalfWidth;
    }
}

void DrawColorBarCaption(const ColorBarLayout& layout, const std::string& strCaption, Background background,
                         Picture& picture)
{
    const TextStyle style = LabelStyle(layout, background, picture);
    DrawText(picture, strCaption, style, (layout.nLeft + layout.nRight) / 2.0,
             layout.nLabelBottom + style.dPixelSize / 5.0, TextAlign::kCentre, TextAnchor::kTop);
}
