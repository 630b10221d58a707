#pragma once

#include <complex>
#include <cstdint>
#include <vector>

#include "sht/convention.h"

// A real field's coefficients both ways between real terms and healpy's complex a_lm (layout of
// fields/fits_alm_file.h), in healpy's convention: ortho with the Condon-Shortley phase, the sine
// multiplying +sin(m phi). a_l0 = C(l, 0) and, for m > 0, a_lm = (C(l, m) - i S(l, m)) sqrt(1/2);
// so C(l, m) = sqrt(2) Re a_lm and S(l, m) = -sqrt(2) Im a_lm, Term{l, -m} holding S(l, m).

// The convention the terms are in.
Convention HealpyConvention();

// The terms of aAlm (of nLmax and nMmax) of degrees up to nLast, zeros left out, sorted by degree
// and then by m from -l to l. Im a_l0, which a real field has not, is left out.
std::vector<Term> TermsOfAlm(const std::vector<std::complex<double>>& aAlm, int32_t nLmax, int32_t nMmax,
                             int32_t nLast);

// The a_lm of lmax = mmax = nLmax of terms with no (l, m) twice and every l from 0 to nLmax.
std::vector<std::complex<double>> AlmOfTerms(const std::vector<Term>& aTerms, int32_t nLmax);
