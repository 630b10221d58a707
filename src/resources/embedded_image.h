#pragma once

#include <cstddef>
#include <vector>

// A PNG file built into the program.
struct EmbeddedImage
{
    const unsigned char* pData;
    size_t nSize;
};

// Icon 128: the program icon at 16, 32 and 48 pixels, smallest first.
const std::vector<EmbeddedImage>& ProgramIconImages();
