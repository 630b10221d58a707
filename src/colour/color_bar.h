#pragma once

#include <vector>

#include "colour/field_coloring.h"
#include "picture/picture.h"

// The colour bar under a map: the colouring's map from its low limit (left) to its high limit
// (right), with a mark under the bar at each tick.
struct ColorBarLayout
{
    int nLeft;         // first column of the bar
    int nRight;        // one past its last column
    int nTop;          // first row of the bar
    int nBottom;       // one past its last row
    int nMarkBottom;   // one past the last row of the marks, which start at nBottom
    int nLabelBottom;  // one past the last row of the numbers under the marks
    int nStripBottom;  // one past the strip's last row: a caption's line lies below nLabelBottom
};

// The rows of the strip that holds the bar under a picture nWidth wide, with a line for a
// caption (what the values are, in what unit) under the numbers where bCaption.
int ColorBarStripRows(int nWidth, bool bCaption);

// The bar's place in the strip of rows nTop to nTop + nHeight of a picture nWidth wide.
ColorBarLayout LayOutColorBar(int nWidth, int nTop, int nHeight, bool bCaption);

// One tick: its value and the column of its mark. The text layer writes each value under its
// mark from this same list.
struct ColorBarTick
{
    double dValue;
    int nColumn;
};

// The ticks of the colouring's bar: both limits and the middle, and 0 where it lies between
// the limits; the phase at -pi, -pi/2, 0, pi/2 and pi.
std::vector<ColorBarTick> ColorBarTicks(const ColorBarLayout& layout, const FieldColoring& coloring);

// Draws the bar and its marks into picture, the marks in the colour that stands out on the
// background.
void DrawColorBar(const ColorBarLayout& layout, const FieldColoring& coloring, Background background,
                  Picture& picture);
