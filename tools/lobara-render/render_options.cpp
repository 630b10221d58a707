#include "lobara-render/render_options.h"

#include <strings.h>

#include <CLI/CLI.hpp>
#include <cmath>

#include "camera/camera_math.h"
#include "export/mesh_export.h"
#include "export/output_files.h"
#include "lobara-render/option_values.h"
#include "program_description.h"
#include "render/offscreen_context.h"
#include "surface/angles.h"
#include "surface/build_limits.h"
#include "surface/orbitals.h"
#include "text/picture_text.h"

namespace {

const char kConventions[] =
    "Conventions:\n"
    "  Samples: theta_i = i*pi/(nT-1) for i = 0 .. nT-1 (row 0 is the north pole) and\n"
    "  phi_j = 2*pi*j/nP for j = 0 .. nP-1; sample (i, j) has index i*nP + j. Its surface\n"
    "  point lies at distance |Y| from the origin in its direction, or as --radius says;\n"
    "  faces split by the sign of Y.\n"
    "  Y(l, m) = N(l, m) * A(phi) * d^|m|P_l/dx^|m| (x) * (1 - x^2)^(|m|/2), x = cos(theta),\n"
    "  N(l, m) = sqrt((2l+1)/(4*pi) * (l-|m|)!/(l+|m|)!), with no (-1)^m phase factor;\n"
    "  A = 1 for m = 0, sqrt(2)*cos(m*phi) for m > 0, and sqrt(2)*sin(m*phi) with m\n"
    "  itself for m < 0, that is -sqrt(2)*sin(|m|*phi). For |m| > l (or l < 0) Y is 0\n"
    "  everywhere, and a warning says so. That is the default convention: --norm, --cs\n"
    "  and --sine choose another (n(l, m) as named, the (-1)^m phase, +sin), for -l/-m,\n"
    "  --term and --acn alike; --stats prints the convention in force. The field is\n"
    "  sum C * Y(L, M) over the terms, its polar plot at distance |f| split by the sign of f.\n"
    "  Camera: an orthographic view from From towards To, world +z up. The picture is\n"
    "  2*|From - To| world units wide: the distance between From and To sets the zoom\n"
    "  (or let --fit choose it).\n"
    "  Meshes: zeros of symmetry lie exactly at the origin and pole rows at one point;\n"
    "  faces whose corners meet become triangles or go, none of zero area is written.\n"
    "  PLY holds x y z nx ny nz value red green blue per vertex (a vertex of both signs\n"
    "  twice, once in each colour) and faces of vertex_indices only; glTF NORMAL and\n"
    "  _VALUE. A surface without faces is written without them, except as STL: refused.\n"
    "  Outputs appear together or not at all: each file is written beside its place and\n"
    "  renamed into it once every output has succeeded. Devices and pipes such as\n"
    "  /dev/stdout are written directly.\n"
    "Exit status: 0 done; 1 the surface could not be built or an output not written\n"
    "(no file is changed then); 2 the command line is wrong (nothing is done).";

constexpr size_t kHelpColumn = 26;
constexpr size_t kHelpWidth = 80 - kHelpColumn;

// strText broken into lines of at most kHelpWidth characters at spaces; CLI11 indents the lines
// after the first to the description column.
std::string WrapHelp(const std::string& strText)
{
    std::string strWrapped;
    size_t nLineStart = 0;
    for (size_t nWord = 0; nWord < strText.size();)
    {
        size_t nEnd = strText.find(' ', nWord);
        if (nEnd == std::string::npos)
            nEnd = strText.size();
        if (nWord > 0 && strWrapped.size() - nLineStart + (nEnd - nWord) >= kHelpWidth)
        {
            strWrapped.back() = '\n';
            nLineStart = strWrapped.size();
        }
        strWrapped.append(strText, nWord, nEnd - nWord);
        strWrapped += ' ';
        nWord = nEnd + 1;
    }
    if (!strWrapped.empty())
        strWrapped.pop_back();
    return strWrapped;
}

// CLI11 takes the value text; the strict readers convert it and name the option on error. The
// help shows the value's form after the names and the default at the end of the description.
void AddValueOption(CLI::App& app, const std::string& strNames, const std::string& strType,
                    const std::string& strDefault, const std::string& strHelp,
                    const std::function<void(const std::string&)>& parse)
{
    const std::string strDescription =
        strDefault.empty() ? strHelp : strHelp + " (default " + strDefault + ")";
    app.add_option_function<std::string>(strNames, parse, WrapHelp(strDescription))->option_text(strType);
}

// An option that may be given many times, each value parsed in turn.
void AddRepeatableOption(CLI::App& app, const std::string& strNames, const std::string& strType,
                         const std::string& strHelp, const std::function<void(const std::string&)>& parse)
{
    app.add_option_function<std::vector<std::string>>(
           strNames,
           [parse](const std::vector<std::string>& aValues) {
               for (const std::string& strValue : aValues)
                   parse(strValue);
           },
           WrapHelp(strHelp))
        ->option_text(strType)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
}

void AddFlag(CLI::App& app, const std::string& strName, bool& bValue, const std::string& strHelp)
{
    app.add_flag(strName, bValue, WrapHelp(strHelp));
}

std::string PointText(const double point[3])
{
    std::string strText;
    for (int i = 0; i < 3; ++i)
        strText += (i ? "," : "") + CLI::detail::to_string(point[i]);
    return strText;
}

Background ParseBackground(const std::string& strText)
{
    if (strText == "black")
        return Background::kBlack;
    if (strText == "white")
        return Background::kWhite;
    if (strText == "transparent")
        return Background::kTransparent;
    throw UsageError("--background needs black, white or transparent, not '" + strText + "'");
}

// Refuses two outputs that would land in one file, where one would be lost.
void CheckOutputsApart(const RenderOptions& o)
{
    std::vector<std::string> aPaths, aWhat;
    const auto add = [&](const std::string& strPath, const std::string& strWhat) {
        aPaths.push_back(strPath);
        aWhat.push_back(strWhat);
    };
    if (!o.strValuesPath.empty())
        add(o.strValuesPath, "--values");
    if (!o.strMeshPath.empty())
        for (const std::string& strPath : MeshFilePaths(o.strMeshPath))
            add(strPath, strPath == o.strMeshPath ? "--mesh" : "the material library of --mesh");
    if (o.nTurntableFrames > 0)
        for (int k = 0; k < o.nTurntableFrames; ++k)
            add(FrameName(o.framePattern, k), "frame " + std::to_string(k) + " of --turntable");
    else if (!o.strPicturePath.empty())
        add(o.strPicturePath, "--out");
    size_t nFirst = 0, nSecond = 0;
    if (FindSameFile(aPaths, nFirst, nSecond))
        throw UsageError(aWhat[nFirst] + " and " + aWhat[nSecond] + " name the same file '" +
                         aPaths[nSecond] + "': each output needs a file of its own");
}

// The field the options ask for: Y(l, m), the terms or the ACN channels, in the convention.
void ChooseField(const CLI::App& app, RenderOptions& o)
{
    const bool bHarmonic = app.count("--l") + app.count("--m") > 0;
    const bool bFile = !o.strCoeffsPath.empty();
    const bool bOrbital = app.count("--orbital") > 0;
    if (int{bHarmonic} + int{!o.aTerms.empty()} + int{!o.aAcn.empty()} + int{bFile} + int{bOrbital} > 1)
        throw UsageError(
            "-l and -m, --term, --acn, --coeffs and --orbital each give the whole field: give one of them");
    if (app.count("--lmax") > 0 && !bFile)
        throw UsageError("--lmax truncates --coeffs: it goes with nothing else");
    if (bFile && app.count("--sine") > 0)
        throw UsageError(
            "--sine does not go with --coeffs: in every coefficient file S multiplies +sin(m phi)");
    if (bFile)
        o.convention.sine = SineSign::kStandard;
    o.bNormalizationGiven = app.count("--norm") > 0;
    if (!o.aAcn.empty())
    {
        if (app.count("--norm") == 0)
            o.convention.normalization = Normalization::kSn3d;
        if (app.count("--sine") == 0)
            o.convention.sine = SineSign::kStandard;
        for (size_t n = 0; n < o.aAcn.size(); ++n)
        {
            int32_t l = static_cast<int32_t>(std::sqrt(static_cast<double>(n)));
            while (static_cast<size_t>(l) * static_cast<size_t>(l) > n)
                --l;
            while (static_cast<size_t>(l + 1) * static_cast<size_t>(l + 1) <= n)
                ++l;
            o.aTerms.push_back(
                Term{l, static_cast<int32_t>(static_cast<int64_t>(n) - int64_t{l} * l - l), o.aAcn[n]});
        }
    }
    if (bOrbital)
    {
        if (!FindOrbital(o.strOrbital, o.convention, o.field))
            throw UsageError("--orbital needs one of " + OrbitalNames() + ", not '" + o.strOrbital + "'");
        o.aTerms = o.field.aTerms;
        return;
    }
    o.field = o.aTerms.empty() ? Field{{Term{o.nL, o.nM, 1.0}}, o.convention} : Field{o.aTerms, o.convention};
}

// The colouring, the complex field and the map, and what they go with.
void CheckColoring(const CLI::App& app, RenderOptions& o)
{
    if (o.bComplex && !o.strCoeffsPath.empty())
        throw UsageError("--complex does not go with --coeffs: a coefficient file holds real harmonics");
    const bool bColorGiven = app.count("--color") > 0;
    if (!bColorGiven && o.bComplex)
        o.colorMode = ColorMode::kPhase;
    else if (!bColorGiven && o.bMap)
        o.colorMode = ColorMode::kValue;
    if (o.bComplex && o.colorMode == ColorMode::kSign)
        throw UsageError("--color sign needs a real field: a complex one has no sign");
    if (o.colorMode == ColorMode::kSign && !o.strColorMap.empty())
        throw UsageError("--colormap goes with --color phase or value, not sign");
    if (o.bRange && o.colorMode != ColorMode::kValue)
        throw UsageError("--range sets the limits of --color value: it goes with nothing else");
    if (o.nTableMax >= 0)
        for (const char* pszOther : {"--complex", "--color", "--colormap", "--range", "--smooth", "--map"})
            if (app.count(pszOther) > 0)
                throw UsageError(std::string("--table draws each harmonic by sign: ") + pszOther +
                                 " does not go with it");
    if (!o.bMap)
        return;
    if (o.strPicturePath.empty())
        throw UsageError("--map needs --out");
    for (const char* pszOther :
         {"--at", "--stats", "--values", "--mesh", "--turntable", "--fit", "--smooth", "--supersample",
          "--from", "--to", "--theta", "--phi", "--radius", "--core", "--scale"})
        if (app.count(pszOther) > 0)
            throw UsageError(std::string("--map makes only the map picture, on a grid of its own: ") +
                             pszOther + " does not go with it");
    o.bSizeGiven = app.count("--size") > 0;
}

// What the options ask for together.
void CheckCombination(const CLI::App& app, RenderOptions& o)
{
    ChooseField(app, o);
    CheckColoring(app, o);
    if (o.nTableMax >= 0)
        for (const char* pszOther : {"--l", "--m", "--term", "--acn", "--coeffs", "--orbital", "--at",
                                     "--values", "--mesh", "--turntable", "--radius", "--core", "--scale"})
            if (app.count(pszOther) > 0)
                throw UsageError(std::string("--table makes only the table picture: ") + pszOther +
                                 " does not go with it");
    for (const char* pszTable : {"--table-labels", "--table-polynomials", "--table-scale"})
        if (app.count(pszTable) > 0 && o.nTableMax < 0)
            throw UsageError(std::string(pszTable) + " goes with --table");
    if (o.bTablePolynomials && o.tableLabels != TableLabels::kOrbitals)
        throw UsageError("--table-polynomials goes with --table-labels orbitals");
    if (app.count("--title") > 0 && o.strPicturePath.empty())
        throw UsageError("--title draws into the picture: it needs --out");
    if ((o.nTableMax >= 0 || o.nTurntableFrames > 0) && o.strPicturePath.empty())
        throw UsageError(std::string(o.nTableMax >= 0 ? "--table" : "--turntable") + " needs --out");
    if (app.count("--radius") > 0 && app.count("--core") > 0)
        throw UsageError("--core R is --radius offset:R: give one of them");
    if (app.count("--scale") > 0 && o.strMeshPath.empty())
        throw UsageError("--scale sizes the model of --mesh: it needs --mesh");
    double modelview[16];
    if (!ComputeModelview(o.camera.from, o.camera.to, modelview))
        throw UsageError("--from and --to do not place a camera: they must be distinct points");
    if (o.nWidth * o.nSupersample > kMaxPictureSide || o.nHeight * o.nSupersample > kMaxPictureSide)
        throw UsageError("--size times --supersample must stay within " + std::to_string(kMaxPictureSide) +
                         " pixels on each side");
    if (o.nTableMax >= 0 && (o.nWidth < 2 * o.nTableMax + 1 || o.nHeight < o.nTableMax + 1))
        throw UsageError("--size is too small for --table " + std::to_string(o.nTableMax) +
                         ": it needs at least " + std::to_string(2 * o.nTableMax + 1) + "x" +
                         std::to_string(o.nTableMax + 1) + " pixels");
    std::string strError;
    if (o.nTurntableFrames > 0 && !ParseFramePattern(o.strPicturePath, o.framePattern, strError))
        throw UsageError("--out with --turntable needs a name with one frame number field: " + strError);
    if (!o.bStats && o.aAt.empty() && o.strValuesPath.empty() && o.strMeshPath.empty() &&
        o.strPicturePath.empty())
        throw UsageError(
            "nothing to do: give --stats, --at THETA,PHI, --values FILE, --mesh FILE or --out FILE.png");
    // A picture file's name says what it holds.
    const auto endsInPng = [](const std::string& strPath) {
        return strPath.size() > 4 && strcasecmp(strPath.c_str() + strPath.size() - 4, ".png") == 0;
    };
    if (!o.strPicturePath.empty() && !IsWrittenDirectly(o.strPicturePath) && !endsInPng(o.strPicturePath))
        throw UsageError("--out writes PNG pictures: it needs a name ending in .png, not '" +
                         o.strPicturePath + "'");
    CheckOutputsApart(o);
}

}  // namespace

RenderOptions ParseRenderOptions(int argc, const char* const* argv)
{
    RenderOptions o;
    CLI::App app(kProgramDescription, "lobara-render");
    app.footer(kConventions);
    app.get_formatter()->column_width(kHelpColumn);
    app.set_version_flag("--version", std::string("lobara-render " LOBARA_VERSION),
                         "Print the version and exit");
    app.set_help_flag("-h,--help", "Print this help and exit");
    // A repeated option takes its last value, so a script can override an earlier one.
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);

    const auto integer = [](const char* pszName, int32_t& nValue, long long nMin, long long nMax) {
        return [&nValue, pszName, nMin, nMax](const std::string& v) {
            nValue = ParseInt32(pszName, v, nMin, nMax);
        };
    };
    const auto path = [](const char* pszName, std::string& strValue) {
        return [&strValue, pszName](const std::string& v) { strValue = NonEmptyPath(pszName, v); };
    };
    AddValueOption(app, "-l,--l", "INT", std::to_string(o.nL), "Degree l",
                   integer("--l", o.nL, INT32_MIN, INT32_MAX));
    AddValueOption(app, "-m,--m", "INT", std::to_string(o.nM), "Order m; m < 0 gives the sine harmonics",
                   integer("--m", o.nM, INT32_MIN, INT32_MAX));
    AddRepeatableOption(
        app, "--term", "L,M,C",
        "Add C * Y(L, M) to the field, in the convention chosen; repeatable, instead of -l and -m",
        [&o](const std::string& v) { o.aTerms.push_back(ParseTerm("--term", v)); });
    AddValueOption(
        app, "--acn", "C0,C1,...", "",
        "The field of ambisonic channels in ACN order (channel l*l + l + m), in SN3D with the standard "
        "sine (AmbiX) unless --norm or --sine says otherwise",
        [&o](const std::string& v) { o.aAcn = ParseNumbers("--acn", v, 0, "C0,C1,..."); });
    AddValueOption(app, "--coeffs", "FILE", "",
                   "The field of a coefficient file: shtools text (l m C S rows), dov (l m value, m < 0 the "
                   "sine), Curtin binary .bshc or ICGEM .gfc; S multiplies +sin(m phi), and the file's own "
                   "normalisation (4pi unless its header says otherwise) holds",
                   path("--coeffs", o.strCoeffsPath));
    AddValueOption(
        app, "--orbital", "NAME", "",
        "The real orbital of that name, positive where its name's polynomial is, in the convention "
        "chosen: s, p_x, p_y, p_z, d_xy, d_yz, d_z2, d_xz, d_x2-y2, f_z3, f_xz2, f_yz2, f_xyz, "
        "f_z(x2-y2), f_x(x2-3y2), f_y(3x2-y2), or a member of a hybrid set: sp, sp2, sp3, sp3d, sp3d2 "
        "along +z (sp2 and sp3d along +x, sp3 along (1,1,1)), sp3:2 and so on the others (see the "
        "README)",
        [&o](const std::string& v) { o.strOrbital = v; });
    AddValueOption(app, "--lmax", "L", "", "Keep the degrees of --coeffs up to L",
                   integer("--lmax", o.nLmax, 0, kMaxDegree));
    AddValueOption(
        app, "--norm", "NAME", NormalizationName(o.convention.normalization),
        "Normalisation of Y: ortho (unit integral of Y^2 over the sphere), 4pi (mean square 1), "
        "schmidt, unnorm, sn3d or n3d",
        [&o](const std::string& v) {
            if (!FindNormalization(v.c_str(), o.convention.normalization))
                throw UsageError("--norm needs ortho, 4pi, schmidt, unnorm, sn3d or n3d, not '" + v + "'");
        });
    AddFlag(app, "--cs", o.convention.bCondonShortley, "Include the Condon-Shortley phase (-1)^m");
    AddValueOption(app, "--sine", "SIGN", "lobara",
                   "Sign of the sine harmonics (m < 0): lobara, -sqrt(2) sin(|m| phi) in ortho as the viewer "
                   "draws them, or standard, +sqrt(2) sin(|m| phi)",
                   [&o](const std::string& v) {
                       if (v != "lobara" && v != "standard")
                           throw UsageError("--sine needs lobara or standard, not '" + v + "'");
                       o.convention.sine = v == "lobara" ? SineSign::kLobara : SineSign::kStandard;
                   });
    AddRepeatableOption(app, "--at", "THETA,PHI",
                        "Print the value of the field at THETA (0 to pi) and PHI, in radians, one line each; "
                        "repeatable",
                        [&o](const std::string& v) {
                            const std::vector<double> a = ParseNumbers("--at", v, 2, "THETA,PHI");
                            if (a[0] < 0.0 || a[0] > kPi)
                                throw UsageError("--at needs THETA from 0 to pi, not '" + v + "'");
                            o.aAt.push_back({a[0], a[1]});
                        });
    AddValueOption(app, "--theta", "NT", std::to_string(o.nThetaDiv), "Samples along theta, pole to pole",
                   integer("--theta", o.nThetaDiv, INT32_MIN, INT32_MAX));
    AddValueOption(app, "--phi", "NP", std::to_string(o.nPhiDiv), "Samples along phi, round the z axis",
                   integer("--phi", o.nPhiDiv, INT32_MIN, INT32_MAX));
    AddValueOption(
        app, "--radius", "RULE", "abs",
        "How far each sample lies from the origin: abs, |f| (the polar plot); square, f^2; one, the "
        "unit sphere; offset[:R], R + |f| with R above 0 and at most 1e30 (1 when left out), a closed "
        "star-shaped "
        "surface around a sphere of radius R. The faces split by the sign of f with every rule",
        [&o](const std::string& v) { o.radius = ParseRadius("--radius", v); });
    AddValueOption(app, "--core", "R", "",
                   "The same as --radius offset:R: the lobes stand on a core of radius R (above 0) and join "
                   "into one closed solid, as a 3D printer needs",
                   [&o](const std::string& v) {
                       o.radius = RadiusRule{RadiusKind::kOffset, ParsePositive("--core", v)};
                   });
    AddValueOption(app, "--scale", "MM", "",
                   "Scale the mesh so that the largest side of its bounding box is MM millimetres: STL, PLY "
                   "and OBJ coordinates in millimetres, glTF in metres as glTF states them",
                   [&o](const std::string& v) { o.dScaleMillimetres = ParsePositive("--scale", v); });
    AddValueOption(app, "--scheme", "0-" + std::to_string(kColorSchemeCount - 1),
                   std::to_string(o.nColorScheme),
                   "Colours of the positive and negative lobes, as in the viewer's colour dialog",
                   integer("--scheme", o.nColorScheme, 0, kColorSchemeCount - 1));
    AddValueOption(app, "--from", "X,Y,Z", PointText(o.camera.from), "Camera position (the eye)",
                   [&o](const std::string& v) { ParsePoint("--from", v, o.camera.from); });
    AddValueOption(app, "--to", "X,Y,Z", PointText(o.camera.to), "Point the camera looks at",
                   [&o](const std::string& v) { ParsePoint("--to", v, o.camera.to); });
    AddFlag(app, "--fit", o.bFit,
            "Keep To and the direction from To to From, and choose the distance so that the surface "
            "fills the picture with a margin of 5 % of the limiting side");
    AddValueOption(
        app, "--size", "WxH", std::to_string(o.nWidth) + "x" + std::to_string(o.nHeight),
        "Picture size in pixels, each side 1 to " + std::to_string(kMaxPictureSide),
        [&o](const std::string& v) { ParseSize("--size", v, kMaxPictureSide, o.nWidth, o.nHeight); });
    AddValueOption(app, "--supersample", "N", std::to_string(o.nSupersample),
                   "Render N times larger (1 to 4) and average each N x N block, for smooth edges",
                   integer("--supersample", o.nSupersample, 1, 4));
    AddValueOption(app, "--background", "COLOUR", "black",
                   "black, white, or transparent (a PNG with alpha, 0 off the surface)",
                   [&o](const std::string& v) { o.background = ParseBackground(v); });
    AddFlag(
        app, "--stats", o.bStats,
        "Print one JSON line: l, m, the sample counts, vertices and faces; with --table the cells' side S, "
        "left, top and pitch: cell (l, m) has its top left corner at left + (m + LMAX) S, top + l pitch");
    AddValueOption(app, "--values", "FILE", "",
                   "Write the signed value of the field at every sample in sample-index order: little-endian "
                   "doubles, headerless, or a NumPy array of shape (NT, NP) when FILE ends in .npy; CSV rows "
                   "theta,phi,value when it ends in .csv",
                   path("--values", o.strValuesPath));
    AddValueOption(app, "--mesh", "FILE", "",
                   "Write the surface as a 3D model, by extension: " + MeshFormatsDescribed(),
                   [&o](const std::string& v) {
                       o.strMeshPath = NonEmptyPath("--mesh", v);
                       if (!IsMeshPath(o.strMeshPath))
                           throw UsageError("--mesh needs a file name ending in " + MeshExtensions() +
                                            ", not '" + v + "'");
                   });
    AddFlag(
        app, "--complex", o.bComplex,
        "The complex harmonics N(l, m) P_l^|m|(cos theta) e^(i m phi) instead of the real ones, for -l/-m, "
        "--term and --acn: N is --norm's factor without the sqrt(2) of the real harmonics, --cs the phase "
        "(-1)^m for m > 0 only (as SciPy's sph_harm); the polar plot of |Y| coloured by phase, --values "
        "complex (.npy complex128, raw interleaved re, im; CSV theta,phi,re,im) and --at prints re im");
    AddValueOption(
        app, "--color", "MODE", "sign",
        "Colouring of pictures and maps: sign (the scheme's two colours), phase (a cyclic map over "
        "-pi .. pi) or value (a diverging map centred on 0 from -max|f| to max|f|, a sequential one "
        "from 0 for a field never negative, |f| for --complex); a map colours by value (phase for "
        "--complex) unless told",
        [&o](const std::string& v) {
            if (v == "sign")
                o.colorMode = ColorMode::kSign;
            else if (v == "phase")
                o.colorMode = ColorMode::kPhase;
            else if (v == "value")
                o.colorMode = ColorMode::kValue;
            else
                throw UsageError("--color needs sign, phase or value, not '" + v + "'");
        });
    AddValueOption(
        app, "--colormap", "NAME", "",
        "Colour map of --color phase or value: " + ColorMapNames() +
            " (default twilight for the phase, coolwarm for signed values, viridis for values never "
            "negative)",
        [&o](const std::string& v) {
            if (FindColorMap(v) == nullptr)
                throw UsageError("--colormap needs " + ColorMapNames() + ", not '" + v + "'");
            o.strColorMap = v;
        });
    AddValueOption(app, "--range", "LO,HI", "", "The values at the ends of the colour map of --color value",
                   [&o](const std::string& v) {
                       const std::vector<double> a = ParseNumbers("--range", v, 2, "LO,HI");
                       if (!(a[0] < a[1]))
                           throw UsageError("--range needs LO below HI, not '" + v + "'");
                       o.bRange = true;
                       o.dRangeLow = a[0];
                       o.dRangeHigh = a[1];
                   });
    AddFlag(
        app, "--smooth", o.bSmooth,
        "Shade pictures with a normal per vertex (the mean of its faces'), not per face as the viewer does");
    AddValueOption(app, "--map", "PROJECTION", "",
                   "Write a flat map of the field to --out instead of the 3D picture, with its colour bar "
                   "below (its limits, middle and 0 numbered): mollweide, equirect or ortho (the hemisphere "
                   "around +x). Seen from outside: north up, east (growing phi) to the right, phi = 0 at the "
                   "centre, so +x is the middle and +y (phi = 90 degrees) halfway to the right edge. Without "
                   "--size the map is 800 pixels wide and as high as the projection needs",
                   [&o](const std::string& v) {
                       if (!FindMapProjection(v, o.mapProjection))
                           throw UsageError("--map needs mollweide, equirect or ortho, not '" + v + "'");
                       o.bMap = true;
                   });
    AddValueOption(
        app, "--out", "FILE.png", "",
        "Render the picture the viewer shows in a client area of --size to a PNG; with --turntable a "
        "name with one frame number field such as spin-%03d.png",
        path("--out", o.strPicturePath));
    AddValueOption(app, "--title", "TEXT", "",
                   "Draw TEXT (UTF-8) centred at the top of the picture, of every turntable frame and of the "
                   "table, in DejaVu Sans at 3/80 of the picture's shorter side, smaller where it would not "
                   "fit the width",
                   [&o](const std::string& v) {
                       if (!IsDrawableText(v, false))
                           throw UsageError("--title needs text in UTF-8");
                       o.strTitle = v;
                   });
    AddValueOption(
        app, "--turntable", "N", "",
        "Render N frames (1 to 100000), frame k with From turned by k*360/N degrees counter-clockwise "
        "(seen from +z) about the vertical line through To; with --fit one distance fits every frame",
        integer("--turntable", o.nTurntableFrames, 1, 100000));
    AddValueOption(
        app, "--table", "LMAX", "",
        "Render one picture of every Y(l, m) for l = 0 .. LMAX: row l from the top, m = -l .. l from "
        "the left, each cell the --fit picture of its harmonic from the direction of --from and --to; the "
        "cells shrink to leave room for --title and --table-labels",
        integer("--table", o.nTableMax, 0, kMaxPictureSide / 2));
    AddValueOption(
        app, "--table-labels", "WHAT", "none",
        "Words around the --table cells: none; harmonics, \"Y(l,m)\" under each cell with \"l = ...\" "
        "beside each row and \"m = ...\" above each column; or orbitals, the same with the real "
        "orbitals' names (s, p_y, ..., f_x(x2-3y2)) under the cells of l <= 3, a minus before a name "
        "where Y(l, m) is the negative of that orbital in the convention chosen. The cells shrink to "
        "leave room for them",
        [&o](const std::string& v) {
            if (v != "none" && v != "harmonics" && v != "orbitals")
                throw UsageError("--table-labels needs none, harmonics or orbitals, not '" + v + "'");
            o.tableLabels = v == "none"        ? TableLabels::kNone
                            : v == "harmonics" ? TableLabels::kHarmonics
                                               : TableLabels::kOrbitals;
        });
    AddFlag(app, "--table-polynomials", o.bTablePolynomials,
            "With --table-labels orbitals, each orbital's Cartesian polynomial under its name, signed as the "
            "cell's Y(l, m)");
    AddValueOption(app, "--table-scale", "HOW", "each",
                   "each: every --table cell fitted alone; common: one distance for every cell, the one that "
                   "fits the largest, so that sizes compare",
                   [&o](const std::string& v) {
                       if (v != "each" && v != "common")
                           throw UsageError("--table-scale needs each or common, not '" + v + "'");
                       o.bTableCommonScale = v == "common";
                   });

    try
    {
        app.parse(argc, argv);
    }
    catch (const CLI::CallForHelp&)
    {
        o.strInfo = app.help();
        return o;
    }
    catch (const CLI::CallForVersion& version)
    {
        o.strInfo = std::string(version.what()) + "\n";
        return o;
    }
    catch (const CLI::ParseError& error)
    {
        throw UsageError(error.what());
    }
    CheckCombination(app, o);
    return o;
}
