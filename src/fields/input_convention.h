#pragma once

#include <optional>
#include <string>
#include <vector>

#include "fields/coefficient_file.h"
#include "names/named_values.h"
#include "sht/convention.h"

// The convention of each kind of input, from what was given of it: the normalisation and the sine's
// sign where given, the Condon-Shortley phase where asked for.
struct ConventionChoice
{
    std::optional<Normalization> normalization;
    bool bCondonShortley = false;
    std::optional<SineSign> sine;
};

// The common sets by name: lobara (the viewer's own: ortho, no phase, the program's sine sign),
// physics (ortho with the Condon-Shortley phase and the standard sine, as SciPy's), geodesy (4pi,
// as shtools and ICGEM files), ambix (SN3D), n3d and schmidt (all three with the standard sine).
bool FindConventionNamed(const std::string& strName, Convention& convention);
std::vector<std::string> ConventionNames();
NamedValues<Convention> ConventionNamedValues();

// Single harmonics, terms and orbitals: the viewer's own harmonics (ortho, the program's sine sign)
// unless told.
Convention HarmonicConvention(const ConventionChoice& choice);

// Ambisonic channels: AmbiX (SN3D, the standard sine) unless told.
Convention AcnConvention(const ConventionChoice& choice);

// A coefficient file: its S multiplies +sin(m phi) and the file's own normalisation holds (its
// header's, else the one given, else its format's). Throws std::invalid_argument, naming strPath,
// where the normalisation given contradicts the header.
Convention FileConvention(const ConventionChoice& choice, const CoefficientFile& file,
                          const std::string& strPath);

// The terms of ambisonic channels in ACN order: channel n is Y(l, m) with n = l * l + l + m.
std::vector<Term> AcnTerms(const std::vector<double>& aChannels);
