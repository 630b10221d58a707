#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "export/output_stream.h"

// A FITS file that cfitsio builds in memory, from an empty primary unit, and that is then
// written to a stream: cfitsio never opens a path, so none of its extended file names (a leading
// '!', brackets, '+N', 'mem://' ...) can be read into the user's. Failures of cfitsio, which
// only running out of memory can cause, throw std::runtime_error naming the stream's output.

// A column of a binary table: its name, TFORM ("1024E", "J", "D") and unit (none when empty).
struct FitsColumnForm
{
    std::string strName;
    std::string strForm;
    std::string strUnit;
};

class CFitsWriter
{
public:
    explicit CFitsWriter(std::string strName);
    ~CFitsWriter();
    CFitsWriter(const CFitsWriter&) = delete;
    CFitsWriter& operator=(const CFitsWriter&) = delete;

    // Adds a binary table of nRows rows and makes it the current unit; pszExtName names it
    // (EXTNAME) unless null.
    void AddTable(const std::vector<FitsColumnForm>& aColumns, int64_t nRows, const char* pszExtName);

    // Keywords of the current unit, each with its comment.
    void StringKey(const char* pszName, const std::string& strValue, const char* pszComment);
    void IntegerKey(const char* pszName, int64_t nValue, const char* pszComment);

    // nCount values into column nColumn (0 the first) from its nFirst-th, counted across rows,
    // converted to the column's type (to float32 by rounding to nearest).
    void WriteDoubles(int nColumn, int64_t nFirst, int64_t nCount, const double* pValues);
    void WriteIntegers(int nColumn, int64_t nFirst, int64_t nCount, const int64_t* pValues);

    // Finishes the file and writes its bytes to stream.
    void WriteTo(COutputStream& stream);

private:
    void Check(int nStatus) const;

    std::string m_strName;
    void* m_pFits = nullptr;  // cfitsio's fitsfile, whose type cannot be declared here
    void* m_pBuffer = nullptr;
    size_t m_nBuffer = 0;
    std::vector<int64_t> m_aRepeats;  // of the current table's columns
};
