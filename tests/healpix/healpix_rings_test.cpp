#include "healpix/healpix_rings.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct PixelCentre
{
    int64_t nPixel;
    double dTheta, dPhi;
};

struct Direction
{
    double dTheta, dPhi;
    int64_t nPixel;
};

TEST(HealpixRings, PixelCentresAndPixelsOfDirectionsAreHealpys)
{
    // healpy.pix2ang(4, ...) across both caps, the belt's shifted and unshifted rings and the equator.
    const PixelCentre aCentres[] = {
        {0, 0.20448019896853498, 0.78539816339744828},
        {7, 0.41113786232234778, 2.748893571891069},
        {40, 1.0471975511965979, 0},
        {71, 1.2309594173407747, 6.0868357663302231},
        {100, 1.5707963267948966, 4.9087385212340511},
        {127, 1.9106332362490186, 2.9452431127404304},
        {150, 2.0943951023931957, 5.497787143782138},
        {191, 2.9371124546212584, 5.497787143782138},
    };
    for (const PixelCentre& centre : aCentres)
    {
        double dTheta = 0.0, dPhi = 0.0;
        PixelAngles(4, centre.nPixel, dTheta, dPhi);
        EXPECT_NEAR(dTheta, centre.dTheta, 1e-15) << centre.nPixel;
        EXPECT_NEAR(dPhi, centre.dPhi, 1e-15) << centre.nPixel;
    }
    // healpy.ang2pix(5, ...) of random directions, phi also outside [0, 2 pi), and at the poles
    // healpy.ang2pix(8, ...).
    const Direction aDirections[] = {
        {0.91472835639377581, -0.60993831418265554, 78}, {0.90729186437760612, 6.9934089205205714, 42},
        {1.5401404032700796, 4.2189528927039017, 133},   {2.0135145880669048, 0.87608161335859158, 202},
        {2.6728534907550188, 2.4795804178011362, 280},   {1.8062274510989449, 6.793489546074043, 161},
        {1.7548879580171592, 6.1814208648683904, 179},   {2.7127548277529505, 5.7538483008699277, 295},
    };
    for (const Direction& direction : aDirections)
        EXPECT_EQ(PixelAt(5, direction.dTheta, direction.dPhi), direction.nPixel) << direction.dTheta;
    EXPECT_EQ(PixelAt(8, 1e-9, 0.3), 0);
    EXPECT_EQ(PixelAt(8, 0.0, 0.0), 0);
    EXPECT_EQ(PixelAt(8, 3.141592652589793, 2.0), 765);
    EXPECT_EQ(PixelAt(8, 3.141592653589793, 1.0), 764);
}

TEST(HealpixRings, RingsAreHealpysAndTileTheMapWithEqualAreas)
{
    // healpy.ringinfo(8, [1, 5, 8, 9, 16, 23, 24, 31]): first pixel, pixels, cos, shifted.
    const struct
    {
        int64_t i, nFirst, nPixels;
        double dCos;
        bool bShifted;
    } aRings[] = {{1, 0, 4, 0.99479166666666663, true},
                  {5, 40, 20, 0.86979166666666663, true},
                  {8, 112, 32, 0.66666666666666663, true},
                  {9, 144, 32, 0.58333333333333337, false},
                  {16, 368, 32, 0.0, true},
                  {23, 592, 32, -0.58333333333333337, false},
                  {24, 624, 32, -0.66666666666666663, true},
                  {31, 764, 4, -0.99479166666666663, true}};
    for (const auto& expected : aRings)
    {
        const HealpixRing ring = RingOf(8, expected.i);
        EXPECT_EQ(ring.nFirst, expected.nFirst) << expected.i;
        EXPECT_EQ(ring.nPixels, expected.nPixels) << expected.i;
        EXPECT_NEAR(ring.dCos, expected.dCos, 1e-16) << expected.i;
        EXPECT_NEAR(ring.dSin, std::sqrt(1.0 - expected.dCos * expected.dCos), 1e-15) << expected.i;
        EXPECT_EQ(ring.dPhi0 != 0.0, expected.bShifted) << expected.i;
    }
    // Equal areas: the rings from the pole down to ring i hold the pixels of the polar cap above
    // z_i's boundary; each ring's z is the middle of its zone, so the pixels north of it are
    // 6 Nside^2 (1 - z) in area units of 4 pi / Npix, less half its own ring.
    for (const int64_t nSide : {1, 3, 8, 13})
    {
        int64_t nNext = 0;
        for (int64_t i = 1; i < 4 * nSide; ++i)
        {
            const HealpixRing ring = RingOf(nSide, i);
            EXPECT_EQ(ring.nFirst, nNext);
            nNext += ring.nPixels;
            if (i >= nSide && i <= 3 * nSide)
            {
                EXPECT_NEAR(static_cast<double>(ring.nFirst) + 0.5 * static_cast<double>(ring.nPixels),
                            6.0 * static_cast<double>(nSide * nSide) * (1.0 - ring.dCos), 1e-9);
            }
            EXPECT_NEAR(ring.dCosLessOne, ring.dCos - 1.0, 1e-15);
        }
        EXPECT_EQ(nNext, HealpixPixels(nSide));
        // Every pixel's centre lies in that pixel.
        for (int64_t p = 0; p < HealpixPixels(nSide); ++p)
        {
            double dTheta = 0.0, dPhi = 0.0;
            PixelAngles(nSide, p, dTheta, dPhi);
            EXPECT_EQ(PixelAt(nSide, dTheta, dPhi), p);
        }
    }
}

TEST(HealpixRings, ResolutionsOutOfRangeAndMapsOfOtherLengthsAreNamed)
{
    std::string strProblem;
    EXPECT_EQ(NsideOfPixels(12 * 64 * 64, strProblem), 64);
    EXPECT_TRUE(strProblem.empty());
    for (const int64_t nPixels :
         {int64_t{0}, int64_t{11}, int64_t{13}, int64_t{12 * 64 * 64 + 1}, int64_t{-12}})
    {
        EXPECT_EQ(NsideOfPixels(nPixels, strProblem), 0);
        EXPECT_EQ(strProblem, "a HEALPix map holds 12 Nside^2 values, not " + std::to_string(nPixels));
    }
    EXPECT_FALSE(NsideProblem(0).empty());
    EXPECT_FALSE(NsideProblem(kMostNside + 1).empty());
    EXPECT_TRUE(NsideProblem(kMostNside).empty());
}

}  // namespace
