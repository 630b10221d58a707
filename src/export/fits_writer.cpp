#include "export/fits_writer.h"

#include <fitsio.h>

#include <cstdlib>
#include <new>
#include <stdexcept>
#include <utility>

namespace {

fitsfile* Fits(void* pFits)
{
    return static_cast<fitsfile*>(pFits);
}

// The file grows in steps of this many bytes.
constexpr size_t kGrowth = size_t{1} << 20;

std::string StatusText(int nStatus)
{
    char acText[FLEN_STATUS] = {};
    fits_get_errstatus(nStatus, acText);
    return acText;
}

}  // namespace

CFitsWriter::CFitsWriter(std::string strName) : m_strName(std::move(strName))
{
    m_nBuffer = 2880;
    m_pBuffer = std::malloc(m_nBuffer);
    if (!m_pBuffer)
        throw std::bad_alloc();
    int nStatus = 0;
    fitsfile* pFits = nullptr;
    fits_create_memfile(&pFits, &m_pBuffer, &m_nBuffer, kGrowth, std::realloc, &nStatus);
    Check(nStatus);
    m_pFits = pFits;
    // The primary unit holds no data: SIMPLE, BITPIX 8, NAXIS 0 and EXTEND.
    fits_create_img(Fits(m_pFits), BYTE_IMG, 0, nullptr, &nStatus);
    Check(nStatus);
}

CFitsWriter::~CFitsWriter()
{
    int nStatus = 0;
    if (m_pFits)
        fits_close_file(Fits(m_pFits), &nStatus);
    std::free(m_pBuffer);
}

void CFitsWriter::Check(int nStatus) const
{
    if (nStatus == MEMORY_ALLOCATION)
        throw std::bad_alloc();
    if (nStatus != 0)
        throw std::runtime_error("cannot write '" + m_strName + "': " + StatusText(nStatus));
}

void CFitsWriter::AddTable(const std::vector<FitsColumnForm>& aColumns, int64_t nRows, const char* pszExtName)
{
    std::vector<char*> aNames, aForms, aUnits;
    for (const FitsColumnForm& column : aColumns)
    {
        aNames.push_back(const_cast<char*>(column.strName.c_str()));
        aForms.push_back(const_cast<char*>(column.strForm.c_str()));
        aUnits.push_back(const_cast<char*>(column.strUnit.c_str()));
    }
    int nStatus = 0;
    fits_create_tbl(Fits(m_pFits), BINARY_TBL, nRows, static_cast<int>(aColumns.size()), aNames.data(),
                    aForms.data(), aUnits.data(), pszExtName, &nStatus);
    Check(nStatus);
    m_aRepeats.clear();
    for (size_t i = 0; i < aColumns.size(); ++i)
    {
        int nType = 0;
        LONGLONG nRepeat = 0, nWidth = 0;
        fits_get_coltypell(Fits(m_pFits), static_cast<int>(i) + 1, &nType, &nRepeat, &nWidth, &nStatus);
        Check(nStatus);
        m_aRepeats.push_back(nRepeat);
    }
}

void CFitsWriter::StringKey(const char* pszName, const std::string& strValue, const char* pszComment)
{
    int nStatus = 0;
    fits_write_key_str(Fits(m_pFits), pszName, strValue.c_str(), pszComment, &nStatus);
    Check(nStatus);
}

void CFitsWriter::IntegerKey(const char* pszName, int64_t nValue, const char* pszComment)
{
    int nStatus = 0;
    fits_write_key_lng(Fits(m_pFits), pszName, nValue, pszComment, &nStatus);
    Check(nStatus);
}

void CFitsWriter::WriteDoubles(int nColumn, int64_t nFirst, int64_t nCount, const double* pValues)
{
    const int64_t nRepeat = m_aRepeats[static_cast<size_t>(nColumn)];
    int nStatus = 0;
    fits_write_col(Fits(m_pFits), TDOUBLE, nColumn + 1, nFirst / nRepeat + 1, nFirst % nRepeat + 1, nCount,
                   const_cast<double*>(pValues), &nStatus);
    Check(nStatus);
}

void CFitsWriter::WriteIntegers(int nColumn, int64_t nFirst, int64_t nCount, const int64_t* pValues)
{
    static_assert(sizeof(LONGLONG) == sizeof(int64_t), "cfitsio's 64-bit integers");
    const int64_t nRepeat = m_aRepeats[static_cast<size_t>(nColumn)];
    int nStatus = 0;
    fits_write_col(Fits(m_pFits), TLONGLONG, nColumn + 1, nFirst / nRepeat + 1, nFirst % nRepeat + 1, nCount,
                   const_cast<int64_t*>(pValues), &nStatus);
    Check(nStatus);
}

void CFitsWriter::WriteTo(COutputStream& stream)
{
    // The file ends where its last unit's data, padded to 2880 bytes, ends.
    int nStatus = 0;
    fits_flush_file(Fits(m_pFits), &nStatus);
    LONGLONG nHeaderStart = 0, nDataStart = 0, nDataEnd = 0;
    fits_get_hduaddrll(Fits(m_pFits), &nHeaderStart, &nDataStart, &nDataEnd, &nStatus);
    Check(nStatus);
    fits_close_file(Fits(m_pFits), &nStatus);
    m_pFits = nullptr;
    Check(nStatus);
    stream.Write(m_pBuffer, static_cast<size_t>(nDataEnd));
}
