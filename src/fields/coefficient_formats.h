#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One reader for each format that ReadCoefficientFile chooses; each takes the file as its own
// format and throws as ReadCoefficientFile does. CoefficientFile is declared, not included:
// coefficient_file.cpp includes this header.
struct CoefficientFile;

CoefficientFile ReadShtoolsFile(const std::string& strPath, int32_t nMaxDegree);
CoefficientFile ReadDovFile(const std::string& strPath, int32_t nMaxDegree);
CoefficientFile ReadBshcFile(const std::string& strPath, int32_t nMaxDegree);
// ICGEM's reader also takes the epoch of a time-variable model (days, fields/model_time.h).
CoefficientFile ReadIcgemFile(const std::string& strPath, int32_t nMaxDegree,
                              const std::optional<double>& epoch);

// Takes a model's radius and GM from the numbers of a shtools or dov header line, as pyshtools
// writes them: "R, GM, omega, lmax" for gravity (R and GM from three numbers on), "R, lmax" for
// magnetic models (R alone). Numbers that are not positive are no constants.
void TakeHeaderConstants(const std::vector<double>& aNumbers, CoefficientFile& file);
