#pragma once

#include "colour/color_bar.h"
#include "colour/field_coloring.h"
#include "picture/picture.h"

// The number of each tick of a colour bar at the bottom of the picture, centred under its mark,
// in the colour text takes on the background: values to four significant digits, the phase in
// fractions of pi. A label that would touch its neighbour is left out.
void DrawColorBarLabels(const ColorBarLayout& layout, const FieldColoring& coloring, Background background,
                        Picture& picture);

// The text of one tick's value: "0", "0.2821", "−1.5e+04" (with a real minus sign); for the
// phase, "−π", "−π/2", "0", "π/2" and "π".
std::string TickText(double dValue, bool bPhase);
