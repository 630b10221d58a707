#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The fuzzers' input as text: each byte one character (code points 0 to 255), which covers
// digits, signs, blanks, letters and characters beyond ASCII.
inline std::u32string FuzzText(const uint8_t* pData, size_t nSize)
{
    return std::u32string(pData, pData + nSize);
}

inline std::string FuzzBytes(const uint8_t* pData, size_t nSize)
{
    return std::string(reinterpret_cast<const char*>(pData), nSize);
}
