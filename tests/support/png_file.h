#pragma once

#include <cstdint>
#include <string>
#include <vector>

// An 8-bit RGB picture, rows from the top down, three bytes a pixel.
struct RgbPicture
{
    int m_nWidth = 0;
    int m_nHeight = 0;
    std::vector<uint8_t> m_aRgb;

    const uint8_t* At(int x, int y) const
    {
        return &m_aRgb[(static_cast<size_t>(y) * static_cast<size_t>(m_nWidth) + static_cast<size_t>(x)) * 3];
    }
};

// Reads a PNG file of any colour type as RGB (alpha dropped). Returns false with the reason in
// *pstrError, and picture untouched, when the file cannot be read.
bool ReadPng(const std::string& strPath, RgbPicture& picture, std::string* pstrError);

// Writes picture as an RGB PNG file. Returns false with the reason in *pstrError.
bool WritePng(const std::string& strPath, const RgbPicture& picture, std::string* pstrError);
