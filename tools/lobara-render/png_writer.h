#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes an opaque 8-bit RGB PNG from RGBA pixels (rows top to bottom; alpha dropped).
// The file appears whole or not at all. Returns false, with a reason in strError.
bool WritePng(const std::string& strPath, int nWidth, int nHeight, const std::vector<uint8_t>& aRgba,
              std::string& strError);
