#include "export/png_writer.h"

#include <png.h>

#include <cstring>
#include <stdexcept>
#include <string>

namespace {

// libpng reports errors by longjmp, so nothing may throw through it: a failed write is kept
// here and turned into png_error, and thrown again once libpng has given up.
struct WriteTarget
{
    COutputStream* pStream;
    std::string strError;
};

void WriteBytes(png_structp pPng, png_bytep pData, png_size_t nBytes)
{
    auto* pTarget = static_cast<WriteTarget*>(png_get_io_ptr(pPng));
    try
    {
        pTarget->pStream->Write(pData, nBytes);
    }
    catch (const std::runtime_error& error)
    {
        pTarget->strError = error.what();
        png_error(pPng, "write failed");
    }
}

void FlushNothing(png_structp) {}

// The rows are plain data and the structs are destroyed on both paths, so the longjmp skips
// no destructor.
bool EncodeRows(WriteTarget& target, const Picture& picture, std::vector<png_byte>& aRow)
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
    png_set_write_fn(pPng, &target, WriteBytes, FlushNothing);
    const size_t nChannels = picture.bAlpha ? 4 : 3;
    png_set_IHDR(pPng, pInfo, static_cast<png_uint_32>(picture.nWidth),
                 static_cast<png_uint_32>(picture.nHeight), 8,
                 picture.bAlpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(pPng, pInfo);
    const size_t nWidth = static_cast<size_t>(picture.nWidth);
    for (size_t y = 0; y < static_cast<size_t>(picture.nHeight); ++y)
    {
        const uint8_t* pSource = picture.aRgba.data() + y * nWidth * 4;
        for (size_t x = 0; x < nWidth; ++x)
            std::memcpy(&aRow[x * nChannels], pSource + x * 4, nChannels);
        png_write_row(pPng, aRow.data());
    }
    png_write_end(pPng, nullptr);
    png_destroy_write_struct(&pPng, &pInfo);
    return true;
}

}  // namespace

void WritePng(COutputStream& stream, const Picture& picture)
{
    WriteTarget target{&stream, ""};
    std::vector<png_byte> aRow(static_cast<size_t>(picture.nWidth) * 4);
    if (!EncodeRows(target, picture, aRow))
        throw std::runtime_error(target.strError.empty()
                                     ? "cannot write '" + stream.GetName() + "': PNG encoding failed"
                                     : target.strError);
}
