#pragma once

#include <string>

// The words of a plot's axes, as Pango markup.

// A power of ten, its exponent raised: "10<sup>−3</sup>" (with the minus of print).
std::string PowerOfTenMarkup(int nExponent);

// The titles of a spectrum's axes: the degree l along, the power of degree l up.
std::string DegreeAxisMarkup();
std::string PowerAxisMarkup();
