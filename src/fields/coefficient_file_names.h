#pragma once

#include <string>
#include <string_view>

// What a coefficient file's name says of its format, the same for reading and for writing.

// Whether strPath ends in strExtension (".gfc"), the case of ASCII letters aside, after at
// least one other character.
bool HasExtension(const std::string& strPath, std::string_view strExtension);

// .gfc is ICGEM and .bshc Curtin binary; any other name is text, whose rows tell a shtools
// file from a dov file when it is read.
enum class CoefficientNameFormat
{
    kText,
    kIcgem,
    kBshc,
};
CoefficientNameFormat CoefficientFormatByName(const std::string& strPath);
