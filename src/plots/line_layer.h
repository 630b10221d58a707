#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "picture/picture.h"

// Antialiased lines of one colour, gathered as coverage and laid over a picture at once, so
// that where lines meet or cross no pixel is covered twice. Places are in pixels from the
// picture's top left corner; pixel (x, y) has its centre at (x + 0.5, y + 0.5).
class CLineLayer
{
public:
    CLineLayer(int nWidth, int nHeight);

    // The segment from (dX0, dY0) to (dX1, dY1), dWidth wide with round ends: a pixel is covered
    // by how far its centre lies within half the width, over one pixel's blur.
    void AddSegment(double dX0, double dY0, double dX1, double dY1, double dWidth);

    // A round dot of diameter dWidth.
    void AddDot(double dX, double dY, double dWidth) { AddSegment(dX, dY, dX, dY, dWidth); }

    // Covers the picture (of the layer's size) with the colour where the lines are.
    void DrawOnto(Picture& picture, const std::array<uint8_t, 4>& colour) const;

private:
    int m_nWidth;
    int m_nHeight;
    std::vector<float> m_aCover;
};
