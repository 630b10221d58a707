#pragma once

#include <cstdint>
#include <string>

// One reader for each format that ReadCoefficientFile chooses; each takes the file as its own
// format and throws as ReadCoefficientFile does. CoefficientFile is declared, not included:
// coefficient_file.cpp includes this header.
struct CoefficientFile;

CoefficientFile ReadShtoolsFile(const std::string& strPath, int32_t nMaxDegree);
CoefficientFile ReadDovFile(const std::string& strPath, int32_t nMaxDegree);
CoefficientFile ReadBshcFile(const std::string& strPath, int32_t nMaxDegree);
CoefficientFile ReadIcgemFile(const std::string& strPath, int32_t nMaxDegree);
