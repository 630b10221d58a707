#include "lobara-render/png_writer.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// libpng reports errors by longjmp; the rows and file handle are plain data, so nothing
// with a destructor is skipped.
bool WriteRows(std::FILE* pFile, int nWidth, int nHeight, const std::vector<uint8_t>& aRgba,
               std::vector<png_byte>& aRow)
{
    png_structp pPng = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop pInfo = pPng ? png_create_info_struct(pPng) : nullptr;
    if (pInfo == nullptr)
    {
        png_destroy_write_struct(&pPng, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(pPng)))
    {
        png_destroy_write_struct(&pPng, &pInfo);
        return false;
    }
    png_init_io(pPng, pFile);
    png_set_IHDR(pPng, pInfo, static_cast<png_uint_32>(nWidth), static_cast<png_uint_32>(nHeight), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(pPng, pInfo);
    for (size_t y = 0; y < static_cast<size_t>(nHeight); ++y)
    {
        const uint8_t* pSource = aRgba.data() + y * static_cast<size_t>(nWidth) * 4;
        for (size_t x = 0; x < static_cast<size_t>(nWidth); ++x)
            std::memcpy(&aRow[x * 3], pSource + x * 4, 3);
        png_write_row(pPng, aRow.data());
    }
    png_write_end(pPng, nullptr);
    png_destroy_write_struct(&pPng, &pInfo);
    return true;
}

}  // namespace

bool WritePng(const std::string& strPath, int nWidth, int nHeight, const std::vector<uint8_t>& aRgba,
              std::string& strError)
{
    const std::string strPartPath = strPath + ".part";
    std::FILE* pFile = std::fopen(strPartPath.c_str(), "wb");
    if (pFile == nullptr)
    {
        strError = std::strerror(errno);
        return false;
    }
    std::vector<png_byte> aRow(static_cast<size_t>(nWidth) * 3);
    bool bOk = WriteRows(pFile, nWidth, nHeight, aRgba, aRow);
    strError = bOk ? "" : "PNG encoding failed";
    if (std::fclose(pFile) != 0 && bOk)
    {
        strError = std::strerror(errno);
        bOk = false;
    }
    if (bOk && std::rename(strPartPath.c_str(), strPath.c_str()) != 0)
    {
        strError = std::strerror(errno);
        bOk = false;
    }
    if (!bOk)
        std::remove(strPartPath.c_str());
    return bOk;
}
