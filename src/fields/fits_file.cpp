#include "fields/fits_file.h"

#include <fitsio.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <system_error>

#include "fields/coefficient_input.h"
#include "sht/build_limits.h"

namespace {

// The opening of every FITS file: "SIMPLE  =" in the first card.
constexpr char kFitsStart[] = "SIMPLE  =";

// FITS files are made of records of 2880 bytes, and cfitsio reads memory a whole record at a time.
constexpr size_t kRecordBytes = 2880;

// A keyword's value as cfitsio gives it, up to its comment.
std::string KeywordText(char* pszValue)
{
    std::string strValue(pszValue);
    while (!strValue.empty() && strValue.back() == ' ')
        strValue.pop_back();
    return strValue;
}

fitsfile* Fits(void* pFits)
{
    return static_cast<fitsfile*>(pFits);
}

// The first card of the file, at a multiple of 80 bytes, that names a column (TTYPEn) by anything
// but a quoted string, as FITS has it; 0 for none. cfitsio copies such a value into the column's
// name whole, past its end where it is long. Header cards lie at multiples of 80 bytes from the
// start of the file; the data between the headers are scanned too, where the bytes of such a card
// at such a place are not met by chance.
size_t UnquotedColumnName(const std::vector<char>& aBytes)
{
    constexpr size_t kCard = 80, kKeyword = 8;
    for (size_t nAt = 0; nAt + kCard <= aBytes.size(); nAt += kCard)
    {
        const char* pCard = aBytes.data() + nAt;
        if (std::memcmp(pCard, "TTYPE", 5) != 0 || pCard[kKeyword] != '=')
            continue;
        size_t i = 5;
        while (i < kKeyword && pCard[i] >= '0' && pCard[i] <= '9')
            ++i;
        while (i < kKeyword && pCard[i] == ' ')
            ++i;
        if (i < kKeyword)
            continue;
        size_t nValue = kKeyword + 1;
        while (nValue < kCard && pCard[nValue] == ' ')
            ++nValue;
        if (nValue == kCard || pCard[nValue] != '\'')
            return nAt / kCard + 1;
    }
    return 0;
}

}  // namespace

std::string FitsStatusText(int nStatus)
{
    char acText[FLEN_STATUS] = {};
    fits_get_errstatus(nStatus, acText);
    return acText;
}

CFitsFile::CFitsFile(const std::string& strPath) : m_strPath(strPath)
{
    const FilePointer pFile = OpenCoefficientFile(strPath);
    struct stat info = {};
    if (fstat(fileno(pFile.get()), &info) != 0)
        Fail(std::generic_category().message(errno));
    if (static_cast<double>(info.st_size) > static_cast<double>(MemoryBudget()))
        Fail("the file has " + std::to_string(info.st_size / 1000000) + " MB, more than the " +
             std::to_string(MemoryBudget() / 1000000) +
             " MB (half of the memory) this machine gives to one run");
    m_aBytes.resize(static_cast<size_t>(info.st_size));
    if (std::fread(m_aBytes.data(), 1, m_aBytes.size(), pFile.get()) != m_aBytes.size())
        Fail(std::ferror(pFile.get()) ? std::generic_category().message(errno)
                                      : "the file ended while it was read");
    if (m_aBytes.empty())
        Fail("the file is empty");
    if (m_aBytes.size() < sizeof kFitsStart - 1 ||
        std::memcmp(m_aBytes.data(), kFitsStart, sizeof kFitsStart - 1) != 0)
        Fail("it is not a FITS file: it does not begin with 'SIMPLE  ='");
    if (const size_t nCard = UnquotedColumnName(m_aBytes))
        Fail("card " + std::to_string(nCard) + " names a column (TTYPEn) by other than a quoted string");
    // cfitsio copies whole records out of memory, the last one too, so a file whose last record
    // is cut short (its padding left out) is given it filled out with zeros, as FITS pads it; what
    // the tables need is checked against the file's own size.
    m_nFileBytes = m_aBytes.size();
    m_aBytes.resize((m_nFileBytes + kRecordBytes - 1) / kRecordBytes * kRecordBytes, '\0');
    m_pBytes = m_aBytes.data();
    m_nBytes = m_aBytes.size();
    int nStatus = 0;
    // A fixed name: cfitsio reads it for extensions and filters, so it must not be the user's.
    fitsfile* pFits = nullptr;
    fits_open_memfile(&pFits, "file.fits", READONLY, &m_pBytes, &m_nBytes, 0, nullptr, &nStatus);
    if (nStatus != 0)
    {
        int nCloseStatus = 0;
        if (pFits)
            fits_close_file(pFits, &nCloseStatus);
        Fail("it is not a readable FITS file (" + FitsStatusText(nStatus) + ")");
    }
    m_pFits = pFits;
}

CFitsFile::~CFitsFile()
{
    int nStatus = 0;
    if (Fits(m_pFits))
        fits_close_file(Fits(m_pFits), &nStatus);
}

void CFitsFile::Fail(const std::string& strWhat) const
{
    ThrowCoefficientError(m_strPath, 0, strWhat);
}

void CFitsFile::Check(int nStatus, const std::string& strWhat) const
{
    if (nStatus != 0)
        Fail(strWhat + " (" + FitsStatusText(nStatus) + ")");
}

void CFitsFile::MoveToTable(int nHdu)
{
    int nStatus = 0;
    int nHdus = 0;
    fits_get_num_hdus(Fits(m_pFits), &nHdus, &nStatus);
    Check(nStatus, "its units cannot be counted");
    if (nHdu < 0 || nHdu >= nHdus)
        Fail("it has " + std::to_string(nHdus) + (nHdus == 1 ? " unit" : " units") +
             " (0 the primary), no unit " + std::to_string(nHdu));
    int nKind = 0;
    fits_movabs_hdu(Fits(m_pFits), nHdu + 1, &nKind, &nStatus);
    Check(nStatus, "unit " + std::to_string(nHdu) + " cannot be read");
    if (nKind != BINARY_TBL)
        Fail("unit " + std::to_string(nHdu) + " is not a binary table");

    // The rows and the heap after them must all be in the file.
    const std::optional<int64_t> nRowBytes = IntegerKeyword("NAXIS1");
    const std::optional<int64_t> nRows = IntegerKeyword("NAXIS2");
    const int64_t nHeap = IntegerKeyword("PCOUNT").value_or(0);
    if (!nRowBytes || !nRows || *nRowBytes < 0 || *nRows < 0 || nHeap < 0)
        Fail("the table of unit " + std::to_string(nHdu) + " states no size (NAXIS1, NAXIS2)");
    LONGLONG nHeaderStart = 0, nDataStart = 0, nDataEnd = 0;
    fits_get_hduaddrll(Fits(m_pFits), &nHeaderStart, &nDataStart, &nDataEnd, &nStatus);
    Check(nStatus, "unit " + std::to_string(nHdu) + " cannot be found");
    const double dNeeded = static_cast<double>(nDataStart) +
                           static_cast<double>(*nRowBytes) * static_cast<double>(*nRows) +
                           static_cast<double>(nHeap);
    if (dNeeded > static_cast<double>(m_nFileBytes))
        Fail("the table is truncated: its " + std::to_string(*nRows) + " rows end at byte " +
             std::to_string(static_cast<int64_t>(dNeeded)) + ", the file has " +
             std::to_string(m_nFileBytes));
    m_nRows = *nRows;

    int nColumns = 0;
    fits_get_num_cols(Fits(m_pFits), &nColumns, &nStatus);
    Check(nStatus, "the table's columns cannot be counted");
    m_aColumns.clear();
    for (int i = 1; i <= nColumns; ++i)
    {
        char acName[FLEN_VALUE] = {}, acUnit[FLEN_VALUE] = {}, acForm[FLEN_VALUE] = {},
             acDisplay[FLEN_VALUE] = {};
        LONGLONG nRepeat = 0, nNull = 0;
        double dScale = 1.0, dZero = 0.0;
        fits_get_bcolparmsll(Fits(m_pFits), i, acName, acUnit, acForm, &nRepeat, &dScale, &dZero, &nNull,
                             acDisplay, &nStatus);
        int nType = 0;
        LONGLONG nWidth = 0;
        fits_get_eqcoltypell(Fits(m_pFits), i, &nType, &nRepeat, &nWidth, &nStatus);
        Check(nStatus, "column " + std::to_string(i) + " cannot be read");
        m_aColumns.push_back(FitsColumn{KeywordText(acName), KeywordText(acUnit), nType, nRepeat});
    }
}

std::optional<std::string> CFitsFile::StringKeyword(const char* pszName)
{
    char acValue[FLEN_VALUE] = {};
    int nStatus = 0;
    fits_read_key_str(Fits(m_pFits), pszName, acValue, nullptr, &nStatus);
    if (nStatus == KEY_NO_EXIST)
        return std::nullopt;
    Check(nStatus, std::string("the keyword ") + pszName + " cannot be read");
    return KeywordText(acValue);
}

std::optional<int64_t> CFitsFile::IntegerKeyword(const char* pszName)
{
    char acValue[FLEN_VALUE] = {};
    char acComment[FLEN_COMMENT] = {};
    int nStatus = 0;
    fits_read_keyword(Fits(m_pFits), pszName, acValue, acComment, &nStatus);
    if (nStatus == KEY_NO_EXIST)
        return std::nullopt;
    Check(nStatus, std::string("the keyword ") + pszName + " cannot be read");
    // A whole number: digits after an optional sign, nothing else.
    std::string strValue = KeywordText(acValue);
    const size_t nStart = strValue.find_first_not_of(' ');
    strValue = nStart == std::string::npos ? "" : strValue.substr(nStart);
    const size_t nDigits = strValue.empty() || (strValue[0] != '+' && strValue[0] != '-') ? 0 : 1;
    if (strValue.size() == nDigits || strValue.size() > nDigits + 18 ||
        strValue.find_first_not_of("0123456789", nDigits) != std::string::npos)
        Fail(std::string("the keyword ") + pszName + " is " + QuoteFileText(strValue) +
             ", not a whole number");
    return std::stoll(strValue);
}

std::vector<std::pair<std::string, std::string>> CFitsFile::Cards()
{
    int nStatus = 0;
    int nCards = 0;
    fits_get_hdrspace(Fits(m_pFits), &nCards, nullptr, &nStatus);
    Check(nStatus, "the header cannot be read");
    std::vector<std::pair<std::string, std::string>> aCards;
    for (int i = 1; i <= nCards; ++i)
    {
        char acName[FLEN_KEYWORD] = {}, acValue[FLEN_VALUE] = {}, acComment[FLEN_COMMENT] = {};
        fits_read_keyn(Fits(m_pFits), i, acName, acValue, acComment, &nStatus);
        Check(nStatus, "card " + std::to_string(i) + " of the header cannot be read");
        // COMMENT and HISTORY cards carry their text where others have a comment.
        aCards.emplace_back(acName, acValue[0] != '\0' ? KeywordText(acValue) : KeywordText(acComment));
    }
    return aCards;
}

void CFitsFile::ReadDoubles(int nColumn, int64_t nFirst, int64_t nCount, double* pValues)
{
    int nStatus = 0;
    int nAnyNull = 0;
    const int64_t nRepeat = m_aColumns[static_cast<size_t>(nColumn)].nRepeat;
    fits_read_col(Fits(m_pFits), TDOUBLE, nColumn + 1, nFirst / nRepeat + 1, nFirst % nRepeat + 1, nCount,
                  nullptr, pValues, &nAnyNull, &nStatus);
    Check(nStatus, "column " + std::to_string(nColumn + 1) + " cannot be read");
}

void CFitsFile::ReadIntegers(int nColumn, int64_t nFirst, int64_t nCount, int64_t* pValues)
{
    static_assert(sizeof(LONGLONG) == sizeof(int64_t), "cfitsio's 64-bit integers");
    int nStatus = 0;
    int nAnyNull = 0;
    const int64_t nRepeat = m_aColumns[static_cast<size_t>(nColumn)].nRepeat;
    fits_read_col(Fits(m_pFits), TLONGLONG, nColumn + 1, nFirst / nRepeat + 1, nFirst % nRepeat + 1, nCount,
                  nullptr, pValues, &nAnyNull, &nStatus);
    Check(nStatus, "column " + std::to_string(nColumn + 1) + " cannot be read");
}
