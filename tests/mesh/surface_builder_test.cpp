#include "mesh/surface_builder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>

#include "mesh_checks.h"
#include "reference_surface.h"
#include "sht/normalization.h"

namespace {

constexpr int32_t kIntMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kIntMin = std::numeric_limits<int32_t>::min();

SurfaceMesh Build(int32_t l, int32_t m, int32_t nT, int32_t nP)
{
    SurfaceMesh mesh;
    BuildSurfaceMesh(l, m, nT, nP, mesh);
    return mesh;
}

// The builder's arrays against the literal per-sample algorithm, bit for bit.
void ExpectMatchesReference(const SurfaceMesh& mesh, int l, int m, int nT, int nP)
{
    SCOPED_TRACE(testing::Message() << "l=" << l << " m=" << m << " nT=" << nT << " nP=" << nP);
    const ReferenceSurface ref = BuildReferenceSurface(l, m, nT, nP);
    EXPECT_TRUE(SameBits(Elements(mesh.m_aValue), ref.aValue));
    EXPECT_TRUE(SameBits(Elements(mesh.m_aX), ref.aX));
    EXPECT_TRUE(SameBits(Elements(mesh.m_aY), ref.aY));
    EXPECT_TRUE(SameBits(Elements(mesh.m_aZ), ref.aZ));
    EXPECT_TRUE(SameBits(Elements(mesh.m_aPosQuads), ref.aPos));
    EXPECT_TRUE(SameBits(Elements(mesh.m_aNegQuads), ref.aNeg));
    std::vector<float> aPosN, aNegN;
    for (int32_t k = 0; k < mesh.m_aPosQuads.GetSize(); ++k)
        aPosN.insert(aPosN.end(), {mesh.m_aPosNX[k], mesh.m_aPosNY[k], mesh.m_aPosNZ[k]});
    for (int32_t k = 0; k < mesh.m_aNegQuads.GetSize(); ++k)
        aNegN.insert(aNegN.end(), {mesh.m_aNegNX[k], mesh.m_aNegNY[k], mesh.m_aNegNZ[k]});
    EXPECT_TRUE(SameBits(aPosN, ref.aPosN));
    EXPECT_TRUE(SameBits(aNegN, ref.aNegN));
}

}  // namespace

TEST(BuildSurfaceMesh, DefaultSettings)
{
    const SurfaceMesh mesh = Build(2, 0, 480, 240);
    ExpectMeshInvariants(mesh);
    EXPECT_EQ(mesh.m_aX.GetSize(), 115200);
    EXPECT_EQ(mesh.m_aPosQuads.GetSize(), 70080);
    EXPECT_EQ(mesh.m_aNegQuads.GetSize(), 44880);
    EXPECT_EQ(mesh.m_aValue[0], NormalizationFactor(2, 0));
    EXPECT_NEAR(mesh.m_aValue[0], 0.63078313050, 1e-11);
    ExpectMatchesReference(mesh, 2, 0, 480, 240);
}

TEST(BuildSurfaceMesh, MatchesTheLiteralAlgorithmBitForBit)
{
    const int cases[][4] = {{0, 0, 7, 5},    {1, 1, 9, 8},   {1, -1, 9, 8},    {3, 2, 21, 13},
                            {5, -3, 17, 31}, {9, 0, 40, 20}, {12, 12, 33, 16}, {15, -7, 50, 64}};
    for (const auto& c : cases)
        ExpectMatchesReference(Build(c[0], c[1], c[2], c[3]), c[0], c[1], c[2], c[3]);
}

// Near the edges of where the power basis is kept: 13 terms (l - |m| = 12) and l + |m| = 170.
TEST(BuildSurfaceMesh, MatchesTheLiteralAlgorithmBitForBitUpToTheBound)
{
    const int cases[][4] = {{12, 0, 41, 17},  {12, -12, 23, 29}, {13, 1, 31, 16},  {20, -8, 25, 33},
                            {40, 30, 19, 61}, {85, -85, 21, 50}, {91, 79, 27, 31}, {86, -84, 17, 13}};
    for (const auto& c : cases)
        ExpectMatchesReference(Build(c[0], c[1], c[2], c[3]), c[0], c[1], c[2], c[3]);
}

// Far beyond the power basis: a complete, finite mesh whose faces take both signs.
TEST(BuildSurfaceMesh, HighDegreesGiveACompleteFiniteMesh)
{
    for (const auto& lm : {std::pair{1000, 500}, std::pair{2000, -2000}, std::pair{32768, 0}})
    {
        SCOPED_TRACE(testing::Message() << "l=" << lm.first << " m=" << lm.second);
        const SurfaceMesh mesh = Build(lm.first, lm.second, 480, 240);
        ExpectMeshInvariants(mesh);
        EXPECT_EQ(mesh.m_aPosQuads.GetSize() + mesh.m_aNegQuads.GetSize(), 479 * 240);
        EXPECT_GT(mesh.m_aPosQuads.GetSize(), 0);
        EXPECT_GT(mesh.m_aNegQuads.GetSize(), 0);
        for (int32_t i = 0; i < mesh.m_aValue.GetSize(); ++i)
            ASSERT_TRUE(std::isfinite(mesh.m_aValue[i]) && std::isfinite(mesh.m_aX[i])) << i;
    }
}

TEST(BuildSurfaceMesh, ConstantHarmonicIsAnOutwardFacingSphere)
{
    const SurfaceMesh mesh = Build(0, 0, 20, 16);
    const double dN = NormalizationFactor(0, 0);
    for (int32_t i = 0; i < mesh.m_aValue.GetSize(); ++i)
    {
        ASSERT_EQ(mesh.m_aValue[i], dN);
        const double r = std::hypot(mesh.m_aX[i], mesh.m_aY[i], mesh.m_aZ[i]);
        ASSERT_NEAR(r, dN, 1e-7);
    }
    EXPECT_EQ(mesh.m_aNegQuads.GetSize(), 0);
    ASSERT_EQ(mesh.m_aPosQuads.GetSize(), 19 * 16);
    // Seen from outside, A, B, C, D run counter-clockwise: the normal points away from the centre.
    for (int32_t k = 0; k < mesh.m_aPosQuads.GetSize(); ++k)
    {
        const FaceQuad& q = mesh.m_aPosQuads[k];
        const double cx = mesh.m_aX[q.a] + mesh.m_aX[q.b] + mesh.m_aX[q.c] + mesh.m_aX[q.d];
        const double cy = mesh.m_aY[q.a] + mesh.m_aY[q.b] + mesh.m_aY[q.c] + mesh.m_aY[q.d];
        const double cz = mesh.m_aZ[q.a] + mesh.m_aZ[q.b] + mesh.m_aZ[q.c] + mesh.m_aZ[q.d];
        ASSERT_GT(cx * mesh.m_aPosNX[k] + cy * mesh.m_aPosNY[k] + cz * mesh.m_aPosNZ[k], 0.0) << k;
    }
}

TEST(BuildSurfaceMesh, SignConventionOfTheOrder)
{
    // Row 2 of 5 is the equator; columns of 8 step by pi/4.
    const SurfaceMesh plus = Build(1, 1, 5, 8);
    EXPECT_NEAR(plus.m_aValue[2 * 8 + 0], 0.48860251190, 1e-11);  // phi = 0: cos, no (-1)^m
    const SurfaceMesh minus = Build(1, -1, 5, 8);
    EXPECT_NEAR(minus.m_aValue[2 * 8 + 2], -0.48860251190, 1e-11);  // phi = pi/2: sin(m phi), m < 0
}

TEST(BuildSurfaceMesh, CornerValuesSummingToExactlyZeroAreNegative)
{
    // l = 1, m = 1 on two columns (phi = 0 and pi): the columns hold exact opposites, and the
    // pole rows are zero, so every face's corner sum is exactly 0.
    const SurfaceMesh mesh = Build(1, 1, 3, 2);
    EXPECT_NE(mesh.m_aValue[2], 0.0);
    EXPECT_EQ(mesh.m_aPosQuads.GetSize(), 0);
    EXPECT_EQ(mesh.m_aNegQuads.GetSize(), 4);
}

TEST(BuildSurfaceMesh, PoleRowsKeepSeparateVerticesAtOnePosition)
{
    const SurfaceMesh mesh = Build(2, 0, 480, 240);
    const float zNorth = static_cast<float>(std::fabs(mesh.m_aValue[0]));
    for (int32_t j = 0; j < 240; ++j)
    {
        ASSERT_EQ(mesh.m_aX[j], 0.0f);
        ASSERT_EQ(mesh.m_aY[j], 0.0f);
        ASSERT_EQ(mesh.m_aZ[j], zNorth);
        const int32_t nSouth = 479 * 240 + j;
        ASSERT_NEAR(mesh.m_aX[nSouth], 0.0f, 1e-15);
        ASSERT_NEAR(mesh.m_aY[nSouth], 0.0f, 1e-15);
        ASSERT_EQ(mesh.m_aZ[nSouth], -zNorth);
    }
    // First-row faces: A and D coincide in position but keep their own indices.
    const FaceQuad& q = mesh.m_aPosQuads[0];
    EXPECT_NE(q.a, q.d);
    EXPECT_EQ(mesh.m_aZ[q.a], mesh.m_aZ[q.d]);
}

TEST(BuildSurfaceMesh, OrdersBeyondTheDegreeGiveAZeroSurface)
{
    // |m| = l + 1 empties the polynomial; larger orders, and l < 0, are taken the same way.
    for (const auto& lm :
         {std::pair{2, 3}, std::pair{2, -3}, std::pair{2, 4}, std::pair{0, kIntMin}, std::pair{3, kIntMax},
          std::pair{-1, 0}, std::pair{-5, 2}, std::pair{kIntMin, kIntMin}})
    {
        SCOPED_TRACE(testing::Message() << "l=" << lm.first << " m=" << lm.second);
        const SurfaceMesh mesh = Build(lm.first, lm.second, 9, 6);
        ExpectMeshInvariants(mesh);
        ASSERT_EQ(mesh.m_aValue.GetSize(), 54);
        for (int32_t i = 0; i < 54; ++i)
        {
            ASSERT_EQ(mesh.m_aValue[i], 0.0);
            ASSERT_EQ(mesh.m_aX[i], 0.0f);
            ASSERT_EQ(mesh.m_aZ[i], 0.0f);
        }
        EXPECT_EQ(mesh.m_aPosQuads.GetSize(), 0);
        ASSERT_EQ(mesh.m_aNegQuads.GetSize(), 48);
        for (int32_t k = 0; k < 48; ++k)
            ASSERT_EQ(mesh.m_aNegNX[k] * mesh.m_aNegNX[k] + mesh.m_aNegNY[k] * mesh.m_aNegNY[k] +
                          mesh.m_aNegNZ[k] * mesh.m_aNegNZ[k],
                      0.0f);
    }
}

TEST(BuildSurfaceMesh, SingleColumnFacesAreDegenerate)
{
    const SurfaceMesh mesh = Build(2, 0, 6, 1);
    ExpectMeshInvariants(mesh);
    ASSERT_EQ(mesh.m_aPosQuads.GetSize() + mesh.m_aNegQuads.GetSize(), 5);
    const auto expectDegenerate = [](const FaceQuadArray& aQuads, const FloatArray& aNX,
                                     const FloatArray& aNY, const FloatArray& aNZ) {
        for (int32_t k = 0; k < aQuads.GetSize(); ++k)
        {
            EXPECT_EQ(aQuads[k].c, aQuads[k].b);
            EXPECT_EQ(aQuads[k].d, aQuads[k].a);
            EXPECT_TRUE(aNX[k] == 0.0f && aNY[k] == 0.0f && aNZ[k] == 0.0f) << k;
        }
    };
    expectDegenerate(mesh.m_aPosQuads, mesh.m_aPosNX, mesh.m_aPosNY, mesh.m_aPosNZ);
    expectDegenerate(mesh.m_aNegQuads, mesh.m_aNegNX, mesh.m_aNegNY, mesh.m_aNegNZ);
}

TEST(BuildSurfaceMesh, SingleRowIsTheNorthPoleWithNoFaces)
{
    const SurfaceMesh mesh = Build(2, 0, 1, 7);
    ExpectMeshInvariants(mesh);
    ASSERT_EQ(mesh.m_aValue.GetSize(), 7);
    EXPECT_EQ(mesh.m_aValue[3], NormalizationFactor(2, 0));
    EXPECT_EQ(mesh.m_aPosQuads.GetSize() + mesh.m_aNegQuads.GetSize(), 0);
    EXPECT_EQ(mesh.m_aPosNX.GetSize() + mesh.m_aNegNZ.GetSize(), 0);
}

TEST(BuildSurfaceMesh, CountsWithoutAGridEmptyEveryArray)
{
    for (const auto& counts : {std::pair{480, 0}, std::pair{0, 240}, std::pair{0, 0}, std::pair{-3, 240},
                               std::pair{480, -1}, std::pair{kIntMin, kIntMin}, std::pair{0, kIntMax}})
    {
        SCOPED_TRACE(testing::Message() << "nT=" << counts.first << " nP=" << counts.second);
        SurfaceMesh mesh = Build(2, 0, 20, 10);
        BuildSurfaceMesh(2, 0, counts.first, counts.second, mesh);
        EXPECT_TRUE(SameMesh(mesh, SurfaceMesh()));
    }
}

TEST(BuildSurfaceMesh, RebuildingSmallerShrinksEveryArrayAndGivesItsStorageBack)
{
    SurfaceMesh mesh = Build(3, 1, 480, 240);
    BuildSurfaceMesh(2, 0, 30, 12, mesh);
    ExpectMeshInvariants(mesh);
    EXPECT_TRUE(SameMesh(mesh, Build(2, 0, 30, 12)));
    // The large surface's storage is gone, not kept for a size that may never come back.
    EXPECT_LE(mesh.m_aX.GetCapacity(), 30 * 12);
    EXPECT_LE(mesh.m_aValue.GetCapacity(), 30 * 12);
    EXPECT_LE(mesh.m_aPosQuads.GetCapacity(), 29 * 12);
    EXPECT_LE(mesh.m_aNegNZ.GetCapacity(), 29 * 12);
    // A rebuild of a similar size writes into the storage it has.
    const float* pX = mesh.m_aX.GetData();
    const FaceQuad* pNeg = mesh.m_aNegQuads.GetData();
    BuildSurfaceMesh(4, 2, 30, 11, mesh);
    EXPECT_EQ(mesh.m_aX.GetData(), pX);
    EXPECT_EQ(mesh.m_aNegQuads.GetData(), pNeg);
    EXPECT_TRUE(SameMesh(mesh, Build(4, 2, 30, 11)));
}

// Each rule puts a sample at its distance from the origin along its direction, whether the
// builder samples the field or is given the values; the faces still split by the sign of f.
TEST(BuildSurfaceMesh, RadiusRulesPlaceEachSampleAtItsDistance)
{
    const int32_t nT = 13, nP = 24;
    // f = cos(theta) sampled by hand: positive in the north, negative in the south.
    DoubleArray aValues;
    aValues.SetSize(nT * nP);
    for (int32_t k = 0; k < nT * nP; ++k)
        aValues[k] = std::cos((k / nP) * M_PI / (nT - 1));
    const struct
    {
        RadiusRule rule;
        double (*radius)(double);
    } kCases[] = {{{RadiusKind::kAbs}, [](double f) { return std::fabs(f); }},
                  {{RadiusKind::kSquare}, [](double f) { return f * f; }},
                  {{RadiusKind::kOne}, [](double) { return 1.0; }},
                  {{RadiusKind::kOffset, 0.25}, [](double f) { return 0.25 + std::fabs(f); }}};
    for (const auto& c : kCases)
    {
        SCOPED_TRACE(testing::Message() << "rule " << static_cast<int>(c.rule.kind));
        SurfaceMesh fromValues, fromField;
        BuildSurfaceMesh(aValues, nT, nP, c.rule, fromValues);
        BuildSurfaceMesh(SingleHarmonic(3, 1), nT, nP, c.rule, fromField);
        ExpectMeshInvariants(fromValues);
        ExpectMeshInvariants(fromField);
        for (const SurfaceMesh* pMesh : {&fromValues, &fromField})
            for (int32_t k = 0; k < nT * nP; ++k)
            {
                const double dTheta = (k / nP) * M_PI / (nT - 1), dPhi = (k % nP) * 2 * M_PI / nP;
                const double r = c.radius(pMesh->m_aValue[k]);
                ASSERT_NEAR(pMesh->m_aX[k], r * std::sin(dTheta) * std::cos(dPhi), 1e-6) << k;
                ASSERT_NEAR(pMesh->m_aY[k], r * std::sin(dTheta) * std::sin(dPhi), 1e-6) << k;
                ASSERT_NEAR(pMesh->m_aZ[k], r * std::cos(dTheta), 1e-6) << k;
            }
        // The northern half of the rows is positive: 6 rows of faces of 24.
        EXPECT_EQ(fromValues.m_aPosQuads.GetSize(), 6 * nP);
    }
    EXPECT_TRUE(SameMesh(Build(3, 1, nT, nP), [&] {
        SurfaceMesh mesh;
        BuildSurfaceMesh(SingleHarmonic(3, 1), nT, nP, RadiusRule{}, mesh);
        return mesh;
    }()));
    SurfaceMesh mesh;
    EXPECT_THROW(BuildSurfaceMesh(aValues, nT, nP + 1, RadiusRule{}, mesh), std::invalid_argument);
}
