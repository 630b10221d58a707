#include "export/values_writer.h"

#include <charconv>
#include <cstring>
#include <vector>

#include "sht/angles.h"

namespace {

// Format 1.0: magic, version, a little-endian 16-bit header length, then a Python dict literal
// padded with spaces and ended by a newline so that the data start on a multiple of 64 bytes.
void WriteNpyHeader(COutputStream& stream, const std::vector<int64_t>& anShape, bool bComplex)
{
    std::string strShape;
    for (const int64_t n : anShape)
        strShape += (strShape.empty() ? "" : ", ") + std::to_string(n);
    if (anShape.size() == 1)
        strShape += ',';
    std::string strHeader = std::string("{'descr': '") + (bComplex ? "<c16" : "<f8") +
                            "', 'fortran_order': False, 'shape': (" + strShape + "), }";
    strHeader.append(63 - (10 + strHeader.size()) % 64, ' ');
    strHeader += '\n';
    std::string strPrefix("\x93NUMPY\x01\x00", 8);
    strPrefix += static_cast<char>(strHeader.size() & 0xff);
    strPrefix += static_cast<char>(strHeader.size() >> 8);
    stream.Write(strPrefix);
    stream.Write(strHeader);
}

void AppendNumber(std::string& strLine, double d, char cEnd)
{
    strLine += DecimalText(d);
    strLine += cEnd;
}

void WriteCsv(COutputStream& stream, const DoubleArray& aValue, const DoubleArray* pImag, int32_t nRows,
              int32_t nColumns, SampleGrid grid)
{
    stream.Write(pImag ? "theta,phi,re,im\n" : "theta,phi,value\n");
    const std::vector<double> aTheta = GridThetas(grid, nRows);
    std::string strLine;
    for (int32_t i = 0; i < nRows; ++i)
    {
        const double dTheta = aTheta[static_cast<size_t>(i)];
        for (int32_t j = 0; j < nColumns; ++j)
        {
            strLine.clear();
            AppendNumber(strLine, dTheta, ',');
            AppendNumber(strLine, SamplePhi(j, nColumns), ',');
            AppendNumber(strLine, aValue[i * nColumns + j], pImag ? ',' : '\n');
            if (pImag)
                AppendNumber(strLine, (*pImag)[i * nColumns + j], '\n');
            stream.Write(strLine);
        }
    }
}

}  // namespace

std::string DecimalText(double d)
{
    char acText[32];
    const auto result = std::to_chars(acText, acText + sizeof acText, d, std::chars_format::general, 17);
    return std::string(acText, result.ptr);
}

std::string ShortDecimalText(double d)
{
    char acText[32];
    const auto result = std::to_chars(acText, acText + sizeof acText, d);
    return std::string(acText, result.ptr);
}

void WriteLittleEndianDouble(COutputStream& stream, double d)
{
    unsigned char abBytes[8];
    uint64_t nBits;
    std::memcpy(&nBits, &d, sizeof nBits);
    for (unsigned char& b : abBytes)
    {
        b = static_cast<unsigned char>(nBits & 0xffu);
        nBits >>= 8;
    }
    stream.Write(abBytes, sizeof abBytes);
}

ValuesFormat ValuesFormatOf(const std::string& strPath)
{
    const auto endsWith = [&strPath](const char* pszEnd) {
        const size_t n = std::strlen(pszEnd);
        return strPath.size() >= n && strPath.compare(strPath.size() - n, n, pszEnd) == 0;
    };
    return endsWith(".npy")   ? ValuesFormat::kNpy
           : endsWith(".csv") ? ValuesFormat::kCsv
           : endsWith(".nc")  ? ValuesFormat::kNetcdf
                              : ValuesFormat::kRaw;
}

void WriteValues(COutputStream& stream, const DoubleArray& aValue, ValuesFormat format, int32_t nRows,
                 int32_t nColumns, const DoubleArray* pImag, SampleGrid grid)
{
    if (format == ValuesFormat::kCsv)
    {
        WriteCsv(stream, aValue, pImag, nRows, nColumns, grid);
        return;
    }
    if (format == ValuesFormat::kNpy)
        WriteNpyHeader(stream, {nRows, nColumns}, pImag != nullptr);
    for (int32_t i = 0; i < aValue.GetSize(); ++i)
    {
        WriteLittleEndianDouble(stream, aValue[i]);
        if (pImag)
            WriteLittleEndianDouble(stream, (*pImag)[i]);
    }
}

void WriteBoxValues(COutputStream& stream, const std::vector<double>& aValue, ValuesFormat format,
                    const std::vector<double>& aCoordinate, const std::vector<double>* pImag)
{
    const size_t nSide = aCoordinate.size();
    if (format == ValuesFormat::kCsv)
    {
        stream.Write(pImag ? "x,y,z,re,im\n" : "x,y,z,value\n");
        std::string strLine;
        for (size_t k = 0; k < aValue.size(); ++k)
        {
            strLine.clear();
            AppendNumber(strLine, aCoordinate[k / (nSide * nSide)], ',');
            AppendNumber(strLine, aCoordinate[k / nSide % nSide], ',');
            AppendNumber(strLine, aCoordinate[k % nSide], ',');
            AppendNumber(strLine, aValue[k], pImag ? ',' : '\n');
            if (pImag)
                AppendNumber(strLine, (*pImag)[k], '\n');
            stream.Write(strLine);
        }
        return;
    }
    if (format == ValuesFormat::kNpy)
    {
        const auto n = static_cast<int64_t>(nSide);
        WriteNpyHeader(stream, {n, n, n}, pImag != nullptr);
    }
    for (size_t k = 0; k < aValue.size(); ++k)
    {
        WriteLittleEndianDouble(stream, aValue[k]);
        if (pImag)
            WriteLittleEndianDouble(stream, (*pImag)[k]);
    }
}

void WriteNpyArray(COutputStream& stream, const std::vector<int64_t>& anShape,
                   const std::vector<const std::vector<double>*>& apRows)
{
    WriteNpyHeader(stream, anShape, false);
    for (const std::vector<double>* pRow : apRows)
        for (const double d : *pRow)
            WriteLittleEndianDouble(stream, d);
}
