#include "lobara-render/option_table.h"

#include <cstdint>

#include "camera/camera_math.h"
#include "colour/color_maps.h"
#include "colour/color_schemes.h"
#include "export/coefficient_export.h"
#include "export/mesh_export.h"
#include "export/values_writer.h"
#include "fields/input_convention.h"
#include "fields/model_time.h"
#include "fields/orbitals.h"
#include "hydrogen/radial_function.h"
#include "jobs/job.h"
#include "jobs/orbital_text.h"
#include "jobs/request_error.h"
#include "jobs/value_text.h"
#include "names/named_values.h"
#include "render/offscreen_context.h"
#include "settings/sampling_defaults.h"
#include "sht/build_limits.h"
#include "text/picture_text.h"

namespace {

std::string PointText(const double point[3])
{
    std::string strText;
    for (int i = 0; i < 3; ++i)
        strText += (i ? "," : "") + DecimalText(point[i]);
    return strText;
}

std::vector<OptionDeclaration> Declare()
{
    return {
        {"-l,--l", "INT", std::to_string(kDefaultL), "Degree l", false,
         Integer("--l", &Request::l, INT32_MIN, INT32_MAX)},
        {"-m,--m", "INT", std::to_string(kDefaultM), "Order m; m < 0 gives the sine harmonics", false,
         Integer("--m", &Request::m, INT32_MIN, INT32_MAX)},
        {"--term", "L,M,C", "",
         "Add C * Y(L, M) to the field, in the convention chosen; repeatable, instead of -l and -m", true,
         [](const std::string& v, Request& r) { r.aTerms.push_back(ParseTerm("--term", v)); }},
        {"--acn", "C0,C1,...", "",
         "The field of ambisonic channels in ACN order (channel l*l + l + m), in SN3D with the standard sine "
         "(AmbiX) unless --norm or --sine says otherwise",
         false, [](const std::string& v, Request& r) { r.aAcn = ParseNumbers("--acn", v, 0, "C0,C1,..."); }},
        {"--coeffs", "FILE", "",
         "The field of a coefficient file: shtools text (l m C S rows), dov (l m value, m < 0 the sine), "
         "Curtin binary .bshc or ICGEM .gfc; S multiplies +sin(m phi), and the file's own normalisation (4pi "
         "unless its header says otherwise) holds",
         false, FilePath("--coeffs", &Request::strCoeffsPath)},
        {"--orbital", "NAME", "",
         "The real orbital of that name, positive where its name's polynomial is, in the convention chosen: "
         "s, p_x, p_y, p_z, d_xy, d_yz, d_z2, d_xz, d_x2-y2, f_z3, f_xz2, f_yz2, f_xyz, f_z(x2-y2), "
         "f_x(x2-3y2), f_y(3x2-y2), or a member of a hybrid set: sp, sp2, sp3, sp3d, sp3d2 along +z (sp2 and "
         "sp3d along +x, sp3 along (1,1,1)), sp3:2 and so on the others (see the README). With a principal "
         "number first (1s, 2p_z, 3d_xy, 4f_xyz) the hydrogen-like orbital of that name, as --hydrogen draws "
         "it",
         false, [](const std::string& v, Request& r) { r.strOrbital = v; }},
        {"--hydrogen", "N,L,M", "",
         "The hydrogen-like orbital psi(N, L, M) = R(N, L) Y(L, M), Y the real harmonic of the convention "
         "chosen (the complex one with --complex), normalised to 1: N from 1 to " +
             std::to_string(kMaxPrincipal) +
             ", L from 0 to N - 1, |M| <= L; lengths in Bohr radii a0, psi in a0^(-3/2). Draws the "
             "boundary surface of --enclose or --iso (pictures, --mesh, --html, --stats), or with --slice a "
             "flat picture. With --table, N alone: every real orbital of that N",
         false, [](const std::string& v, Request& r) { ReadOrbitalNumbers("--hydrogen", v, r); }},
        {"--charge", "Z", "1",
         "The nuclear charge of the hydrogen-like orbital, from " + DecimalText(kMinCharge) + " to " +
             DecimalText(kMaxCharge) + "; lengths stay in Bohr radii a0, so the orbital shrinks as 1/Z",
         false, [](const std::string& v, Request& r) { r.dCharge = ParseCharge("--charge", v); }},
        {"--enclose", "P", "0.9",
         "The orbital's boundary surface |psi| = c whose inside holds the probability P (between 0 and 1); "
         "drawn with the scheme's two colours for the signs of psi",
         false, [](const std::string& v, Request& r) { r.dEnclose = ParseEnclose("--enclose", v); }},
        {"--iso", "C", "",
         "The orbital's surface |psi| = C instead, C above 0 in a0^(-3/2) (--stats prints the largest |psi|)",
         false, [](const std::string& v, Request& r) { r.dIso = ParsePositive("--iso", v); }},
        {"--slice", "PLANE", "",
         "Write a flat picture of the orbital to --out instead: psi in the plane through the nucleus xz "
         "(seen "
         "from -y), xy (from +z), yz (from +x) or of the normal A,B,C (seen from its tip, +z up), a square "
         "that holds 99.9 % of the radial probability, with its colour bar",
         false, [](const std::string& v, Request& r) { r.sliceNormal = ParseSliceNormal("--slice", v); }},
        {"--density", "", "", "With --slice, the probability density |psi|^2 instead of psi", false,
         [](const std::string&, Request& r) { r.bDensity = true; }},
        {"--lmin", "L", "",
         "Keep the degrees of the field from L up; with --lmax, the band of degrees from L to --lmax", false,
         Integer("--lmin", &Request::nLmin, 0, kMaxDegree)},
        {"--lmax", "L", "",
         "Keep the degrees of the field up to L (--coeffs reads no further); with --analyze, the highest "
         "degree found (the grid's limit unless told)",
         false, Integer("--lmax", &Request::nLmax, 0, kMaxDegree)},
        {"--epoch", "DATE", "",
         "Evaluate the time-variable ICGEM model of --coeffs (1.0: gfct, trnd, acos and asin; 2.0: the same "
         "on their intervals) at DATE, an ISO date YYYY-MM-DD or a decimal year such as 2010.5",
         false,
         [](const std::string& v, Request& r) {
             r.epoch = ParseEpoch(v);
             if (!r.epoch)
                 throw RequestError(
                     "--epoch needs a date YYYY-MM-DD or a decimal year of the years 1 to 9999, not '" + v +
                     "'");
         }},
        {"--remove-normal", "ELLIPSOID", "",
         "Subtract the normal gravitational field of GRS80 or WGS84 (degree 0 and the even zonal terms to "
         "degree 20, from the ellipsoid's defining constants, rescaled to the GM and radius of --coeffs)",
         false,
         [](const std::string& v, Request& r) {
             r.pNormalField = FindReferenceEllipsoid(v);
             if (!r.pNormalField)
                 throw RequestError("--remove-normal needs GRS80 or WGS84, not '" + v + "'");
         }},
        {"--quantity", "NAME", "",
         "What the model of --coeffs gives on the sphere of its radius plus --height: potential (m^2/s^2), "
         "geoid (m, Bruns' formula with the mean normal gravity of the ellipsoid of --remove-normal, else "
         "GRS80), gravity-disturbance, gravity-anomaly or radial-gravity (mGal) of a gravity model with GM "
         "and radius in its header; Br or intensity (nT) of Schmidt-normalised magnetic Gauss coefficients, "
         "the intensity on maps and --values alone",
         false,
         [](const std::string& v, Request& r) {
             r.pQuantity = FindQuantity(v);
             if (!r.pQuantity)
                 throw RequestError("--quantity needs one of " + QuantityNames() + ", not '" + v + "'");
         }},
        {"--height", "H", "0", "Metres above the model's reference sphere where --quantity is taken", false,
         [](const std::string& v, Request& r) { r.dHeight = ParseNumbers("--height", v, 1, "H")[0]; }},
        {"--analyze", "FILE", "",
         "The field whose coefficients fit sampled values: a NumPy array of float64 of shape (NT, NP) when "
         "FILE ends in .npy, CSV rows theta,phi,value as --values writes them when it ends in .csv, else "
         "headerless little-endian doubles of shape --theta x --phi; --grid says where they lie, --lmax up "
         "to which degree",
         false, FilePath("--analyze", &Request::strAnalyzePath)},
        {"--grid", "NAME", "lobara",
         "Where the values of --analyze lie: lobara (NT rows theta = i pi / (NT - 1), both poles: the grid "
         "of --values; degrees up to NT - 2), cells (theta = (i + 1/2) pi / NT; up to NT - 1), dh "
         "(Driscoll-Healy, NP = 2 NT, theta = i pi / NT; up to NT - 1), gl (Gauss-Legendre latitudes; up to "
         "NT - 1), each with phi = 2 pi j / NP and degrees up to (NP - 1) / 2; or points, CSV rows "
         "theta,phi,value with an optional fourth column, the weight, fitted by least squares (degrees up to "
         "sqrt(N) - 1 for N points unless told)",
         false,
         [](const std::string& v, Request& r) {
             r.grid = ParseGrid("--grid", v);
             r.bGridPoints = !r.grid;
         }},
        {"--norm", "NAME", NormalizationName(Normalization::kOrtho),
         "Normalisation of Y: ortho (unit integral of Y^2 over the sphere), 4pi (mean square 1), schmidt, "
         "unnorm, sn3d or n3d",
         false, Named("--norm", FindNormalization, NormalizationNames, &Request::normalization)},
        {"--cs", "", "", "Include the Condon-Shortley phase (-1)^m", false,
         [](const std::string&, Request& r) { r.bCondonShortley = true; }},
        {"--sine", "SIGN", SineSignName(SineSign::kLobara),
         "Sign of the sine harmonics (m < 0): lobara, -sqrt(2) sin(|m| phi) in ortho as the viewer draws "
         "them, or standard, +sqrt(2) sin(|m| phi)",
         false, Named("--sine", FindSineSign, SineSignNames, &Request::sine)},
        {"--convention", "NAME", "",
         "--norm, --cs and --sine at once, by the name of a common set: lobara (ortho, sine lobara: the "
         "viewer's own), physics (ortho, --cs, sine standard: SciPy's), geodesy (4pi, sine standard: shtools "
         "and ICGEM files), ambix (sn3d, sine standard), n3d or schmidt (sine standard)",
         false, Named("--convention", FindConventionNamed, ConventionNames, &Request::convention)},
        {"--rotate", "ROTATION", "",
         "Turn the field before anything is sampled, f_R(x) = f(R^-1 x), angles in degrees and "
         "counter-clockwise seen from the positive end of each axis: zyz:A,B,G is Rz(A) Ry(B) Rz(G); "
         "ypr:YAW,PITCH,ROLL is Rz(YAW) Ry(PITCH) Rx(ROLL), yaw 90 taking +x to +y, pitch 90 +x to -z and "
         "roll 90 +y to +z; axis:X,Y,Z,DEG turns about the axis (X,Y,Z). The same function in every "
         "convention, on both parts of --complex; repeatable, the first given turning first",
         true, [](const std::string& v, Request& r) { r.aRotations.push_back(ParseTurn("--rotate", v)); }},
        {"--at", "THETA,PHI", "",
         "Print the value of the field at THETA (0 to pi) and PHI, in radians, one line each; repeatable",
         true, [](const std::string& v, Request& r) { r.aAt.push_back(ParseAngles("--at", v)); }},
        {"--theta", "NT", std::to_string(kDefaultThetaDiv), "Samples along theta, pole to pole", false,
         Integer("--theta", &Request::nThetaDiv, 1, INT32_MAX)},
        {"--phi", "NP", std::to_string(kDefaultPhiDiv), "Samples along phi, round the z axis", false,
         Integer("--phi", &Request::nPhiDiv, 1, INT32_MAX)},
        {"--radius", "RULE", "abs",
         "How far each sample lies from the origin: abs, |f| (the polar plot); square, f^2; one, the unit "
         "sphere; offset[:R], R + |f| with R above 0 and at most 1e30 (1 when left out), a closed "
         "star-shaped surface around a sphere of radius R. The faces split by the sign of f with every rule",
         false, [](const std::string& v, Request& r) { r.radius = ParseRadius("--radius", v); }},
        {"--core", "R", "",
         "The same as --radius offset:R: the lobes stand on a core of radius R (above 0) and join into one "
         "closed solid, as a 3D printer needs",
         false, [](const std::string& v, Request& r) { r.dCore = ParsePositive("--core", v); }},
        {"--scale", "MM", "",
         "Scale the mesh so that the largest side of its bounding box is MM millimetres: STL, PLY and OBJ "
         "coordinates in millimetres, glTF in metres as glTF states them",
         false, [](const std::string& v, Request& r) { r.dScaleMillimetres = ParsePositive("--scale", v); }},
        {"--scheme", "0-" + std::to_string(kColorSchemeCount - 1), std::to_string(kDefaultColorScheme),
         "Colours of the positive and negative lobes, as in the viewer's colour dialog", false,
         Integer("--scheme", &Request::nColorScheme, 0, kColorSchemeCount - 1)},
        {"--from", "X,Y,Z", PointText(kDefaultCamera.from), "Camera position (the eye)", false,
         [](const std::string& v, Request& r) { r.from = ParsePoint("--from", v); }},
        {"--to", "X,Y,Z", PointText(kDefaultCamera.to), "Point the camera looks at", false,
         [](const std::string& v, Request& r) { r.to = ParsePoint("--to", v); }},
        {"--fit", "", "",
         "Keep To and the direction from To to From, and choose the distance so that the surface fills the "
         "picture with a margin of 5 % of the limiting side",
         false, [](const std::string&, Request& r) { r.bFit = true; }},
        {"--size", "WxH", std::to_string(kDefaultPictureWidth) + "x" + std::to_string(kDefaultPictureHeight),
         "Picture size in pixels, each side 1 to " + std::to_string(kMaxPictureSide), false,
         [](const std::string& v, Request& r) { r.size = ParseSize("--size", v, kMaxPictureSide); }},
        {"--supersample", "N", "1",
         "Render N times larger (1 to 4) and average each N x N block, for smooth edges", false,
         Integer("--supersample", &Request::nSupersample, 1, 4)},
        {"--background", "COLOUR", "black",
         "black, white, or transparent (a PNG with alpha, 0 off the surface)", false,
         Named("--background", FindBackground, BackgroundNames, &Request::background)},
        {"--stats", "", "",
         "Print one JSON line: l, m, the sample counts, vertices and faces; with --table the cells' side S, "
         "left, top and pitch: cell (l, m) has its top left corner at left + (m + LMAX) S, top + l pitch",
         false, [](const std::string&, Request& r) { r.bStats = true; }},
        {"--values", "FILE", "",
         "Write the signed value of the field at every sample in sample-index order: little-endian doubles, "
         "headerless, or a NumPy array of shape (NT, NP) when FILE ends in .npy; CSV rows theta,phi,value "
         "when it ends in .csv",
         false, FilePath("--values", &Request::strValuesPath)},
        {"--mesh", "FILE", "", "Write the surface as a 3D model, by extension: " + MeshFormatsDescribed(),
         false,
         [](const std::string& v, Request& r) {
             r.strMeshPath = NonEmptyPath("--mesh", v);
             if (!IsMeshPath(r.strMeshPath))
                 throw RequestError("--mesh needs a file name ending in " + MeshExtensions() + ", not '" + v +
                                    "'");
         }},
        {"--coeffs-out", "FILE", "",
         "Write the field's coefficients, in the format of the name as --coeffs reads them: " +
             CoefficientOutputFormatsDescribed() +
             "; every degree up to the highest with every order, each number with 17 significant digits, in "
             "the convention of --out-norm, --out-cs and --out-sine",
         false, FilePath("--coeffs-out", &Request::strCoeffsOutPath)},
        {"--out-norm", "NAME", "",
         "Normalisation of the coefficients of --coeffs-out, named as --norm's (default the format's own: "
         "4pi, sn3d for ACN channels; ICGEM holds 4pi or unnorm); --norm keeps saying the input's",
         false, Named("--out-norm", FindNormalization, NormalizationNames, &Request::outNormalization)},
        {"--out-cs", "", "", "The coefficients of --coeffs-out with the Condon-Shortley phase (-1)^m", false,
         [](const std::string&, Request& r) { r.bOutCondonShortley = true; }},
        {"--out-sine", "SIGN", "",
         "Sign of the sine harmonics of --coeffs-out, named as --sine's (default standard, +sin(|m| phi), "
         "the only one coefficient files hold; lobara for ACN channels only)",
         false, Named("--out-sine", FindSineSign, SineSignNames, &Request::outSine)},
        {"--spectrum", "FILE", "",
         "Write the power of each degree l, the mean square of the field's part of degree l (in 4pi the sum "
         "of C^2 + S^2 over its orders): for a name ending in .png the plot of the power on a logarithmic "
         "axis against l (at --size, with --title, on --background, white unless given), for any other CSV "
         "rows l,power,power_per_coefficient,cumulative_power",
         false, FilePath("--spectrum", &Request::strSpectrumPath)},
        {"--complex", "", "",
         "The complex harmonics N(l, m) P_l^|m|(cos theta) e^(i m phi) instead of the real ones, for -l/-m, "
         "--term and --acn: N is --norm's factor without the sqrt(2) of the real harmonics, --cs the phase "
         "(-1)^m for m > 0 only (as SciPy's sph_harm); the polar plot of |Y| coloured by phase, --values "
         "complex (.npy complex128, raw interleaved re, im; CSV theta,phi,re,im) and --at prints re im",
         false, [](const std::string&, Request& r) { r.bComplex = true; }},
        {"--color", "MODE", "sign",
         "Colouring of pictures and maps: sign (the scheme's two colours), phase (a cyclic map over -pi .. "
         "pi) or value (a diverging map centred on 0 from -max|f| to max|f|, a sequential one from 0 for a "
         "field never negative, |f| for --complex); a map colours by value (phase for --complex) unless told",
         false, Named("--color", FindColorMode, ColorModeNames, &Request::colorMode)},
        {"--colormap", "NAME", "",
         "Colour map of --color phase or value: " + ColorMapNames() +
             " (default twilight for the phase, coolwarm for signed values, viridis for values never "
             "negative)",
         false,
         [](const std::string& v, Request& r) {
             if (FindColorMap(v) == nullptr)
                 throw RequestError("--colormap needs " + ColorMapNames() + ", not '" + v + "'");
             r.colorMap = v;
         }},
        {"--range", "LO,HI", "", "The values at the ends of the colour map of --color value", false,
         [](const std::string& v, Request& r) { r.range = ParseRange("--range", v); }},
        {"--smooth", "", "",
         "Shade pictures with a normal per vertex (the mean of its faces'), not per face as the viewer does",
         false, [](const std::string&, Request& r) { r.bSmooth = true; }},
        {"--map", "PROJECTION", "",
         "Write a flat map of the field to --out instead of the 3D picture, with its colour bar below (its "
         "limits, middle and 0 numbered): mollweide, equirect or ortho (the hemisphere around +x). Seen from "
         "outside: north up, east (growing phi) to the right, phi = 0 at the centre, so +x is the middle and "
         "+y (phi = 90 degrees) halfway to the right edge. Without --size the map is 800 pixels wide and as "
         "high as the projection needs",
         false, Named("--map", FindMapProjection, MapProjectionNames, &Request::map)},
        {"--out", "FILE.png", "",
         "Render the picture the viewer shows in a client area of --size to a PNG; with --turntable a name "
         "with one frame number field such as spin-%03d.png",
         false, FilePath("--out", &Request::strPicturePath)},
        {"--html", "FILE", "",
         "Write one self-contained HTML page (no network request) that draws the surface of --out with WebGL "
         "and turns (left drag), zooms (right drag, wheel) and pans (both buttons or Shift + left drag) it, "
         "from the camera of --from, --to and --fit; R resets the camera. A single harmonic or a named "
         "orbital by sign gets controls of degree, order or orbital, colour scheme and resolution; a "
         "hydrogen-like orbital's boundary surface by sign, of the colour scheme",
         false, FilePath("--html", &Request::strPagePath)},
        {"--title", "TEXT", "",
         "Draw TEXT (UTF-8) centred at the top of the picture, of every turntable frame, of the table and of "
         "the --spectrum plot and over the --html page, in DejaVu Sans at 3/80 of the picture's shorter "
         "side, "
         "smaller where it would not fit the width",
         false,
         [](const std::string& v, Request& r) {
             if (!IsDrawableText(v, false))
                 throw RequestError("--title needs text in UTF-8");
             r.title = v;
         }},
        {"--turntable", "N", "",
         "Render N frames (1 to 100000), frame k with From turned by k*360/N degrees counter-clockwise (seen "
         "from +z) about the vertical line through To; with --fit one distance fits every frame",
         false, Integer("--turntable", &Request::nTurntableFrames, 1, 100000)},
        {"--table", "[LMAX]", "",
         "Render one picture of every Y(l, m) for l = 0 .. LMAX: row l from the top, m = -l .. l from the "
         "left, each cell the --fit picture of its harmonic from the direction of --from and --to; the cells "
         "shrink to leave room for --title and --table-labels. With --hydrogen N, the real orbitals psi(N, "
         "l, m) instead, each its boundary surface of --enclose or --iso, for l up to LMAX (N - 1 when LMAX "
         "is left out)",
         false,
         [](const std::string& v, Request& r) {
             r.bTable = true;
             if (v.empty())
                 r.nTableMax.reset();
             else
                 r.nTableMax = ParseInt32("--table", v, 0, (kMaxPictureSide - 1) / 2);
         },
         true},
        {"--table-labels", "WHAT", "none",
         "Words around the --table cells: none; harmonics, \"Y(l,m)\" under each cell with \"l = ...\" "
         "beside each row and \"m = ...\" above each column; or orbitals, the same with the real orbitals' "
         "names (s, p_y, ..., f_x(x2-3y2)) under the cells of l <= 3, a minus before a name where Y(l, m) is "
         "the negative of that orbital in the convention chosen. With --hydrogen N, \"psi(N,l,m)\" and the "
         "names with N first (3s, 3d_xy). The cells shrink to leave room for them",
         false, Named("--table-labels", FindTableLabels, TableLabelsNames, &Request::tableLabels)},
        {"--table-polynomials", "", "",
         "With --table-labels orbitals, each orbital's Cartesian polynomial under its name, signed as the "
         "cell's Y(l, m)",
         false, [](const std::string&, Request& r) { r.bTablePolynomials = true; }},
        {"--table-scale", "HOW", "each",
         "each: every --table cell fitted alone; common: one distance for every cell, the one that fits the "
         "largest, so that sizes compare",
         false,
         [](const std::string& v, Request& r) {
             if (v != "each" && v != "common")
                 throw RequestError("--table-scale needs each or common, not '" + v + "'");
             r.bTableCommonScale = v == "common";
         }},
    };
}

}  // namespace

const std::vector<OptionDeclaration>& OptionDeclarations()
{
    static const std::vector<OptionDeclaration> kDeclarations = Declare();
    return kDeclarations;
}
