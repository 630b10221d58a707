#include "plots/degree_power_plot.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "plots/axis_ticks.h"
#include "plots/line_layer.h"
#include "text/axis_words.h"
#include "text/picture_text.h"
#include "text/picture_title.h"
#include "text/upward_text.h"

namespace {

// The curve's colour, a blue that reads on white and, lighter, on black.
std::array<uint8_t, 4> CurveColourOn(Background background)
{
    if (background == Background::kBlack)
        return {110, 170, 255, 255};
    return {31, 95, 180, 255};
}

// The plot's frame in pixels: the columns of its left and right lines and the rows of its top
// and bottom lines, each line centred on its pixels.
struct Frame
{
    int nLeft;
    int nRight;
    int nTop;
    int nBottom;
};

bool IsLabelled(int nExponent, const Decades& decades)
{
    return ((nExponent % decades.nStep) + decades.nStep) % decades.nStep == 0;
}

}  // namespace

Picture MakeSpectrumPlot(const std::vector<DegreePower>& aSpectrum, const SpectrumPlotStyle& style)
{
    double dMin = HUGE_VAL, dMax = 0.0;
    for (const DegreePower& row : aSpectrum)
        if (row.dPower > 0.0)
        {
            dMin = std::min(dMin, row.dPower);
            dMax = std::max(dMax, row.dPower);
        }
    if (dMax == 0.0)
        throw std::invalid_argument("the field is 0 everywhere: its spectrum has no power to plot");

    const int nWidth = style.nWidth, nHeight = style.nHeight;
    const double dText = PictureTextSize(nWidth, nHeight);
    const TextStyle numbers{dText, TextColourOn(style.background), true};
    const double dLine = 1.2 * dText;  // a line of text
    const double dTick = 0.5 * dText;
    const double dGap = 0.3 * dText;

    // From the top and bottom, the plot's height; from it the decades labelled, their widest
    // label and so the left margin; then the width and the degrees' ticks.
    const int nTitle = TitleHeight(style.strTitle, nWidth, nHeight);
    Frame frame{0, 0, static_cast<int>(std::ceil(std::max<double>(nTitle, dText))), 0};
    frame.nBottom =
        static_cast<int>(std::floor(nHeight - (dTick + dGap + dLine + dGap + dLine + 0.5 * dText)));
    const int nMaxLabels = static_cast<int>((frame.nBottom - frame.nTop) / (2.5 * dText));
    const Decades decades = DecadesOf(dMin, dMax, nMaxLabels);
    double dLabelWidth = 0.0;
    for (int e = decades.nLow; e <= decades.nHigh; ++e)
        if (IsLabelled(e, decades))
            dLabelWidth = std::max(dLabelWidth, MeasureText(PowerOfTenMarkup(e), numbers).dWidth);
    frame.nLeft = static_cast<int>(std::ceil(0.5 * dText + dLine + dGap + dLabelWidth + dGap + dTick));
    const int nMaxDegree = aSpectrum.back().l;
    const double dLastWidth = MeasureText(std::to_string(nMaxDegree), numbers).dWidth;
    frame.nRight = static_cast<int>(std::floor(nWidth - std::max(dText, dLastWidth / 2.0 + dText / 2.0)));
    if (frame.nRight - frame.nLeft < 4.0 * dText || frame.nBottom - frame.nTop < 4.0 * dText || dText < 4.0)
        throw std::invalid_argument("a picture of " + std::to_string(nWidth) + " x " +
                                    std::to_string(nHeight) + " leaves no room for the spectrum's plot");

    Picture picture = BlankPicture(nWidth, nHeight, style.background);

    // Degree l at column X(l), power P at row Y(log10 P), both at pixel centres.
    const double dLeft = frame.nLeft + 0.5, dRight = frame.nRight + 0.5;
    const double dTop = frame.nTop + 0.5, dBottom = frame.nBottom + 0.5;
    const double dDegreeSpan = std::max(nMaxDegree, 1);
    const auto X = [&](double l) { return dLeft + l / dDegreeSpan * (dRight - dLeft); };
    const auto Y = [&](double dLog) {
        return dBottom - (dLog - decades.nLow) / (decades.nHigh - decades.nLow) * (dBottom - dTop);
    };

    // The frame and the ticks, outside it.
    const double dFrameWidth = std::max(1.0, std::round(dText / 12.0));
    CLineLayer axes(nWidth, nHeight);
    axes.AddSegment(dLeft, dTop, dRight, dTop, dFrameWidth);
    axes.AddSegment(dRight, dTop, dRight, dBottom, dFrameWidth);
    axes.AddSegment(dRight, dBottom, dLeft, dBottom, dFrameWidth);
    axes.AddSegment(dLeft, dBottom, dLeft, dTop, dFrameWidth);
    const std::vector<double> aDegreeTicks =
        LinearTicks(0.0, nMaxDegree,
                    static_cast<int>((dRight - dLeft) / (std::max(dLastWidth, dText) + 2.0 * dText)), 1.0);
    for (const double l : aDegreeTicks)
    {
        const double dX = std::round(X(l) - 0.5) + 0.5;
        axes.AddSegment(dX, dBottom, dX, dBottom + dTick, dFrameWidth);
        DrawText(picture, std::to_string(static_cast<long>(l)), numbers, dX, dBottom + dTick + dGap,
                 TextAlign::kCentre, TextAnchor::kTop);
    }
    for (int e = decades.nLow; e <= decades.nHigh; ++e)
    {
        const double dY = std::round(Y(e) - 0.5) + 0.5;
        const bool bLabelled = IsLabelled(e, decades);
        axes.AddSegment(dLeft - (bLabelled ? dTick : dTick / 2.0), dY, dLeft, dY, dFrameWidth);
        if (bLabelled)
            DrawText(picture, PowerOfTenMarkup(e), numbers, dLeft - dTick - dGap, dY + 0.35 * dText,
                     TextAlign::kRight, TextAnchor::kBaseline);
        // Within a decade, the minor ticks of 2 to 9 where they have room.
        if (decades.nStep == 1 && e < decades.nHigh && Y(e) - Y(e + 1) > 4.0 * dText)
            for (int k = 2; k <= 9; ++k)
                axes.AddSegment(dLeft - dTick / 2.0, Y(e + std::log10(k)), dLeft, Y(e + std::log10(k)),
                                dFrameWidth);
    }
    axes.DrawOnto(picture, TextColourOn(style.background));

    // The axes' titles and the picture's.
    DrawText(picture, DegreeAxisMarkup(), numbers, (dLeft + dRight) / 2.0, nHeight - 0.5 * dText,
             TextAlign::kCentre, TextAnchor::kBottom);
    DrawUpwardText(picture, PowerAxisMarkup(), numbers, 0.5 * dText + dLine / 2.0, (dTop + dBottom) / 2.0);
    DrawTitle(picture, style.strTitle, style.background);

    // The curve: successive degrees with power joined, the points marked when they are few.
    const double dCurveWidth = std::max(1.5, dText / 7.0);
    CLineLayer curve(nWidth, nHeight);
    const bool bMarked = aSpectrum.size() <= 64;
    for (size_t i = 0; i < aSpectrum.size(); ++i)
    {
        if (!(aSpectrum[i].dPower > 0.0))
            continue;
        const double dX = X(aSpectrum[i].l), dY = Y(std::log10(aSpectrum[i].dPower));
        if (i > 0 && aSpectrum[i - 1].dPower > 0.0)
            curve.AddSegment(X(aSpectrum[i - 1].l), Y(std::log10(aSpectrum[i - 1].dPower)), dX, dY,
                             dCurveWidth);
        else
            curve.AddDot(dX, dY, dCurveWidth);
        if (bMarked)
            curve.AddDot(dX, dY, 3.0 * dCurveWidth);
    }
    curve.DrawOnto(picture, CurveColourOn(style.background));
    return picture;
}
