#pragma once

#include <cstddef>
#include <cstdint>

// healpy's layout of complex coefficients a_lm of orders m = 0 .. M and degrees l = m .. L, order
// after order: a_lm at AlmIndex(l, m, L) = m (2 L + 1 - m) / 2 + l. A real field is
// f = sum over l, m of a_lm Y_lm with a_l(-m) = (-1)^m conj(a_lm); Y_lm = lambda_lm(theta) e^(i m phi)
// are the orthonormal harmonics with the Condon-Shortley phase, lambda_lm = (-1)^m Pbar_lm (see
// NormalizedLegendre), so that f = sum over l of a_l0 Pbar_l0 + sum over m > 0 of
// 2 (-1)^m Pbar_lm (Re a_lm cos(m phi) - Im a_lm sin(m phi)).
inline size_t AlmIndex(int64_t l, int64_t m, int64_t nLmax)
{
    return static_cast<size_t>(m * (2 * nLmax + 1 - m) / 2 + l);
}

inline size_t AlmCount(int64_t nLmax, int64_t nMmax)
{
    return AlmIndex(nLmax + 1, nMmax, nLmax);
}
