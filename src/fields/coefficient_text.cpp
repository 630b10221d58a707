#include "fields/coefficient_text.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <system_error>
#include <utility>

namespace {

// Longer lines are no coefficient file's; the cap keeps a file without line ends from filling
// the memory.
constexpr size_t kMaxLineBytes = 65536;
// Longer fields are no number a coefficient file writes.
constexpr size_t kMaxNumberBytes = 64;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// Appends the blank-separated fields of strPiece.
void AppendBlankFields(std::string_view strPiece, std::vector<std::string_view>& aFields)
{
    size_t i = 0;
    while (i < strPiece.size())
    {
        while (i < strPiece.size() && IsBlank(strPiece[i]))
            ++i;
        const size_t nStart = i;
        while (i < strPiece.size() && !IsBlank(strPiece[i]))
            ++i;
        if (i > nStart)
            aFields.push_back(strPiece.substr(nStart, i - nStart));
    }
}

// A field's start past one leading '+', which from_chars does not take.
std::string_view WithoutPlus(std::string_view strField)
{
    if (strField.size() > 1 && strField[0] == '+' && strField[1] != '-')
        strField.remove_prefix(1);
    return strField;
}

}  // namespace

CTextLines::CTextLines(std::string strPath)
    : m_strPath(std::move(strPath)), m_pFile(OpenCoefficientFile(m_strPath))
{}

bool CTextLines::Next()
{
    m_strText.clear();
    m_aFields.clear();
    m_bMixedSeparators = false;
    int c = getc_unlocked(m_pFile.get());
    if (c == EOF)
    {
        if (std::ferror(m_pFile.get()))
            ThrowCoefficientError(m_strPath, m_nLine + 1, std::generic_category().message(errno));
        return false;
    }
    ++m_nLine;
    for (; c != EOF && c != '\n'; c = getc_unlocked(m_pFile.get()))
    {
        if (m_strText.size() == kMaxLineBytes)
            Fail("the line is longer than " + std::to_string(kMaxLineBytes) + " bytes");
        m_strText.push_back(static_cast<char>(c));
    }
    if (std::ferror(m_pFile.get()))
        Fail(std::generic_category().message(errno));
    // A UTF-8 byte order mark, as some editors write it.
    if (m_nLine == 1 && m_strText.compare(0, 3, "\xEF\xBB\xBF") == 0)
        m_strText.erase(0, 3);
    // UTF-16 puts a zero byte beside every ASCII character; no text of these formats holds one.
    if (m_nLine == 1 &&
        (m_strText.compare(0, 2, "\xFF\xFE") == 0 || m_strText.compare(0, 2, "\xFE\xFF") == 0))
        Fail("the file is UTF-16 text: save it as UTF-8 or ASCII");
    if (m_strText.find('\0') != std::string::npos)
        Fail("the line holds a zero byte: the file is not plain text (UTF-16 text must be saved as UTF-8)");
    m_strText.erase(std::min(m_strText.find('#'), m_strText.size()));
    while (!m_strText.empty() && IsBlank(m_strText.back()))
        m_strText.pop_back();

    const std::string_view strText = m_strText;
    if (strText.find(',') == std::string_view::npos)
    {
        AppendBlankFields(strText, m_aFields);
        return true;
    }
    for (size_t nStart = 0;;)
    {
        const size_t nComma = std::min(strText.find(',', nStart), strText.size());
        const size_t nBefore = m_aFields.size();
        AppendBlankFields(strText.substr(nStart, nComma - nStart), m_aFields);
        if (m_aFields.size() == nBefore)
            m_aFields.emplace_back();
        m_bMixedSeparators = m_bMixedSeparators || m_aFields.size() > nBefore + 1;
        if (nComma == strText.size())
            return true;
        nStart = nComma + 1;
    }
}

void CTextLines::Fail(const std::string& strWhat) const
{
    ThrowCoefficientError(m_strPath, m_nLine, strWhat);
}

void CTextLines::CheckSeparators() const
{
    // "1 1 1,5 0" would be C = 1 and S = 5: a decimal comma is no separator.
    if (m_bMixedSeparators)
        Fail("the numbers are separated by both blanks and commas (a decimal comma?): " +
             QuoteFileText(m_strText));
}

double CTextLines::Number(size_t i, const char* pszName) const
{
    CheckSeparators();
    if (i >= m_aFields.size() || m_aFields[i].empty())
        Fail(std::string(pszName) + " is missing");
    std::string strFault;
    const std::optional<double> dValue = ParseNumberField(m_aFields[i], strFault);
    if (!dValue)
        Fail(std::string(pszName) + " is " + QuoteFileText(m_aFields[i]) + ", " + strFault);
    return *dValue;
}

int64_t CTextLines::WholeNumber(size_t i, const char* pszName) const
{
    CheckSeparators();
    if (i >= m_aFields.size() || m_aFields[i].empty())
        Fail(std::string(pszName) + " is missing");
    const std::string_view strField = m_aFields[i];
    if (!IsWholeNumber(strField))
        Fail(std::string(pszName) + " is " + QuoteFileText(strField) + ", not a whole number");
    const std::optional<int64_t> nValue = ParseWholeNumber(strField);
    if (!nValue)
        Fail(std::string(pszName) + " is " + QuoteFileText(strField) + ", too large");
    return *nValue;
}

std::optional<double> ParseNumberField(std::string_view strField, std::string& strFault)
{
    strFault = "not a number";
    if (strField.empty() || strField.size() > kMaxNumberBytes)
        return std::nullopt;
    // Fortran's exponent letters D and d, here and only here, inside one number.
    char acNumber[kMaxNumberBytes];
    const std::string_view strNumber = WithoutPlus(strField);
    std::transform(strNumber.begin(), strNumber.end(), acNumber,
                   [](char c) { return c == 'D' || c == 'd' ? 'e' : c; });
    const char* const pEnd = acNumber + strNumber.size();
    double dValue = 0.0;
    const auto [pStop, error] = std::from_chars(acNumber, pEnd, dValue);
    if (error == std::errc::result_out_of_range)
        strFault = "beyond the range of a double";
    if (error != std::errc() || pStop != pEnd)
        return std::nullopt;
    if (!std::isfinite(dValue))
    {
        strFault = "not a finite number";
        return std::nullopt;
    }
    return dValue;
}

bool IsWholeNumber(std::string_view strField)
{
    if (!strField.empty() && (strField[0] == '+' || strField[0] == '-'))
        strField.remove_prefix(1);
    return !strField.empty() &&
           std::all_of(strField.begin(), strField.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<int64_t> ParseWholeNumber(std::string_view strField)
{
    if (!IsWholeNumber(strField))
        return std::nullopt;
    const std::string_view strNumber = WithoutPlus(strField);
    int64_t nValue = 0;
    const auto [pStop, error] =
        std::from_chars(strNumber.data(), strNumber.data() + strNumber.size(), nValue);
    if (error != std::errc())
        return std::nullopt;
    return nValue;
}

bool EqualsIgnoringCase(std::string_view strA, std::string_view strB)
{
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return strA.size() == strB.size() && std::equal(strA.begin(), strA.end(), strB.begin(),
                                                    [&](char a, char b) { return lower(a) == lower(b); });
}

CosineSineRow ReadCosineSineRow(const CTextLines& line, size_t nFirst)
{
    const int64_t l = line.WholeNumber(nFirst, "the degree");
    const int64_t m = line.WholeNumber(nFirst + 1, "the order");
    if (m < 0)
        line.Fail("order " + std::to_string(m) + " is negative: a row gives C and S of an order from 0 to l");
    return CosineSineRow{l, m, line.Number(nFirst + 2, "C"), line.Number(nFirst + 3, "S")};
}

bool IsRow(const std::vector<std::string_view>& aFields)
{
    return aFields.size() >= 3 && IsWholeNumber(aFields[0]) && IsWholeNumber(aFields[1]);
}

CColumnRows::CColumnRows(std::string strPath) : m_lines(std::move(strPath)) {}

bool CColumnRows::Next()
{
    while (m_lines.Next())
    {
        const std::vector<std::string_view>& aFields = m_lines.GetFields();
        if (aFields.empty())
            continue;
        // Once rows have begun, a short one is a row with numbers missing, not a header.
        const bool bShortRow = aFields.size() == 2 && IsWholeNumber(aFields[0]) && IsWholeNumber(aFields[1]);
        if (IsRow(aFields) || (m_bRows && bShortRow))
        {
            m_bRows = true;
            return true;
        }
        if (m_bRows || m_nHeaderLines == 2)
        {
            const std::string strWhat =
                "expected a row of degree, order and coefficients, found " + QuoteFileText(m_lines.GetText());
            m_lines.Fail(m_bRows ? strWhat : strWhat + " (at most two header lines come before the rows)");
        }
        ++m_nHeaderLines;
        m_aHeaderNumbers.clear();
        std::string strFault;
        for (const std::string_view strField : aFields)
        {
            const std::optional<double> dValue = ParseNumberField(strField, strFault);
            if (!dValue)
            {
                m_aHeaderNumbers.clear();
                break;
            }
            m_aHeaderNumbers.push_back(*dValue);
        }
    }
    if (!m_bRows)
        ThrowCoefficientError(m_lines.GetPath(), 0, "no rows of degree, order and coefficients");
    return false;
}
