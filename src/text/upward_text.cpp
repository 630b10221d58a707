#include "text/upward_text.h"

#include <cmath>

void DrawUpwardText(Picture& picture, const std::string& strText, const TextStyle& style, double dX,
                    double dY)
{
    const TextExtent extent = MeasureText(strText, style);
    if (extent.dWidth <= 0.0)
        return;
    // The text drawn level on a clear picture of its own, with a pixel to spare on each side.
    Picture level;
    level.nWidth = static_cast<int>(std::ceil(extent.dWidth)) + 2;
    level.nHeight = static_cast<int>(std::ceil(extent.dAscent + extent.dDescent)) + 2;
    level.bAlpha = true;
    level.aRgba.assign(static_cast<size_t>(level.nWidth) * static_cast<size_t>(level.nHeight) * 4, 0);
    DrawText(level, strText, style, level.nWidth / 2.0,
             level.nHeight / 2.0 - (extent.dAscent + extent.dDescent) / 2.0, TextAlign::kCentre,
             TextAnchor::kTop);

    // Turned: the level picture's column x becomes row nHeight - 1 - x, its row y column y.
    const int nLeft = static_cast<int>(std::lround(dX - level.nHeight / 2.0));
    const int nTop = static_cast<int>(std::lround(dY - level.nWidth / 2.0));
    for (int y = 0; y < level.nHeight; ++y)
        for (int x = 0; x < level.nWidth; ++x)
        {
            const uint8_t* pPixel = &level.aRgba[(static_cast<size_t>(y) * static_cast<size_t>(level.nWidth) +
                                                  static_cast<size_t>(x)) *
                                                 4];
            const int nX = nLeft + y, nY = nTop + level.nWidth - 1 - x;
            if (pPixel[3] == 0 || nX < 0 || nY < 0 || nX >= picture.nWidth || nY >= picture.nHeight)
                continue;
            CoverPixel(
                picture,
                static_cast<size_t>(nY) * static_cast<size_t>(picture.nWidth) + static_cast<size_t>(nX),
                {pPixel[0], pPixel[1], pPixel[2], 255}, pPixel[3] / 255.0);
        }
}
