#pragma once

#include <array>
#include <cstdint>
#include <vector>

// What lies behind the surface: opaque black (the viewer's), opaque white, or nothing (a PNG
// with an alpha channel, 0 off the surface).
enum class Background
{
    kBlack,
    kWhite,
    kTransparent,
};

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
