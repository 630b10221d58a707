#pragma once

#include <string>
#include <string_view>

// What a coefficient file's name says of its format, the same for reading and for writing.

// Whether strPath ends in strExtension (".gfc"), the case of ASCII letters aside, after at
// least one other character.
bool HasExtension(const std::string& strPath, std::string_view strExtension);

// .gfc is ICGEM, .bshc Curtin binary, .cof the World Magnetic Model's and .fits healpy's alm; any other name
// is text, whose rows tell a shtools file from a dov file or IGRF's table when it is read.
enum class CoefficientNameFormat
{
    kText,
    kIcgem,
    kBshc,
    kWmm,
    kFitsAlm,
};
CoefficientNameFormat CoefficientFormatByName(const std::string& strPath);
