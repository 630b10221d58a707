#pragma once

#include <array>
#include <string>

#include "jobs/request.h"

// Readers of a hydrogen-like orbital's items written as text, for every front end that takes
// text. Each throws RequestError with a one-line message naming the item (strName, as
// lobara-render's option).

// "N,L,M" into the request's orbital, or "N" alone into its shell (every orbital of that N, for a
// table); the other is cleared.
void ReadOrbitalNumbers(const std::string& strName, const std::string& strText, Request& request);

// The nuclear charge Z, from kMinCharge to kMaxCharge.
double ParseCharge(const std::string& strName, const std::string& strText);

// The probability P a boundary surface encloses, above 0 and below 1.
double ParseEnclose(const std::string& strName, const std::string& strText);

// The normal of a slice's plane: xz, xy, yz or a normal "A,B,C".
std::array<double, 3> ParseSliceNormal(const std::string& strName, const std::string& strText);
