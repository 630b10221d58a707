#include <strings.h>

#include <algorithm>
#include <iterator>
#include <stdexcept>

#include "camera/camera_math.h"
#include "export/coefficient_export.h"
#include "export/mesh_export.h"
#include "export/output_files.h"
#include "export/values_writer.h"
#include "fields/input_convention.h"
#include "fields/orbitals.h"
#include "hydrogen/radial_function.h"
#include "jobs/field_outputs.h"
#include "jobs/geodetic_request.h"
#include "jobs/healpix_plan.h"
#include "jobs/job.h"
#include "options/option_rules.h"
#include "options/option_table.h"
#include "options/orbital_text.h"
#include "options/request_error.h"
#include "render/offscreen_context.h"
#include "sht/degree_band.h"

namespace {

// Refuses two outputs that would land in one file, where one would be lost.
void CheckOutputsApart(const Job& job)
{
    const Request& r = job.request;
    std::vector<std::string> aPaths, aWhat;
    const auto add = [&](const std::string& strPath, const std::string& strWhat) {
        aPaths.push_back(strPath);
        aWhat.push_back(strWhat);
    };
    for (const COption<std::string>* pOutput : {&opt::kValues, &opt::kMesh, &opt::kOut, &opt::kHtml,
                                                &opt::kCoeffsOut, &opt::kSpectrum, &opt::kCube})
    {
        const std::string strPath = r.Value(*pOutput);
        if (strPath.empty())
            continue;
        if (pOutput == &opt::kMesh)
            for (const std::string& strFile : MeshFilePaths(strPath))
                add(strFile, strFile == strPath ? "--mesh" : "the material library of --mesh");
        else if (pOutput == &opt::kOut && r.Has(opt::kTurntable))
            for (int k = 0; k < r.Value(opt::kTurntable); ++k)
                add(FrameName(job.framePattern, k), "frame " + std::to_string(k) + " of --turntable");
        else
            add(strPath, pOutput->Name());
    }
    size_t nFirst = 0, nSecond = 0;
    if (FindSameFile(aPaths, nFirst, nSecond))
        throw RequestError(aWhat[nFirst] + " and " + aWhat[nSecond] + " name the same file '" +
                           aPaths[nSecond] + "': each output needs a file of its own");
}

// What the run says of a convention given in part: the parts it took from the input.
std::string ConventionNote(const Request& r, const ConventionChoice& choice)
{
    const bool bSome = r.Has(opt::kNorm) || r.Has(opt::kCs) || r.Has(opt::kSine);
    if (r.Has(opt::kConvention) || !bSome || (r.Has(opt::kNorm) && r.Has(opt::kSine)) || r.Has(opt::kStats) ||
        r.Has(opt::kCoeffs))
        return "";
    const Convention convention = r.Has(opt::kAcn) ? AcnConvention(choice) : HarmonicConvention(choice);
    return std::string("the convention in force is ") + NormalizationName(convention.normalization) + ", " +
           (convention.bCondonShortley ? "with" : "without") + " the Condon-Shortley phase, sine " +
           SineSignName(convention.sine) + " (--convention sets all three)";
}

// The values to analyse: headerless doubles take their shape from --theta and --phi; scattered
// points come only as CSV rows.
void CheckAnalysis(const Request& r)
{
    if (AnalysesHealpixMap(r))
        return;  // checked by ChooseHealpix
    const ValuesFormat format = ValuesFormatOf(r.Value(opt::kAnalyze));
    if (r.Value(opt::kGrid).bPoints && format != ValuesFormat::kCsv)
        throw RequestError(
            "--grid points reads CSV rows theta,phi,value and an optional weight: --analyze needs "
            "a name ending in .csv, not '" +
            r.Value(opt::kAnalyze) + "'");
    if (format == ValuesFormat::kRaw && !(r.Has(opt::kTheta) && r.Has(opt::kPhi)))
        throw RequestError("--analyze of headerless doubles needs their shape: give --theta and --phi");
    if (r.Has(opt::kVariable) && format != ValuesFormat::kNetcdf)
        throw RequestError(
            "--variable names a variable of a netCDF file: --analyze needs a name ending in .nc");
}

// The hydrogen-like orbital of --hydrogen or of an --orbital name with a principal number, in the
// convention, with its charge.
void ChooseHydrogenOrbital(const Request& r, const Convention& convention, HydrogenOrbital& orbital)
{
    orbital.convention = convention;
    orbital.bComplex = r.Value(opt::kComplex);
    orbital.numbers.dCharge = r.Value(opt::kCharge);
    const std::string strOrbital = r.Value(opt::kOrbital);
    if (const HydrogenNumbers* pNumbers = r.Find(opt::kHydrogen))
    {
        orbital.numbers.n = pNumbers->n;  // a shell's l and m are each cell's
        orbital.numbers.l = pNumbers->l;
        orbital.numbers.m = pNumbers->m;
    }
    else
    {
        std::string strName;
        SplitPrincipal(strOrbital, orbital.numbers.n, strName);
        // The pure orbital of that name, its sign in the convention with unit harmonics.
        Convention unit = convention;
        unit.normalization = Normalization::kOrtho;
        Field field;
        if (!FindOrbital(strName, unit, field))
            throw RequestError("--orbital with a principal number needs one of " + OrbitalNames() +
                               " after it, not '" + strOrbital + "'");
        if (field.aTerms.size() != 1)
            throw RequestError(
                "--orbital '" + strOrbital +
                "': a hybrid mixes orbitals of several L, each with its own radial part; give a "
                "pure orbital (s, p, d or f) after the principal number");
        orbital.numbers.l = field.aTerms[0].l;
        orbital.numbers.m = field.aTerms[0].m;
        orbital.bNegative = field.aTerms[0].c < 0.0;
    }
    const std::string strError = OrbitalNumbersError(orbital.numbers);
    if (!strError.empty())
        throw RequestError((strOrbital.empty() ? "--hydrogen: " : "--orbital '" + strOrbital + "': ") +
                           strError);
}

// The values of a hydrogen-like orbital asked for besides its surface or instead of it.
void ChooseOrbitalValues(const Request& r, OrbitalJob& orbital)
{
    OrbitalValuesJob& values = orbital.values;
    for (const std::vector<double>& aPoint : r.Value(opt::kAt))
    {
        if (aPoint.size() != 3)
            throw RequestError("--at with a hydrogen-like orbital takes a point X,Y,Z in Bohr radii");
        values.aAt.push_back({aPoint[0], aPoint[1], aPoint[2]});
    }
    values.strValuesPath = r.Value(opt::kValues);
    values.strCubePath = r.Value(opt::kCube);
    values.nBoxSide = r.Value(opt::kCubeSize);
    values.quantity = r.Value(opt::kDensity) ? OrbitalQuantity::kDensity : OrbitalQuantity::kPsi;
    const std::string strError = OrbitalValuesError(orbital.orbital, values);
    if (!strError.empty())
        throw RequestError(strError);
}

// A netCDF file of --values holds real values on the sphere's latitudes and longitudes.
void CheckNetcdfValues(const Request& r, const Job& job)
{
    if (ValuesFormatOf(r.Value(opt::kValues)) != ValuesFormat::kNetcdf)
        return;
    if (r.Value(opt::kComplex))
        throw RequestError(
            "--values of a complex field writes .npy, .csv or raw doubles: a netCDF grid (.nc) "
            "holds real values");
    if (job.kind == JobKind::kOrbital || job.kind == JobKind::kSlice)
        throw RequestError(
            "--values of a hydrogen-like orbital writes a box of .npy, .csv or raw doubles: "
            "a netCDF grid (.nc) lies on latitude and longitude");
}

// What a hydrogen-like orbital's job draws.
void ChooseHydrogen(const Request& r, Job& job)
{
    const HydrogenNumbers* pNumbers = r.Find(opt::kHydrogen);
    if (pNumbers && !pNumbers->bWholeShell && r.Has(opt::kTable))
        throw RequestError("--table with --hydrogen takes N alone and draws every orbital of that N, not '" +
                           std::to_string(pNumbers->n) + "," + std::to_string(pNumbers->l) + "," +
                           std::to_string(pNumbers->m) + "'");
    OrbitalJob& orbital = job.orbital;
    if (r.Has(opt::kIso))
        orbital.level = LevelRequest{LevelKind::kIso, r.Value(opt::kIso)};
    else
        orbital.level = LevelRequest{LevelKind::kEnclose, r.Value(opt::kEnclose)};
    orbital.grid.nRows = r.Get(opt::kTheta).value_or(orbital.grid.nRows);
    orbital.grid.nColumns = r.Get(opt::kPhi).value_or(orbital.grid.nColumns);
    const std::string strGridError = BoundaryGridError(orbital.grid);
    if (!strGridError.empty())
        throw RequestError("--theta and --phi of an orbital's surface: " + strGridError);
    if (job.bHydrogenTable)
    {
        const int32_t n = orbital.orbital.numbers.n;
        const std::optional<int32_t> nAsked = r.Value(opt::kTable);
        if (nAsked && *nAsked >= n)
            throw RequestError("--table " + std::to_string(*nAsked) + " with --hydrogen " +
                               std::to_string(n) + ": the orbitals of N = " + std::to_string(n) +
                               " reach l = " + std::to_string(n - 1));
        job.nTableMax = nAsked.value_or(n - 1);
        return;
    }
    if (job.kind == JobKind::kOrbital)
    {
        ChooseOrbitalValues(r, orbital);
        // Lengths are Bohr radii, far from the default camera's scale: the camera fits the surface
        // unless it is placed.
        job.bFit = job.bFit || !r.Has(opt::kFrom);
        return;
    }
    orbital.slice.aNormal = r.Value(opt::kSlice);
    orbital.sliceQuantity = r.Value(opt::kDensity) ? SliceQuantity::kDensity : SliceQuantity::kPsi;
    job.bSizeGiven = r.Has(opt::kSize);
}

// The convention of the field's harmonics as the request gives it, part by part.
ConventionChoice ChosenConvention(const Request& r)
{
    if (const Convention* pConvention = r.Find(opt::kConvention))
        return ConventionChoice{pConvention->normalization, pConvention->bCondonShortley, pConvention->sine};
    return ConventionChoice{r.Get(opt::kNorm), r.Value(opt::kCs), r.Get(opt::kSine)};
}

// Where --values samples the field: the grid of --grid, on which the values of --analyze lie too.
// The surfaces' outputs sample the program's own grid, on which they are built.
void ChooseValuesGrid(const Request& r, Job& job)
{
    const GridChoice choice = r.Value(opt::kGrid);
    if (!r.Has(opt::kValues) || !r.Has(opt::kGrid) || choice.degrees)
        return;
    if (choice.bPoints && r.Has(opt::kAnalyze))
        return;  // the points are analysed; the values are written on the program's own grid
    if (choice.bPoints)
        throw RequestError("--grid points reads scattered points for --analyze: --values writes a grid");
    job.valuesGrid = choice.grid;
    if (job.valuesGrid == SampleGrid::kLobara)
        return;
    const COptionBase* const apSurfaces[] = {&opt::kStats, &opt::kMesh, &opt::kOut, &opt::kHtml};
    for (const COptionBase* pSurface : apSurfaces)
        if (r.Has(*pSurface))
            throw RequestError(std::string("--grid ") + SampleGridName(job.valuesGrid) +
                               " places --values: " + pSurface->Name() +
                               " draws on the program's own grid, and does not go with it");
    const std::string strShape = GridShapeProblem(job.valuesGrid, r.Value(opt::kTheta), r.Value(opt::kPhi));
    if (!strShape.empty())
        throw RequestError("--values on --theta x --phi: " + strShape);
}

// The field the request asks for: Y(l, m), the terms, the ACN channels or the orbital, in its
// input's convention; a coefficient file's only its convention's parts given; analysed values'
// convention alone, as for terms.
void ChooseField(const Request& r, Job& job)
{
    const bool bFile = r.Has(opt::kCoeffs);
    if (r.Has(opt::kLmin) && r.Has(opt::kLmax) && r.Value(opt::kLmin) > r.Value(opt::kLmax))
        throw RequestError("--lmin " + std::to_string(r.Value(opt::kLmin)) + " is above --lmax " +
                           std::to_string(r.Value(opt::kLmax)) + ": the band keeps no degree");
    if (r.Has(opt::kAnalyze))
        CheckAnalysis(r);
    const ConventionChoice choice = ChosenConvention(r);
    if (bFile && (r.Has(opt::kSine) || choice.sine == SineSign::kLobara))
        throw RequestError(std::string(r.Has(opt::kConvention) ? "--convention lobara" : "--sine") +
                           " does not go with --coeffs: in every coefficient file S multiplies +sin(m phi)");
    if (bFile && choice.bCondonShortley)
        throw RequestError(std::string(r.Has(opt::kConvention) ? "--convention physics" : "--cs") +
                           " does not go with --coeffs: no coefficient file has the Condon-Shortley phase");
    const QuantityInfo* pQuantity = r.Value(opt::kQuantity);
    const bool bMagnetic = pQuantity && !pQuantity->bGravity;
    if (bMagnetic && r.Has(opt::kRemoveNormal))
        throw RequestError(
            std::string("--remove-normal removes a gravity model's normal field: it does not go "
                        "with --quantity ") +
            pQuantity->pszName);
    if (bMagnetic && choice.normalization && *choice.normalization != Normalization::kSchmidt)
        throw RequestError(std::string("--quantity ") + pQuantity->pszName +
                           " reads Schmidt-normalised Gauss coefficients: it does not go with --norm " +
                           NormalizationName(*choice.normalization));
    if (pQuantity && pQuantity->quantity == Quantity::kIntensity &&
        (r.Has(opt::kStats) || r.Has(opt::kAt) || r.Has(opt::kMesh) || r.Has(opt::kHtml) ||
         r.Has(opt::kTurntable) || r.Has(opt::kTable) || (r.Has(opt::kOut) && !r.Has(opt::kMap))))
        throw RequestError(
            "--quantity intensity gives maps and --values: it does not go with --stats, --at, "
            "--mesh, --html, --turntable, --table or a 3D picture");
    job.geodetic = GeodeticItemsOf(r);
    ChooseValuesGrid(r, job);
    CheckGeodeticRequest(r, job.geodetic);
    job.strConventionNote = ConventionNote(r, choice);
    job.nLmin = r.Get(opt::kLmin).value_or(0);
    job.nLmax = r.Get(opt::kLmax).value_or(-1);
    job.bNormalizationGiven = choice.normalization.has_value() || bMagnetic;
    for (const Rotation& rotation : r.Value(opt::kRotate))
        job.rotation = Then(job.rotation, rotation);
    if (job.kind == JobKind::kOrbital || job.kind == JobKind::kSlice || job.bHydrogenTable)
        ChooseHydrogenOrbital(r, HarmonicConvention(choice), job.orbital.orbital);
    else if (r.Has(opt::kOrbital))
    {
        if (!FindOrbital(r.Value(opt::kOrbital), HarmonicConvention(choice), job.field))
            throw RequestError("--orbital needs one of " + OrbitalNames() + ", not '" +
                               r.Value(opt::kOrbital) + "'");
    }
    else if (bFile)
        job.field.convention = Convention{
            choice.normalization.value_or(bMagnetic ? Normalization::kSchmidt : Normalization::kOrtho), false,
            SineSign::kStandard};
    else if (r.Has(opt::kAcn))
        job.field = Field{AcnTerms(r.Value(opt::kAcn)), AcnConvention(choice)};
    else if (r.Has(opt::kTerm))
        job.field = Field{r.Value(opt::kTerm), HarmonicConvention(choice)};
    else if (r.Has(opt::kAnalyze))
        job.field = Field{{}, HarmonicConvention(choice)};
    else
    {
        job.bHarmonic = true;
        job.field = Field{{Term{r.Value(opt::kL), r.Value(opt::kM), 1.0}}, HarmonicConvention(choice)};
    }
    // A file's band is kept as it is read, analysed values' as they are analysed.
    if (!bFile && !r.Has(opt::kAnalyze))
        job.field = DegreeBand(job.field, job.nLmin, job.nLmax);
}

// The convention of the coefficients written: each part the format's own unless given.
void ChooseOutputConvention(const Request& r, Job& job)
{
    job.plotBackground = r.Get(opt::kBackground).value_or(Background::kWhite);
    if (!r.Has(opt::kCoeffsOut))
        return;
    const std::string strPath = r.Value(opt::kCoeffsOut);
    const CoefficientOutputFormat format = CoefficientOutputFormatOf(strPath);
    // A quantity's coefficients are in its unit: under an ICGEM header, which states GM and the
    // radius, they would read back as a model of the potential.
    if (const QuantityInfo* pQuantity = r.Value(opt::kQuantity);
        pQuantity && format == CoefficientOutputFormat::kIcgem)
        throw RequestError("--coeffs-out '" + strPath + "' would hold --quantity " + pQuantity->pszName +
                           "'s coefficients as a gravity model's: write them as shtools rows, .dov or .bshc");
    job.outConvention = FormatConvention(format);
    if (r.Has(opt::kOutNorm))
        job.outConvention.normalization = r.Value(opt::kOutNorm);
    job.outConvention.bCondonShortley = job.outConvention.bCondonShortley || r.Value(opt::kOutCs);
    if (r.Has(opt::kOutSine))
        job.outConvention.sine = r.Value(opt::kOutSine);
    const std::string strRefusal = ConventionRefusal(format, job.outConvention);
    if (!strRefusal.empty())
        throw RequestError("--out-norm, --out-cs and --out-sine do not suit '" + strPath +
                           "': " + strRefusal);
}

// The colouring: flat pictures, maps and slices colour by value unless told; a complex field by
// its phase (not |psi|^2, which has none).
void ChooseColoring(const Request& r, Job& job)
{
    const bool bComplex = r.Value(opt::kComplex);
    job.colorMode = r.Get(opt::kColor)
                        .value_or(bComplex && !r.Value(opt::kDensity)      ? ColorMode::kPhase
                                  : r.Has(opt::kMap) || r.Has(opt::kSlice) ? ColorMode::kValue
                                                                           : r.Value(opt::kColor));
    if (bComplex && job.colorMode == ColorMode::kSign)
        throw RequestError("--color sign needs a real field: a complex one has no sign");
    if (job.colorMode == ColorMode::kSign && r.Has(opt::kColormap))
        throw RequestError("--colormap goes with --color phase or value, not sign");
    if (r.Has(opt::kRange) && job.colorMode != ColorMode::kValue)
        throw RequestError("--range sets the limits of --color value: it goes with nothing else");
    job.bSizeGiven = r.Has(opt::kMap) && r.Has(opt::kSize);
}

// The kind of run, and what the request's options make of the camera and the table.
void ChooseKind(const Request& r, Job& job)
{
    const HydrogenNumbers* pNumbers = r.Find(opt::kHydrogen);
    job.bHydrogenTable = r.Has(opt::kTable) && pNumbers && pNumbers->bWholeShell;
    job.kind = job.bHydrogenTable   ? JobKind::kTable
               : AsksForHydrogen(r) ? (r.Has(opt::kSlice) ? JobKind::kSlice : JobKind::kOrbital)
               : r.Has(opt::kTable) ? JobKind::kTable
               : r.Has(opt::kMap)   ? JobKind::kMap
                                    : JobKind::kSurface;
    if (job.kind == JobKind::kTable && !job.bHydrogenTable)
    {
        if (!r.Value(opt::kTable))
            throw RequestError(
                "--table needs LMAX (it may be left out with --hydrogen N, whose orbitals reach l = N - 1)");
        job.nTableMax = *r.Value(opt::kTable);
    }
    if (r.Has(opt::kRadius))
        job.radius = r.Value(opt::kRadius);
    if (r.Has(opt::kCore))
        job.radius = RadiusRule{RadiusKind::kOffset, r.Value(opt::kCore)};
    const std::array<double, 3> from = r.Value(opt::kFrom), to = r.Value(opt::kTo);
    for (size_t i = 0; i < from.size(); ++i)
    {
        job.camera.from[i] = from[i];
        job.camera.to[i] = to[i];
    }
    job.bFit = r.Value(opt::kFit);
}

}  // namespace

Job PlanJob(const Request& r)
{
    CheckOptionRules(r);
    Job job;
    job.request = r;
    ChooseKind(r, job);
    ChooseField(r, job);
    ChooseColoring(r, job);
    ChooseOutputConvention(r, job);
    if (job.kind == JobKind::kOrbital || job.kind == JobKind::kSlice || job.bHydrogenTable)
        ChooseHydrogen(r, job);
    CheckNetcdfValues(r, job);
    if (r.Value(opt::kTablePolynomials) && r.Value(opt::kTableLabels) != TableLabels::kOrbitals)
        throw RequestError("--table-polynomials goes with --table-labels orbitals");
    if (r.Has(opt::kTitle) && !r.Has(opt::kOut) && !r.Has(opt::kHtml) && !IsPlotPath(r.Value(opt::kSpectrum)))
        throw RequestError(
            "--title draws into the picture: it needs --out, --html or a --spectrum plot (.png)");
    double modelview[16];
    if (!ComputeModelview(job.camera.from, job.camera.to, modelview))
        throw RequestError("--from and --to do not place a camera: they must be distinct points");
    const std::array<int, 2> size = r.Value(opt::kSize);
    const int nSupersample = r.Value(opt::kSupersample);
    if (size[0] * nSupersample > kMaxPictureSide || size[1] * nSupersample > kMaxPictureSide)
        throw RequestError("--size times --supersample must stay within " + std::to_string(kMaxPictureSide) +
                           " pixels on each side");
    if (job.nTableMax >= 0 && (size[0] < 2 * job.nTableMax + 1 || size[1] < job.nTableMax + 1))
        throw RequestError("--size is too small for --table " + std::to_string(job.nTableMax) +
                           ": it needs at least " + std::to_string(2 * job.nTableMax + 1) + "x" +
                           std::to_string(job.nTableMax + 1) + " pixels");
    std::string strError;
    if (r.Has(opt::kTurntable) && !ParseFramePattern(r.Value(opt::kOut), job.framePattern, strError))
        throw RequestError("--out with --turntable needs a name with one frame number field: " + strError);
    const COptionBase* const apOutputs[] = {&opt::kStats,    &opt::kAt,  &opt::kAtGeodetic, &opt::kValues,
                                            &opt::kMesh,     &opt::kOut, &opt::kHtml,       &opt::kCoeffsOut,
                                            &opt::kSpectrum, &opt::kCube};
    if (std::none_of(std::begin(apOutputs), std::end(apOutputs),
                     [&r](const COptionBase* pOutput) { return r.Has(*pOutput); }))
        throw RequestError(
            "nothing to do: give --stats, --at THETA,PHI, --at-geodetic LAT,LON,H, --values FILE, --mesh "
            "FILE, "
            "--out FILE.png, --html FILE, --coeffs-out FILE, --spectrum FILE or, of an orbital, --cube FILE");
    if (job.kind != JobKind::kOrbital)
        for (const std::vector<double>& aPoint : r.Value(opt::kAt))
            if (aPoint.size() != 2)
                throw RequestError("--at takes THETA,PHI of a field on the sphere; X,Y,Z go with --hydrogen");
    // A picture file's name says what it holds.
    const std::string strOut = r.Value(opt::kOut);
    if (!strOut.empty() && !IsWrittenDirectly(strOut) &&
        !(strOut.size() > 4 && strcasecmp(strOut.c_str() + strOut.size() - 4, ".png") == 0))
        throw RequestError("--out writes PNG pictures: it needs a name ending in .png, not '" + strOut + "'");
    ChooseHealpix(r, job);
    CheckOutputsApart(job);
    return job;
}
