#pragma once

#include <cstdint>
#include <string>

#include "sht/convention.h"

// What Y(l, m) of the convention is, for l <= 3, in Pango markup: its orbital's name (d<sub>xy</sub>)
// and polynomial (xy), with powers raised (z²) and the minus of print, each with a leading − where
// Y(l, m) is the negative of the orbital.
struct OrbitalCaption
{
    std::string strName;
    std::string strPolynomial;
};
// With nPrincipal above 0, the name of the hydrogen-like orbital of that n (3d<sub>xy</sub>).
// False for l > 3, l < 0 or |m| > l.
bool FindOrbitalCaption(int32_t l, int32_t m, const Convention& convention, OrbitalCaption& caption,
                        int32_t nPrincipal = 0);
