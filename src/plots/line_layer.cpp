#include "plots/line_layer.h"

#include <algorithm>
#include <cmath>

CLineLayer::CLineLayer(int nWidth, int nHeight)
    : m_nWidth(nWidth),
      m_nHeight(nHeight),
      m_aCover(static_cast<size_t>(nWidth) * static_cast<size_t>(nHeight), 0.0f)
{}

void CLineLayer::AddSegment(double dX0, double dY0, double dX1, double dY1, double dWidth)
{
    const double dReach = dWidth / 2.0 + 0.5;
    const int nLeft = static_cast<int>(std::max(0.0, std::floor(std::min(dX0, dX1) - dReach)));
    const int nRight = static_cast<int>(std::min<double>(m_nWidth, std::ceil(std::max(dX0, dX1) + dReach)));
    const int nTop = static_cast<int>(std::max(0.0, std::floor(std::min(dY0, dY1) - dReach)));
    const int nBottom = static_cast<int>(std::min<double>(m_nHeight, std::ceil(std::max(dY0, dY1) + dReach)));
    const double dDx = dX1 - dX0, dDy = dY1 - dY0;
    const double dLengthSquared = dDx * dDx + dDy * dDy;
    for (int y = nTop; y < nBottom; ++y)
        for (int x = nLeft; x < nRight; ++x)
        {
            // The distance from the pixel's centre to the nearest point of the segment.
            const double dPx = x + 0.5 - dX0, dPy = y + 0.5 - dY0;
            const double dAlong =
                dLengthSquared > 0.0 ? std::clamp((dPx * dDx + dPy * dDy) / dLengthSquared, 0.0, 1.0) : 0.0;
            const double dDistance = std::hypot(dPx - dAlong * dDx, dPy - dAlong * dDy);
            const float fCover = static_cast<float>(std::clamp(dReach - dDistance, 0.0, 1.0));
            float& fPixel =
                m_aCover[static_cast<size_t>(y) * static_cast<size_t>(m_nWidth) + static_cast<size_t>(x)];
            fPixel = std::max(fPixel, fCover);
        }
}

void CLineLayer::DrawOnto(Picture& picture, const std::array<uint8_t, 4>& colour) const
{
    const double dAlpha = colour[3] / 255.0;
    for (size_t i = 0; i < m_aCover.size(); ++i)
        if (m_aCover[i] > 0.0f)
            CoverPixel(picture, i, colour, m_aCover[i] * dAlpha);
}
