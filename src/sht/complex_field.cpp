#include "sht/complex_field.h"

#include <cmath>

#include "sht/field_rows.h"
#include "sht/field_synthesis.h"
#include "sht/symmetry_zeros.h"

ComplexField ComplexParts(const Field& field)
{
    const Convention convention{field.convention.normalization, false, SineSign::kStandard};
    ComplexField parts{Field{{}, convention}, Field{{}, convention}};
    for (const Term& term : field.aTerms)
    {
        if (IsZeroTerm(term))
            continue;
        const int32_t nOrder = std::abs(term.m);
        // The real harmonics of order |m| > 0 carry sqrt(2) more than the complex ones, except
        // unnormalised, where neither has a factor.
        const bool bSqrt2 = nOrder > 0 && convention.normalization != Normalization::kUnnormalized;
        const double dPhase = field.convention.bCondonShortley && term.m > 0 && term.m % 2 != 0 ? -1.0 : 1.0;
        const double c = term.c * dPhase * (bSqrt2 ? kSqrtHalf : 1.0);
        parts.re.aTerms.push_back(Term{term.l, nOrder, c});
        if (nOrder > 0)
            parts.im.aTerms.push_back(Term{term.l, -nOrder, term.m > 0 ? c : -c});
    }
    // A part with no term is the zero field.
    for (Field* pPart : {&parts.re, &parts.im})
        if (pPart->aTerms.empty())
            pPart->aTerms.push_back(Term{0, 0, 0.0});
    return parts;
}

ComplexSamples SampleComplexField(const ComplexField& field, int32_t nT, int32_t nP,
                                  const BuildProgress& onRow, SampleGrid grid)
{
    // One report runs over both parts.
    const auto part = [&onRow](int32_t nBefore) -> BuildProgress {
        if (!onRow)
            return nullptr;
        return [&onRow, nBefore](int32_t nDone, int32_t nRows) { onRow(nBefore * nRows + nDone, 2 * nRows); };
    };
    ComplexSamples samples;
    samples.aRe = SampleField(field.re, nT, nP, part(0), grid);
    samples.aIm = SampleField(field.im, nT, nP, part(1), grid);
    return samples;
}

std::vector<std::array<double, 2>> EvaluateComplexField(const ComplexField& field,
                                                        const std::vector<std::array<double, 2>>& aPoints)
{
    const std::vector<double> aRe = EvaluateField(field.re, aPoints);
    const std::vector<double> aIm = EvaluateField(field.im, aPoints);
    std::vector<std::array<double, 2>> aValues(aPoints.size());
    for (size_t i = 0; i < aPoints.size(); ++i)
        aValues[i] = {aRe[i], aIm[i]};
    return aValues;
}

DoubleArray ComplexModulus(const ComplexSamples& samples)
{
    DoubleArray aModulus;
    const int32_t nCount = samples.aRe.GetSize();
    aModulus.Reserve(nCount);
    aModulus.SetSizeForOverwrite(nCount);
    for (int32_t i = 0; i < nCount; ++i)
        aModulus[i] = std::hypot(samples.aRe[i], samples.aIm[i]);
    return aModulus;
}

std::vector<unsigned char> ComplexSymmetryZeros(const ComplexField& field, int64_t nRows, int64_t nColumns)
{
    std::vector<unsigned char> aZeros = SymmetryZeros(field.re, nRows, nColumns);
    const std::vector<unsigned char> aImaginaryZeros = SymmetryZeros(field.im, nRows, nColumns);
    for (size_t k = 0; k < aZeros.size(); ++k)
        aZeros[k] = aZeros[k] & aImaginaryZeros[k];
    return aZeros;
}
