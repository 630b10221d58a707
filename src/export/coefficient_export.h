#pragma once

#include <string>

#include "export/output_files.h"
#include "fields/gravity_header.h"
#include "sht/field.h"

// The format of a coefficient file written, by its name as ReadCoefficientFile reads it: .gfc
// ICGEM, .bshc Curtin binary and .fits healpy's alm; of the text names, .acn.txt the ACN
// channels, .dov dov rows and any other shtools rows.
enum class CoefficientOutputFormat
{
    kShtools,
    kDov,
    kIcgem,
    kBshc,
    kAcn,
    kFitsAlm,
};
CoefficientOutputFormat CoefficientOutputFormatOf(const std::string& strPath);

// The formats by name for the help: ".gfc (ICGEM), .bshc (...), ...".
std::string CoefficientOutputFormatsDescribed();

// The format's own convention: for the four files 4pi, no Condon-Shortley phase and +sin(m phi);
// for the ACN channels SN3D (AmbiX), no Condon-Shortley phase and +sin(m phi); for healpy's alm
// ortho with the Condon-Shortley phase and +sin(m phi), the only one they hold.
Convention FormatConvention(CoefficientOutputFormat format);

// Empty when the format holds coefficients in the convention; otherwise why it does not, in
// one line: the four files multiply S by +sin(m phi), ICGEM states only 4pi (as
// fully_normalized) or unnormalised, and healpy's alm are its complex ones.
std::string ConventionRefusal(CoefficientOutputFormat format, const Convention& convention);

// Writes the coefficients (as InConvention gives them, in a convention the format holds) to
// strPath in the format of its name; an ICGEM file takes the model's name and constants from
// header, else the file's name without its folder and extension and the constants 1; shtools and
// dov rows take the radius and GM that header has. Throws
// std::invalid_argument for a convention the format does not hold, and std::runtime_error as
// outputs.Write does.
void WriteCoefficientFile(COutputSet& outputs, const std::string& strPath, const Field& coefficients,
                          const GravityHeader& header);
