#include "page/base64.h"

#include <cstdint>

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

}  // namespace

std::string Base64(const void* pData, size_t nBytes)
{
    const auto* p = static_cast<const uint8_t*>(pData);
    std::string strText;
    strText.reserve((nBytes + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 3 <= nBytes; i += 3)
    {
        const uint32_t n = uint32_t{p[i]} << 16 | uint32_t{p[i + 1]} << 8 | p[i + 2];
        for (int nShift : {18, 12, 6, 0})
            strText += kAlphabet[(n >> nShift) & 63];
    }
    // One or two bytes left over make two or three characters and the padding.
    if (i < nBytes)
    {
        const bool bTwo = i + 1 < nBytes;
        const uint32_t n = uint32_t{p[i]} << 16 | (bTwo ? uint32_t{p[i + 1]} << 8 : 0);
        strText += kAlphabet[(n >> 18) & 63];
        strText += kAlphabet[(n >> 12) & 63];
        strText += bTwo ? kAlphabet[(n >> 6) & 63] : '=';
        strText += '=';
    }
    return strText;
}
