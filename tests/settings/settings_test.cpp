#include "settings/settings.h"

#include <gtest/gtest.h>

#include "colour/color_schemes.h"

TEST(Settings, FreshStartHoldsTheDefaults)
{
    const CLobaraSettings settings;
    EXPECT_EQ(settings.m_nRevision, 0);
    int l = -1, m = -1, nTheta = -1, nPhi = -1;
    settings.GetLM(&l, &m);
    EXPECT_EQ(l, 2);
    EXPECT_EQ(m, 0);
    settings.GetResolution(&nTheta, &nPhi);
    EXPECT_EQ(nTheta, 480);  // theta first
    EXPECT_EQ(nPhi, 240);

    float aPositive[3], aNegative[3];
    settings.GetColors(aPositive, aNegative);
    EXPECT_EQ(aPositive[0], 1.0f);
    EXPECT_EQ(aPositive[1], 0.2f);
    EXPECT_EQ(aPositive[2], 0.2f);
    EXPECT_EQ(aNegative[0], 0.1f);
    EXPECT_EQ(aNegative[1], 0.5f);
    EXPECT_EQ(aNegative[2], 1.0f);
}

TEST(Settings, AccessorsHandBackStoredValuesUnchecked)
{
    CLobaraSettings settings;
    settings.m_nL = -7;
    settings.m_nM = -2147483647 - 1;
    settings.m_nThetaDiv = 0;
    settings.m_nPhiDiv = -1;
    int l, m, nTheta, nPhi;
    settings.GetLM(&l, &m);
    settings.GetResolution(&nTheta, &nPhi);
    EXPECT_EQ(l, -7);
    EXPECT_EQ(m, -2147483647 - 1);
    EXPECT_EQ(nTheta, 0);
    EXPECT_EQ(nPhi, -1);
}

TEST(Settings, GetColorsWritesExactlyThreeFloatsOfEachScheme)
{
    const float expected[kColorSchemeCount][6] = {
        {1.0f, 0.2f, 0.2f, 0.1f, 0.5f, 1.0f},        // red / blue
        {1.0f, 0.9f, 0.0f, 0.3f, 0.9f, 1.0f},        // yellow / light blue
        {0.0f, 0.6f, 0.2f, 0.7f, 0.0f, 0.7f},        // green / purple
        {0.5f, 0.5f, 0.5f, 0.2f, 0.2f, 0.2f},        // grey
        {0.7f, 0.8f, 1.0f, 1.0f, 0.8f, 0.9f},        // pastel
        {1.0f, 1.0f, 1.0f, 0.1f, 0.1f, 0.1f},        // white / black
        {0.05f, 0.05f, 0.05f, 0.05f, 0.05f, 0.05f},  // black: both signs alike
    };
    CLobaraSettings settings;
    for (int nScheme = 0; nScheme < kColorSchemeCount; ++nScheme)
    {
        settings.m_nColorScheme = nScheme;
        float aPositive[4] = {-1, -1, -1, -1}, aNegative[4] = {-1, -1, -1, -1};
        settings.GetColors(aPositive, aNegative);
        for (int i = 0; i < 3; ++i)
        {
            EXPECT_EQ(aPositive[i], expected[nScheme][i]) << nScheme;
            EXPECT_EQ(aNegative[i], expected[nScheme][3 + i]) << nScheme;
        }
        EXPECT_EQ(aPositive[3], -1.0f);
        EXPECT_EQ(aNegative[3], -1.0f);
    }
}

TEST(Settings, SchemeOutsideTheTableFallsBackToTheFirst)
{
    CLobaraSettings settings;
    settings.m_nColorScheme = 7;
    float aPositive[3], aNegative[3];
    settings.GetColors(aPositive, aNegative);
    EXPECT_EQ(aPositive[1], 0.2f);
    EXPECT_EQ(aNegative[1], 0.5f);
}
