#pragma once

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

// Pixels of one picture, four bytes (R, G, B, A) each, rows from the top down. Alpha is kept
// in the file only when bAlpha is set; otherwise the picture is opaque.
struct Picture
{
    int nWidth = 0;
    int nHeight = 0;
    bool bAlpha = false;
    std::vector<uint8_t> aRgba;
};
