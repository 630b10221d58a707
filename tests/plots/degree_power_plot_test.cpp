// The spectrum's plot read back from its pixels: a frame of long dark lines, numbers left of
// it and below it, a title above, and the curve, a straight line falling from the top left to
// the bottom right for a power that falls by a decade a degree.
#include "plots/degree_power_plot.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

#include "plots/axis_ticks.h"
#include "text/axis_words.h"

namespace {

const uint8_t* PixelAt(const Picture& picture, int x, int y)
{
    return &picture.aRgba[(static_cast<size_t>(y) * picture.nWidth + x) * 4];
}

bool IsDark(const Picture& picture, int x, int y)
{
    const uint8_t* p = PixelAt(picture, x, y);
    return p[0] < 128 && p[1] < 128 && p[2] < 128 && (!picture.bAlpha || p[3] > 128);
}

bool IsCurve(const Picture& picture, int x, int y)
{
    const uint8_t* p = PixelAt(picture, x, y);
    return p[2] > p[0] + 80;
}

// Whether a pixel of the rectangle is dark: text or lines drawn there.
bool HasInk(const Picture& picture, int nLeft, int nTop, int nRight, int nBottom)
{
    for (int y = nTop; y < nBottom; ++y)
        for (int x = nLeft; x < nRight; ++x)
            if (IsDark(picture, x, y))
                return true;
    return false;
}

std::vector<DegreePower> FallingByADecade(int32_t nMax)
{
    std::vector<DegreePower> aRows;
    for (int32_t l = 0; l <= nMax; ++l)
        aRows.push_back(DegreePower{l, std::pow(10.0, -l), 0.0, 0.0});
    return aRows;
}

TEST(SpectrumPlot, HasAFrameNumbersTitlesAndTheCurve)
{
    SpectrumPlotStyle style;
    style.strTitle = "Spectrum";
    const Picture picture = MakeSpectrumPlot(FallingByADecade(6), style);
    ASSERT_EQ(picture.nWidth, 800);
    ASSERT_EQ(picture.nHeight, 600);
    EXPECT_FALSE(IsDark(picture, 0, 0));

    // The frame: the first dark column from the left across the middle row, dark for most of the
    // height, and the last dark row up the middle column, dark for most of the width.
    int nLeft = 0;
    while (nLeft < 400 &&
           !(IsDark(picture, nLeft, 300) && IsDark(picture, nLeft, 250) && IsDark(picture, nLeft, 350)))
        ++nLeft;
    int nBottom = 599;
    while (nBottom > 300 &&
           !(IsDark(picture, 400, nBottom) && IsDark(picture, 450, nBottom) && IsDark(picture, 350, nBottom)))
        --nBottom;
    ASSERT_LT(nLeft, 400);
    ASSERT_GT(nBottom, 300);
    int nColumnRun = 0, nRowRun = 0;
    for (int y = 0; y < 600; ++y)
        nColumnRun += IsDark(picture, nLeft, y);
    for (int x = 0; x < 800; ++x)
        nRowRun += IsDark(picture, x, nBottom);
    EXPECT_GT(nColumnRun, 400);
    EXPECT_GT(nRowRun, 550);

    // The numbers of the powers left of the ticks, those of the degrees and the axis's title
    // below them, the title above the frame.
    EXPECT_TRUE(HasInk(picture, 30, 60, nLeft - 10, nBottom));
    EXPECT_TRUE(HasInk(picture, nLeft, nBottom + 10, 800, nBottom + 30));
    EXPECT_TRUE(HasInk(picture, nLeft, 570, 800, 600));
    EXPECT_TRUE(HasInk(picture, 0, 0, 800, 40));
    EXPECT_TRUE(HasInk(picture, 0, 100, 30, 500));  // the power's title, upward

    // The curve: its rows fall evenly from the left of the frame to the right.
    std::vector<double> aRows;
    for (int x = nLeft + 5; x < 790; x += 40)
    {
        double dSum = 0.0;
        int nCount = 0;
        for (int y = 0; y < nBottom; ++y)
            if (IsCurve(picture, x, y))
            {
                dSum += y;
                ++nCount;
            }
        if (nCount > 0)
            aRows.push_back(dSum / nCount);
    }
    ASSERT_GT(aRows.size(), 10u);
    for (size_t i = 2; i < aRows.size(); ++i)
        EXPECT_NEAR(aRows[i] - aRows[i - 1], aRows[1] - aRows[0], 3.0);
    EXPECT_GT(aRows[1], aRows[0] + 5.0);
}

TEST(SpectrumPlot, OnNothingOnlyTheLinesAndWordsAreOpaque)
{
    SpectrumPlotStyle style;
    style.background = Background::kTransparent;
    const Picture picture = MakeSpectrumPlot(FallingByADecade(40), style);
    EXPECT_TRUE(picture.bAlpha);
    EXPECT_EQ(PixelAt(picture, 0, 0)[3], 0);
    EXPECT_TRUE(HasInk(picture, 0, 0, 800, 600));
}

TEST(SpectrumPlot, RefusesAFieldWithoutPowerAndAPictureWithoutRoom)
{
    EXPECT_THROW(MakeSpectrumPlot({DegreePower{0, 0.0, 0.0, 0.0}}, SpectrumPlotStyle{}),
                 std::invalid_argument);
    EXPECT_THROW(MakeSpectrumPlot(FallingByADecade(3), SpectrumPlotStyle{60, 40, "", Background::kWhite}),
                 std::invalid_argument);
}

TEST(SpectrumPlot, TicksAreRoundNumbersAndDecadesHoldEveryPower)
{
    EXPECT_EQ(LinearTicks(0.0, 100.0, 6, 1.0), (std::vector<double>{0, 20, 40, 60, 80, 100}));
    EXPECT_EQ(LinearTicks(0.0, 3.0, 10, 1.0), (std::vector<double>{0, 1, 2, 3}));
    const Decades decades = DecadesOf(2e-8, 0.5, 5);
    EXPECT_EQ(decades.nLow, -8);
    EXPECT_EQ(decades.nHigh, 0);
    EXPECT_EQ(decades.nStep, 2);
    const Decades single = DecadesOf(1.0, 1.0, 5);
    EXPECT_EQ(single.nLow, -1);
    EXPECT_EQ(single.nHigh, 1);
    EXPECT_EQ(PowerOfTenMarkup(-3), "10<sup>\u22123</sup>");
}

}  // namespace
