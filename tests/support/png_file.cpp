#include "support/png_file.h"

#include <png.h>

bool ReadPng(const std::string& strPath, RgbPicture& picture, std::string* pstrError)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, strPath.c_str()))
    {
        *pstrError = image.message;
        return false;
    }
    // Alpha over black, as the pictures are shown.
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> aRgb(PNG_IMAGE_SIZE(image));
    const png_color black{0, 0, 0};
    if (!png_image_finish_read(&image, &black, aRgb.data(), 0, nullptr))
    {
        *pstrError = image.message;
        return false;
    }
    picture.m_nWidth = static_cast<int>(image.width);
    picture.m_nHeight = static_cast<int>(image.height);
    picture.m_aRgb = std::move(aRgb);
    return true;
}

bool WritePng(const std::string& strPath, const RgbPicture& picture, std::string* pstrError)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(picture.m_nWidth);
    image.height = static_cast<png_uint_32>(picture.m_nHeight);
    image.format = PNG_FORMAT_RGB;
    if (!png_image_write_to_file(&image, strPath.c_str(), 0, picture.m_aRgb.data(), 0, nullptr))
    {
        *pstrError = image.message;
        return false;
    }
    return true;
}
