#include "fields/npy_values.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <limits>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "fields/coefficient_input.h"
#include "fields/coefficient_text.h"

namespace {

// The text after 'key': in a header dict, up to the next comma outside parentheses, trimmed;
// nullopt when the key is not there. A key written twice, which NumPy would read as its last
// value, is refused: the header is not what it seems.
std::optional<std::string> DictValue(std::string_view strHeader, const char* pszKey,
                                     const std::function<void(const std::string&)>& fail)
{
    const std::string strKey = std::string("'") + pszKey + "'";
    const size_t nKey = strHeader.find(strKey);
    if (nKey == std::string_view::npos)
        return std::nullopt;
    if (strHeader.find(strKey, nKey + 1) != std::string_view::npos)
        fail("the NumPy header names " + strKey + " more than once");
    size_t i = strHeader.find(':', nKey + strKey.size());
    if (i == std::string_view::npos)
        return std::nullopt;
    int nDepth = 0;
    std::string strValue;
    for (++i; i < strHeader.size(); ++i)
    {
        const char c = strHeader[i];
        if (c == '(')
            ++nDepth;
        else if (c == ')')
            --nDepth;
        else if ((c == ',' && nDepth == 0) || c == '}')
            break;
        if (c != ' ')
            strValue += c;
    }
    return strValue;
}

// "(N,)" or "(N0,N1)", each size positive and within 32 bits.
bool ParseShape(const std::string& strShape, std::vector<int64_t>& anShape)
{
    if (strShape.size() < 2 || strShape.front() != '(' || strShape.back() != ')')
        return false;
    std::string_view strInside(strShape.data() + 1, strShape.size() - 2);
    const size_t nComma = strInside.find(',');
    if (nComma == std::string_view::npos || strInside.find(',', nComma + 1) != std::string_view::npos)
        return false;
    anShape.clear();
    for (const std::string_view strSize : {strInside.substr(0, nComma), strInside.substr(nComma + 1)})
    {
        if (strSize.empty() && !anShape.empty())
            break;  // "(N,)": one dimension
        const std::optional<int64_t> n = ParseWholeNumber(strSize);
        if (!n || *n <= 0 || *n > std::numeric_limits<int32_t>::max())
            return false;
        anShape.push_back(*n);
    }
    return true;
}

}  // namespace

NpyArray ReadNpyArray(const std::string& strPath)
{
    const FilePointer pFile = OpenCoefficientFile(strPath);
    const auto fail = [&strPath](const std::string& strWhat) { ThrowCoefficientError(strPath, 0, strWhat); };
    unsigned char abStart[12] = {};
    const size_t nStart = std::fread(abStart, 1, sizeof abStart, pFile.get());
    if (nStart < 10 || std::memcmp(abStart, "\x93NUMPY", 6) != 0 || abStart[6] < 1 || abStart[6] > 3)
        fail("not a NumPy .npy file");
    // Version 1 has a 16-bit header length, versions 2 and 3 a 32-bit one.
    const bool bWide = abStart[6] >= 2;
    if (bWide && nStart < 12)
        fail("not a NumPy .npy file");
    const size_t nHeader = bWide ? (size_t{abStart[8]} | size_t{abStart[9]} << 8 | size_t{abStart[10]} << 16 |
                                    size_t{abStart[11]} << 24)
                                 : (size_t{abStart[8]} | size_t{abStart[9]} << 8);
    const size_t nDataStart = (bWide ? 12 : 10) + nHeader;
    if (nHeader > 1 << 20)
        fail("a NumPy header of " + std::to_string(nHeader) + " bytes");
    std::string strHeader(nHeader, '\0');
    if (std::fseek(pFile.get(), static_cast<long>(bWide ? 12 : 10), SEEK_SET) != 0 ||
        std::fread(strHeader.data(), 1, nHeader, pFile.get()) != nHeader)
        fail("the NumPy header is cut short");
    const std::optional<std::string> strDescr = DictValue(strHeader, "descr", fail);
    const std::optional<std::string> strOrder = DictValue(strHeader, "fortran_order", fail);
    const std::optional<std::string> strShape = DictValue(strHeader, "shape", fail);
    if (!strDescr || !strOrder || !strShape)
        fail("the NumPy header has no descr, fortran_order or shape");
    if (*strDescr != "'<f8'")
        fail("the values are of type " + *strDescr + ", not float64 ('<f8')");
    if (*strOrder != "False")
        fail("the values are in Fortran order, not C order");
    NpyArray array;
    array.strShape = *strShape;
    if (!ParseShape(*strShape, array.anShape))
        fail("the shape " + *strShape +
             " is not of one or two dimensions of whole numbers from 1 to 2^31 - 1");
    // The size is checked before anything is allocated for it, as a count of values from the
    // file's bytes (a product of the shape's sizes holds in 64 bits; 8 times it need not).
    size_t nCount = 1;
    for (const int64_t n : array.anShape)
        nCount *= static_cast<size_t>(n);
    if (std::fseek(pFile.get(), 0, SEEK_END) != 0)
        fail("cannot find the size of the file");
    const long nSize = std::ftell(pFile.get());
    const size_t nDataBytes =
        nSize < 0 ? 0 : static_cast<size_t>(nSize) - std::min<size_t>(nSize, nDataStart);
    if (nSize < 0 || static_cast<size_t>(nSize) < nDataStart || nDataBytes % 8 != 0 ||
        nDataBytes / 8 != nCount)
        fail("the file holds " + std::to_string(nDataBytes) + " bytes of values, not the " +
             std::to_string(nCount) + " doubles of shape " + *strShape);
    std::vector<unsigned char> abData(8 * nCount);
    if (std::fseek(pFile.get(), static_cast<long>(nDataStart), SEEK_SET) != 0 ||
        std::fread(abData.data(), 1, abData.size(), pFile.get()) != abData.size())
        fail("the values are cut short");
    array.aValues = DecodeDoubles(abData.data(), nCount);
    return array;
}

GridValues ReadNpyValues(const std::string& strPath)
{
    NpyArray array = ReadNpyArray(strPath);
    if (array.anShape.size() != 2)
        ThrowCoefficientError(strPath, 0,
                              "the shape " + array.strShape + " is not (rings, values to a ring)");
    GridValues values;
    values.nT = static_cast<int32_t>(array.anShape[0]);
    values.nP = static_cast<int32_t>(array.anShape[1]);
    values.aValues = std::move(array.aValues);
    CheckFiniteValues(strPath, values);
    return values;
}
