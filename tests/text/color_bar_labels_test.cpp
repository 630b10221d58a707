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

    // Each label lies below the marks, inside the picture, under its own tick.
    Picture picture{400, 400, false, std::vector<uint8_t>(400 * 400 * 4, 0)};
    const ColorBarLayout layout = LayOutColorBar(400, 340, 60);
    FieldColoring coloring;
    coloring.mode = ColorMode::kValue;
    coloring.dLow = -2.0;
    coloring.dHigh = 2.0;
    DrawColorBarLabels(layout, coloring, Background::kBlack, picture);
    for (const ColorBarTick& tick : ColorBarTicks(layout, coloring))
    {
        int nLit = 0;
        for (int y = 0; y < picture.nHeight; ++y)
            for (int x = tick.nColumn - 3; x <= tick.nColumn + 3; ++x)
                if (picture.aRgba[(static_cast<size_t>(y) * 400 + x) * 4] > 128)
                {
                    EXPECT_GE(y, layout.nMarkBottom);
                    ++nLit;
                }
        EXPECT_GT(nLit, 0) << tick.dValue;
    }
}

}  // namespace
