#pragma once

#include <complex>
#include <cstdint>
#include <string>
#include <vector>

#include "fields/coefficient_file.h"

// Complex coefficients a_lm (m >= 0) as healpy holds them, of one or more components (T, E, B):
// a_lm of each at index m (2 lmax + 1 - m) / 2 + l, 0 where the file has none.
struct HealpixAlm
{
    int32_t nLmax = 0;
    int32_t nMmax = 0;
    bool bSingle = false;  // the file's values are float32
    std::vector<std::vector<std::complex<double>>> aComponents;
};

// How many a_lm healpy's layout holds for lmax and mmax: (mmax + 1)(2 lmax + 2 - mmax) / 2.
int64_t HealpixAlmSize(int64_t nLmax, int64_t nMmax);

// Reads the alm of the units aHdus (1 the first extension) of a FITS file as healpy's
// write_alm writes them: a binary table of the columns INDEX = l^2 + l + m + 1 (whole numbers),
// REAL and IMAG, one unit a component; lmax and mmax are the largest l and m present, the same
// in every unit. Throws std::runtime_error with one line naming the file and the fault: no FITS
// file, a unit missing or no binary table, a truncated table, fewer than three columns, an index
// below 1, of a negative m or of l above kMaxDegree, an index given twice, units of different lmax
// or mmax, rows that fill less than 1/64 of a layout of more than 65536 a_lm (healpy's fill all of
// it), or more coefficients than this machine gives to one run.
HealpixAlm ReadFitsAlm(const std::string& strPath, const std::vector<int>& aHdus);

// The real fields of the units aHdus, each as ReadCoefficientFile reads a .fits file's first
// (fields/coefficient_file.h), degrees up to nMaxDegree (all when it is negative). Throws as
// ReadFitsAlm does, and for an a_lm that is not finite.
std::vector<CoefficientFile> ReadFitsAlmFields(const std::string& strPath, const std::vector<int>& aHdus,
                                               int32_t nMaxDegree);
