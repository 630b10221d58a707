#include "export/fits_alm_writer.h"

#include <algorithm>
#include <complex>
#include <utility>
#include <vector>

#include "export/coefficient_degrees.h"
#include "export/fits_writer.h"
#include "fields/healpy_alm_terms.h"

namespace {

// The rows written at a time.
constexpr int64_t kBlockRows = 65536;

}  // namespace

void WriteFitsAlm(COutputStream& stream, const HealpixAlm& alm, int32_t nLmax, int32_t nMmax)
{
    const int64_t nRows = HealpixAlmSize(nLmax, nMmax);
    const char* pszForm = alm.bSingle ? "E" : "D";
    CFitsWriter writer(stream.GetName());
    std::vector<int64_t> aIndex;
    std::vector<double> aRe, aIm;
    for (const std::vector<std::complex<double>>& aAlm : alm.aComponents)
    {
        writer.AddTable(
            {{"index", "J", "l*l+l+m+1"}, {"real", pszForm, "unknown"}, {"imag", pszForm, "unknown"}}, nRows,
            nullptr);
        // The rows in healpy's order: m from 0 to mmax, and l from m to lmax for each.
        int64_t m = 0, l = 0, nRow = 0;
        while (nRow < nRows)
        {
            aIndex.clear();
            aRe.clear();
            aIm.clear();
            for (; nRow < nRows && static_cast<int64_t>(aIndex.size()) < kBlockRows; ++nRow)
            {
                const std::complex<double> value =
                    aAlm[static_cast<size_t>(m * (2 * int64_t{alm.nLmax} + 1 - m) / 2 + l)];
                aIndex.push_back(l * l + l + m + 1);
                aRe.push_back(value.real());
                aIm.push_back(value.imag());
                if (++l > nLmax)
                    l = ++m;
            }
            const int64_t nFirst = nRow - static_cast<int64_t>(aIndex.size());
            writer.WriteIntegers(0, nFirst, static_cast<int64_t>(aIndex.size()), aIndex.data());
            writer.WriteDoubles(1, nFirst, static_cast<int64_t>(aRe.size()), aRe.data());
            writer.WriteDoubles(2, nFirst, static_cast<int64_t>(aIm.size()), aIm.data());
        }
    }
    writer.WriteTo(stream);
}

void WriteFitsAlmCoefficients(COutputStream& stream, const Field& coefficients)
{
    HealpixAlm alm;
    alm.nLmax = CCoefficientDegrees(coefficients.aTerms).GetMaxDegree();
    alm.nMmax = alm.nLmax;
    alm.aComponents.push_back(AlmOfTerms(coefficients.aTerms, alm.nLmax));
    WriteFitsAlm(stream, alm, alm.nLmax, alm.nMmax);
}
