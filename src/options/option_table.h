#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "camera/camera_math.h"
#include "camera/table_layout.h"
#include "colour/color_maps.h"
#include "colour/color_schemes.h"
#include "colour/field_coloring.h"
#include "export/coefficient_export.h"
#include "export/mesh_export.h"
#include "export/values_writer.h"
#include "fields/input_convention.h"
#include "fields/model_time.h"
#include "fields/orbitals.h"
#include "fields/polarisation.h"
#include "geodesy/field_quantity.h"
#include "geodesy/reference_ellipsoid.h"
#include "healpix/pixel_order.h"
#include "hydrogen/boundary_level.h"
#include "hydrogen/orbital_values.h"
#include "hydrogen/radial_function.h"
#include "maps/map_projection.h"
#include "mesh/radius_rule.h"
#include "options/option.h"
#include "options/orbital_text.h"
#include "options/request.h"
#include "options/value_forms.h"
#include "options/value_text.h"
#include "picture/picture.h"
#include "render/offscreen_context.h"
#include "settings/sampling_defaults.h"
#include "sht/build_limits.h"
#include "sht/convention.h"
#include "sht/rotation.h"
#include "sht/sample_grid.h"
#include "text/picture_text.h"
#include "text/table_captions.h"

// The picture's size unless told.
constexpr int kDefaultPictureWidth = 800;
constexpr int kDefaultPictureHeight = 600;

// A camera's point as the options hold it.
constexpr std::array<double, 3> PointOf(const double (&point)[3])
{
    return {point[0], point[1], point[2]};
}

// Conditions of the rules below, on the whole request (options/option_rules.cpp).
// A hydrogen-like orbital: --hydrogen, or an --orbital name with a principal number (2p_z).
bool AsksForHydrogen(const Request& request);
// A map whose --theta and --phi do not give the shape of headerless values to analyse.
bool MapsOwnGrid(const Request& request);
// --hydrogen N alone only with --table.
bool ShellWithTable(const Request& request);

// The rule of the options that say how to draw a hydrogen-like orbital.
inline OptionRule OnlyForHydrogen()
{
    return Requires(&AsksForHydrogen,
                    "{option} goes with --hydrogen or an --orbital name with a principal number (2p_z)");
}

// Every option of lobara-render, and every keyword of the Python package's runs, declared once:
// its names, the form of its value, its default, its help and the rules it brings. From here
// come the command line and its --help (and so the man page), the README's table, Python's
// keywords and defaults, and the plan's defaults and rules. Each option is the key its value is
// read by: request.Value(opt::kTheta).
namespace opt {

// The field: one source at most (kFieldSources below).
inline const COption<int32_t> kL{
    Declare(OptionText{"-l,--l", "INT", "Degree l"}, IntegerIn(INT32_MIN, INT32_MAX)).Default(kDefaultL)};
inline const COption<int32_t> kM{
    Declare(OptionText{"-m,--m", "INT", "Order m; m < 0 gives the sine harmonics"},
            IntegerIn(INT32_MIN, INT32_MAX))
        .Default(kDefaultM)};
inline const CListOption<Term> kTerm{DeclareList(
    OptionText{"--term", "L,M,C",
               "Add C * Y(L, M) to the field, in the convention chosen; repeatable, instead of -l and -m"},
    ReadBy(&ParseTerm))};
inline const COption<std::vector<double>> kAcn{Declare(
    OptionText{
        "--acn", "C0,C1,...",
        "The field of ambisonic channels in ACN order (channel l*l + l + m), in SN3D with the standard sine "
        "(AmbiX) unless --norm or --sine says otherwise"},
    ValueForm<std::vector<double>>{[](const std::string& strName, const std::string& strText) {
                                       return ParseNumbers(strName, strText, 0, "C0,C1,...");
                                   },
                                   {},
                                   {}})};
inline const COption<std::string> kCoeffs{
    Declare(
        OptionText{"--coeffs", "FILE",
                   "The field of a coefficient file: shtools text (l m C S rows), dov (l m value, m < 0 the "
                   "sine), Curtin binary .bshc, ICGEM .gfc or healpy's alm .fits (a real field's complex "
                   "a_lm, ortho with the Condon-Shortley phase); S multiplies +sin(m phi), and the file's "
                   "own normalisation (4pi unless its header says otherwise) holds"},
        FileName())
        .Rule(Excludes({"--complex"},
                       "{other} does not go with {option}: a coefficient file holds real harmonics"))};
inline const COption<std::string> kOrbital{
    Declare(
        OptionText{
            "--orbital", "NAME",
            [] {
                return "The real orbital of that name, positive where its name's polynomial is, in the "
                       "convention chosen: " +
                       OrbitalNames() +
                       ": a hybrid set's name alone is its first member, along +z (sp2 and sp3d along "
                       "+x, sp3 along (1,1,1)), sp3:2 and so on the others (see the README). With a "
                       "principal number first (1s, 2p_z, 3d_xy, 4f_xyz) the hydrogen-like orbital of "
                       "that name, as --hydrogen draws it";
            }},
        ValueForm<std::string>{
            [](const std::string&, const std::string& strText) { return strText; }, {}, {}})
        .Rule(Excludes({"--complex"}, "{other} does not go with {option}: an orbital is a real function"))};
inline const COption<HydrogenNumbers> kHydrogen{
    Declare(
        OptionText{
            "--hydrogen", "N,L,M",
            [] {
                return "The hydrogen-like orbital psi(N, L, M) = R(N, L) Y(L, M), Y the real harmonic of "
                       "the convention chosen (the complex one with --complex), normalised to 1: N from "
                       "1 to " +
                       std::to_string(kMaxPrincipal) +
                       ", L from 0 to N - 1, |M| <= L; lengths in Bohr radii a0, psi in a0^(-3/2). Draws "
                       "the boundary surface of --enclose or --iso (pictures, --mesh, --html, --stats), or "
                       "with --slice a flat picture. With --table, N alone: every real orbital of that N";
            }},
        ReadBy(&ParseHydrogenNumbers))
        .Rule(Requires(
            &ShellWithTable,
            "{option} N alone draws the table of that N's orbitals: it needs --table (or give N,L,M)"))
        .Rule(Excludes(
            {"--rotate", "--lmin", "--lmax", "--radius", "--core", "--map", "--coeffs-out", "--spectrum"},
            "a hydrogen-like orbital gives its boundary surface or --slice: {other} does not go with it",
            &AsksForHydrogen))};
inline const COption<double> kCharge{
    Declare(OptionText{"--charge", "Z",
                       [] {
                           return "The nuclear charge of the hydrogen-like orbital, from " +
                                  ShortDecimalText(kMinCharge) + " to " + ShortDecimalText(kMaxCharge) +
                                  "; lengths stay in Bohr radii a0, so the orbital shrinks as 1/Z";
                       }},
            ValueForm<double>{&ParseCharge, &ShortDecimalText, {}})
        .Default(OrbitalNumbers{}.dCharge)
        .Rule(OnlyForHydrogen())};
inline const COption<double> kEnclose{
    Declare(
        OptionText{"--enclose", "P",
                   [] {
                       return "The orbital's boundary surface |psi| = c whose inside holds the probability P "
                              "(from " +
                              ShortDecimalText(kMinEnclose) + " to " + ShortDecimalText(kMaxEnclose) +
                              "); drawn with the scheme's two colours for the signs of psi";
                   }},
        ValueForm<double>{&ParseEnclose, &ShortDecimalText, {}})
        .Default(kDefaultEnclose)
        .Rule(OnlyForHydrogen())
        .Rule(Excludes({"--iso"}, "{option} and {other} each choose the surface: give one of them"))};
inline const COption<double> kIso{Declare(OptionText{"--iso", "C",
                                                     "The orbital's surface |psi| = C instead, C above 0 in "
                                                     "a0^(-3/2) (--stats prints the largest |psi|)"},
                                          PositiveNumber())
                                      .Rule(OnlyForHydrogen())};
inline const COption<std::array<double, 3>> kSlice{
    Declare(
        OptionText{
            "--slice", "PLANE",
            "Write a flat picture of the orbital to --out instead: psi in the plane through the nucleus "
            "xz (seen from -y), xy (from +z), yz (from +x) or of the normal A,B,C (seen from its tip, +z "
            "up), a square that holds 99.9 % of the radial probability, with its colour bar"},
        ReadBy(&ParseSliceNormal))
        .Rule(OnlyForHydrogen())
        .Rule(Excludes(
            {"--enclose", "--iso", "--stats", "--mesh", "--html", "--turntable", "--fit", "--smooth",
             "--supersample", "--from", "--to", "--theta", "--phi", "--scale", "--at", "--values", "--cube"},
            "{option} makes only the flat picture of the orbital: {other} does not go with it"))
        .Rule(Needs({"--out"}, "{option} needs --out"))};
inline const CFlagOption kDensity{
    DeclareFlag("--density", "With --slice, the probability density |psi|^2 instead of psi")
        .Rule(OnlyForHydrogen())
        .Rule(Needs({"--slice", "--at", "--values", "--cube"},
                    "{option} gives |psi|^2 of --slice, --at, --values or --cube: it needs one of them"))};
inline const COption<std::string> kCube{
    Declare(
        OptionText{
            "--cube", "FILE.cube",
            "Write psi (|psi|^2 with --density) of the hydrogen-like orbital on the box that holds 99.9 % "
            "of it as a Gaussian cube file (lengths in bohr, z fastest), --cube-size points a side; a "
            "complex orbital's |psi|^2 only"},
        ReadBy(&ParseCubePath))
        .Rule(OnlyForHydrogen())};
inline const COption<int32_t> kCubeSize{
    Declare(
        OptionText{
            "--cube-size", "N",
            "Points a side of the box of --cube, and of --values of a hydrogen-like orbital (psi with z "
            "fastest: raw doubles, .npy of shape (N, N, N), or CSV rows x,y,z,value)"},
        IntegerIn(kMinBoxSide, kMaxBoxSide))
        .Default(kDefaultBoxSide)
        .Rule(Needs({"--cube", "--values"},
                    "{option} sizes the box of --cube or --values: it needs one of them"))};

// The degrees kept.
inline const COption<int32_t> kLmin{Declare(
    OptionText{"--lmin", "L",
               "Keep the degrees of the field from L up; with --lmax, the band of degrees from L to --lmax"},
    IntegerIn(0, kMaxDegree))};
inline const COption<int32_t> kLmax{Declare(
    OptionText{"--lmax", "L",
               "Keep the degrees of the field up to L (--coeffs reads no further); with --analyze, the "
               "highest degree found (the grid's limit unless told)"},
    IntegerIn(0, kMaxDegree))};

// A gravity or magnetic model of --coeffs.
inline const COption<double> kEpoch{
    Declare(
        OptionText{
            "--epoch", "DATE",
            "Evaluate the time-variable ICGEM model of --coeffs (1.0: gfct, trnd, acos and asin; 2.0: the "
            "same on their intervals) at DATE, an ISO date YYYY-MM-DD or a decimal year such as 2010.5"},
        ReadBy(&ParseEpochText))
        .Rule(Needs({"--coeffs"}, "{option} reads the model of --coeffs: it goes with nothing else"))};
inline const COption<const ReferenceEllipsoid*> kRemoveNormal{
    Declare(
        OptionText{
            "--remove-normal", "ELLIPSOID",
            "Subtract the normal gravitational field of GRS80 or WGS84 (degree 0 and the even zonal terms "
            "to degree 20, from the ellipsoid's defining constants, rescaled to the GM and radius of "
            "--coeffs), or none for a model of the disturbing potential already; the ellipsoid is also "
            "that of --at-geodetic and --grid degrees:"},
        ReadBy(&ParseEllipsoid))
        .Default(nullptr)
        .Rule(Needs({"--coeffs"}, "{option} reads the model of --coeffs: it goes with nothing else"))};
inline const COption<const QuantityInfo*> kQuantity{
    Declare(
        OptionText{
            "--quantity", "NAME",
            [] {
                return "What the model of --coeffs gives, on the sphere of its radius plus --height or at "
                       "the places of --at-geodetic: " +
                       QuantityNamesWithUnits() +
                       ". The gravity quantities need GM and the radius in the file's header, and the "
                       "disturbing potential's (geoid, height-anomaly, gravity-disturbance and -anomaly, "
                       "the deflections) --remove-normal; Br, intensity and the magnetic elements X "
                       "(north), Y (east), Z (down), H, F, D (declination) and I (inclination) read "
                       "Schmidt-normalised Gauss coefficients; the intensity on maps and --values alone, "
                       "the height anomaly, deflections, horizontal gravity and magnetic elements at "
                       "geodetic places (--at-geodetic, --grid degrees:, maps)";
            }},
        ReadBy(&ParseQuantity))
        .Default(nullptr)
        .Rule(Needs({"--coeffs"}, "{option} reads the model of --coeffs: it goes with nothing else"))};
inline const COption<double> kHeight{
    Declare(
        OptionText{"--height", "H", "Metres above the model's reference sphere where --quantity is taken"},
        Number("H"))
        .Default(0.0)
        .Rule(Needs({"--coeffs"}, "{option} reads the model of --coeffs: it goes with nothing else"))
        .Rule(Needs({"--quantity"}, "{option} places --quantity: it goes with nothing else"))};

inline const CListOption<GeodeticPlace> kAtGeodetic{
    DeclareList(
        OptionText{"--at-geodetic", "LAT,LON,H",
                   "Print --quantity of the model of --coeffs at a place of geodetic latitude and longitude "
                   "(degrees) and height (metres) above the ellipsoid of --remove-normal (GRS80 for a "
                   "gravity model otherwise, WGS84 for a magnetic one), one line each; repeatable"},
        ReadBy(&ParseGeodeticPlace))
        .Rule(Needs({"--coeffs"}, "{option} reads the model of --coeffs: it goes with nothing else"))
        .Rule(Needs({"--quantity"}, "{option} gives a quantity of the model: it needs --quantity"))};
inline const COption<double> kSmoothRadius{
    Declare(
        OptionText{"--smooth-radius", "KM",
                   "Smooth a gravity model by Jekeli's Gaussian kernel of that half-width in km, degree by "
                   "degree, before --quantity is taken"},
        PositiveNumber())
        .Rule(Needs({"--coeffs"}, "{option} reads the model of --coeffs: it goes with nothing else"))};
inline const CFlagOption kSecularVariation{
    DeclareFlag("--secular-variation",
                "The yearly change of the magnetic element of --quantity at --epoch, from the model's rates "
                "(nT/yr, deg/yr)")
        .Rule(Needs({"--quantity"},
                    "{option} gives the yearly change of a magnetic element: it needs --quantity"))};

// Sampled values whose coefficients make the field.
inline const COption<std::string> kAnalyze{
    Declare(
        OptionText{
            "--analyze", "FILE",
            "The field whose coefficients fit sampled values: a NumPy array of float64 of shape (NT, NP) "
            "when FILE ends in .npy, CSV rows theta,phi,value as --values writes them when it ends in "
            ".csv, a variable on lat and lon of a netCDF file when it ends in .nc (its coordinates say "
            "the grid), a HEALPix map as healpy's write_map writes it when it ends in .fits (RING or "
            "NESTED, read in RING order; a map with UNSEEN pixels is refused; with --map drawn pixel for "
            "pixel, nothing analysed), else headerless little-endian doubles of shape --theta x --phi; "
            "--grid says where they lie, --lmax up to which degree"},
        FileName())
        .Rule(Excludes({"--complex"}, "{other} does not go with {option}: sampled values are real"))};
inline const COption<GridChoice> kGrid{
    Declare(
        OptionText{
            "--grid", "NAME",
            [] {
                return "Where the values of --analyze lie, and where --values samples the field (with no "
                       "surface output): " +
                       DescribedNames(SampleGridNamedValues()) +
                       ", each with phi = 2 pi j / NP and degrees up to (NP - 1) / 2; or, for --analyze, "
                       "points, CSV rows theta,phi,value with an optional fourth column, the weight, "
                       "fitted by least squares (unless told, up to the highest degree with two distinct "
                       "points to each coefficient that the points determine, condition at most 1e4); or, "
                       "for the --values of a model's --quantity, degrees:S,N,W,E,STEP: rows of geodetic "
                       "latitude from N south by STEP degrees to S, columns from W east to E, written as "
                       "CSV rows latitude,longitude,value; or " +
                       std::string(kHealpixGridName) +
                       ": the 12 Nside^2 pixels of a HEALPix map in RING order, a .fits map (which says "
                       "so itself) or a .npy of shape (12 Nside^2) or with --pol (3, 12 Nside^2), "
                       "analysed up to degree 3 Nside - 1 unless --lmax says, with --iter, and written "
                       "for --values at --nside";
            }},
        ValueForm<GridChoice>{&ParseGrid, &GridChoiceName, {}})
        .Default(GridChoice{})
        .Rule(Needs({"--analyze", "--values"},
                    "{option} says where the values of --analyze or --values lie: it needs one of them"))};
// netCDF grids.
inline const COption<std::string> kVariable{
    Declare(OptionText{"--variable", "NAME",
                       "The variable of the netCDF file of --analyze to analyse; unless given, the only "
                       "one on lat and lon"},
            FileName())
        .Rule(
            Needs({"--analyze"}, "{option} names a variable of the file of --analyze: it needs --analyze"))};
// HEALPix maps: --grid healpix, and values files ending in .fits.
inline const COption<int32_t> kNside{
    Declare(OptionText{"--nside", "N",
                       "The HEALPix map of --values on --grid healpix: 12 N^2 pixels in RING order, any N "
                       "from 1; unless given, the Nside of the HEALPix map of --analyze"},
            IntegerIn(1, kMaxNside))
        .Rule(Needs({"--values"}, "{option} sets the HEALPix map of --values: it needs --values"))};
inline const COption<int32_t> kIter{
    Declare(OptionText{"--iter", "N",
                       "Jacobi iterations of the analysis of a HEALPix map, as healpy's map2alm(iter=N): "
                       "each analyses what the synthesis of the coefficients so far leaves of the map and "
                       "adds that; 0 the quadrature of weight 4 pi / Npix alone"},
            IntegerIn(0, 100))
        .Default(3)
        .Rule(Needs({"--analyze"}, "{option} refines the analysis of --analyze: it needs --analyze"))};
inline const CFlagOption kPol{
    DeclareFlag("--pol",
                "The HEALPix maps are polarised, I, Q and U (three columns of a .fits map, a .npy of shape "
                "(3, 12 Nside^2)), and their coefficients T, E and B, E and B those of Q + i U of spin 2 in "
                "healpy's convention (COSMO: the IAU's U is -U): --analyze gives T, E and B, --values writes "
                "I, Q and U of the three extensions of --coeffs alm.fits (or of the analysed ones); "
                "--coeffs-out to a .fits file writes all three")
        .Rule(Needs({"--analyze", "--values"},
                    "{option} reads or writes polarised HEALPix maps: it needs --analyze or --values"))};
inline const COption<PolarisedComponent> kComponent{
    Declare(OptionText{"--component", "NAME",
                       [] {
                           return "The field of --pol that the other outputs draw and write (--at, --stats, "
                                  "pictures, --spectrum, --coeffs-out to any file but .fits): " +
                                  DescribedNames(PolarisedComponentNamedValues());
                       }},
            NamedIn(PolarisedComponentNamedValues()))
        .Default(PolarisedComponent::kT)
        .Rule(Needs({"--pol"}, "{option} picks a field of --pol: it needs --pol"))};
inline const COption<MapFlip> kFlip{
    Declare(
        OptionText{"--flip", "SIDE",
                   [] {
                       return "Which way longitude grows across --map: " +
                              DescribedNames(MapFlipNamedValues()) +
                              "; unless given, astro for a HEALPix map drawn pixel for pixel (as healpy's "
                              "mollview), geo for any other";
                   }},
        NamedIn(MapFlipNamedValues()))
        .Rule(Needs({"--map"}, "{option} turns the picture of --map: it needs --map"))};

// The convention of the field's harmonics: each part the input's own unless given.
inline const COption<Normalization> kNorm{
    Declare(OptionText{"--norm", "NAME",
                       [] { return "Normalisation of Y: " + DescribedNames(NormalizationNamedValues()); }},
            NamedIn(NormalizationNamedValues()))
        .Default(Normalization::kOrtho)};
inline const CFlagOption kCs{DeclareFlag("--cs", "Include the Condon-Shortley phase (-1)^m")};
inline const COption<SineSign> kSine{Declare(OptionText{"--sine", "SIGN",
                                                        [] {
                                                            return "Sign of the sine harmonics (m < 0): " +
                                                                   DescribedNames(SineSignNamedValues());
                                                        }},
                                             NamedIn(SineSignNamedValues()))
                                         .Default(SineSign::kLobara)};
inline const COption<Convention> kConvention{
    Declare(OptionText{"--convention", "NAME",
                       [] {
                           return "--norm, --cs and --sine at once, by the name of a common set: " +
                                  DescribedNames(ConventionNamedValues());
                       }},
            NamedIn(ConventionNamedValues()))
        .Rule(Excludes({"--norm", "--cs", "--sine"},
                       "{option} sets --norm, --cs and --sine at once: give it or them"))};

// Turns of the field, and points to print.
inline const CListOption<Rotation> kRotate{DeclareList(
    OptionText{
        "--rotate", "ROTATION",
        "Turn the field before anything is sampled, f_R(x) = f(R^-1 x), angles in degrees and "
        "counter-clockwise seen from the positive end of each axis: zyz:A,B,G is Rz(A) Ry(B) Rz(G); "
        "ypr:YAW,PITCH,ROLL is Rz(YAW) Ry(PITCH) Rx(ROLL), yaw 90 taking +x to +y, pitch 90 +x to -z and "
        "roll 90 +y to +z; axis:X,Y,Z,DEG turns about the axis (X,Y,Z). The same function in every "
        "convention, on both parts of --complex; repeatable, the first given turning first"},
    ReadBy(&ParseTurn))};
inline const CListOption<std::vector<double>> kAt{DeclareList(
    OptionText{
        "--at", "THETA,PHI",
        "Print the value of the field at THETA (0 to pi) and PHI, in radians, one line each; with "
        "--hydrogen, "
        "X,Y,Z in Bohr radii instead: psi there (re im for a complex orbital, |psi|^2 with --density); "
        "repeatable"},
    ReadBy(&ParseAtPoint))};

// The sample grid and the surface on it.
inline const COption<int32_t> kTheta{
    Declare(OptionText{"--theta", "NT", "Samples along theta, pole to pole"}, IntegerIn(1, INT32_MAX))
        .Default(kDefaultThetaDiv)};
inline const COption<int32_t> kPhi{
    Declare(OptionText{"--phi", "NP", "Samples along phi, round the z axis"}, IntegerIn(1, INT32_MAX))
        .Default(kDefaultPhiDiv)};
inline const COption<RadiusRule> kRadius{
    Declare(
        OptionText{
            "--radius", "RULE",
            "How far each sample lies from the origin: abs, |f| (the polar plot); square, f^2; one, the "
            "unit sphere; offset[:R], R + |f| with R above 0 and at most 1e30 (1 when left out), a closed "
            "star-shaped surface around a sphere of radius R. The faces split by the sign of f with every "
            "rule"},
        ValueForm<RadiusRule>{&ParseRadius, &RadiusRuleText, {}})
        .Default(RadiusRule{})};
inline const COption<double> kCore{
    Declare(
        OptionText{
            "--core", "R",
            "The same as --radius offset:R: the lobes stand on a core of radius R (above 0) and join into "
            "one closed solid, as a 3D printer needs"},
        PositiveNumber())
        .Rule(Excludes({"--radius"}, "{option} R is --radius offset:R: give one of them"))};
inline const COption<double> kScale{
    Declare(
        OptionText{
            "--scale", "MM",
            "Scale the mesh so that the largest side of its bounding box is MM millimetres: STL, PLY and "
            "OBJ coordinates in millimetres, glTF in metres as glTF states them"},
        PositiveNumber())
        .Rule(Needs({"--mesh"}, "{option} sizes the model of --mesh: it needs --mesh"))};

// Pictures.
inline const COption<int32_t> kScheme{
    Declare(OptionText{"--scheme", "0-" + std::to_string(kColorSchemeCount - 1),
                       "Colours of the positive and negative lobes, as in the viewer's colour dialog"},
            IntegerIn(0, kColorSchemeCount - 1))
        .Default(kDefaultColorScheme)};
inline const COption<std::array<double, 3>> kFrom{
    Declare(OptionText{"--from", "X,Y,Z", "Camera position (the eye)"}, Point())
        .Default(PointOf(kDefaultCamera.from))};
inline const COption<std::array<double, 3>> kTo{
    Declare(OptionText{"--to", "X,Y,Z", "Point the camera looks at"}, Point())
        .Default(PointOf(kDefaultCamera.to))};
inline const CFlagOption kFit{DeclareFlag(
    "--fit",
    "Keep To and the direction from To to From, and choose the distance so that the surface fills the "
    "picture with a margin of 5 % of the limiting side")};
inline const COption<std::array<int, 2>> kSize{
    Declare(OptionText{"--size", "WxH",
                       [] {
                           return "Picture size in pixels, each side 1 to " + std::to_string(kMaxPictureSide);
                       }},
            Size(kMaxPictureSide))
        .Default(std::array<int, 2>{kDefaultPictureWidth, kDefaultPictureHeight})};
inline const COption<int32_t> kSupersample{
    Declare(OptionText{"--supersample", "N",
                       "Render N times larger (1 to 4) and average each N x N block, for smooth edges"},
            IntegerIn(1, 4))
        .Default(1)};
inline const COption<Background> kBackground{
    Declare(OptionText{"--background", "COLOUR", [] { return DescribedNames(BackgroundNamedValues()); }},
            NamedIn(BackgroundNamedValues()))
        .Default(Background::kBlack)};

// What comes out.
inline const CFlagOption kStats{DeclareFlag(
    "--stats",
    "Print one JSON line: l, m, the sample counts, vertices and faces; with --table the cells' side S, "
    "left, top and pitch: cell (l, m) has its top left corner at left + (m + LMAX) S, top + l pitch")};
inline const COption<std::string> kValues{Declare(
    OptionText{"--values", "FILE",
               "Write the signed value of the field at every sample in sample-index order: little-endian "
               "doubles, headerless, or a NumPy array of shape (NT, NP) when FILE ends in .npy; CSV rows "
               "theta,phi,value when it ends in .csv; a CF-1.8 netCDF grid on lat and lon when it ends in "
               ".nc; a HEALPix map of --nside in RING order when it ends in .fits (float64, as healpy's "
               "write_map writes it), and on --grid healpix a NumPy array of its 12 Nside^2 values (.npy)"},
    FileName())};
inline const COption<std::string> kMesh{Declare(
    OptionText{"--mesh", "FILE",
               [] { return "Write the surface as a 3D model, by extension: " + MeshFormatsDescribed(); }},
    ReadBy(&ParseMeshPath))};
inline const COption<std::string> kCoeffsOut{Declare(
    OptionText{
        "--coeffs-out", "FILE",
        [] {
            return "Write the field's coefficients, in the format of the name as --coeffs reads them: " +
                   CoefficientOutputFormatsDescribed() +
                   "; every degree up to the highest with every order, each number with 17 "
                   "significant digits, in the convention of --out-norm, --out-cs and --out-sine";
        }},
    FileName())};
inline const COption<Normalization> kOutNorm{
    Declare(
        OptionText{
            "--out-norm", "NAME",
            "Normalisation of the coefficients of --coeffs-out, named as --norm's (default the format's "
            "own: 4pi, sn3d for ACN channels; ICGEM holds 4pi or unnorm); --norm keeps saying the input's"},
        NamedIn(NormalizationNamedValues()))
        .Rule(
            Needs({"--coeffs-out"}, "{option} sets the convention of --coeffs-out: it needs --coeffs-out"))};
inline const CFlagOption kOutCs{
    DeclareFlag("--out-cs", "The coefficients of --coeffs-out with the Condon-Shortley phase (-1)^m")
        .Rule(
            Needs({"--coeffs-out"}, "{option} sets the convention of --coeffs-out: it needs --coeffs-out"))};
inline const COption<SineSign> kOutSine{
    Declare(
        OptionText{
            "--out-sine", "SIGN",
            "Sign of the sine harmonics of --coeffs-out, named as --sine's (default standard, +sin(|m| "
            "phi), the only one coefficient files hold; lobara for ACN channels only)"},
        NamedIn(SineSignNamedValues()))
        .Rule(
            Needs({"--coeffs-out"}, "{option} sets the convention of --coeffs-out: it needs --coeffs-out"))};
inline const COption<std::string> kSpectrum{Declare(
    OptionText{
        "--spectrum", "FILE",
        "Write the power of each degree l, the mean square of the field's part of degree l (in 4pi the "
        "sum of C^2 + S^2 over its orders): for a name ending in .png the plot of the power on a "
        "logarithmic axis against l (at --size, with --title, on --background, white unless given), "
        "for any other CSV rows l,power,power_per_coefficient,cumulative_power"},
    FileName())};

// The colouring.
inline const CFlagOption kComplex{
    DeclareFlag(
        "--complex",
        "The complex harmonics N(l, m) P_l^|m|(cos theta) e^(i m phi) instead of the real ones, for -l/-m, "
        "--term and --acn: N is --norm's factor without the sqrt(2) of the real harmonics, --cs the phase "
        "(-1)^m for m > 0 only (as SciPy's sph_harm); the polar plot of |Y| coloured by phase, --values "
        "complex (.npy complex128, raw interleaved re, im; CSV theta,phi,re,im) and --at prints re im")
        .Rule(Excludes({"--coeffs-out", "--spectrum"},
                       "{other} works on real coefficients: {option} does not go with it"))};
inline const COption<ColorMode> kColor{
    Declare(
        OptionText{"--color", "MODE",
                   [] {
                       return "Colouring of pictures and maps: " + DescribedNames(ColorModeNamedValues()) +
                              "; a surface coloured by phase or value has its colour bar over the picture's "
                              "bottom rows; a map colours by value (phase for --complex) unless told";
                   }},
        NamedIn(ColorModeNamedValues()))
        .Default(ColorMode::kSign)};
inline const COption<std::string> kColormap{Declare(
    OptionText{"--colormap", "NAME",
               [] {
                   return "Colour map of --color phase or value: " + ColorMapNames() +
                          " (default twilight for the phase, coolwarm for signed values, viridis for values "
                          "never negative)";
               }},
    ReadBy(&ParseColorMap))};
inline const COption<std::array<double, 2>> kRange{
    Declare(OptionText{"--range", "LO,HI", "The values at the ends of the colour map of --color value"},
            ReadBy(&ParseRange))};
inline const CFlagOption kSmooth{DeclareFlag(
    "--smooth",
    "Shade pictures with a normal per vertex (the mean of its faces'), not per face as the viewer does")};
inline const COption<MapProjection> kMap{
    Declare(
        OptionText{
            "--map", "PROJECTION",
            [] {
                return "Write a flat map of the field to --out instead of the 3D picture, with its colour "
                       "bar below (its limits, middle and 0 numbered): " +
                       DescribedNames(MapProjectionNamedValues()) +
                       ". Seen from outside: north up, east (growing phi) to the right, phi = 0 at the "
                       "centre, so +x is the middle and +y (phi = 90 degrees) halfway to the right edge. "
                       "Without --size the map is 800 pixels wide and as high as the projection needs";
            }},
        NamedIn(MapProjectionNamedValues()))
        .Rule(Needs({"--out"}, "{option} needs --out"))
        .Rule(Excludes(
            {"--at", "--stats", "--values", "--mesh", "--html", "--turntable", "--fit", "--smooth",
             "--supersample", "--from", "--to", "--radius", "--core", "--scale", "--coeffs-out",
             "--spectrum"},
            "{option} makes only the map picture, on a grid of its own: {other} does not go with it"))
        .Rule(
            Excludes({"--theta", "--phi"},
                     "{option} makes only the map picture, on a grid of its own: {other} does not go with it",
                     &MapsOwnGrid))};
inline const COption<std::string> kOut{
    Declare(OptionText{"--out", "FILE.png",
                       "Render the picture the viewer shows in a client area of --size to a PNG; with "
                       "--turntable a name with "
                       "one frame number field such as spin-%03d.png"},
            FileName())};
inline const COption<std::string> kHtml{Declare(
    OptionText{
        "--html", "FILE",
        "Write one self-contained HTML page (no network request) that draws the surface of --out with WebGL "
        "and turns (left drag), zooms (right drag, wheel) and pans (both buttons or Shift + left drag) it, "
        "from "
        "the camera of --from, --to and --fit; R resets the camera. A single harmonic or a named orbital by "
        "sign gets controls of degree, order or orbital, colour scheme and resolution; a hydrogen-like "
        "orbital's boundary surface by sign, of the colour scheme"},
    FileName())};
inline const COption<std::string> kTitle{Declare(
    OptionText{
        "--title", "TEXT",
        "Draw TEXT (UTF-8) centred at the top of the picture, of every turntable frame, of the table and of "
        "the "
        "--spectrum plot and over the --html page, in DejaVu Sans at 3/80 of the picture's shorter side, "
        "smaller where it would not fit the width"},
    ReadBy(&ParseTitle))};
inline const COption<int32_t> kTurntable{
    Declare(
        OptionText{
            "--turntable", "N",
            "Render N frames (1 to 100000), frame k with From turned by k*360/N degrees counter-clockwise "
            "(seen from +z) about the vertical line through To; with --fit one distance fits every frame"},
        IntegerIn(1, 100000))
        .Rule(Needs({"--out"}, "{option} needs --out"))};

// The table of harmonics.
inline const COption<std::optional<int32_t>> kTable{
    Declare(
        OptionText{
            "--table", "[LMAX]",
            "Render one picture of every Y(l, m) for l = 0 .. LMAX: row l from the top, m = -l .. l from "
            "the left, each cell the --fit picture of its harmonic from the direction of --from and --to; "
            "the cells shrink to leave room for --title and --table-labels. With --hydrogen N, the real "
            "orbitals psi(N, l, m) instead, each its boundary surface of --enclose or --iso, for l up to "
            "LMAX (N - 1 when LMAX is left out)"},
        ReadBy(&ParseTableExtent))
        .ValueOptional()
        .Rule(Needs({"--out"}, "{option} needs --out"))
        .Rule(Excludes({"--complex", "--color", "--colormap", "--range", "--smooth", "--map"},
                       "{option} draws each cell by sign: {other} does not go with it"))
        .Rule(Excludes({"--l",          "--m",        "--term",      "--acn",    "--coeffs", "--orbital",
                        "--analyze",    "--rotate",   "--lmin",      "--lmax",   "--at",     "--values",
                        "--mesh",       "--html",     "--turntable", "--radius", "--core",   "--scale",
                        "--coeffs-out", "--spectrum", "--slice",     "--density"},
                       "{option} makes only the table picture: {other} does not go with it"))};
inline const COption<TableLabels> kTableLabels{
    Declare(
        OptionText{
            "--table-labels", "WHAT",
            [] {
                return "Words around the --table cells: " + DescribedNames(TableLabelsNamedValues()) +
                       ". With --hydrogen N, \"psi(N,l,m)\" and the names with N first (3s, 3d_xy). The "
                       "cells shrink to leave room for them";
            }},
        NamedIn(TableLabelsNamedValues()))
        .Default(TableLabels::kNone)
        .Rule(Needs({"--table"}, "{option} goes with --table"))};
inline const CFlagOption kTablePolynomials{
    DeclareFlag(
        "--table-polynomials",
        "With --table-labels orbitals, each orbital's Cartesian polynomial under its name, signed as the "
        "cell's Y(l, m)")
        .Rule(Needs({"--table"}, "{option} goes with --table"))};
inline const COption<TableScale> kTableScale{
    Declare(OptionText{"--table-scale", "HOW", [] { return DescribedNames(TableScaleNamedValues()); }},
            NamedIn(TableScaleNamedValues()))
        .Default(TableScale::kEach)
        .Rule(Needs({"--table"}, "{option} goes with --table"))};

// Options of which one at most may be given, each member one option or several that go
// together: the sources of the field, -l and -m being one.
struct OptionGroup
{
    std::vector<std::vector<const COptionBase*>> aMembers;
    const char* pszMessage;
};
inline const OptionGroup kFieldSources{
    {{&kL, &kM}, {&kTerm}, {&kAcn}, {&kCoeffs}, {&kOrbital}, {&kAnalyze}, {&kHydrogen}},
    "-l and -m, --term, --acn, --coeffs, --orbital, --analyze and --hydrogen each give the whole field: give "
    "one of "
    "them"};

}  // namespace opt
