#include <strings.h>

#include <algorithm>
#include <climits>
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
#include "jobs/job.h"
#include "jobs/request_error.h"
#include "render/offscreen_context.h"
#include "settings/sampling_defaults.h"
#include "sht/degree_band.h"

namespace {

// What the request gives of each item that goes with only some others: the option that names it.
struct Given
{
    const Request& r;

    bool Harmonic() const { return r.l || r.m; }
    bool Has(const char* pszOption) const;
};

bool Given::Has(const char* pszOption) const
{
    const std::string s = pszOption;
    if (s == "--l")
        return r.l.has_value();
    if (s == "--m")
        return r.m.has_value();
    if (s == "--term")
        return !r.aTerms.empty();
    if (s == "--acn")
        return !r.aAcn.empty();
    if (s == "--coeffs")
        return !r.strCoeffsPath.empty();
    if (s == "--orbital")
        return !r.strOrbital.empty();
    if (s == "--rotate")
        return !r.aRotations.empty();
    if (s == "--analyze")
        return !r.strAnalyzePath.empty();
    if (s == "--at")
        return !r.aAt.empty();
    if (s == "--stats")
        return r.bStats;
    if (s == "--values")
        return !r.strValuesPath.empty();
    if (s == "--mesh")
        return !r.strMeshPath.empty();
    if (s == "--html")
        return !r.strPagePath.empty();
    if (s == "--turntable")
        return r.nTurntableFrames.has_value();
    if (s == "--fit")
        return r.bFit;
    if (s == "--smooth")
        return r.bSmooth;
    if (s == "--supersample")
        return r.nSupersample.has_value();
    if (s == "--from")
        return r.from.has_value();
    if (s == "--to")
        return r.to.has_value();
    if (s == "--theta")
        return r.nThetaDiv.has_value();
    if (s == "--phi")
        return r.nPhiDiv.has_value();
    if (s == "--radius")
        return r.radius.has_value();
    if (s == "--core")
        return r.dCore.has_value();
    if (s == "--scale")
        return r.dScaleMillimetres.has_value();
    if (s == "--complex")
        return r.bComplex;
    if (s == "--color")
        return r.colorMode.has_value();
    if (s == "--colormap")
        return r.colorMap.has_value();
    if (s == "--range")
        return r.range.has_value();
    if (s == "--map")
        return r.map.has_value();
    if (s == "--lmin")
        return r.nLmin.has_value();
    if (s == "--lmax")
        return r.nLmax.has_value();
    if (s == "--coeffs-out")
        return !r.strCoeffsOutPath.empty();
    if (s == "--spectrum")
        return !r.strSpectrumPath.empty();
    if (s == "--hydrogen")
        return r.hydrogen || r.nHydrogenShell;
    if (s == "--charge")
        return r.dCharge.has_value();
    if (s == "--enclose")
        return r.dEnclose.has_value();
    if (s == "--iso")
        return r.dIso.has_value();
    if (s == "--slice")
        return r.sliceNormal.has_value();
    if (s == "--density")
        return r.bDensity;
    if (s == "--table")
        return r.bTable;
    throw std::logic_error(std::string("no such item: ") + pszOption);
}

// Refuses two outputs that would land in one file, where one would be lost.
void CheckOutputsApart(const Job& job)
{
    std::vector<std::string> aPaths, aWhat;
    const auto add = [&](const std::string& strPath, const std::string& strWhat) {
        aPaths.push_back(strPath);
        aWhat.push_back(strWhat);
    };
    if (!job.strValuesPath.empty())
        add(job.strValuesPath, "--values");
    if (!job.strMeshPath.empty())
        for (const std::string& strPath : MeshFilePaths(job.strMeshPath))
            add(strPath, strPath == job.strMeshPath ? "--mesh" : "the material library of --mesh");
    if (job.nTurntableFrames > 0)
        for (int k = 0; k < job.nTurntableFrames; ++k)
            add(FrameName(job.framePattern, k), "frame " + std::to_string(k) + " of --turntable");
    else if (!job.strPicturePath.empty())
        add(job.strPicturePath, "--out");
    if (!job.strPagePath.empty())
        add(job.strPagePath, "--html");
    if (!job.strCoeffsOutPath.empty())
        add(job.strCoeffsOutPath, "--coeffs-out");
    if (!job.strSpectrumPath.empty())
        add(job.strSpectrumPath, "--spectrum");
    size_t nFirst = 0, nSecond = 0;
    if (FindSameFile(aPaths, nFirst, nSecond))
        throw RequestError(aWhat[nFirst] + " and " + aWhat[nSecond] + " name the same file '" +
                           aPaths[nSecond] + "': each output needs a file of its own");
}

// What the run says of a convention given in part: the parts it took from the input.
std::string ConventionNote(const Request& r, const ConventionChoice& choice)
{
    const bool bSome = r.normalization || r.bCondonShortley || r.sine;
    if (r.convention || !bSome || (r.normalization && r.sine) || r.bStats || !r.strCoeffsPath.empty())
        return "";
    const Convention convention = r.aAcn.empty() ? HarmonicConvention(choice) : AcnConvention(choice);
    return std::string("the convention in force is ") + NormalizationName(convention.normalization) + ", " +
           (convention.bCondonShortley ? "with" : "without") + " the Condon-Shortley phase, sine " +
           SineSignName(convention.sine) + " (--convention sets all three)";
}

// The values to analyse: their file and where they lie. Headerless doubles take their shape from
// --theta and --phi; scattered points come only as CSV rows.
void ChooseAnalysis(const Request& r, Job& job)
{
    job.strAnalyzePath = r.strAnalyzePath;
    job.analyzeGrid = r.grid.value_or(SampleGrid::kLobara);
    job.bAnalyzePoints = r.bGridPoints;
    if (r.bComplex)
        throw RequestError("--complex does not go with --analyze: sampled values are real");
    const ValuesFormat format = ValuesFormatOf(r.strAnalyzePath);
    if (job.bAnalyzePoints && format != ValuesFormat::kCsv)
        throw RequestError(
            "--grid points reads CSV rows theta,phi,value and an optional weight: --analyze needs "
            "a name ending in .csv, not '" +
            r.strAnalyzePath + "'");
    if (format == ValuesFormat::kRaw && !(r.nThetaDiv && r.nPhiDiv))
        throw RequestError("--analyze of headerless doubles needs their shape: give --theta and --phi");
}

// The principal number that begins an --orbital name such as "3d_xy", and the name after it;
// false for a name without one. A number of more digits than any count is above every cap.
bool SplitPrincipal(const std::string& strName, int32_t& n, std::string& strRest)
{
    const size_t nDigits = std::min(strName.find_first_not_of("0123456789"), strName.size());
    if (nDigits == 0)
        return false;
    n = nDigits > 9 ? INT32_MAX : std::stoi(strName.substr(0, nDigits));
    strRest = strName.substr(nDigits);
    return true;
}

// The hydrogen-like orbital of --hydrogen or of an --orbital name with a principal number, in the
// convention, with its charge.
void ChooseHydrogenOrbital(const Request& r, const Convention& convention, HydrogenOrbital& orbital)
{
    orbital.convention = convention;
    orbital.bComplex = r.bComplex;
    orbital.numbers.dCharge = r.dCharge.value_or(1.0);
    if (r.nHydrogenShell)
        orbital.numbers.n = *r.nHydrogenShell;  // l and m are each cell's
    else if (r.hydrogen)
    {
        orbital.numbers.n = (*r.hydrogen)[0];
        orbital.numbers.l = (*r.hydrogen)[1];
        orbital.numbers.m = (*r.hydrogen)[2];
    }
    else
    {
        std::string strName;
        SplitPrincipal(r.strOrbital, orbital.numbers.n, strName);
        // The pure orbital of that name, its sign in the convention with unit harmonics.
        Convention unit = convention;
        unit.normalization = Normalization::kOrtho;
        Field field;
        if (!FindOrbital(strName, unit, field))
            throw RequestError("--orbital with a principal number needs one of " + OrbitalNames() +
                               " after it, not '" + r.strOrbital + "'");
        if (field.aTerms.size() != 1)
            throw RequestError(
                "--orbital '" + r.strOrbital +
                "': a hybrid mixes orbitals of several L, each with its own radial part; give a "
                "pure orbital (s, p, d or f) after the principal number");
        orbital.numbers.l = field.aTerms[0].l;
        orbital.numbers.m = field.aTerms[0].m;
        orbital.bNegative = field.aTerms[0].c < 0.0;
    }
    const std::string strError = OrbitalNumbersError(orbital.numbers);
    if (!strError.empty())
        throw RequestError((r.strOrbital.empty() ? "--hydrogen: " : "--orbital '" + r.strOrbital + "': ") +
                           strError);
}

// What a hydrogen-like orbital's job draws, and the items that go with it or need it.
void CheckHydrogen(const Request& r, const Given& given, Job& job)
{
    if (r.nHydrogenShell && !r.bTable)
        throw RequestError(
            "--hydrogen N alone draws the table of that N's orbitals: it needs --table (or "
            "give N,L,M)");
    if (r.hydrogen && r.bTable)
        throw RequestError("--table with --hydrogen takes N alone and draws every orbital of that N, not '" +
                           std::to_string((*r.hydrogen)[0]) + "," + std::to_string((*r.hydrogen)[1]) + "," +
                           std::to_string((*r.hydrogen)[2]) + "'");
    const bool bHydrogen = job.kind == JobKind::kOrbital || job.kind == JobKind::kSlice || job.bHydrogenTable;
    if (!bHydrogen)
    {
        for (const char* pszItem : {"--charge", "--enclose", "--iso", "--slice", "--density"})
            if (given.Has(pszItem))
                throw RequestError(
                    std::string(pszItem) +
                    " goes with --hydrogen or an --orbital name with a principal number (2p_z)");
        return;
    }
    for (const char* pszOther : {"--rotate", "--lmin", "--lmax", "--at", "--values", "--radius", "--core",
                                 "--map", "--table", "--coeffs-out", "--spectrum"})
        if (given.Has(pszOther) && !(job.bHydrogenTable && std::string(pszOther) == "--table"))
            throw RequestError(
                std::string("a hydrogen-like orbital gives its boundary surface or --slice: ") + pszOther +
                " does not go with it");
    if (r.dEnclose && r.dIso)
        throw RequestError("--enclose and --iso each choose the surface: give one of them");
    OrbitalJob& orbital = job.orbital;
    if (r.dIso)
        orbital.level = LevelRequest{LevelKind::kIso, *r.dIso};
    else
        orbital.level = LevelRequest{LevelKind::kEnclose, r.dEnclose.value_or(0.9)};
    orbital.grid.nRows = r.nThetaDiv.value_or(orbital.grid.nRows);
    orbital.grid.nColumns = r.nPhiDiv.value_or(orbital.grid.nColumns);
    const std::string strGridError = BoundaryGridError(orbital.grid);
    if (!strGridError.empty())
        throw RequestError("--theta and --phi of an orbital's surface: " + strGridError);
    if (job.bHydrogenTable)
    {
        const int32_t n = job.orbital.orbital.numbers.n;
        if (r.nTableMax && *r.nTableMax >= n)
            throw RequestError("--table " + std::to_string(*r.nTableMax) + " with --hydrogen " +
                               std::to_string(n) + ": the orbitals of N = " + std::to_string(n) +
                               " reach l = " + std::to_string(n - 1));
        job.nTableMax = r.nTableMax.value_or(n - 1);
        return;
    }
    if (job.kind == JobKind::kOrbital)
    {
        if (r.bDensity)
            throw RequestError("--density colours --slice by |psi|^2: it needs --slice");
        // Lengths are Bohr radii, far from the default camera's scale: the camera fits the surface
        // unless it is placed.
        job.bFit = job.bFit || !r.from;
        return;
    }
    for (const char* pszOther :
         {"--enclose", "--iso", "--stats", "--mesh", "--html", "--turntable", "--fit", "--smooth",
          "--supersample", "--from", "--to", "--theta", "--phi", "--scale"})
        if (given.Has(pszOther))
            throw RequestError(std::string("--slice makes only the flat picture of the orbital: ") +
                               pszOther + " does not go with it");
    if (job.strPicturePath.empty())
        throw RequestError("--slice needs --out");
    orbital.slice.aNormal = *r.sliceNormal;
    orbital.sliceQuantity = r.bDensity ? SliceQuantity::kDensity : SliceQuantity::kPsi;
    job.bSizeGiven = r.size.has_value();
}

// The field the request asks for: Y(l, m), the terms, the ACN channels or the orbital, in its
// input's convention; a coefficient file's only its convention's parts given; analysed values'
// convention alone, as for terms.
void ChooseField(const Request& r, const Given& given, Job& job)
{
    const bool bFile = !r.strCoeffsPath.empty();
    const bool bOrbital = !r.strOrbital.empty();
    const bool bAnalysis = !r.strAnalyzePath.empty();
    if (int{given.Harmonic()} + int{!r.aTerms.empty()} + int{!r.aAcn.empty()} + int{bFile} + int{bOrbital} +
            int{bAnalysis} + int{given.Has("--hydrogen")} >
        1)
        throw RequestError(
            "-l and -m, --term, --acn, --coeffs, --orbital, --analyze and --hydrogen each give the whole "
            "field: give one of them");
    if (r.nLmin && r.nLmax && *r.nLmin > *r.nLmax)
        throw RequestError("--lmin " + std::to_string(*r.nLmin) + " is above --lmax " +
                           std::to_string(*r.nLmax) + ": the band keeps no degree");
    if (bAnalysis)
        ChooseAnalysis(r, job);
    else if (r.grid || r.bGridPoints)
        throw RequestError("--grid says where the values of --analyze lie: it goes with nothing else");
    if (r.convention && (r.normalization || r.bCondonShortley || r.sine))
        throw RequestError("--convention sets --norm, --cs and --sine at once: give it or them");
    const ConventionChoice choice =
        r.convention
            ? ConventionChoice{r.convention->normalization, r.convention->bCondonShortley, r.convention->sine}
            : ConventionChoice{r.normalization, r.bCondonShortley, r.sine};
    if (bFile && (r.sine || choice.sine == SineSign::kLobara))
        throw RequestError(std::string(r.convention ? "--convention lobara" : "--sine") +
                           " does not go with --coeffs: in every coefficient file S multiplies +sin(m phi)");
    if (bFile && choice.bCondonShortley)
        throw RequestError(std::string(r.convention ? "--convention physics" : "--cs") +
                           " does not go with --coeffs: no coefficient file has the Condon-Shortley phase");
    if (bOrbital && r.bComplex)
        throw RequestError("--complex does not go with --orbital: an orbital is a real function");
    const bool bModel = r.pQuantity || r.dHeight || r.pNormalField || r.epoch;
    if (bModel && !bFile)
        throw RequestError(
            "--quantity, --height, --remove-normal and --epoch read the model of --coeffs: they go "
            "with nothing else");
    if (r.dHeight && !r.pQuantity)
        throw RequestError("--height places --quantity: it goes with nothing else");
    const bool bMagnetic = r.pQuantity && !r.pQuantity->bGravity;
    if (bMagnetic && r.pNormalField)
        throw RequestError(
            std::string("--remove-normal removes a gravity model's normal field: it does not go "
                        "with --quantity ") +
            r.pQuantity->pszName);
    if (bMagnetic && choice.normalization && *choice.normalization != Normalization::kSchmidt)
        throw RequestError(std::string("--quantity ") + r.pQuantity->pszName +
                           " reads Schmidt-normalised Gauss coefficients: it does not go with --norm " +
                           NormalizationName(*choice.normalization));
    if (r.pQuantity && r.pQuantity->quantity == Quantity::kIntensity &&
        (r.bStats || !r.aAt.empty() || !r.strMeshPath.empty() || !r.strPagePath.empty() ||
         r.nTurntableFrames || r.bTable || (!r.strPicturePath.empty() && !r.map)))
        throw RequestError(
            "--quantity intensity gives maps and --values: it does not go with --stats, --at, "
            "--mesh, --html, --turntable, --table or a 3D picture");
    job.pQuantity = r.pQuantity;
    job.dHeight = r.dHeight.value_or(0.0);
    job.pNormalField = r.pNormalField;
    job.epoch = r.epoch;
    job.strConventionNote = ConventionNote(r, choice);
    job.strCoeffsPath = r.strCoeffsPath;
    job.nLmin = r.nLmin.value_or(0);
    job.nLmax = r.nLmax.value_or(-1);
    job.bNormalizationGiven = choice.normalization.has_value() || bMagnetic;
    job.l = r.l.value_or(kDefaultL);
    job.m = r.m.value_or(kDefaultM);
    for (const Rotation& rotation : r.aRotations)
        job.rotation = Then(job.rotation, rotation);
    if (job.kind == JobKind::kOrbital || job.kind == JobKind::kSlice || job.bHydrogenTable)
        ChooseHydrogenOrbital(r, HarmonicConvention(choice), job.orbital.orbital);
    else if (bOrbital)
    {
        if (!FindOrbital(r.strOrbital, HarmonicConvention(choice), job.field))
            throw RequestError("--orbital needs one of " + OrbitalNames() + ", not '" + r.strOrbital + "'");
    }
    else if (bFile)
        job.field.convention = Convention{
            choice.normalization.value_or(bMagnetic ? Normalization::kSchmidt : Normalization::kOrtho), false,
            SineSign::kStandard};
    else if (!r.aAcn.empty())
        job.field = Field{AcnTerms(r.aAcn), AcnConvention(choice)};
    else if (!r.aTerms.empty())
        job.field = Field{r.aTerms, HarmonicConvention(choice)};
    else if (bAnalysis)
        job.field = Field{{}, HarmonicConvention(choice)};
    else
    {
        job.bHarmonic = true;
        job.field = Field{{Term{job.l, job.m, 1.0}}, HarmonicConvention(choice)};
    }
    // A file's band is kept as it is read.
    if (!bFile)
        job.field = DegreeBand(job.field, job.nLmin, job.nLmax);
}

// The coefficients and the spectrum written: the coefficients' convention, each part the format's
// own unless given, and what the outputs go with.
void CheckFieldOutputs(const Request& r, const Given& given, Job& job)
{
    job.strCoeffsOutPath = r.strCoeffsOutPath;
    job.strSpectrumPath = r.strSpectrumPath;
    job.plotBackground = r.background.value_or(Background::kWhite);
    if (job.strCoeffsOutPath.empty() && (r.outNormalization || r.bOutCondonShortley || r.outSine))
        throw RequestError(std::string(r.outNormalization     ? "--out-norm"
                                       : r.bOutCondonShortley ? "--out-cs"
                                                              : "--out-sine") +
                           " sets the convention of --coeffs-out: it needs --coeffs-out");
    for (const char* pszOutput : {"--coeffs-out", "--spectrum"})
        if (r.bComplex && given.Has(pszOutput))
            throw RequestError(std::string(pszOutput) +
                               " works on real coefficients: --complex does not go with it");
    if (job.strCoeffsOutPath.empty())
        return;
    const CoefficientOutputFormat format = CoefficientOutputFormatOf(job.strCoeffsOutPath);
    // A quantity's coefficients are in its unit: under an ICGEM header, which states GM and the
    // radius, they would read back as a model of the potential.
    if (format == CoefficientOutputFormat::kIcgem && r.pQuantity)
        throw RequestError("--coeffs-out '" + job.strCoeffsOutPath + "' would hold --quantity " +
                           r.pQuantity->pszName +
                           "'s coefficients as a gravity model's: write them as shtools rows, .dov or .bshc");
    job.outConvention = FormatConvention(format);
    if (r.outNormalization)
        job.outConvention.normalization = *r.outNormalization;
    job.outConvention.bCondonShortley = r.bOutCondonShortley;
    if (r.outSine)
        job.outConvention.sine = *r.outSine;
    const std::string strRefusal = ConventionRefusal(format, job.outConvention);
    if (!strRefusal.empty())
        throw RequestError("--out-norm, --out-cs and --out-sine do not suit '" + job.strCoeffsOutPath +
                           "': " + strRefusal);
}

// The colouring, the complex field and the map, and what they go with.
void CheckColoring(const Request& r, const Given& given, Job& job)
{
    if (r.bComplex && !r.strCoeffsPath.empty())
        throw RequestError("--complex does not go with --coeffs: a coefficient file holds real harmonics");
    job.bComplex = r.bComplex;
    // Flat pictures, maps and slices, colour by value unless told; a complex field by its phase
    // (not |psi|^2, which has none).
    job.colorMode = r.colorMode.value_or(r.bComplex && !r.bDensity ? ColorMode::kPhase
                                         : r.map || r.sliceNormal  ? ColorMode::kValue
                                                                   : ColorMode::kSign);
    job.strColorMap = r.colorMap.value_or("");
    job.bRange = r.range.has_value();
    if (r.range)
    {
        job.dRangeLow = (*r.range)[0];
        job.dRangeHigh = (*r.range)[1];
    }
    if (job.bComplex && job.colorMode == ColorMode::kSign)
        throw RequestError("--color sign needs a real field: a complex one has no sign");
    if (job.colorMode == ColorMode::kSign && r.colorMap)
        throw RequestError("--colormap goes with --color phase or value, not sign");
    if (job.bRange && job.colorMode != ColorMode::kValue)
        throw RequestError("--range sets the limits of --color value: it goes with nothing else");
    if (r.bTable)
        for (const char* pszOther : {"--complex", "--color", "--colormap", "--range", "--smooth", "--map"})
            if (given.Has(pszOther))
                throw RequestError(std::string("--table draws each cell by sign: ") + pszOther +
                                   " does not go with it");
    if (!r.map)
        return;
    job.mapProjection = *r.map;
    if (r.strPicturePath.empty())
        throw RequestError("--map needs --out");
    // Headerless values to analyse take their shape from --theta and --phi, which then say nothing
    // of the map's grid.
    const bool bValuesShape =
        !r.strAnalyzePath.empty() && ValuesFormatOf(r.strAnalyzePath) == ValuesFormat::kRaw;
    for (const char* pszOther : {"--at", "--stats", "--values", "--mesh", "--html", "--turntable", "--fit",
                                 "--smooth", "--supersample", "--from", "--to", "--theta", "--phi",
                                 "--radius", "--core", "--scale", "--coeffs-out", "--spectrum"})
        if (given.Has(pszOther) &&
            !(bValuesShape && (std::string(pszOther) == "--theta" || std::string(pszOther) == "--phi")))
            throw RequestError(std::string("--map makes only the map picture, on a grid of its own: ") +
                               pszOther + " does not go with it");
    job.bSizeGiven = r.size.has_value();
}

// The plain items, each its value or its default.
void TakeItems(const Request& r, Job& job)
{
    job.nThetaDiv = r.nThetaDiv.value_or(kDefaultThetaDiv);
    job.nPhiDiv = r.nPhiDiv.value_or(kDefaultPhiDiv);
    if (r.radius)
        job.radius = *r.radius;
    if (r.dCore)
        job.radius = RadiusRule{RadiusKind::kOffset, *r.dCore};
    job.dScaleMillimetres = r.dScaleMillimetres.value_or(0.0);
    job.nColorScheme = r.nColorScheme.value_or(kDefaultColorScheme);
    job.camera = kDefaultCamera;
    for (int i = 0; i < 3; ++i)
    {
        if (r.from)
            job.camera.from[i] = (*r.from)[static_cast<size_t>(i)];
        if (r.to)
            job.camera.to[i] = (*r.to)[static_cast<size_t>(i)];
    }
    job.nWidth = r.size ? (*r.size)[0] : kDefaultPictureWidth;
    job.nHeight = r.size ? (*r.size)[1] : kDefaultPictureHeight;
    job.bFit = r.bFit;
    job.nSupersample = r.nSupersample.value_or(1);
    job.background = r.background.value_or(Background::kBlack);
    job.strTitle = r.title.value_or("");
    job.bSmooth = r.bSmooth;
    job.nTurntableFrames = r.nTurntableFrames.value_or(0);
    job.nTableMax = r.bTable ? r.nTableMax.value_or(-1) : -1;
    job.tableLabels = r.tableLabels.value_or(TableLabels::kNone);
    job.bTablePolynomials = r.bTablePolynomials;
    job.bTableCommonScale = r.bTableCommonScale.value_or(false);
    job.bStats = r.bStats;
    job.aAt = r.aAt;
    job.strValuesPath = r.strValuesPath;
    job.strMeshPath = r.strMeshPath;
    job.strPicturePath = r.strPicturePath;
    job.strPagePath = r.strPagePath;
    job.strOrbital = r.strOrbital;
    int32_t n = 0;
    std::string strRest;
    const bool bHydrogen = r.hydrogen || SplitPrincipal(r.strOrbital, n, strRest);
    job.bHydrogenTable = r.bTable && r.nHydrogenShell;
    job.kind = bHydrogen  ? (r.sliceNormal ? JobKind::kSlice : JobKind::kOrbital)
               : r.bTable ? JobKind::kTable
               : r.map    ? JobKind::kMap
                          : JobKind::kSurface;
}

}  // namespace

Job PlanJob(const Request& r)
{
    const Given given{r};
    Job job;
    TakeItems(r, job);
    ChooseField(r, given, job);
    CheckColoring(r, given, job);
    CheckFieldOutputs(r, given, job);
    CheckHydrogen(r, given, job);
    if (r.bTable && !r.nTableMax && !r.nHydrogenShell)
        throw RequestError(
            "--table needs LMAX (it may be left out with --hydrogen N, whose orbitals reach l = N - 1)");
    if (r.bTable)
        for (const char* pszOther :
             {"--l",          "--m",        "--term",      "--acn",    "--coeffs", "--orbital",
              "--analyze",    "--rotate",   "--lmin",      "--lmax",   "--at",     "--values",
              "--mesh",       "--html",     "--turntable", "--radius", "--core",   "--scale",
              "--coeffs-out", "--spectrum", "--slice",     "--density"})
            if (given.Has(pszOther))
                throw RequestError(std::string("--table makes only the table picture: ") + pszOther +
                                   " does not go with it");
    if (!r.bTable && (r.tableLabels || r.bTablePolynomials || r.bTableCommonScale))
        throw RequestError(std::string(r.tableLabels         ? "--table-labels"
                                       : r.bTablePolynomials ? "--table-polynomials"
                                                             : "--table-scale") +
                           " goes with --table");
    if (job.bTablePolynomials && job.tableLabels != TableLabels::kOrbitals)
        throw RequestError("--table-polynomials goes with --table-labels orbitals");
    if (r.title && job.strPicturePath.empty() && job.strPagePath.empty() && !IsPlotPath(job.strSpectrumPath))
        throw RequestError(
            "--title draws into the picture: it needs --out, --html or a --spectrum plot (.png)");
    if ((job.nTableMax >= 0 || job.nTurntableFrames > 0) && job.strPicturePath.empty())
        throw RequestError(std::string(job.nTableMax >= 0 ? "--table" : "--turntable") + " needs --out");
    if (r.radius && r.dCore)
        throw RequestError("--core R is --radius offset:R: give one of them");
    if (r.dScaleMillimetres && job.strMeshPath.empty())
        throw RequestError("--scale sizes the model of --mesh: it needs --mesh");
    double modelview[16];
    if (!ComputeModelview(job.camera.from, job.camera.to, modelview))
        throw RequestError("--from and --to do not place a camera: they must be distinct points");
    if (job.nWidth * job.nSupersample > kMaxPictureSide || job.nHeight * job.nSupersample > kMaxPictureSide)
        throw RequestError("--size times --supersample must stay within " + std::to_string(kMaxPictureSide) +
                           " pixels on each side");
    if (job.nTableMax >= 0 && (job.nWidth < 2 * job.nTableMax + 1 || job.nHeight < job.nTableMax + 1))
        throw RequestError("--size is too small for --table " + std::to_string(job.nTableMax) +
                           ": it needs at least " + std::to_string(2 * job.nTableMax + 1) + "x" +
                           std::to_string(job.nTableMax + 1) + " pixels");
    std::string strError;
    if (job.nTurntableFrames > 0 && !ParseFramePattern(job.strPicturePath, job.framePattern, strError))
        throw RequestError("--out with --turntable needs a name with one frame number field: " + strError);
    if (!job.bStats && job.aAt.empty() && job.strValuesPath.empty() && job.strMeshPath.empty() &&
        job.strPicturePath.empty() && job.strPagePath.empty() && job.strCoeffsOutPath.empty() &&
        job.strSpectrumPath.empty())
        throw RequestError(
            "nothing to do: give --stats, --at THETA,PHI, --values FILE, --mesh FILE, --out FILE.png, "
            "--html FILE, --coeffs-out FILE or --spectrum FILE");
    // A picture file's name says what it holds.
    const std::string& strOut = job.strPicturePath;
    if (!strOut.empty() && !IsWrittenDirectly(strOut) &&
        !(strOut.size() > 4 && strcasecmp(strOut.c_str() + strOut.size() - 4, ".png") == 0))
        throw RequestError("--out writes PNG pictures: it needs a name ending in .png, not '" + strOut + "'");
    CheckOutputsApart(job);
    return job;
}
