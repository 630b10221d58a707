// Curtin University's binary coefficients: little-endian doubles, the minimum and the maximum
// degree, then C(l, m) for every degree from the minimum to the maximum with orders 0 to l,
// then S(l, m) in the same order. The file's size must be exactly that, checked before any
// coefficient is read.
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "fields/coefficient_file.h"
#include "fields/coefficient_formats.h"
#include "fields/coefficient_input.h"
#include "fields/coefficient_terms.h"
#include "sht/build_limits.h"

namespace {

constexpr int64_t kHeaderBytes = 16;

double LittleEndianDouble(const unsigned char* pBytes)
{
    uint64_t nBits = 0;
    for (int i = 7; i >= 0; --i)
        nBits = nBits << 8 | pBytes[i];
    double dValue = 0.0;
    std::memcpy(&dValue, &nBits, sizeof dValue);
    return dValue;
}

std::string FormatDouble(double dValue)
{
    char acText[32];
    std::snprintf(acText, sizeof acText, "%.17g", dValue);
    return acText;
}

// The orders 0 to l of the degrees 0 to nDegree: (nDegree + 1)(nDegree + 2) / 2.
int64_t OrdersUpTo(int64_t nDegree)
{
    return (nDegree + 1) * (nDegree + 2) / 2;
}

class CBshcReader
{
public:
    explicit CBshcReader(const std::string& strPath)
        : m_strPath(strPath), m_pFile(OpenCoefficientFile(strPath))
    {}

    [[noreturn]] void Fail(const std::string& strWhat) const { ThrowCoefficientError(m_strPath, 0, strWhat); }

    int64_t GetSize() const
    {
        struct stat info = {};
        if (fstat(fileno(m_pFile.get()), &info) != 0)
            Fail(std::generic_category().message(errno));
        return info.st_size;
    }

    void Seek(int64_t nOffset)
    {
        if (fseeko(m_pFile.get(), nOffset, SEEK_SET) != 0)
            Fail(std::generic_category().message(errno));
    }

    // Reads the next nCount doubles.
    const std::vector<double>& Read(int64_t nCount)
    {
        m_aBytes.resize(static_cast<size_t>(nCount) * 8);
        if (std::fread(m_aBytes.data(), 8, static_cast<size_t>(nCount), m_pFile.get()) !=
            static_cast<size_t>(nCount))
            Fail(std::ferror(m_pFile.get()) ? std::generic_category().message(errno) : "the file ends early");
        m_aValues.resize(static_cast<size_t>(nCount));
        for (size_t i = 0; i < m_aValues.size(); ++i)
            m_aValues[i] = LittleEndianDouble(&m_aBytes[i * 8]);
        return m_aValues;
    }

    // One of the header's degrees: a whole number that fits Term's 32 bits.
    int64_t Degree(double dValue, const char* pszName) const
    {
        if (!(dValue >= 0.0 && dValue <= std::numeric_limits<int32_t>::max() && dValue == std::floor(dValue)))
            Fail(std::string("the ") + pszName + " degree " + FormatDouble(dValue) +
                 " is not a whole number from 0 to " + std::to_string(std::numeric_limits<int32_t>::max()));
        return static_cast<int64_t>(dValue);
    }

private:
    std::string m_strPath;
    FilePointer m_pFile;
    std::vector<unsigned char> m_aBytes;
    std::vector<double> m_aValues;
};

}  // namespace

CoefficientFile ReadBshcFile(const std::string& strPath, int32_t nMaxDegree)
{
    CBshcReader reader(strPath);
    const int64_t nSize = reader.GetSize();
    if (nSize < kHeaderBytes)
        reader.Fail("the file has " + std::to_string(nSize) + " bytes, fewer than the " +
                    std::to_string(kHeaderBytes) + " of its minimum and maximum degree");
    const std::vector<double>& aHeader = reader.Read(2);
    const int64_t nMin = reader.Degree(aHeader[0], "minimum");
    const int64_t nMax = reader.Degree(aHeader[1], "maximum");
    if (nMin > nMax)
        reader.Fail("the minimum degree " + std::to_string(nMin) + " is above the maximum " +
                    std::to_string(nMax));

    // At most 2^61 coefficients a block, so their count stays within 64 bits.
    const int64_t nBlock = OrdersUpTo(nMax) - OrdersUpTo(nMin - 1);
    if ((nSize - kHeaderBytes) % 8 != 0 || (nSize - kHeaderBytes) / 8 != 2 * nBlock)
        reader.Fail("degrees " + std::to_string(nMin) + " to " + std::to_string(nMax) + " take " +
                    FormatDouble(16.0 * static_cast<double>(nBlock) + kHeaderBytes) +
                    " bytes, the file has " + std::to_string(nSize));

    // Each coefficient is there once, in order: the terms are made in their final order as
    // the degrees are read. They take twice the file's bytes (16 a term), and a run holds about
    // four times that at its peak (the terms read, the field made of them and the copies a run
    // makes: 55 bytes a coefficient measured for a file of 32 MB), which is checked against the
    // machine's memory before any is read.
    const CCoefficientTerms terms(strPath, nMaxDegree);
    const int64_t nLast = terms.HighestKept(nMax, 0);
    const int64_t nKept = std::max<int64_t>(OrdersUpTo(nLast) - OrdersUpTo(nMin - 1), 0);
    constexpr int64_t kRunBytesPerTerm = 4 * static_cast<int64_t>(sizeof(Term));
    if (2 * nKept * kRunBytesPerTerm > MemoryBudget())
        reader.Fail("its " + std::to_string(2 * nKept) + " coefficients need " +
                    std::to_string(2 * nKept * kRunBytesPerTerm / 1000000) + " MB, more than the " +
                    std::to_string(MemoryBudget() / 1000000) +
                    " MB (half of the memory) this machine gives to one run");
    std::vector<Term> aTerms;
    aTerms.reserve(static_cast<size_t>(2 * nKept));
    std::vector<double> adCosines;
    for (int64_t l = nMin; l <= nLast; ++l)
    {
        const int64_t nBefore = OrdersUpTo(l - 1) - OrdersUpTo(nMin - 1);
        reader.Seek(kHeaderBytes + 8 * nBefore);
        adCosines = reader.Read(l + 1);
        reader.Seek(kHeaderBytes + 8 * (nBlock + nBefore));
        const std::vector<double>& adSines = reader.Read(l + 1);
        if (!std::isfinite(adSines[0]))
            reader.Fail("S(" + std::to_string(l) + ", 0) is " + FormatDouble(adSines[0]) +
                        ", not a finite number");
        // Sorted by order: the sines from S(l, l) as order -l, then the cosines.
        for (int64_t m = -l; m <= l; ++m)
        {
            const double dValue =
                m < 0 ? adSines[static_cast<size_t>(-m)] : adCosines[static_cast<size_t>(m)];
            if (!std::isfinite(dValue))
                reader.Fail(CoefficientName(l, m) + " is " + FormatDouble(dValue) + ", not a finite number");
            if (dValue != 0.0)
                aTerms.push_back(Term{static_cast<int32_t>(l), static_cast<int32_t>(m), dValue});
        }
    }
    CoefficientFile file;
    file.aTerms = std::move(aTerms);
    return file;
}
