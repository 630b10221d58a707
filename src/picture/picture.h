#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "names/named_values.h"

// What lies behind the surface: opaque black (the viewer's), opaque white, or nothing (a PNG
// with an alpha channel, 0 off the surface).
enum class Background
{
    kBlack,
    kWhite,
    kTransparent,
};

// The background of a name "black", "white" or "transparent"; false for any other.
bool FindBackground(const std::string& strName, Background& background);
std::vector<std::string> BackgroundNames();
NamedValues<Background> BackgroundNamedValues();

// The RGBA of a pixel off the surface. Black keeps the viewer's alpha of 0, which pictures
// without an alpha channel drop.
constexpr std::array<uint8_t, 4> BackgroundPixel(Background background)
{
    if (background == Background::kWhite)
        return {255, 255, 255, 255};
    return {0, 0, 0, 0};
}

// Pixels of one picture, four bytes (R, G, B, A) each, rows from the top down. Alpha is kept
// in the file only when bAlpha is set; otherwise the picture is opaque.
struct Picture
{
    int nWidth = 0;
    int nHeight = 0;
    bool bAlpha = false;
    std::vector<uint8_t> aRgba;
};

// A picture of nWidth x nHeight pixels, every one the background's (with alpha for nothing).
Picture BlankPicture(int nWidth, int nHeight, Background background);

// Copies every pixel of part into picture with its top left corner at (nLeft, nTop); part lies
// wholly inside picture.
void CopyInto(const Picture& part, int nLeft, int nTop, Picture& picture);

// Covers the pixel at nIndex (its first byte over 4) by the colour's RGB in the proportion
// dCover (0 to 1): over an opaque picture the colour blends into the pixel; over one with alpha
// it is composited over it.
void CoverPixel(Picture& picture, size_t nIndex, const std::array<uint8_t, 4>& colour, double dCover);
