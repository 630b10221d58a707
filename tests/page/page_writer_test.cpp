// The page's encodings, against the vectors of RFC 4648, GLib's base64 and the rules of HTML's
// script element; what the page holds, read back by a JSON reader of its own.
#include "page/page_writer.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <nlohmann/json.hpp>
#include <random>
#include <stdexcept>
#include <string>

#include "page/base64.h"

namespace {

// The JSON between the page's data element's tags.
nlohmann::json PageData(const std::string& strPage)
{
    const std::string strOpen = R"(<script id="page-data" type="application/json">)";
    const size_t nStart = strPage.find(strOpen);
    const size_t nEnd = strPage.find("</script>", nStart);
    EXPECT_NE(nStart, std::string::npos);
    return nlohmann::json::parse(strPage.substr(nStart + strOpen.size(), nEnd - nStart - strOpen.size()));
}

TEST(Base64, AgreesWithGLibAtEveryLengthUpTo300)
{
    std::mt19937 random(7);
    std::string strBytes;
    for (int n = 0; n <= 300; ++n)
    {
        gchar* pszExpected =
            g_base64_encode(reinterpret_cast<const guchar*>(strBytes.data()), strBytes.size());
        EXPECT_EQ(Base64(strBytes.data(), strBytes.size()), pszExpected) << n << " bytes";
        g_free(pszExpected);
        strBytes += static_cast<char>(random() & 255);
    }
}

// Titles that would end the script element, open a comment that hides its end, or break a JSON
// string stay text: the element holds no '<', and the title reads back as given.
TEST(PageText, KeepsEveryTitleInertAndWhole)
{
    const std::string aTitles[] = {"</SCRIPT >x",
                                   "<!--<script>",
                                   "a\"b\\c",
                                   std::string("nul\0tab\t\x1f", 10),
                                   "\xe2\x80\xa8 line and paragraph \xe2\x80\xa9",
                                   "]]></script><img src=x>",
                                   "\u0645\u0631\u062d\u0628\u0627 \u2067x\u2069"};
    for (const std::string& strTitle : aTitles)
    {
        PageContent content;
        content.strTitle = strTitle;
        const std::string strPage = PageText(content);
        const size_t nStart = strPage.find('>', strPage.find(R"(id="page-data")"));
        const size_t nEnd = strPage.find("</script>", nStart);
        EXPECT_EQ(strPage.find('<', nStart), nEnd) << strTitle;
        EXPECT_EQ(PageData(strPage)["title"].get<std::string>(), strTitle);
    }
}

// The content as the page reads it: the window, camera, grid and rule, the values as floats, the
// gestures' rates, the program's degree limit, the viewer's scheme names and messages.
TEST(PageText, HoldsTheContentAsThePageReadsIt)
{
    PageContent content;
    content.nWidth = 640;
    content.nHeight = 480;
    content.background = Background::kWhite;
    content.from[1] = -2.5;
    content.to[2] = 0.1;
    content.nThetaDiv = 1;
    content.nPhiDiv = 2;
    content.radius = RadiusRule{RadiusKind::kOffset, 0.25};
    content.nColorScheme = 3;
    DoubleArray aValues;
    aValues.SetSize(2);
    aValues[0] = 1.0;
    aValues[1] = -2.5;
    content.pValues = &aValues;
    content.gestures = PageGestures{0.4, 0.005, 0.1, 500.0, 40.0};
    content.nBarRows = 37;
    const nlohmann::json data = PageData(PageText(content));
    EXPECT_EQ(data["width"], 640);
    EXPECT_EQ(data["height"], 480);
    EXPECT_EQ(data["background"], "white");
    EXPECT_EQ(data["from"], nlohmann::json::parse("[0,-2.5,0]"));
    EXPECT_EQ(data["to"], nlohmann::json::parse("[0,0,0.1]"));
    EXPECT_EQ(data["nt"], 1);
    EXPECT_EQ(data["np"], 2);
    EXPECT_EQ(data["radius"], "offset");
    EXPECT_EQ(data["offset"], 0.25);
    EXPECT_EQ(data["scheme"], 3);
    EXPECT_EQ(data["values"], "AACAPwAAIMA=");  // 1.0f and -2.5f, little-endian
    EXPECT_EQ(data["barRows"], 37);
    EXPECT_EQ(data["gestures"], nlohmann::json::parse(R"({"degreesPerPixel":0.4,"panPerPixel":0.005,
        "minZoom":0.1,"wheelPixelsPerHalving":500,"wheelLinePixels":40})"));
    EXPECT_EQ(data["maxDegree"], 32768);
    EXPECT_EQ(data["schemeNames"],
              nlohmann::json::parse(R"(["赤青","黄水","緑紫","灰色","パステル","白黒","黒"])"));
    EXPECT_EQ(data["messages"]["refused"], "整数を入力してください。");
    EXPECT_EQ(data["dialogs"]["degreeOrder"],
              nlohmann::json::parse(R"({"caption":"LとMの設定","labels":["L =","M ="]})"));
    EXPECT_EQ(data["dialogs"]["resolution"]["labels"], nlohmann::json::parse(R"(["θ方向","φ方向"])"));
    EXPECT_EQ(data["schemes"].size(), 7u);
    EXPECT_EQ(data.count("live"), 0u);
}

// A boundary surface's triangles: the vertices as floats, each corner as a zigzag varint of its
// difference from the one before (0, +1, +1, 0, -1, +299 as 0, 2, 2, 0, 1, 598 = D6 04).
TEST(PageText, HoldsTrianglesAsDifferences)
{
    SurfaceMesh mesh;
    for (FloatArray* pArray : {&mesh.m_aX, &mesh.m_aY, &mesh.m_aZ})
        pArray->SetSize(3);
    mesh.m_aZ[0] = 1.0F;
    mesh.m_aX[1] = 1.0F;
    mesh.m_aY[2] = 1.0F;
    mesh.m_aPosQuads.SetSize(1);
    mesh.m_aPosQuads[0] = FaceQuad{0, 1, 2, 2};
    mesh.m_aNegQuads.SetSize(1);
    mesh.m_aNegQuads[0] = FaceQuad{2, 1, 300, 300};
    PageContent content;
    content.pTriangles = &mesh;
    const nlohmann::json data = PageData(PageText(content));
    EXPECT_EQ(data["points"], "AAAAAAAAAAAAAIA/AACAPwAAAAAAAAAAAAAAAAAAgD8AAAAA");
    EXPECT_EQ(data["triangles"], "AAICAAHWBA==");
    EXPECT_EQ(data["positive"], 1);
}

TEST(Base64, GivesTheVectorsOfRfc4648)
{
    const std::pair<std::string, std::string> aCases[] = {{"", ""},
                                                          {"f", "Zg=="},
                                                          {"fo", "Zm8="},
                                                          {"foo", "Zm9v"},
                                                          {"foob", "Zm9vYg=="},
                                                          {"fooba", "Zm9vYmE="},
                                                          {"foobar", "Zm9vYmFy"},
                                                          {"\xff\xfe\xfd", "//79"}};
    for (const auto& [strBytes, strText] : aCases)
        EXPECT_EQ(Base64(strBytes.data(), strBytes.size()), strText) << strBytes;
}

TEST(PageText, KeepsATitleInsideItsScriptElement)
{
    PageContent content;
    content.strTitle = "a </script><script>alert(1)</script> \"q\" \\ \n";
    const std::string strPage = PageText(content);
    EXPECT_EQ(strPage.find("@PAGE_DATA@"), std::string::npos);
    EXPECT_EQ(strPage.find("alert(1)</script>"), std::string::npos);
    EXPECT_NE(
        strPage.find(R"("title":"a \u003c/script>\u003cscript>alert(1)\u003c/script> \"q\" \\ \u000a")"),
        std::string::npos);
}

}  // namespace

// A grid the page could not build in a browser is refused, naming the limit; one at the limit is
// written with the limit the page checks its own controls against.
TEST(PageText, RefusesMoreSamplesThanABrowserBuilds)
{
    PageContent content;
    content.nThetaDiv = 1449;
    content.nPhiDiv = 1449;
    try
    {
        PageText(content);
        ADD_FAILURE() << "1449 x 1449 samples were written";
    }
    catch (const std::runtime_error& error)
    {
        EXPECT_NE(std::string(error.what()).find("2097152"), std::string::npos) << error.what();
    }
    content.nThetaDiv = 1448;
    content.nPhiDiv = 1448;
    EXPECT_NE(PageText(content).find("\"maxSamples\":2097152"), std::string::npos);
}
