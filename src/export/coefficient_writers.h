#pragma once

#include <string>

#include "export/output_stream.h"
#include "fields/gravity_header.h"
#include "sht/field.h"

// Writers of a field's coefficients, one format each, as ReadCoefficientFile reads them back
// (the ACN channels as --acn takes them). Each takes the field's terms as InConvention gives
// them, one a harmonic, sorted, and writes every degree from 0 to the highest (0 alone without
// terms) with every order, 0 where there is no term; C(l, m) for m >= 0 and S(l, |m|) for
// m < 0. Numbers have the 17 significant digits that read back as the same double. Each throws
// std::runtime_error when the stream fails, std::invalid_argument for terms not so sorted.

// Text rows "l, m, C, S" for orders 0 to l, after one comment line that names the convention and,
// where header has the model's radius or GM, pyshtools' line of numbers "R, GM, lmax" (R 0 where
// only GM is known; "R, lmax" where only R is), which the readers take back.
void WriteShtoolsCoefficients(COutputStream& stream, const Field& coefficients,
                              const GravityHeader& header = {});

// Text rows "l, m, value" for orders 0, 1, -1, 2, -2 ... (a negative order the sine), after the
// same lines as shtools rows.
void WriteDovCoefficients(COutputStream& stream, const Field& coefficients, const GravityHeader& header = {});

// ICGEM: the header, with the model's name and constants from header where it has them (else
// the name strModelName and the constants 1, the field as it is), errors "no", the
// normalisation (4pi or unnormalised only), then a "gfc l m C S" line for each order.
void WriteIcgemCoefficients(COutputStream& stream, const Field& coefficients, const GravityHeader& header,
                            const std::string& strModelName);

// Curtin binary: little-endian doubles, the minimum degree 0 and the maximum, then C(l, m) for
// every degree and orders 0 to l, then S(l, m) the same way.
void WriteBshcCoefficients(COutputStream& stream, const Field& coefficients);

// One channel a line in ACN order, channel l^2 + l + m the coefficient of Y(l, m).
void WriteAcnChannels(COutputStream& stream, const Field& coefficients);
