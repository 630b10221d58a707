#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fields/coefficient_input.h"
#include "fields/coefficient_terms.h"

// The lines of a coefficient file's text, one at a time, with what every text format shares:
// fields, numbers and errors that name the line.
class CTextLines
{
public:
    explicit CTextLines(std::string strPath);

    // Reads the next line and splits it into fields: false at the end of the file. A line ends
    // at LF (a CR before it is dropped), a `#` comment runs to its end, fields are separated by
    // blanks and by single commas (two commas in a row leave an empty field between them).
    bool Next();

    const std::vector<std::string_view>& GetFields() const { return m_aFields; }
    std::string_view GetText() const { return m_strText; }  // without its comment
    int64_t GetLineNumber() const { return m_nLine; }
    const std::string& GetPath() const { return m_strPath; }

    // Throws "cannot read 'PATH' line N: WHAT" for the current line.
    [[noreturn]] void Fail(const std::string& strWhat) const;

    // Field i as a finite number, named pszName in an error; missing, malformed or not finite
    // fails, and so does a line that separates its fields by blanks here and commas there.
    double Number(size_t i, const char* pszName) const;
    // Field i as a whole number (digits with an optional sign), named pszName in an error.
    int64_t WholeNumber(size_t i, const char* pszName) const;

private:
    void CheckSeparators() const;

    std::string m_strPath;
    FilePointer m_pFile;
    int64_t m_nLine = 0;
    std::string m_strText;
    std::vector<std::string_view> m_aFields;
    bool m_bMixedSeparators = false;  // a comma-separated field holds blanks between numbers
};

// The value of a number field (Fortran's exponent letter D or d too); nullopt, with the fault in
// strFault ("not a number", "beyond the range of a double", "not a finite number"), otherwise.
std::optional<double> ParseNumberField(std::string_view strField, std::string& strFault);

// Digits with an optional sign: how every format writes a degree or an order.
bool IsWholeNumber(std::string_view strField);

// The value of a whole number (IsWholeNumber) that fits 64 bits.
std::optional<int64_t> ParseWholeNumber(std::string_view strField);

// Equal but for the case of ASCII letters: keys and extensions.
bool EqualsIgnoringCase(std::string_view strA, std::string_view strB);

// Degree, order, C and S from field nFirst on, for the formats whose orders run from 0 to l
// (a negative order fails). An order's C and S are added to the terms together.
CosineSineRow ReadCosineSineRow(const CTextLines& line, size_t nFirst);

// Whether the fields make a row of a shtools or dov file: at least three, the first two whole
// numbers. Fewer are a header line (pyshtools may write "LMAX, LMAX" on its second one).
bool IsRow(const std::vector<std::string_view>& aFields);

// The rows of a shtools or dov file (IsRow). Up to two header lines may precede them (pyshtools
// writes a reference radius and GM on the first, anything on the second); any other line, or a
// file without rows, fails.
class CColumnRows
{
public:
    explicit CColumnRows(std::string strPath);

    // The next row, in GetLines().GetFields(): false at the end of the file.
    bool Next();
    const CTextLines& GetLines() const { return m_lines; }
    // The numbers of the last header line, when every field of it is one; empty otherwise.
    const std::vector<double>& GetHeaderNumbers() const { return m_aHeaderNumbers; }

private:
    CTextLines m_lines;
    std::vector<double> m_aHeaderNumbers;
    int32_t m_nHeaderLines = 0;
    bool m_bRows = false;
};
