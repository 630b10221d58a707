#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fields/gravity_header.h"
#include "sht/convention.h"

// The coefficients of a file, as the file states them: Term{l, m, c} with m >= 0 the cosine
// coefficient C(l, m) and m < 0 the sine coefficient S(l, |m|), which multiplies +sin(|m| phi)
// in every format. No format applies the Condon-Shortley phase.
struct CoefficientFile
{
    // Every coefficient present with l <= the truncation, zeros left out, sorted by degree and
    // then by m from -l to l. S(l, 0) multiplies sin(0) and is never a term.
    std::vector<Term> aTerms;
    // The file's own (ICGEM header `norm`), else the format's usual one: 4pi for all four.
    Normalization normalization = Normalization::k4Pi;
    bool bNormalizationFromFile = false;  // true when the file's header states it
    bool bCondonShortley = false;         // healpy's alm carry the phase (-1)^m
    std::vector<std::string> aWarnings;   // one line each, e.g. about time-variable terms left out
    // An ICGEM file's model, names and constants; the radius and GM also from a shtools or dov
    // header line of pyshtools' numbers "R, GM, omega, lmax" (or "R, lmax" of a magnetic model:
    // R alone). NaN where the file does not state them.
    GravityHeader header;
    bool bTimeVariable = false;  // ICGEM lines of the time-variable part that the truncation keeps, or
                                 // a magnetic model's rates
    // A magnetic model's secular variation: the yearly rates of its coefficients at the epoch (per
    // year), laid out as the terms; none for the other formats.
    std::optional<std::vector<Term>> rates;

    Convention GetConvention() const
    {
        return Convention{normalization, bCondonShortley, SineSign::kStandard};
    }
};

// Reads the spherical-harmonic coefficients of a regular file, keeping degrees up to nMaxDegree
// (all when it is negative). The format comes from the name and the content:
//   .gfc    ICGEM 1.0 or 2.0: a header up to `end_of_head`, then `gfc`, `gfct`, `trnd`, `dot`,
//           `acos` and `asin` lines. At an epoch (days, fields/model_time.h) the field is the
//           model at that time (fields/time_variable_terms.h); without one it is the static
//           part, `gfc` and `gfct` as written (of ICGEM 2.0, each coefficient's earliest
//           `gfct`), and the terms left out are counted in a warning.
//   .cof    the World Magnetic Model's coefficients: a line of the epoch (a decimal year) and the
//           model's name, rows `n m g h gdot hdot` of Schmidt-normalised Gauss coefficients (nT)
//           and their yearly rates, and a line of nines that ends them. The field is g + gdot
//           (t - t0) at the epoch t (the model's own t0 without one), the rates its secular
//           variation; an epoch beyond the model's five years is a warning.
//   .bshc   Curtin binary: little-endian doubles, the minimum and maximum degree, then C(l, m)
//           and then S(l, m) for every degree from the minimum to the maximum, orders 0 to l.
//   .fits   healpy's complex a_lm of a real field (fields/fits_alm_file.h), the first extension:
//           ortho with the Condon-Shortley phase, Re a_l0 the term of Y(l, 0), sqrt(2) Re a_lm
//           that of Y(l, m) and -sqrt(2) Im a_lm that of Y(l, -m).
//   other   shtools rows `l, m, C, S [errors]`, or dov rows `l, m, value [error]` with m < 0 the
//           sine: `#` starts a comment, fields are separated by blanks or commas, and up to two
//           header lines that do not begin with two whole numbers may precede the rows. A file
//           is dov when its first row has three numbers, or four and a negative order appears
//           in any row; a file with a `begin_of_head` or `end_of_head` line is ICGEM; a file
//           with a `c/s` or `g/h` line is IGRF's table: `#` comments, `c/s deg ord` and the kind
//           of each epoch, `g/h n m` and the epochs (decimal years, rising) and the span of the
//           secular variation's column, then rows `g|h n m` of Schmidt-normalised Gauss
//           coefficients (nT) at each epoch and their yearly rate after the last. At an epoch
//           between two of the table's the field is interpolated linearly, and its rate is that
//           of the interpolation; after the last the rates' column carries it on (a warning
//           beyond five years); before the first it fails. Without an epoch, the last epoch's.
// Magnetic models (.cof, IGRF) are Schmidt-normalised, on the sphere of the geomagnetic reference
// radius 6371.2 km.
// Numbers may write their exponent with D or d (Fortran). Throws std::runtime_error with one
// line naming the file, the line (in text) and the fault for anything else: a missing file or
// a folder, an empty or compressed file, a missing, non-finite or malformed number, a negative
// degree, an order beyond its degree, a coefficient given twice, a degree above kMaxDegree
// that the truncation does not leave out, a binary file whose size is not what its degrees
// take.
// An epoch changes only ICGEM files' time-variable models and the magnetic models.
CoefficientFile ReadCoefficientFile(const std::string& strPath, int32_t nMaxDegree,
                                    const std::optional<double>& epoch = std::nullopt);
