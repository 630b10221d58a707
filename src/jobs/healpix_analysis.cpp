#include <algorithm>
#include <cmath>
#include <complex>
#include <stdexcept>
#include <utility>

#include "export/values_writer.h"
#include "fields/coefficient_input.h"
#include "fields/healpy_alm_terms.h"
#include "fields/npy_values.h"
#include "healpix/healpix_rings.h"
#include "healpix/healpix_transform.h"
#include "jobs/healpix_maps.h"
#include "options/request_error.h"
#include "sht/build_limits.h"
#include "sht/coefficient_conversion.h"

namespace {

// healpy's mask_bad: a value within 1e-5 of UNSEEN, relatively, is one (a float32 file's UNSEEN
// is not the double's).
bool IsUnseen(double d)
{
    return std::fabs(d - kUnseen) <= 1e-5 * std::fabs(kUnseen);
}

HealpixMap ReadNpyMap(const std::string& strPath, bool bPolarised)
{
    NpyArray array = ReadNpyArray(strPath);
    const size_t nColumns = bPolarised ? 3 : 1;
    const bool bShape =
        bPolarised ? array.anShape.size() == 2 && array.anShape[0] == 3 : array.anShape.size() == 1;
    if (!bShape)
        ThrowCoefficientError(strPath, 0,
                              "a HEALPix map of shape " + array.strShape + ", not " +
                                  (bPolarised ? "(3, 12 Nside^2) of I, Q and U"
                                              : "(12 Nside^2) (--pol reads (3, 12 Nside^2))"));
    std::string strProblem;
    HealpixMap map;
    const int64_t nPixels = array.anShape.back();
    map.nNside = NsideOfPixels(nPixels, strProblem);
    if (!strProblem.empty())
        ThrowCoefficientError(strPath, 0, strProblem);
    for (size_t k = 0; k < nColumns; ++k)
    {
        HealpixMapColumn column;
        const auto pFirst = array.aValues.begin() + static_cast<ptrdiff_t>(k) * nPixels;
        column.aValues.assign(pFirst, pFirst + nPixels);
        map.aColumns.push_back(std::move(column));
    }
    return map;
}

// healpy's map2alm of one map, or of Q and U as spin 2, up to nLmax.
std::vector<Field> Analyse(const HealpixMap& map, int32_t nLmax, int32_t nIter, const Convention& convention)
{
    std::vector<Field> aFields;
    const auto add = [&](const std::vector<std::complex<double>>& aAlm) {
        aFields.push_back(
            InConvention(Field{TermsOfAlm(aAlm, nLmax, nLmax, nLmax), HealpyConvention()}, convention));
    };
    std::vector<std::complex<double>> aFirst(AlmCount(nLmax, nLmax));
    CHealpixTransform(map.nNside, nLmax, nLmax).Analyze(map.aColumns[0].aValues.data(), nIter, aFirst.data());
    add(aFirst);
    if (map.aColumns.size() == 3)
    {
        std::vector<std::complex<double>> aSecond(aFirst.size());
        CHealpixTransform(map.nNside, nLmax, nLmax, 0, 2)
            .AnalyzeSpin(map.aColumns[1].aValues.data(), map.aColumns[2].aValues.data(), nIter, aFirst.data(),
                         aSecond.data());
        add(aFirst);
        add(aSecond);
    }
    return aFields;
}

}  // namespace

HealpixMap ReadHealpixValues(const std::string& strPath, bool bPolarised)
{
    HealpixMap map =
        IsHealpixMapPath(strPath)
            ? ReadHealpixMapFile(strPath, bPolarised ? std::vector<MapColumnChoice>{{0, ""}, {1, ""}, {2, ""}}
                                                     : std::vector<MapColumnChoice>{{0, ""}})
            : ReadNpyMap(strPath, bPolarised);
    static const char* const apszNames[] = {"I", "Q", "U"};
    for (size_t k = 0; k < map.aColumns.size(); ++k)
    {
        const std::vector<double>& aValues = map.aColumns[k].aValues;
        const auto pBad = std::find_if(aValues.begin(), aValues.end(),
                                       [](double d) { return !std::isfinite(d) || IsUnseen(d); });
        if (pBad == aValues.end())
            continue;
        const std::string strPixel = "pixel " + std::to_string(pBad - aValues.begin()) + " (RING)" +
                                     (bPolarised ? std::string(" of ") + apszNames[k] : std::string());
        ThrowCoefficientError(
            strPath, 0,
            strPixel + (std::isfinite(*pBad) ? " is UNSEEN: a map with masked pixels is refused, "
                                               "every pixel needs a value"
                                             : " is not a finite number"));
    }
    return map;
}

void AnalyseHealpixMap(Job& job, IRunHooks& hooks)
{
    const std::string strPath = job.request.Value(opt::kAnalyze);
    const bool bPolarised = job.request.Value(opt::kPol);
    const HealpixMap map = ReadHealpixValues(strPath, bPolarised);
    const int32_t nLmax =
        job.nLmax >= 0 ? job.nLmax : static_cast<int32_t>(std::min<int64_t>(3 * map.nNside - 1, kMaxDegree));
    std::vector<Field> aFields;
    {
        CRunStep step(hooks, "analysing the HEALPix map");
        try
        {
            aFields = Analyse(map, nLmax, job.request.Value(opt::kIter), job.field.convention);
        }
        catch (const std::invalid_argument& error)
        {
            throw RequestError("--analyze '" + strPath + "': " + error.what());
        }
    }
    if (job.healpix.nSide == 0)
        job.healpix.nSide = map.nNside;
    job.field = aFields[bPolarised ? static_cast<size_t>(job.request.Value(opt::kComponent)) : 0];
    if (bPolarised)
        job.healpix.aPolarised = std::move(aFields);
}
