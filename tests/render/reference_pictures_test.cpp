// Pictures of a handful of views, rendered through the view's paint sequence and compared with
// the stored references at a tolerance: rasteriser noise passes, a change a person would see
// in the shading, colours or shape does not. On a mismatch the picture and a map of the
// differing pixels are left in the build tree.
//
// `make references` regenerates the references on purpose; look at them before committing.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "render/reference_views.h"

namespace {

// A pixel differs when one of its channels is off by more than kTolerance levels; a picture
// matches when at most one pixel in kPixelsPerDifference differs. Another software rasteriser
// differs from the references in a few polygon-edge pixels (up to 23 of 64000); a dimmed
// light, a moved highlight or a background 1 % lighter changes hundreds to all of them.
constexpr int kTolerance = 2;
constexpr size_t kPixelsPerDifference = 1000;

bool Differs(const uint8_t* pA, const uint8_t* pB)
{
    for (int c = 0; c < 3; ++c)
        if (std::abs(pA[c] - pB[c]) > kTolerance)
            return true;
    return false;
}

size_t CountDiffering(const RgbPicture& expected, const RgbPicture& actual)
{
    size_t n = 0;
    for (size_t i = 0; i < expected.m_aRgb.size(); i += 3)
        n += Differs(&expected.m_aRgb[i], &actual.m_aRgb[i]);
    return n;
}

// The reference dimmed to a quarter, with every differing pixel in white.
RgbPicture MarkDifferences(const RgbPicture& expected, const RgbPicture& actual)
{
    RgbPicture marked = expected;
    for (size_t i = 0; i < marked.m_aRgb.size(); i += 3)
    {
        const bool bDiffers = Differs(&expected.m_aRgb[i], &actual.m_aRgb[i]);
        for (size_t c = i; c < i + 3; ++c)
            marked.m_aRgb[c] = bDiffers ? 255 : static_cast<uint8_t>(marked.m_aRgb[c] / 4);
    }
    return marked;
}

bool SameSize(const RgbPicture& a, const RgbPicture& b)
{
    return a.m_nWidth == b.m_nWidth && a.m_nHeight == b.m_nHeight;
}

// Writes the picture drawn, and the map of its differences, where a developer can look at
// them; returns where the picture went.
std::string KeepMismatch(const ReferenceView& view, const RgbPicture& expected, const RgbPicture& actual)
{
    const std::string strDir = LOBARA_PICTURE_MISMATCH_DIR;
    std::filesystem::create_directories(strDir);
    const std::string strActual = strDir + "/" + view.pszName + "-actual.png";
    std::string strError;
    if (!WritePng(strActual, actual, &strError))
        return strActual + " (not written: " + strError + ")";
    if (SameSize(expected, actual))
        WritePng(strDir + "/" + view.pszName + "-diff.png", MarkDifferences(expected, actual), &strError);
    return strActual;
}

}  // namespace

TEST(ReferencePictures, EachViewLooksAsStored)
{
    const bool bRegenerate = std::getenv("LOBARA_REGENERATE_REFERENCES") != nullptr;
    for (const ReferenceView& view : kReferenceViews)
    {
        SCOPED_TRACE(view.pszName);
        const RgbPicture actual = CReferenceScene(view).Paint();
        std::string strError;
        if (bRegenerate)
        {
            EXPECT_TRUE(WritePng(ReferencePath(view), actual, &strError)) << strError;
            continue;
        }
        RgbPicture expected;
        if (!ReadPng(ReferencePath(view), expected, &strError))
            ADD_FAILURE() << strError << "; the picture drawn is in " << KeepMismatch(view, expected, actual);
        else if (!SameSize(expected, actual))
            ADD_FAILURE() << ReferencePath(view) << " is " << expected.m_nWidth << "x" << expected.m_nHeight
                          << ", the picture drawn " << KeepMismatch(view, expected, actual);
        else if (const size_t nDiffering = CountDiffering(expected, actual);
                 nDiffering * kPixelsPerDifference > expected.m_aRgb.size() / 3)
            ADD_FAILURE() << nDiffering << " pixels differ from " << ReferencePath(view) << " by more than "
                          << kTolerance << " levels; the picture drawn is in "
                          << KeepMismatch(view, expected, actual) << " with a map of them beside it";
    }
}
