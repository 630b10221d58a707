#include "render/supersample.h"

#include <cstddef>

Picture BoxFilter(const std::vector<uint8_t>& aRgba, int nWidth, int nHeight, int nFactor, bool bAlpha)
{
    Picture small;
    small.nWidth = nWidth / nFactor;
    small.nHeight = nHeight / nFactor;
    small.bAlpha = bAlpha;
    small.aRgba.resize(static_cast<size_t>(small.nWidth) * static_cast<size_t>(small.nHeight) * 4);
    const size_t nLargeRow = static_cast<size_t>(nWidth) * 4;
    const unsigned nCount = static_cast<unsigned>(nFactor * nFactor);
    uint8_t* pOut = small.aRgba.data();
    for (size_t y = 0; y < static_cast<size_t>(small.nHeight); ++y)
        for (size_t x = 0; x < static_cast<size_t>(small.nWidth); ++x, pOut += 4)
        {
            unsigned anSum[4] = {0, 0, 0, 0};
            for (size_t dy = 0; dy < static_cast<size_t>(nFactor); ++dy)
            {
                const uint8_t* p = aRgba.data() + (y * static_cast<size_t>(nFactor) + dy) * nLargeRow +
                                   x * static_cast<size_t>(nFactor) * 4;
                for (size_t dx = 0; dx < static_cast<size_t>(nFactor); ++dx, p += 4)
                    for (size_t c = 0; c < 4; ++c)
                        anSum[c] += p[c];
            }
            // Off the surface colour and alpha are 0, so the colour sums are already weighted
            // by alpha (which is 255 on the surface).
            const unsigned nColorWeight = bAlpha ? anSum[3] : nCount * 255;
            for (size_t c = 0; c < 3; ++c)
                pOut[c] = nColorWeight == 0
                              ? 0
                              : static_cast<uint8_t>((anSum[c] * 255 + nColorWeight / 2) / nColorWeight);
            pOut[3] = static_cast<uint8_t>((anSum[3] + nCount / 2) / nCount);
        }
    return small;
}
