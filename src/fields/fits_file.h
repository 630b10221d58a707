#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// A FITS file read whole into memory and opened there by cfitsio, so that cfitsio never sees
// the user's path: its extended file names (a leading '!', brackets, '+N', 'mem://' and other
// prefixes) play no part. Every failure throws std::runtime_error with one line,
// "cannot read 'PATH': WHAT".

// A column of a binary table: its name, unit, the type its values have once scaled (cfitsio's
// code: TFLOAT, TDOUBLE, TINT ...) and how many values a row holds.
struct FitsColumn
{
    std::string strName;
    std::string strUnit;
    int nType;
    int64_t nRepeat;
};

class CFitsFile
{
public:
    explicit CFitsFile(const std::string& strPath);
    ~CFitsFile();
    CFitsFile(const CFitsFile&) = delete;
    CFitsFile& operator=(const CFitsFile&) = delete;

    [[noreturn]] void Fail(const std::string& strWhat) const;

    // Moves to the nHdu-th header and data unit (0 the primary), which must be a binary table
    // whose rows the file holds in full.
    void MoveToTable(int nHdu);

    // The keywords of the current table: a string's value without quotes and trailing blanks,
    // a whole number's; none where the header lacks it. A value of another kind fails.
    std::optional<std::string> StringKeyword(const char* pszName);
    std::optional<int64_t> IntegerKeyword(const char* pszName);
    // Every card of the header as keyword and value text ('quoted' strings as the file has them).
    std::vector<std::pair<std::string, std::string>> Cards();

    int64_t GetRowCount() const { return m_nRows; }
    const std::vector<FitsColumn>& GetColumns() const { return m_aColumns; }

    // nCount values of column nColumn (0 the first, of a repeat above 0) from its nFirst-th,
    // counted across rows.
    void ReadDoubles(int nColumn, int64_t nFirst, int64_t nCount, double* pValues);
    void ReadIntegers(int nColumn, int64_t nFirst, int64_t nCount, int64_t* pValues);

private:
    void Check(int nStatus, const std::string& strWhat) const;

    std::string m_strPath;
    std::vector<char> m_aBytes;  // the file's bytes, its last record filled out with zeros
    size_t m_nFileBytes = 0;
    void* m_pBytes = nullptr;
    size_t m_nBytes = 0;
    void* m_pFits = nullptr;  // cfitsio's fitsfile, whose type cannot be declared here
    int64_t m_nRows = 0;
    std::vector<FitsColumn> m_aColumns;
};

// cfitsio's words for a status code, e.g. "tried to move past end of file".
std::string FitsStatusText(int nStatus);
