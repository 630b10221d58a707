#include "page/page_writer.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <utility>

#include "colour/color_schemes.h"
#include "page/base64.h"
#include "page/page_template.h"
#include "resources/dialog_template.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"
#include "sht/build_limits.h"

namespace {

constexpr const char* kDataMarker = "@PAGE_DATA@";

// The shortest decimal text that reads back as the same double, in any locale; JSON has no
// infinity or NaN, which no placed camera or finite coefficient has.
std::string Number(double d)
{
    char ac[32];
    const std::to_chars_result result = std::to_chars(ac, ac + sizeof ac, d);
    return std::string(ac, result.ptr);
}

// A JSON string that may stand inside a script element: quotes, backslashes and control
// characters escaped, and '<' too, so that no "</script>" can end the element early.
std::string JsonString(const std::string& str)
{
    std::string strText = "\"";
    for (const char c : str)
    {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\')
            strText += std::string("\\") + c;
        else if (u < 0x20 || c == '<')
        {
            char ac[8];
            std::snprintf(ac, sizeof ac, "\\u%04x", u);
            strText += ac;
        }
        else
            strText += c;
    }
    return strText + "\"";
}

std::string Triple(const double a[3])
{
    return "[" + Number(a[0]) + "," + Number(a[1]) + "," + Number(a[2]) + "]";
}

std::string TermsJson(const std::vector<Term>& aTerms)
{
    std::string strText = "[";
    for (size_t i = 0; i < aTerms.size(); ++i)
        strText += (i ? ",[" : "[") + std::to_string(aTerms[i].l) + "," + std::to_string(aTerms[i].m) + "," +
                   Number(aTerms[i].c) + "]";
    return strText + "]";
}

std::string SchemesJson()
{
    std::string strText = "[";
    for (int i = 0; i < kColorSchemeCount; ++i)
    {
        const ColorScheme& scheme = kColorSchemes[i];
        strText += i ? ",[" : "[";
        for (int c = 0; c < 6; ++c)
            strText += (c ? "," : "") + Number(c < 3 ? scheme.aPositive[c] : scheme.aNegative[c - 3]);
        strText += "]";
    }
    return strText + "]";
}

// The names of the colour schemes as the viewer's dialog offers them: its radio buttons in order.
std::string SchemeNamesJson()
{
    std::string strText = "[";
    for (const ControlTemplate& control : FindDialogTemplate(IDD_COLOR_SCHEME)->controls)
        if (control.kind == ControlKind::RadioButton)
            strText += (strText.size() > 1 ? "," : "") + JsonString(control.pszText);
    return strText + "]";
}

// The caption and the labels, in order, of each of the viewer's dialogs whose work the page's forms do.
std::string DialogsJson()
{
    std::string strText = "{";
    for (const auto& [nId, pszName] : {std::pair<int, const char*>{IDD_DEGREE_ORDER, "degreeOrder"},
                                       {IDD_RESOLUTION, "resolution"},
                                       {IDD_COLOR_SCHEME, "scheme"}})
    {
        const DialogTemplate* pDialog = FindDialogTemplate(nId);
        std::string strLabels;
        for (const ControlTemplate& control : pDialog->controls)
            if (control.kind == ControlKind::Label)
                strLabels += (strLabels.empty() ? "" : ",") + JsonString(control.pszText);
        strText += (strText.size() > 1 ? ",\"" : "\"") + std::string(pszName) +
                   "\":{\"caption\":" + JsonString(pDialog->pszCaption) + ",\"labels\":[" + strLabels + "]}";
    }
    return strText + "}";
}

// The messages of the viewer's dialogs that the page's controls give.
std::string MessagesJson()
{
    return "{\"refused\":" + JsonString(LoadResourceString(AFX_IDP_PARSE_INT)) +
           ",\"tooLarge\":" + JsonString(LoadResourceString(IDP_SURFACE_TOO_LARGE)) + "}";
}

std::string GesturesJson(const PageGestures& gestures)
{
    return "{\"degreesPerPixel\":" + Number(gestures.dDegreesPerPixel) +
           ",\"panPerPixel\":" + Number(gestures.dPanPerPixel) + ",\"minZoom\":" + Number(gestures.dMinZoom) +
           ",\"wheelPixelsPerHalving\":" + Number(gestures.dWheelPixelsPerHalving) +
           ",\"wheelLinePixels\":" + Number(gestures.dWheelLinePixels) + "}";
}

const char* BackgroundName(Background background)
{
    switch (background)
    {
        case Background::kWhite:
            return "white";
        case Background::kTransparent:
            return "transparent";
        case Background::kBlack:
            break;
    }
    return "black";
}

const char* RadiusName(RadiusKind kind)
{
    switch (kind)
    {
        case RadiusKind::kSquare:
            return "square";
        case RadiusKind::kOne:
            return "one";
        case RadiusKind::kOffset:
            return "offset";
        case RadiusKind::kAbs:
            break;
    }
    return "abs";
}

std::string PngUrl(const std::string& strPng)
{
    return JsonString(strPng.empty() ? "" : "data:image/png;base64," + Base64(strPng.data(), strPng.size()));
}

// Each number as 4 little-endian bytes, appended.
void AppendLittleEndian(uint32_t n, std::string& strBytes)
{
    for (int b = 0; b < 4; ++b)
        strBytes += static_cast<char>(n >> (8 * b));
}

uint32_t FloatBits(float f)
{
    uint32_t n;
    std::memcpy(&n, &f, 4);
    return n;
}

// The values as little-endian floats, the precision of the surface's vertices.
std::string ValuesBase64(const DoubleArray& aValues)
{
    std::string strBytes;
    strBytes.reserve(static_cast<size_t>(aValues.GetSize()) * 4);
    for (int32_t k = 0; k < aValues.GetSize(); ++k)
        AppendLittleEndian(FloatBits(static_cast<float>(aValues[k])), strBytes);
    return Base64(strBytes.data(), strBytes.size());
}

// A difference as a zigzag varint: 0, -1, 1, -2 ... as 0, 1, 2, 3 ..., seven bits a byte from
// the lowest, the high bit set on every byte but the last.
void AppendDifference(int64_t nDifference, std::string& strBytes)
{
    uint64_t n = nDifference >= 0 ? 2 * static_cast<uint64_t>(nDifference)
                                  : 2 * static_cast<uint64_t>(-(nDifference + 1)) + 1;
    do
    {
        const auto b = static_cast<unsigned char>(n & 127);
        n >>= 7;
        strBytes += static_cast<char>(n ? b | 128 : b);
    } while (n);
}

// The vertices as little-endian floats x, y, z; the corners A, B, C of the triangles, the positive
// ones first, each as its difference from the corner before (neighbouring triangles share
// vertices made near in time: mostly one or two bytes a corner); and how many are positive.
std::string TrianglesJson(const SurfaceMesh& mesh)
{
    const int32_t nVertices = mesh.m_aX.GetSize();
    std::string strPoints;
    strPoints.reserve(static_cast<size_t>(nVertices) * 12);
    for (int32_t v = 0; v < nVertices; ++v)
        for (const FloatArray* pArray : {&mesh.m_aX, &mesh.m_aY, &mesh.m_aZ})
            AppendLittleEndian(FloatBits((*pArray)[v]), strPoints);
    std::string strCorners;
    strCorners.reserve((static_cast<size_t>(mesh.m_aPosQuads.GetSize()) + mesh.m_aNegQuads.GetSize()) * 6);
    int64_t nPrevious = 0;
    for (const FaceQuadArray* pQuads : {&mesh.m_aPosQuads, &mesh.m_aNegQuads})
        for (int32_t f = 0; f < pQuads->GetSize(); ++f)
        {
            const FaceQuad& q = (*pQuads)[f];
            if (q.d != q.c)
                throw std::logic_error("the page's triangles hold a face of four corners");
            for (const int32_t v : {q.a, q.b, q.c})
            {
                AppendDifference(v - nPrevious, strCorners);
                nPrevious = v;
            }
        }
    return "\"points\":\"" + Base64(strPoints.data(), strPoints.size()) + "\",\"triangles\":\"" +
           Base64(strCorners.data(), strCorners.size()) +
           "\",\"positive\":" + std::to_string(mesh.m_aPosQuads.GetSize());
}

std::string LiveJson(const PageLiveField& live)
{
    std::string strText = "{\"terms\":" + TermsJson(live.aTerms) + ",\"l\":" + std::to_string(live.l) +
                          ",\"m\":" + std::to_string(live.m) + ",\"orbital\":" + JsonString(live.strOrbital) +
                          ",\"orbitals\":[";
    for (size_t i = 0; i < live.aOrbitals.size(); ++i)
        strText += (i ? ",[" : "[") + JsonString(live.aOrbitals[i].first) + "," +
                   TermsJson(live.aOrbitals[i].second) + "]";
    return strText + "]}";
}

std::string ContentJson(const PageContent& content)
{
    std::string strText =
        "{\"width\":" + std::to_string(content.nWidth) + ",\"height\":" + std::to_string(content.nHeight) +
        ",\"supersample\":" + std::to_string(content.nSupersample) + ",\"background\":\"" +
        BackgroundName(content.background) + "\",\"from\":" + Triple(content.from) +
        ",\"to\":" + Triple(content.to) + ",\"nt\":" + std::to_string(content.nThetaDiv) +
        ",\"np\":" + std::to_string(content.nPhiDiv) + ",\"maxSamples\":" + std::to_string(kPageMaxSamples) +
        ",\"maxDegree\":" + std::to_string(kMaxDegree) + ",\"gestures\":" + GesturesJson(content.gestures) +
        ",\"schemeNames\":" + SchemeNamesJson() + ",\"dialogs\":" + DialogsJson() +
        ",\"messages\":" + MessagesJson() + ",\"radius\":\"" + RadiusName(content.radius.kind) +
        "\",\"offset\":" + Number(content.radius.dOffset) +
        ",\"smooth\":" + (content.bSmooth ? "true" : "false") + ",\"schemes\":" + SchemesJson() +
        ",\"scheme\":" + std::to_string(content.nColorScheme) + ",\"title\":" + JsonString(content.strTitle) +
        ",\"titlePicture\":" + PngUrl(content.strTitlePng) + ",\"bar\":" + PngUrl(content.strBarPng) +
        ",\"barRows\":" + std::to_string(content.nBarRows);
    if (content.bLive)
        strText += ",\"live\":" + LiveJson(content.live);
    else if (content.pTriangles)
        strText += "," + TrianglesJson(*content.pTriangles);
    else
        strText +=
            ",\"values\":\"" + (content.pValues ? ValuesBase64(*content.pValues) : std::string()) + "\"";
    if (!content.aVertexColors.empty())
        strText += ",\"colors\":\"" +
                   Base64(content.aVertexColors.data(), content.aVertexColors.size() * sizeof(Rgb8)) + "\"";
    return strText + "}";
}

}  // namespace

void CheckPageSamples(int64_t nThetaDiv, int64_t nPhiDiv)
{
    const int64_t nSamples = std::max<int64_t>(nThetaDiv, 0) * std::max<int64_t>(nPhiDiv, 0);
    const auto nSide = static_cast<int64_t>(std::sqrt(static_cast<double>(kPageMaxSamples)));
    if (nSamples > kPageMaxSamples)
        throw std::runtime_error("the page would build " + std::to_string(nSamples) +
                                 " samples in the browser, more than the " + std::to_string(kPageMaxSamples) +
                                 " it can (" + std::to_string(nSide) + " x " + std::to_string(nSide) +
                                 "): choose fewer with --theta and --phi");
}

std::string PageText(const PageContent& content)
{
    static_assert(sizeof(Rgb8) == 3, "the colours are three bytes a vertex");
    if (!content.pTriangles)
        CheckPageSamples(content.nThetaDiv, content.nPhiDiv);
    const std::string_view page = PageTemplate();
    const size_t nMarker = page.find(kDataMarker);
    if (nMarker == std::string_view::npos)
        throw std::logic_error("the page template has no place for its data");
    std::string strPage = std::string(page.substr(0, nMarker)) + ContentJson(content) +
                          std::string(page.substr(nMarker + std::strlen(kDataMarker)));
    if (strPage.size() > kPageMaxBytes)
        throw std::runtime_error("the page would be " + std::to_string(strPage.size() >> 20) +
                                 " MB, more than the " + std::to_string(kPageMaxBytes >> 20) +
                                 " MB a browser opens: choose a coarser surface");
    return strPage;
}
