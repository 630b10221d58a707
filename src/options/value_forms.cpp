#include "options/value_forms.h"

#include "export/values_writer.h"
#include "options/value_text.h"

ValueForm<int32_t> IntegerIn(long long nMin, long long nMax)
{
    return ValueForm<int32_t>{[nMin, nMax](const std::string& strName, const std::string& strText) {
                                  return ParseInt32(strName, strText, nMin, nMax);
                              },
                              [](const int32_t& n) { return std::to_string(n); },
                              {}};
}

ValueForm<double> PositiveNumber()
{
    return ValueForm<double>{&ParsePositive, &ShortDecimalText, {}};
}

ValueForm<double> Number(const char* pszForm)
{
    return ValueForm<double>{[pszForm](const std::string& strName, const std::string& strText) {
                                 return ParseNumbers(strName, strText, 1, pszForm)[0];
                             },
                             &ShortDecimalText,
                             {}};
}

ValueForm<std::string> FileName()
{
    return ValueForm<std::string>{&NonEmptyPath, {}, {}};
}

ValueForm<std::array<double, 3>> Point()
{
    return ValueForm<std::array<double, 3>>{&ParsePoint,
                                            [](const std::array<double, 3>& point) {
                                                std::string strText;
                                                for (size_t i = 0; i < point.size(); ++i)
                                                    strText += (i ? "," : "") + ShortDecimalText(point[i]);
                                                return strText;
                                            },
                                            {}};
}

ValueForm<std::array<int, 2>> Size(int nMaxSide)
{
    return ValueForm<std::array<int, 2>>{[nMaxSide](const std::string& strName, const std::string& strText) {
                                             return ParseSize(strName, strText, nMaxSide);
                                         },
                                         [](const std::array<int, 2>& size) {
                                             return std::to_string(size[0]) + "x" + std::to_string(size[1]);
                                         },
                                         {}};
}
