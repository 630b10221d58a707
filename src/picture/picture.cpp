#include "picture/picture.h"

#include <cmath>
#include <cstring>

#include "names/named_values.h"

Picture BlankPicture(int nWidth, int nHeight, Background background)
{
    const std::array<uint8_t, 4> anPixel = BackgroundPixel(background);
    Picture picture{nWidth, nHeight, background == Background::kTransparent, {}};
    picture.aRgba.resize(static_cast<size_t>(nWidth) * static_cast<size_t>(nHeight) * 4);
    for (size_t i = 0; i < picture.aRgba.size(); ++i)
        picture.aRgba[i] = anPixel[i % 4];
    return picture;
}

void CopyInto(const Picture& part, int nLeft, int nTop, Picture& picture)
{
    const size_t nRowBytes = static_cast<size_t>(part.nWidth) * 4;
    for (int y = 0; y < part.nHeight; ++y)
        std::memcpy(
            picture.aRgba.data() + (static_cast<size_t>(nTop + y) * static_cast<size_t>(picture.nWidth) +
                                    static_cast<size_t>(nLeft)) *
                                       4,
            part.aRgba.data() + static_cast<size_t>(y) * nRowBytes, nRowBytes);
}

void CoverPixel(Picture& picture, size_t nIndex, const std::array<uint8_t, 4>& colour, double dCover)
{
    uint8_t* pPixel = picture.aRgba.data() + nIndex * 4;
    if (!picture.bAlpha)
    {
        for (int c = 0; c < 3; ++c)
            pPixel[c] = static_cast<uint8_t>(std::lround(pPixel[c] + (colour[c] - pPixel[c]) * dCover));
        return;
    }
    // Over: the new alpha, and the colour weighted by what each side contributes.
    const double dBelow = pPixel[3] / 255.0 * (1.0 - dCover);
    const double dOut = dCover + dBelow;
    for (int c = 0; c < 3; ++c)
        pPixel[c] = static_cast<uint8_t>(std::lround((colour[c] * dCover + pPixel[c] * dBelow) / dOut));
    pPixel[3] = static_cast<uint8_t>(std::lround(dOut * 255.0));
}

namespace {

constexpr NamedValue<Background> kBackgroundNames[] = {
    {"black", Background::kBlack},
    {"white", Background::kWhite},
    {"transparent", Background::kTransparent, "a PNG with alpha, 0 off the surface"},
};

}  // namespace

bool FindBackground(const std::string& strName, Background& background)
{
    return FindNamed(kBackgroundNames, strName, background);
}

std::vector<std::string> BackgroundNames()
{
    return NamesOf(kBackgroundNames);
}

NamedValues<Background> BackgroundNamedValues()
{
    return AllNamed(kBackgroundNames);
}
