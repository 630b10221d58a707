#include "picture/picture.h"

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

namespace {

constexpr NamedValue<Background> kBackgroundNames[] = {
    {"black", Background::kBlack},
    {"white", Background::kWhite},
    {"transparent", Background::kTransparent},
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
