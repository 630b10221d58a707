#include "jobs/healpix_plan.h"

#include "export/values_writer.h"
#include "fields/coefficient_file_names.h"
#include "fields/healpix_map_file.h"
#include "options/request_error.h"

namespace {

// A HEALPix map is a .fits file or a NumPy array.
bool HoldsHealpixMap(const std::string& strPath)
{
    return IsHealpixMapPath(strPath) || ValuesFormatOf(strPath) == ValuesFormat::kNpy;
}

// The options that change analysed coefficients, which a map drawn pixel for pixel has not.
void CheckPixelMap(const Request& r)
{
    const COptionBase* const apAnalysis[] = {&opt::kLmin, &opt::kLmax, &opt::kRotate, &opt::kIter,
                                             &opt::kPol};
    for (const COptionBase* pOption : apAnalysis)
        if (r.Has(*pOption))
            throw RequestError(
                "--map draws the HEALPix map of --analyze pixel for pixel, with nothing analysed: " +
                pOption->Name() + " does not go with it");
}

void CheckValues(const Request& r, const Job& job)
{
    const std::string strValues = r.Value(opt::kValues);
    if (!HoldsHealpixMap(strValues))
        throw RequestError(
            "--values on the HEALPix grid writes a map: it needs a name ending in .fits or .npy, not '" +
            strValues + "'");
    if (job.kind != JobKind::kSurface)
        throw RequestError(
            "--values on the HEALPix grid samples a field on the sphere: a hydrogen-like "
            "orbital's values lie in a box");
    if (r.Has(opt::kQuantity))
        throw RequestError(
            "--values on the HEALPix grid writes the field of the coefficients: --quantity does "
            "not go with it");
    if (r.Value(opt::kComplex))
        throw RequestError("--values on the HEALPix grid writes a real map: --complex does not go with it");
    if (!r.Has(opt::kNside) && !job.healpix.bAnalysis)
        throw RequestError(
            "--values on the HEALPix grid needs its resolution: give --nside N (12 N^2 pixels)");
}

void CheckPolarised(const Request& r, const Job& job)
{
    if (!job.healpix.bAnalysis && !job.healpix.bValues)
        throw RequestError(
            "--pol reads or writes polarised HEALPix maps: it needs --grid healpix or a .fits "
            "values file");
    if (!job.healpix.bAnalysis && !(r.Has(opt::kCoeffs) && CoefficientFormatByName(r.Value(opt::kCoeffs)) ==
                                                               CoefficientNameFormat::kFitsAlm))
        throw RequestError(
            "--pol writes I, Q and U of T, E and B: give them as --coeffs alm.fits (its first three "
            "extensions) or analyse a polarised map with --analyze");
    if (r.Has(opt::kRotate))
        throw RequestError("--rotate turns one field: it does not go with --pol");
}

}  // namespace

bool AnalysesHealpixMap(const Request& r)
{
    return r.Has(opt::kAnalyze) && (r.Value(opt::kGrid).bHealpix || IsHealpixMapPath(r.Value(opt::kAnalyze)));
}

void ChooseHealpix(const Request& r, Job& job)
{
    const GridChoice grid = r.Value(opt::kGrid);
    // A .fits values file is a HEALPix map, which no other grid holds.
    for (const COption<std::string>* pFile : {&opt::kAnalyze, &opt::kValues})
        if (IsHealpixMapPath(r.Value(*pFile)) && r.Has(opt::kGrid) && !grid.bHealpix)
            throw RequestError(pFile->Name() + " '" + r.Value(*pFile) +
                               "' is a HEALPix map: it does not go with --grid " + GridChoiceName(grid));
    HealpixJob& healpix = job.healpix;
    healpix.bAnalysis = AnalysesHealpixMap(r);
    healpix.bValues = r.Has(opt::kValues) && (grid.bHealpix || IsHealpixMapPath(r.Value(opt::kValues)));
    healpix.bPixels = healpix.bAnalysis && job.kind == JobKind::kMap;
    healpix.nSide = r.Get(opt::kNside).value_or(0);
    job.mapFlip = r.Get(opt::kFlip).value_or(healpix.bPixels ? MapFlip::kAstro : MapFlip::kGeo);
    if (healpix.bAnalysis)
    {
        if (!HoldsHealpixMap(r.Value(opt::kAnalyze)))
            throw RequestError(
                "--analyze on the HEALPix grid reads a map: it needs a name ending in .fits or .npy, "
                "not '" +
                r.Value(opt::kAnalyze) + "'");
        if (r.Has(opt::kVariable))
            throw RequestError("--variable names a variable of a netCDF file: a HEALPix map has none");
    }
    else if (r.Has(opt::kIter))
        throw RequestError("--iter refines the analysis of a HEALPix map: --analyze needs one");
    if (healpix.bPixels)
        CheckPixelMap(r);
    if (healpix.bValues)
        CheckValues(r, job);
    else if (r.Has(opt::kNside))
        throw RequestError(
            "--nside sets the HEALPix map of --values: it needs --grid healpix or a .fits --values");
    if (r.Value(opt::kPol))
        CheckPolarised(r, job);
}
