// The page's encodings, against the vectors of RFC 4648 and the rules of HTML's script element.
#include "page/page_writer.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "page/base64.h"

namespace {

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
