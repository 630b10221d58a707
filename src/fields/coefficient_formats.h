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
CoefficientFile ReadFitsAlmFile(const std::string& strPath, int32_t nMaxDegree);
// ICGEM's reader also takes the epoch of a time-variable model (days, fields/model_time.h).
CoefficientFile ReadIcgemFile(const std::string& strPath, int32_t nMaxDegree,
                              const std::optional<double>& epoch);

// The magnetic models, at an epoch (days) or their own.
CoefficientFile ReadWmmFile(const std::string& strPath, int32_t nMaxDegree,
                            const std::optional<double>& epoch);
CoefficientFile ReadIgrfFile(const std::string& strPath, int32_t nMaxDegree,
                             const std::optional<double>& epoch);

// The sphere of the World Magnetic Model's and IGRF's Gauss coefficients: 6371.2 km.
constexpr double kGeomagneticReferenceRadius = 6371200.0;

// Takes a model's radius and GM from the numbers of a shtools or dov header line, as pyshtools
// writes them: "R, GM, omega, lmax" for gravity (R and GM from three numbers on), "R, lmax" for
// magnetic models (R alone). Numbers that are not positive are no constants.
void TakeHeaderConstants(const std::vector<double>& aNumbers, CoefficientFile& file);
