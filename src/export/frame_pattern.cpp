#include "export/frame_pattern.h"

#include <cstdio>
#include <cstring>

bool ParseFramePattern(const std::string& strText, FramePattern& pattern, std::string& strError)
{
    FramePattern result;
    std::string* pText = &result.strBefore;
    bool bField = false;
    for (size_t i = 0; i < strText.size(); ++i)
    {
        if (strText[i] != '%')
        {
            *pText += strText[i];
            continue;
        }
        if (i + 1 < strText.size() && strText[i + 1] == '%')
        {
            *pText += '%';
            ++i;
            continue;
        }
        const size_t nStart = i++;
        while (i < strText.size() && std::strchr("-+ 0", strText[i]) != nullptr && strText[i] != '\0')
            ++i;
        const size_t nDigits = i;
        while (i < strText.size() && strText[i] >= '0' && strText[i] <= '9')
            ++i;
        if (i - nDigits > 2 || i >= strText.size() || (strText[i] != 'd' && strText[i] != 'i'))
        {
            strError = "only an integer field such as %d or %03d may follow '%' (write %% for a plain %)";
            return false;
        }
        if (bField)
        {
            strError = "it holds more than one field";
            return false;
        }
        bField = true;
        result.strField = strText.substr(nStart, i + 1 - nStart);
        pText = &result.strAfter;
    }
    if (!bField)
    {
        strError = "it holds no frame number field such as %d or %03d";
        return false;
    }
    pattern = result;
    return true;
}

std::string FrameName(const FramePattern& pattern, int nFrame)
{
    char acNumber[128];
    std::snprintf(acNumber, sizeof acNumber, pattern.strField.c_str(), nFrame);
    return pattern.strBefore + acNumber + pattern.strAfter;
}
