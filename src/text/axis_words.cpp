#include "text/axis_words.h"

#include <cstdlib>

#include "text/picture_text.h"

std::string PowerOfTenMarkup(int nExponent)
{
    return "10<sup>" + WithPrintMinus(std::to_string(std::abs(nExponent)), nExponent < 0) + "</sup>";
}

std::string DegreeAxisMarkup()
{
    return "Degree <i>l</i>";
}

std::string PowerAxisMarkup()
{
    return "Power of degree <i>l</i>";
}
