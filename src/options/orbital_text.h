#pragma once

#include <array>
#include <cstdint>
#include <string>

// Readers of a hydrogen-like orbital's items written as text, for every front end that takes
// text. Each throws RequestError with a one-line message naming the item (strName, as
// lobara-render's option).

// The numbers of --hydrogen: N,L,M, or N alone for every orbital of that N (a table).
struct HydrogenNumbers
{
    int32_t n = 0;
    int32_t l = 0;
    int32_t m = 0;
    bool bWholeShell = false;  // N alone
};

// "N,L,M", or "N" alone.
HydrogenNumbers ParseHydrogenNumbers(const std::string& strName, const std::string& strText);

// The nuclear charge Z, from kMinCharge to kMaxCharge.
double ParseCharge(const std::string& strName, const std::string& strText);

// The probability P a boundary surface encloses, above 0 and below 1.
double ParseEnclose(const std::string& strName, const std::string& strText);

// The normal of a slice's plane: xz, xy, yz or a normal "A,B,C".
std::array<double, 3> ParseSliceNormal(const std::string& strName, const std::string& strText);

// The principal number that begins an --orbital name such as "3d_xy", and the name after it;
// false for a name without one. A number of more digits than any count is above every cap.
bool SplitPrincipal(const std::string& strName, int32_t& n, std::string& strRest);
