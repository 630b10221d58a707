// The page's encodings, against the vectors of RFC 4648 and the rules of HTML's script element.
#include "page/page_writer.h"

#include <gtest/gtest.h>

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
