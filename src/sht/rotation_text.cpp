#include "sht/rotation_text.h"

#include <charconv>
#include <cmath>
#include <stdexcept>

namespace {

struct RotationForm
{
    const char* pszName;
    const char* pszUsage;
    size_t nCount;
};

constexpr RotationForm kForms[] = {
    {"zyz", "zyz:ALPHA,BETA,GAMMA", 3},
    {"ypr", "ypr:YAW,PITCH,ROLL", 3},
    {"axis", "axis:X,Y,Z,DEGREES", 4},
};

// The text as it is named in a message: on one line, each control character shown as '?'.
std::string Named(const std::string& strText)
{
    std::string strNamed = "rotation '" + strText + "'";
    for (char& c : strNamed)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = '?';
    return strNamed;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// The comma-separated numbers of strList; false where one does not read as a finite number.
bool ReadNumbers(const std::string& strList, std::vector<double>& aNumbers)
{
    const char* p = strList.data();
    const char* pEnd = p + strList.size();
    while (true)
    {
        while (p != pEnd && IsBlank(*p))
            ++p;
        if (p != pEnd && *p == '+' && p + 1 != pEnd && p[1] != '-')
            ++p;
        double d = 0.0;
        const auto result = std::from_chars(p, pEnd, d);
        if (result.ec != std::errc() || !std::isfinite(d))
            return false;
        aNumbers.push_back(d);
        p = result.ptr;
        while (p != pEnd && IsBlank(*p))
            ++p;
        if (p == pEnd)
            return true;
        if (*p != ',')
            return false;
        ++p;
    }
}

}  // namespace

Rotation ParseRotation(const std::string& strText)
{
    const size_t nColon = strText.find(':');
    const std::string strName = strText.substr(0, nColon);
    for (const RotationForm& form : kForms)
    {
        if (strName != form.pszName)
            continue;
        std::vector<double> a;
        if (nColon == std::string::npos || !ReadNumbers(strText.substr(nColon + 1), a) ||
            a.size() != form.nCount)
            throw std::invalid_argument(Named(strText) + " needs " + std::to_string(form.nCount) +
                                        " finite numbers: " + form.pszUsage);
        if (strName == "zyz")
            return Then(Then(RotationAboutZ(a[2]), RotationAboutY(a[1])), RotationAboutZ(a[0]));
        if (strName == "ypr")
            return Then(Then(RotationAboutX(a[2]), RotationAboutY(a[1])), RotationAboutZ(a[0]));
        if (a[0] == 0.0 && a[1] == 0.0 && a[2] == 0.0)
            throw std::invalid_argument(Named(strText) + " has no axis: X,Y,Z is 0");
        return RotationAboutAxis({a[0], a[1], a[2]}, a[3]);
    }
    throw std::invalid_argument(
        Named(strText) + " is none of zyz:ALPHA,BETA,GAMMA, ypr:YAW,PITCH,ROLL and axis:X,Y,Z,DEGREES");
}

Rotation ParseRotations(const std::vector<std::string>& aTexts)
{
    Rotation rotation;
    for (const std::string& strText : aTexts)
        rotation = Then(rotation, ParseRotation(strText));
    return rotation;
}
