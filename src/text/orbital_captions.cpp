#include "text/orbital_captions.h"

#include <cctype>

#include "fields/orbitals.h"
#include "text/picture_text.h"

namespace {

// The plain letters as printed: a digit after a letter is a power (z2 is z²), a hyphen is a minus.
std::string Printed(const std::string& strPlain)
{
    std::string strPrinted;
    for (size_t i = 0; i < strPlain.size(); ++i)
    {
        const char c = strPlain[i];
        const bool bPower =
            i > 0 && std::isalpha(static_cast<unsigned char>(strPlain[i - 1])) && (c == '2' || c == '3');
        if (bPower)
            strPrinted += c == '2' ? "²" : "³";
        else if (c == '-')
            strPrinted += "−";
        else
            strPrinted += c;
    }
    return strPrinted;
}

// A name "d_xy" as "d<sub>xy</sub>": what follows the underscore is its subscript.
std::string NameMarkup(const std::string& strName)
{
    const size_t nUnderscore = strName.find('_');
    if (nUnderscore == std::string::npos)
        return Printed(strName);
    return strName.substr(0, nUnderscore) + "<sub>" + Printed(strName.substr(nUnderscore + 1)) + "</sub>";
}

}  // namespace

bool FindOrbitalCaption(int32_t l, int32_t m, const Convention& convention, OrbitalCaption& caption,
                        int32_t nPrincipal)
{
    OrbitalOfHarmonic orbital;
    if (!FindOrbitalOfHarmonic(l, m, convention, orbital))
        return false;
    const std::string strPolynomial = Printed(orbital.strPolynomial);
    // A sum in the polynomial is bracketed behind the minus.
    const bool bSum = orbital.strPolynomial.find('-') != std::string::npos &&
                      orbital.strPolynomial.find('(') == std::string::npos;
    const std::string strPrincipal = nPrincipal > 0 ? std::to_string(nPrincipal) : "";
    caption.strName = WithPrintMinus(strPrincipal + NameMarkup(orbital.strName), orbital.bNegative);
    caption.strPolynomial = WithPrintMinus(
        orbital.bNegative && bSum ? "(" + strPolynomial + ")" : strPolynomial, orbital.bNegative);
    return true;
}
