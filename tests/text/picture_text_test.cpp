// Text in pictures against DejaVu Sans's own metrics (font units of 2048 to the em): the
// digits' advance of 1303, ascent 1901 and descent 483, and the H's ink from x = 201 to 1339
// and up to the cap height of 1493. They hold only in that font and without hinting.

#include "text/picture_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

constexpr double kEm = 2048.0;
constexpr double kSize = 100.0;

Picture Blank(int nWidth, int nHeight, bool bAlpha)
{
    return Picture{nWidth, nHeight, bAlpha,
                   std::vector<uint8_t>(static_cast<size_t>(nWidth * nHeight) * 4, 0)};
}

// The box of the pixels whose red channel the text raised above nLevel.
struct Ink
{
    int nLeft = 1 << 30, nTop = 1 << 30, nRight = -1, nBottom = -1;
};

Ink InkOf(const Picture& picture, int nLevel)
{
    Ink ink;
    for (int y = 0; y < picture.nHeight; ++y)
        for (int x = 0; x < picture.nWidth; ++x)
            if (picture.aRgba[(static_cast<size_t>(y) * static_cast<size_t>(picture.nWidth) +
                               static_cast<size_t>(x)) *
                              4] > nLevel)
            {
                ink.nLeft = std::min(ink.nLeft, x);
                ink.nRight = std::max(ink.nRight, x + 1);
                ink.nTop = std::min(ink.nTop, y);
                ink.nBottom = std::max(ink.nBottom, y + 1);
            }
    return ink;
}

const TextStyle kWhite{kSize, {255, 255, 255, 255}, false};

}  // namespace

TEST(PictureText, MeasuresInTheFontsOwnMetrics)
{
    const TextExtent extent = MeasureText("0123456789", kWhite);
    EXPECT_NEAR(extent.dWidth, 10 * 1303 / kEm * kSize, 0.1);
    EXPECT_NEAR(extent.dAscent, 1901 / kEm * kSize, 1.0);
    EXPECT_NEAR(extent.dDescent, 483 / kEm * kSize, 1.0);
    // Not text, or no size: nothing.
    EXPECT_EQ(MeasureText("\xff\xfe", kWhite).dWidth, 0.0);
    EXPECT_FALSE(IsDrawableText("\xc3", false));
    EXPECT_FALSE(IsDrawableText("p<sub>x", true));
    EXPECT_TRUE(IsDrawableText("p<sub>x</sub> − ²", true));
    EXPECT_EQ(MeasureText("0", TextStyle{std::numeric_limits<double>::quiet_NaN(), {}, false}).dWidth, 0.0);
    EXPECT_EQ(MeasureText("0", TextStyle{-3.0, {}, false}).dWidth, 0.0);
}

TEST(PictureText, DrawsAtItsAnchorAndNowhereElse)
{
    const double dCap = 1493 / kEm * kSize, dInkLeft = 201 / kEm * kSize, dInkRight = 1339 / kEm * kSize,
                 dAdvance = 1540 / kEm * kSize, dAscent = 1901 / kEm * kSize;
    struct Case
    {
        TextAlign align;
        TextAnchor anchor;
        double dLeft;      // of the H's box from the given x
        double dBaseline;  // from the given y
    };
    for (const Case& c : {Case{TextAlign::kLeft, TextAnchor::kBaseline, 0.0, 0.0},
                          Case{TextAlign::kCentre, TextAnchor::kTop, -dAdvance / 2, dAscent},
                          Case{TextAlign::kRight, TextAnchor::kBottom, -dAdvance, -483 / kEm * kSize}})
    {
        Picture picture = Blank(300, 300, false);
        DrawText(picture, "H", kWhite, 150, 150, c.align, c.anchor);
        const Ink ink = InkOf(picture, 127);
        EXPECT_NEAR(ink.nLeft, 150 + c.dLeft + dInkLeft, 1.0);
        EXPECT_NEAR(ink.nRight, 150 + c.dLeft + dInkRight, 1.0);
        EXPECT_NEAR(ink.nBottom, 150 + c.dBaseline, 1.0);
        EXPECT_NEAR(ink.nTop, 150 + c.dBaseline - dCap, 1.0);
        // Antialiased: edges between off and full.
        bool bPartial = false;
        for (size_t i = 0; i < picture.aRgba.size(); i += 4)
            bPartial |= picture.aRgba[i] > 0 && picture.aRgba[i] < 255;
        EXPECT_TRUE(bPartial);
    }
    // Over nothing, the text brings its own alpha; the pixels it does not cover keep theirs.
    Picture clear = Blank(300, 300, true);
    DrawText(clear, "H", TextStyle{kSize, {255, 0, 0, 255}, false}, 150, 150, TextAlign::kLeft,
             TextAnchor::kBaseline);
    EXPECT_EQ(clear.aRgba[(120 * 300 + 165) * 4 + 3], 255);  // in the H's left stem
    EXPECT_EQ(clear.aRgba[(120 * 300 + 165) * 4], 255);
    EXPECT_EQ(clear.aRgba[(10 * 300 + 10) * 4 + 3], 0);
    // Partly or wholly outside, NaN places and sizes: what lies inside, and nothing else.
    Picture edge = Blank(40, 40, false);
    for (double d : {-30.0, 20.0, 1e9, -1e9, std::numeric_limits<double>::quiet_NaN()})
        DrawText(edge, "HHH", kWhite, d, d, TextAlign::kLeft, TextAnchor::kTop);
    DrawText(edge, "H", TextStyle{1e300, {255, 255, 255, 255}, false}, 0, 0, TextAlign::kLeft,
             TextAnchor::kTop);
    DrawText(edge, "\xff", kWhite, 0, 0, TextAlign::kLeft, TextAnchor::kTop);
    EXPECT_GT(InkOf(edge, 127).nRight, 0);
}
