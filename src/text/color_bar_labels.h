#pragma once

#include <string>
#include <vector>

#include "colour/color_bar.h"
#include "colour/field_coloring.h"
#include "picture/picture.h"

// The number of each tick of a colour bar at the bottom of the picture, centred under its mark,
// in the colour text takes on the background: values as TickTexts writes them, the phase in
// fractions of pi. A label that would touch its neighbour is left out.
void DrawColorBarLabels(const ColorBarLayout& layout, const FieldColoring& coloring, Background background,
                        Picture& picture);

// What the bar's values are, such as "geoid height (m)", centred under the numbers in the line
// the layout keeps for it, at their size.
void DrawColorBarCaption(const ColorBarLayout& layout, const std::string& strCaption, Background background,
                         Picture& picture);

// The text of one tick's value to nDigits significant digits: "0", "0.2821", "−1.5e+04" (with a
// real minus sign); for the phase, "−π", "−π/2", "0", "π/2" and "π".
std::string TickText(double dValue, bool bPhase, int nDigits = 4);

// The texts of the ticks, to four significant digits or as many more as a narrow range needs
// for ticks of different values to read differently (0.99999, 1 and 1.00001, not 1, 1 and 1).
std::vector<std::string> TickTexts(const std::vector<ColorBarTick>& aTicks, bool bPhase);
