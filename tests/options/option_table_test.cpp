// The declarations hold together: names, defaults as their own readers take them, and rules
// between options that exist.

#include "options/option_table.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "options/request_error.h"

namespace {

TEST(OptionTable, NamesAreUniqueAndLong)
{
    std::set<std::string> names;
    for (const COptionBase* pOption : AllOptions())
    {
        EXPECT_EQ(pOption->Name().rfind("--", 0), 0u) << pOption->Names();
        EXPECT_TRUE(names.insert(pOption->Name()).second) << pOption->Name() << " is declared twice";
        EXPECT_EQ(FindOption(pOption->Name()), pOption);
        EXPECT_FALSE(pOption->Help().empty()) << pOption->Name();
    }
    EXPECT_EQ(FindOption("-l"), &opt::kL);
    EXPECT_EQ(FindOption("--no-such-option"), nullptr);
    EXPECT_EQ(FindOption("--"), nullptr);
}

TEST(OptionTable, EachDefaultShownIsOneItsOptionReads)
{
    for (const COptionBase* pOption : AllOptions())
    {
        const std::string strDefault = pOption->DefaultText();
        if (strDefault.empty())
            continue;
        Request request;
        EXPECT_NO_THROW(pOption->Apply(strDefault, request)) << pOption->Name() << " " << strDefault;
        EXPECT_TRUE(request.Has(*pOption));
    }
    Request request;
    opt::kSize.Apply(opt::kSize.DefaultText(), request);
    EXPECT_EQ(request.Get(opt::kSize), opt::kSize.Default());
    opt::kFrom.Apply(opt::kFrom.DefaultText(), request);
    EXPECT_EQ(request.Value(opt::kFrom), (std::array<double, 3>{0.0, -1.0, 0.0}));
}

TEST(OptionTable, RulesNameDeclaredOptions)
{
    for (const COptionBase* pOption : AllOptions())
        for (const OptionRule& rule : pOption->Rules())
            for (const std::string& strOther : rule.aOthers)
                EXPECT_NE(FindOption(strOther), nullptr) << pOption->Name() << " names " << strOther;
}

TEST(OptionTable, NamedValuesComeFromTheirTables)
{
    EXPECT_EQ(opt::kNorm.ValueNames(), NormalizationNames());
    EXPECT_NE(opt::kGrid.Help().find("lobara (NT rows theta = i pi / (NT - 1)"), std::string::npos);
    EXPECT_EQ(opt::kTableScale.DefaultText(), "each");
    Request request;
    EXPECT_THROW(opt::kTableScale.Apply("both", request), RequestError);
    opt::kTableScale.Apply("common", request);
    EXPECT_EQ(request.Value(opt::kTableScale), TableScale::kCommon);
}

TEST(Request, HoldsGivenValuesAndFallsBackToTheDeclaredDefault)
{
    Request request;
    EXPECT_FALSE(request.Has(opt::kTheta));
    EXPECT_EQ(request.Value(opt::kTheta), 480);
    EXPECT_EQ(request.Value(opt::kOut), "");
    EXPECT_FALSE(request.Value(opt::kFit));
    EXPECT_THROW(request.Value(opt::kLmax), std::logic_error);  // no default: the plan chooses
    opt::kTheta.Apply("12", request);
    opt::kAt.Apply("1,2", request);
    opt::kAt.Apply("0.5,3", request);
    EXPECT_EQ(request.Value(opt::kTheta), 12);
    ASSERT_EQ(request.Value(opt::kAt).size(), 2u);
    EXPECT_EQ(request.Value(opt::kAt)[1][0], 0.5);
    request.Clear(opt::kTheta);
    EXPECT_FALSE(request.Has(opt::kTheta));
    EXPECT_THROW(opt::kTheta.Apply("0", request), RequestError);
}

}  // namespace
