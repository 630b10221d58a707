#include "text/picture_title.h"

#include <algorithm>
#include <cmath>

#include "text/picture_text.h"

namespace {

// The space above and below the title, and at least beside it.
double TitleMargin(int nWidth, int nHeight)
{
    return 0.6 * PictureTextSize(nWidth, nHeight);
}

// The title's style for a picture of nWidth x nHeight.
TextStyle TitleStyle(const std::string& strTitle, int nWidth, int nHeight, Background background)
{
    TextStyle style{1.5 * PictureTextSize(nWidth, nHeight), TextColourOn(background), false};
    const double dMargin = TitleMargin(nWidth, nHeight);
    const double dWidth = MeasureText(strTitle, style).dWidth;
    if (dWidth > nWidth - 2.0 * dMargin && dWidth > 0.0)
        style.dPixelSize *= std::max(0.0, nWidth - 2.0 * dMargin) / dWidth;
    return style;
}

}  // namespace

std::array<uint8_t, 4> TextColourOn(Background background)
{
    if (background == Background::kBlack)
        return {255, 255, 255, 255};
    return {0, 0, 0, 255};
}

int TitleHeight(const std::string& strTitle, int nWidth, int nHeight)
{
    if (strTitle.empty())
        return 0;
    const TextExtent extent =
        MeasureText(strTitle, TitleStyle(strTitle, nWidth, nHeight, Background::kBlack));
    return static_cast<int>(std::ceil(extent.dAscent + extent.dDescent + 2.0 * TitleMargin(nWidth, nHeight)));
}

void DrawTitle(Picture& picture, const std::string& strTitle, Background background)
{
    if (strTitle.empty())
        return;
    DrawText(picture, strTitle, TitleStyle(strTitle, picture.nWidth, picture.nHeight, background),
             picture.nWidth / 2.0, TitleMargin(picture.nWidth, picture.nHeight), TextAlign::kCentre,
             TextAnchor::kTop);
}
