#pragma once

#include <string>

// Numbers of the viewpoint dialog, written and read the same way whatever the user's locale.

// Fixed notation with three decimals and a "-" for negatives ("%.3f"): -1e-16 shows "-0.000".
std::u32string FormatCoordinate(double dValue);

// The longest leading decimal number after leading white space (sign, digits with an optional
// point, optional exponent), the rest ignored; 0.0 when the text does not begin with one.
// Too large a magnitude gives an infinity, too small a zero.
double ParseLeadingNumber(const std::u32string& strText);
