// healpy's alm files: a binary table each component, INDEX = l^2 + l + m + 1, REAL and IMAG.
#include "fields/fits_alm_file.h"

#include <fitsio.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "fields/coefficient_file.h"
#include "fields/coefficient_formats.h"
#include "fields/coefficient_input.h"
#include "fields/fits_file.h"
#include "fields/healpy_alm_terms.h"
#include "sht/build_limits.h"
#include "sht/healpy_layout.h"

namespace {

// The rows of one unit, read a block at a time.
constexpr int64_t kBlockRows = 65536;

// healpy's write_alm writes every a_lm of its layout; a file may leave some out, but one that
// fills less than 1 / kFillFactor of a layout of more than kSparseLayout a_lm is refused, so
// that a few rows cannot ask for gigabytes.
constexpr int64_t kFillFactor = 64;
constexpr int64_t kSparseLayout = 65536;

struct AlmEntry
{
    int64_t l;
    int64_t m;
    double dRe;
    double dIm;
};

// The entries of one unit: checked, in the file's order.
std::vector<AlmEntry> ReadUnit(CFitsFile& file, int nHdu, bool& bSingle)
{
    file.MoveToTable(nHdu);
    const std::vector<FitsColumn>& aColumns = file.GetColumns();
    const std::string strUnit = "unit " + std::to_string(nHdu);
    if (aColumns.size() < 3)
        file.Fail(strUnit + " has " + std::to_string(aColumns.size()) +
                  " columns, not the three of INDEX, REAL and IMAG");
    for (size_t i = 0; i < 3; ++i)
        if (aColumns[i].nRepeat != 1)
            file.Fail(strUnit + "'s column " + std::to_string(i + 1) + " holds " +
                      std::to_string(aColumns[i].nRepeat) + " values a row, not 1");
    const int nIndexType = aColumns[0].nType;
    if (nIndexType != TBYTE && nIndexType != TSHORT && nIndexType != TINT && nIndexType != TLONG &&
        nIndexType != TLONGLONG)
        file.Fail(strUnit + "'s first column (" + aColumns[0].strName + ") does not hold whole numbers");
    bSingle = aColumns[1].nType == TFLOAT && aColumns[2].nType == TFLOAT;
    const int64_t nRows = file.GetRowCount();
    CheckWorkMemory(32.0 * static_cast<double>(nRows), "reading " + std::to_string(nRows) + " alm");
    std::vector<AlmEntry> aEntries;
    aEntries.reserve(static_cast<size_t>(nRows));
    std::vector<int64_t> aIndex;
    std::vector<double> aRe, aIm;
    for (int64_t nFirst = 0; nFirst < nRows; nFirst += kBlockRows)
    {
        const int64_t nCount = std::min(kBlockRows, nRows - nFirst);
        aIndex.resize(static_cast<size_t>(nCount));
        aRe.resize(static_cast<size_t>(nCount));
        aIm.resize(static_cast<size_t>(nCount));
        file.ReadIntegers(0, nFirst, nCount, aIndex.data());
        file.ReadDoubles(1, nFirst, nCount, aRe.data());
        file.ReadDoubles(2, nFirst, nCount, aIm.data());
        for (size_t i = 0; i < aIndex.size(); ++i)
        {
            const int64_t nIndex = aIndex[i];
            const std::string strRow =
                strUnit + " row " + std::to_string(nFirst + static_cast<int64_t>(i) + 1);
            if (nIndex < 1)
                file.Fail(strRow + ": the index " + std::to_string(nIndex) + " is below 1");
            // Degrees up to the largest only, whose squares stay far within 64 bits.
            constexpr int64_t kDegreesBelow = (int64_t{kMaxDegree} + 1) * (int64_t{kMaxDegree} + 1);
            if (nIndex - 1 >= kDegreesBelow)
                file.Fail(strRow + ": the index " + std::to_string(nIndex) +
                          " is of l above the largest degree " + std::to_string(kMaxDegree));
            auto nDegree = static_cast<int64_t>(std::sqrt(static_cast<double>(nIndex - 1)));
            while (nDegree * nDegree > nIndex - 1)
                --nDegree;
            while ((nDegree + 1) * (nDegree + 1) <= nIndex - 1)
                ++nDegree;
            const int64_t m = nIndex - 1 - nDegree * nDegree - nDegree;
            if (m < 0)
                file.Fail(strRow + ": the index " + std::to_string(nIndex) +
                          " is of l = " + std::to_string(nDegree) + " and m = " + std::to_string(m) +
                          ", and healpy's alm have m >= 0");
            aEntries.push_back(AlmEntry{nDegree, m, aRe[i], aIm[i]});
        }
    }
    return aEntries;
}

}  // namespace

int64_t HealpixAlmSize(int64_t nLmax, int64_t nMmax)
{
    return static_cast<int64_t>(AlmCount(nLmax, nMmax));
}

HealpixAlm ReadFitsAlm(const std::string& strPath, const std::vector<int>& aHdus)
{
    CFitsFile file(strPath);
    HealpixAlm alm;
    for (size_t nUnit = 0; nUnit < aHdus.size(); ++nUnit)
    {
        bool bSingle = false;
        const std::vector<AlmEntry> aEntries = ReadUnit(file, aHdus[nUnit], bSingle);
        int64_t nLmax = 0, nMmax = 0;
        for (const AlmEntry& entry : aEntries)
        {
            nLmax = std::max(nLmax, entry.l);
            nMmax = std::max(nMmax, entry.m);
        }
        if (nUnit == 0)
        {
            alm.nLmax = static_cast<int32_t>(nLmax);
            alm.nMmax = static_cast<int32_t>(nMmax);
            alm.bSingle = bSingle;
        }
        else if (nLmax != alm.nLmax || nMmax != alm.nMmax)
            file.Fail("unit " + std::to_string(aHdus[nUnit]) + " has lmax " + std::to_string(nLmax) +
                      " and mmax " + std::to_string(nMmax) + ", unit " + std::to_string(aHdus[0]) + " " +
                      std::to_string(alm.nLmax) + " and " + std::to_string(alm.nMmax));
        const int64_t nSize = HealpixAlmSize(nLmax, nMmax);
        if (nSize > kSparseLayout && nSize > kFillFactor * static_cast<int64_t>(aEntries.size()))
            file.Fail("unit " + std::to_string(aHdus[nUnit]) + "'s " + std::to_string(aEntries.size()) +
                      " a_lm reach l = " + std::to_string(nLmax) + " and m = " + std::to_string(nMmax) +
                      ", whose layout holds " + std::to_string(nSize) + ": a file filling less than 1/" +
                      std::to_string(kFillFactor) + " of it is refused");
        CheckWorkMemory(17.0 * static_cast<double>(nSize) * static_cast<double>(aHdus.size()),
                        "the alm of lmax " + std::to_string(nLmax));
        std::vector<std::complex<double>> aAlm(static_cast<size_t>(nSize));
        std::vector<bool> aSeen(static_cast<size_t>(nSize));
        for (const AlmEntry& entry : aEntries)
        {
            const auto nAt = static_cast<size_t>(entry.m * (2 * nLmax + 1 - entry.m) / 2 + entry.l);
            if (aSeen[nAt])
                file.Fail("unit " + std::to_string(aHdus[nUnit]) + " gives a_lm of l = " +
                          std::to_string(entry.l) + " and m = " + std::to_string(entry.m) + " twice (index " +
                          std::to_string(entry.l * entry.l + entry.l + entry.m + 1) + ")");
            aSeen[nAt] = true;
            aAlm[nAt] = {entry.dRe, entry.dIm};
        }
        alm.aComponents.push_back(std::move(aAlm));
    }
    return alm;
}

std::vector<CoefficientFile> ReadFitsAlmFields(const std::string& strPath, const std::vector<int>& aHdus,
                                               int32_t nMaxDegree)
{
    const HealpixAlm alm = ReadFitsAlm(strPath, aHdus);
    const int32_t nLast = nMaxDegree < 0 ? alm.nLmax : std::min(nMaxDegree, alm.nLmax);
    std::vector<CoefficientFile> aFiles;
    for (const std::vector<std::complex<double>>& aAlm : alm.aComponents)
    {
        CoefficientFile file;
        file.normalization = Normalization::kOrtho;
        file.bNormalizationFromFile = true;
        file.bCondonShortley = true;
        bool bImaginaryZonal = false;
        for (int32_t l = 0; l <= nLast; ++l)
            for (int32_t m = 0; m <= std::min(l, alm.nMmax); ++m)
            {
                const std::complex<double> value =
                    aAlm[static_cast<size_t>(int64_t{m} * (2 * int64_t{alm.nLmax} + 1 - m) / 2 + l)];
                if (!std::isfinite(value.real()) || !std::isfinite(value.imag()))
                    ThrowCoefficientError(strPath, 0,
                                          "a_lm of l = " + std::to_string(l) +
                                              " and m = " + std::to_string(m) + " is not a finite number");
                bImaginaryZonal = bImaginaryZonal || (m == 0 && value.imag() != 0.0);
            }
        file.aTerms = TermsOfAlm(aAlm, alm.nLmax, alm.nMmax, nLast);
        if (bImaginaryZonal)
            file.aWarnings.push_back("the imaginary parts of a_l0 are left out: a real field's are 0");
        aFiles.push_back(std::move(file));
    }
    return aFiles;
}

CoefficientFile ReadFitsAlmFile(const std::string& strPath, int32_t nMaxDegree)
{
    return std::move(ReadFitsAlmFields(strPath, {1}, nMaxDegree)[0]);
}
