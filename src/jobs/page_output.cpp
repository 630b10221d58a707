#include "jobs/page_output.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

#include "camera/mouse_navigation.h"
#include "export/output_stream.h"
#include "export/png_writer.h"
#include "fields/orbitals.h"
#include "jobs/surface_color_bar.h"
#include "page/page_writer.h"
#include "sht/coefficient_conversion.h"
#include "sht/rotation.h"
#include "text/picture_title.h"

namespace {

std::string PngBytes(const Picture& picture)
{
    CMemorySink sink;
    COutputStream stream(sink, "the page's picture");
    WritePng(stream, picture);
    stream.Flush();
    return sink.GetBytes();
}

// Rows nTop to nBottom of the picture.
Picture Rows(Picture&& picture, int nTop, int nBottom)
{
    const size_t nRowBytes = static_cast<size_t>(picture.nWidth) * 4;
    picture.aRgba.erase(
        picture.aRgba.begin() + static_cast<std::ptrdiff_t>(nRowBytes * static_cast<size_t>(nBottom)),
        picture.aRgba.end());
    picture.aRgba.erase(
        picture.aRgba.begin(),
        picture.aRgba.begin() + static_cast<std::ptrdiff_t>(nRowBytes * static_cast<size_t>(nTop)));
    picture.nHeight = nBottom - nTop;
    return std::move(picture);
}

// The title's rows of the picture, drawn over nothing in the colour it takes on the background.
std::string TitlePng(const Job& job)
{
    if (job.request.Value(opt::kTitle).empty())
        return "";
    Picture picture = BlankPicture(job.request.Value(opt::kSize)[0], job.request.Value(opt::kSize)[1],
                                   Background::kTransparent);
    DrawTitle(picture, job.request.Value(opt::kTitle), job.request.Value(opt::kBackground));
    return PngBytes(
        Rows(std::move(picture), 0,
             std::min(job.request.Value(opt::kSize)[1],
                      TitleHeight(job.request.Value(opt::kTitle), job.request.Value(opt::kSize)[0],
                                  job.request.Value(opt::kSize)[1]))));
}

bool SameTerms(const std::vector<Term>& a, const std::vector<Term>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const Term& x, const Term& y) { return x.l == y.l && x.m == y.m && x.c == y.c; });
}

// The field as the page synthesises it, when it is one the controls may change: the viewer's
// Y(l, m) in its own convention, or a named orbital (the same function in any convention),
// coloured by sign, unturned.
bool FindLiveField(const Job& job, PageLiveField& live)
{
    const Convention own;
    const bool bOwn = job.field.convention.normalization == own.normalization &&
                      job.field.convention.bCondonShortley == own.bCondonShortley &&
                      job.field.convention.sine == own.sine;
    const bool bOrbital = !job.request.Value(opt::kOrbital).empty();
    // A single harmonic however it was given (-l and -m, or one term from a front end), in the
    // program's own convention.
    const std::vector<Term>& aTerms = job.field.aTerms;
    const bool bOneTerm = !job.bHarmonic && aTerms.size() == 1 && aTerms[0].c == 1.0 && aTerms[0].l >= 0 &&
                          std::abs(static_cast<double>(aTerms[0].m)) <= aTerms[0].l;
    if (job.request.Value(opt::kComplex) || job.colorMode != ColorMode::kSign || !IsIdentity(job.rotation) ||
        !(bOrbital || ((job.bHarmonic || bOneTerm) && bOwn)))
        return false;
    live.aTerms = InConvention(job.field, own).aTerms;
    live.l = bOneTerm ? aTerms[0].l : job.request.Value(opt::kL);
    live.m = bOneTerm ? aTerms[0].m : job.request.Value(opt::kM);
    for (const std::string& strName : OrbitalNameList())
    {
        Field orbital, asked;
        FindOrbital(strName, own, orbital);
        live.aOrbitals.emplace_back(strName, orbital.aTerms);
        if (bOrbital && FindOrbital(strName, job.field.convention, asked) &&
            SameTerms(asked.aTerms, job.field.aTerms))
            live.strOrbital = strName;
    }
    return true;
}

PageContent MakePageContent(const Job& job, const SurfaceMesh& mesh, const std::vector<Rgb8>& aVertexColors,
                            const FieldColoring& coloring, const Camera& camera)
{
    PageContent content;
    content.nWidth = job.request.Value(opt::kSize)[0];
    content.nHeight = job.request.Value(opt::kSize)[1];
    content.nSupersample = job.request.Value(opt::kSupersample);
    content.background = job.request.Value(opt::kBackground);
    for (int i = 0; i < 3; ++i)
    {
        content.from[i] = camera.from[i];
        content.to[i] = camera.to[i];
    }
    content.nThetaDiv = job.request.Value(opt::kTheta);
    content.nPhiDiv = job.request.Value(opt::kPhi);
    content.radius = job.radius;
    content.bSmooth = job.request.Value(opt::kSmooth);
    content.nColorScheme = job.request.Value(opt::kScheme);
    content.aVertexColors = aVertexColors;
    content.strTitle = job.request.Value(opt::kTitle);
    content.strTitlePng = TitlePng(job);
    const Picture bar = SurfaceColorBarStrip(job, coloring);
    if (bar.nHeight > 0)
        content.strBarPng = PngBytes(bar);
    content.nBarRows = bar.nHeight;
    content.gestures =
        PageGestures{kDegreesPerPixel, kPanPerPixel, kMinZoom, kWheelPixelsPerHalving, kWheelLinePixels};
    if (job.kind == JobKind::kOrbital)
        content.pTriangles = &mesh;
    else
        content.bLive = FindLiveField(job, content.live);
    if (!content.bLive && !content.pTriangles)
        content.pValues = &mesh.m_aValue;
    return content;
}

}  // namespace

void WritePage(const Job& job, const SurfaceMesh& mesh, const std::vector<Rgb8>& aVertexColors,
               const FieldColoring& coloring, const Camera& camera, COutputSet& outputs, IRunHooks& hooks)
{
    CRunStep step(hooks, "writing the page");
    std::string strPage = PageText(MakePageContent(job, mesh, aVertexColors, coloring, camera));
    if (!hooks.TakePage(strPage))
        outputs.Write(job.request.Value(opt::kHtml),
                      [&strPage](COutputStream& stream) { stream.Write(strPage); });
}
