#pragma once

#include <array>
#include <vector>

#include "sht/convention.h"

// The Cartesian components of B = -grad V of a magnetic model, V = R sum over l of
// q^(l+1) sum over m of (g cos(m phi) + h sin(m phi)) P(l, m) with q = R / r, from its
// Schmidt-normalised Gauss coefficients (terms with m < 0 the h, without the Condon-Shortley
// phase): x towards the equator at phi = 0, y at phi = 90 degrees, z towards the north pole.
// Each component is a harmonic field whose terms are of one degree more, Schmidt-normalised,
// so that the intensity |B| = sqrt(Bx^2 + By^2 + Bz^2) comes from three syntheses. A term of
// degree l gives terms of degree l + 1 and orders m - 1, m and m + 1 by the gradients of the
// solid harmonics r^-(l+1) P(l, m) e^(i m phi) (P unnormalised, no Condon-Shortley phase):
//   d/dz          = -(l - m + 1) r^-(l+2) P(l+1, m) e^(i m phi)
//   d/dx + i d/dy = -r^-(l+2) P(l+1, m+1) e^(i (m+1) phi)
//   d/dx - i d/dy = (l - m + 1)(l - m + 2) r^-(l+2) P(l+1, m-1) e^(i (m-1) phi)   (m >= 1)
// q is R / r, the factor q^(l+2) of each degree l is applied. Terms with l < 0 or |m| > l
// are 0 and left out.
std::array<std::vector<Term>, 3> MagneticComponentTerms(const std::vector<Term>& aTerms, double q);
