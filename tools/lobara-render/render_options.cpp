#include "lobara-render/render_options.h"

#include <CLI/CLI.hpp>

#include "lobara-render/option_values.h"
#include "view/camera_math.h"

namespace {

constexpr int kMaxPictureSide = 16384;

const char kDescription[] =
    "lobara-render: the viewer's surface of the real spherical harmonic Y(l, m), without a display.\n"
    "It prints counts, writes the sampled values, or renders the picture the viewer shows.";

const char kConventions[] =
    "Conventions:\n"
    "  Samples: theta_i = i*pi/(nT-1) for i = 0 .. nT-1 (row 0 is the north pole), phi_j = 2*pi*j/nP\n"
    "  for j = 0 .. nP-1; sample (i, j) has index i*nP + j. The surface point of a sample lies at\n"
    "  distance |Y| from the origin in its direction; faces split by the sign of Y.\n"
    "  Y(l, m) = N(l, m) * A(phi) * d^|m|P_l/dx^|m| (x) * (1 - x^2)^(|m|/2), x = cos(theta),\n"
    "  N(l, m) = sqrt((2l+1)/(4*pi) * (l-|m|)!/(l+|m|)!), with no (-1)^m phase factor;\n"
    "  A = 1 for m = 0, sqrt(2)*cos(m*phi) for m > 0, and sqrt(2)*sin(m*phi) with m itself for m < 0,\n"
    "  that is -sqrt(2)*sin(|m|*phi). For |m| > l (or l < 0) Y is 0 everywhere: a warning is given.\n"
    "  Camera: an orthographic view from From towards To, world +z up; the picture is 2*|From - To|\n"
    "  world units wide, so the distance between From and To sets the zoom.\n"
    "Exit status: 0 done, 1 the surface could not be built or an output not written (nothing is\n"
    "changed then), 2 the command line is wrong.";

// CLI11 takes the value text; the strict readers convert it and name the option on error.
CLI::Option* AddValueOption(CLI::App& app, const std::string& strNames, const std::string& strType,
                            const std::string& strDefault, const std::string& strHelp,
                            std::function<void(const std::string&)> parse)
{
    CLI::Option* pOption = app.add_option_function<std::string>(strNames, std::move(parse), strHelp);
    pOption->type_name(strType);
    if (!strDefault.empty())
        pOption->default_str(strDefault);
    return pOption;
}

std::string PointText(const double point[3])
{
    std::string strText;
    for (int i = 0; i < 3; ++i)
        strText += (i ? "," : "") + CLI::detail::to_string(point[i]);
    return strText;
}

}  // namespace

RenderOptions ParseRenderOptions(int argc, const char* const* argv)
{
    RenderOptions o;
    CLI::App app(kDescription, "lobara-render");
    app.footer(kConventions);
    app.set_version_flag("--version", std::string("lobara-render " LOBARA_VERSION),
                         "Print the version and exit");
    app.set_help_flag("-h,--help", "Print this help and exit");
    // A repeated option takes its last value, so a script can override an earlier one.
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);

    const auto integer = [](const std::string& strName, int32_t& nValue, long long nMin, long long nMax) {
        return [&nValue, strName, nMin, nMax](const std::string& v) {
            nValue = ParseInt32(strName, v, nMin, nMax);
        };
    };
    AddValueOption(app, "-l,--l", "INT", std::to_string(o.nL), "Degree l",
                   integer("--l", o.nL, INT32_MIN, INT32_MAX));
    AddValueOption(app, "-m,--m", "INT", std::to_string(o.nM), "Order m (negative: the sine harmonics)",
                   integer("--m", o.nM, INT32_MIN, INT32_MAX));
    AddValueOption(app, "--theta", "NT", std::to_string(o.nThetaDiv), "Samples along theta, pole to pole",
                   integer("--theta", o.nThetaDiv, INT32_MIN, INT32_MAX));
    AddValueOption(app, "--phi", "NP", std::to_string(o.nPhiDiv), "Samples along phi, round the z axis",
                   integer("--phi", o.nPhiDiv, INT32_MIN, INT32_MAX));
    AddValueOption(app, "--scheme", "0-6", std::to_string(o.nColorScheme),
                   "Colour scheme of the positive and negative lobes, as in the viewer's colour dialog",
                   integer("--scheme", o.nColorScheme, 0, 6));
    AddValueOption(app, "--from", "X,Y,Z", PointText(o.from), "Camera position (the eye)",
                   [&o](const std::string& v) { ParsePoint("--from", v, o.from); });
    AddValueOption(app, "--to", "X,Y,Z", PointText(o.to), "Point the camera looks at",
                   [&o](const std::string& v) { ParsePoint("--to", v, o.to); });
    AddValueOption(app, "--size", "WxH", std::to_string(o.nWidth) + "x" + std::to_string(o.nHeight),
                   "Picture size in pixels, each side 1 to 16384", [&o](const std::string& v) {
                       ParseSize("--size", v, kMaxPictureSide, o.nWidth, o.nHeight);
                   });
    app.add_flag("--stats", o.bStats, "Print one JSON line: l, m, counts of samples, vertices and faces");
    AddValueOption(app, "--values", "FILE", "",
                   "Write the signed value of Y at every sample, in sample-index order, as little-endian "
                   "IEEE doubles",
                   [&o](const std::string& v) { o.strValuesPath = NonEmptyPath("--values", v); });
    AddValueOption(app, "--out", "FILE.png", "", "Render the picture the viewer shows at --size to a PNG",
                   [&o](const std::string& v) { o.strPicturePath = NonEmptyPath("--out", v); });

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

    double modelview[16];
    if (!ComputeModelview(o.from, o.to, modelview))
        throw UsageError("--from and --to do not place a camera: they must be distinct points");
    if (!o.bStats && o.strValuesPath.empty() && o.strPicturePath.empty())
        throw UsageError("nothing to do: give --stats, --values FILE or --out FILE.png");
    return o;
}
