#include "text/color_bar_labels.h"

#include <gtest/gtest.h>

#include "sht/angles.h"

namespace {

// The numbers a reader sees under the bar: real minus signs, no "-0", the phase in pi.
TEST(ColorBarLabels, TickTextsReadAsNumbers)
{
    EXPECT_EQ(TickText(0.28209479177387814, false), "0.2821");
    EXPECT_EQ(TickText(-0.28209479177387814, false), "\u22120.2821");
    EXPECT_EQ(TickText(-0.0, false), "0");
    EXPECT_EQ(TickText(-15000.0, false), "\u22121.5e+04");
    EXPECT_EQ(TickText(-kPi, true), "\u2212\u03c0");
    EXPECT_EQ(TickText(kPi / 2.0, true), "\u03c0/2");
    EXPECT_EQ(TickText(0.0, true), "0");

    // A narrow range takes the digits that tell its ticks apart; a wide one keeps four.
    const auto texts = [](std::vector<double> adValues) {
        std::vector<ColorBarTick> aTicks;
        for (double d : adValues)
            aTicks.push_back(ColorBarTick{d, 0});
        return TickTexts(aTicks, false);
    };
    EXPECT_EQ(texts({0.99999, 0.99999 + (1.00001 - 0.99999) / 2.0, 1.00001}),
              (std::vector<std::string>{"0.99999", "1", "1.00001"}));
    EXPECT_EQ(texts({-2.0, 0.0, 2.0, 0.0}), (std::vector<std::string>{"\u22122", "0", "2", "0"}));

    // Each label lies below the marks and above the caption's line, under its own tick; the
    // caption lies in its line, within the picture.
    const ColorBarLayout layout = LayOutColorBar(400, 320, 80, true);
    FieldColoring coloring;
    coloring.mode = ColorMode::kValue;
    coloring.dLow = -2.0;
    coloring.dHigh = 2.0;
    const auto litRows = [](const Picture& picture, int nLeft, int nRight) {
        std::vector<int> anRows;
        for (int y = 0; y < picture.nHeight; ++y)
            for (int x = nLeft; x <= nRight; ++x)
                if (picture.aRgba[(static_cast<size_t>(y) * 400 + x) * 4] > 128)
                    anRows.push_back(y);
        return anRows;
    };
    Picture labels{400, 400, false, std::vector<uint8_t>(400 * 400 * 4, 0)};
    DrawColorBarLabels(layout, coloring, Background::kBlack, labels);
    for (const ColorBarTick& tick : ColorBarTicks(layout, coloring))
    {
        const std::vector<int> anRows = litRows(labels, tick.nColumn - 3, tick.nColumn + 3);
        EXPECT_FALSE(anRows.empty()) << tick.dValue;
        for (int y : anRows)
            EXPECT_TRUE(y >= layout.nMarkBottom && y < layout.nLabelBottom) << y;
    }
    Picture caption{400, 400, false, std::vector<uint8_t>(400 * 400 * 4, 0)};
    DrawColorBarCaption(layout, "geoid height (m)", Background::kBlack, caption);
    const std::vector<int> anRows = litRows(caption, 0, 399);
    EXPECT_FALSE(anRows.empty());
    for (int y : anRows)
        EXPECT_TRUE(y >= layout.nLabelBottom && y < layout.nStripBottom) << y;
}

}  // namespace
