#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "picture/picture.h"

// Text drawn into a picture: antialiased, in DejaVu Sans (the font the package depends on,
// chosen by family), laid out by Pango and rasterised by Cairo with neither hinting nor
// subpixel colour, so that the same text gives the same pixels on every install.

// Which point of the text's box the given position is: its left edge, centre or right edge;
// the top of its first line, the baseline of its first line, or the bottom of its last line.
enum class TextAlign
{
    kLeft,
    kCentre,
    kRight,
};
enum class TextAnchor
{
    kTop,
    kBaseline,
    kBottom,
};

struct TextStyle
{
    double dPixelSize = 16.0;                     // the font's em size in pixels
    std::array<uint8_t, 4> colour{0, 0, 0, 255};  // RGBA; A scales the coverage
    bool bMarkup = false;                         // the text is Pango markup (<sub>, <sup>, <i>, &amp;)
};

// The logical box of a text, in pixels: its width, and the heights above the first baseline
// and below it down to the bottom of the last line.
struct TextExtent
{
    double dWidth = 0.0;
    double dAscent = 0.0;
    double dDescent = 0.0;
};

// Whether strText can be laid out: valid UTF-8 and, for markup, well-formed markup.
bool IsDrawableText(const std::string& strText, bool bMarkup);

// Nothing for a text that is not drawable or a size that is not a positive finite number.
TextExtent MeasureText(const std::string& strText, const TextStyle& style);

// Draws the text with the point (dX, dY) of its box, in pixels from the picture's top left,
// where align and anchor say; only the pixels that it covers change, and it may lie partly or
// wholly outside the picture. Over an opaque picture the colour blends into each pixel; over
// one with alpha it is composited over it.
void DrawText(Picture& picture, const std::string& strText, const TextStyle& style, double dX, double dY,
              TextAlign align, TextAnchor anchor);

// A number's text with the minus sign of print (U+2212) before its magnitude when bNegative;
// a magnitude of "0" stays unsigned.
std::string WithPrintMinus(const std::string& strMagnitude, bool bNegative);

// The text size in pixels for a picture of nWidth x nHeight: 1/40 of its shorter side, so that
// text keeps its proportion to the picture.
double PictureTextSize(int nWidth, int nHeight);
