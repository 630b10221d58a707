#include "export/coefficient_export.h"

#include <stdexcept>

#include "export/coefficient_writers.h"
#include "export/fits_alm_writer.h"
#include "fields/coefficient_file_names.h"

namespace {

// A name of one word (ICGEM's modelname): the file's name without its folder and extension,
// blanks made underscores.
std::string ModelNameOf(const std::string& strPath)
{
    const size_t nSlash = strPath.rfind('/');
    std::string strName = nSlash == std::string::npos ? strPath : strPath.substr(nSlash + 1);
    strName = strName.substr(0, strName.size() - 4);
    for (char& c : strName)
        if (c == ' ' || c == '\t' || c == ',' || c == '#')
            c = '_';
    return strName.empty() ? "field" : strName;
}

}  // namespace

CoefficientOutputFormat CoefficientOutputFormatOf(const std::string& strPath)
{
    switch (CoefficientFormatByName(strPath))
    {
        case CoefficientNameFormat::kIcgem:
            return CoefficientOutputFormat::kIcgem;
        case CoefficientNameFormat::kBshc:
            return CoefficientOutputFormat::kBshc;
        case CoefficientNameFormat::kFitsAlm:
            return CoefficientOutputFormat::kFitsAlm;
        case CoefficientNameFormat::kWmm:  // no writer: shtools rows, as for any other name
        case CoefficientNameFormat::kText:
            break;
    }
    if (HasExtension(strPath, ".acn.txt"))
        return CoefficientOutputFormat::kAcn;
    if (HasExtension(strPath, ".dov"))
        return CoefficientOutputFormat::kDov;
    return CoefficientOutputFormat::kShtools;
}

std::string CoefficientOutputFormatsDescribed()
{
    return ".gfc (ICGEM, with its header), .bshc (Curtin binary), .fits (healpy's complex alm), .dov (rows "
           "l, m, value), .acn.txt (the "
           "ACN channels, one a line, for --acn) or any other name (shtools rows l, m, C, S)";
}

Convention FormatConvention(CoefficientOutputFormat format)
{
    if (format == CoefficientOutputFormat::kFitsAlm)
        return Convention{Normalization::kOrtho, true, SineSign::kStandard};
    return Convention{format == CoefficientOutputFormat::kAcn ? Normalization::kSn3d : Normalization::k4Pi,
                      false, SineSign::kStandard};
}

std::string ConventionRefusal(CoefficientOutputFormat format, const Convention& convention)
{
    if (format == CoefficientOutputFormat::kAcn)
        return "";
    if (format == CoefficientOutputFormat::kFitsAlm)
        return convention == FormatConvention(format) ? ""
                                                      : "healpy's alm are complex coefficients of ortho with "
                                                        "the Condon-Shortley phase and +sin(m "
                                                        "phi), no other convention";
    if (convention.sine != SineSign::kStandard)
        return "a coefficient file's S multiplies +sin(m phi): it cannot hold this program's own sine";
    if (format == CoefficientOutputFormat::kIcgem && convention.normalization != Normalization::k4Pi &&
        convention.normalization != Normalization::kUnnormalized)
        return std::string(
                   "an ICGEM file states its normalisation as fully_normalized (4pi) or "
                   "unnormalized, not ") +
               NormalizationName(convention.normalization);
    return "";
}

void WriteCoefficientFile(COutputSet& outputs, const std::string& strPath, const Field& coefficients,
                          const GravityHeader& header)
{
    const CoefficientOutputFormat format = CoefficientOutputFormatOf(strPath);
    const std::string strRefusal = ConventionRefusal(format, coefficients.convention);
    if (!strRefusal.empty())
        throw std::invalid_argument(strRefusal);
    outputs.Write(strPath, [&](COutputStream& stream) {
        switch (format)
        {
            case CoefficientOutputFormat::kShtools:
                WriteShtoolsCoefficients(stream, coefficients, header);
                break;
            case CoefficientOutputFormat::kDov:
                WriteDovCoefficients(stream, coefficients, header);
                break;
            case CoefficientOutputFormat::kIcgem:
                WriteIcgemCoefficients(stream, coefficients, header, ModelNameOf(strPath));
                break;
            case CoefficientOutputFormat::kBshc:
                WriteBshcCoefficients(stream, coefficients);
                break;
            case CoefficientOutputFormat::kAcn:
                WriteAcnChannels(stream, coefficients);
                break;
            case CoefficientOutputFormat::kFitsAlm:
                WriteFitsAlmCoefficients(stream, coefficients);
                break;
        }
    });
}
