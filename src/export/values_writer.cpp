#include "export/values_writer.h"

#include <cstring>

namespace {

// Format 1.0: magic, version, a little-endian 16-bit header length, then a Python dict literal
// padded with spaces and ended by a newline so that the data start on a multiple of 64 bytes.
void WriteNpyHeader(COutputStream& stream, int32_t nRows, int32_t nColumns)
{
    std::string strHeader = "{'descr': '<f8', 'fortran_order': False, 'shape': (" + std::to_string(nRows) +
                            ", " + std::to_string(nColumns) + "), }";
    strHeader.append(63 - (10 + strHeader.size()) % 64, ' ');
    strHeader += '\n';
    std::string strPrefix("\x93NUMPY\x01\x00", 8);
    strPrefix += static_cast<char>(strHeader.size() & 0xff);
    strPrefix += static_cast<char>(strHeader.size() >> 8);
    stream.Write(strPrefix);
    stream.Write(strHeader);
}

}  // namespace

bool IsNpyPath(const std::string& strPath)
{
    return strPath.size() >= 4 && strPath.compare(strPath.size() - 4, 4, ".npy") == 0;
}

void WriteValues(COutputStream& stream, const DoubleArray& aValue, bool bNpy, int32_t nRows, int32_t nColumns)
{
    if (bNpy)
        WriteNpyHeader(stream, nRows, nColumns);
    unsigned char abBytes[8];
    for (int32_t i = 0; i < aValue.GetSize(); ++i)
    {
        uint64_t nBits;
        std::memcpy(&nBits, &aValue[i], sizeof nBits);
        for (unsigned char& b : abBytes)
        {
            b = static_cast<unsigned char>(nBits & 0xffu);
            nBits >>= 8;
        }
        stream.Write(abBytes, sizeof abBytes);
    }
}
