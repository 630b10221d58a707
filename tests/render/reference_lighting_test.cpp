// The stored reference pictures against the lighting equations, worked out here from the mesh
// and the camera rather than taken from a renderer: at a grid of pixels, the face that covers
// the pixel's centre is found, and its colour computed as the fixed-function pipeline defines
// it, must match the stored pixel to within a couple of levels.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "render/reference_views.h"

namespace {

struct Vec3
{
    double x, y, z;
};

double Dot(Vec3 a, Vec3 b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vec3 Normalized(Vec3 a)
{
    const double d = std::sqrt(Dot(a, a));
    return {a.x / d, a.y / d, a.z / d};
}

// The view's three directional lights, fixed in eye space; each colour is both the diffuse and
// the specular one.
struct EyeLight
{
    Vec3 direction;
    double adColor[3];
};

const EyeLight kLights[3] = {
    {{1.09, 1.0, 1.0}, {0.5, 0.0, 0.0}},
    {{1.0, 1.09, 1.0}, {0.5, 0.5, 0.0}},
    {{1.0, 1.0, 1.09}, {0.0, 0.5, 1.0}},
};

// The colour, in levels, of a face with eye-space normal n in material colour c: the global
// ambient 0.2 c; per light L, the diffuse max(0, n.L) c times its colour and, where n.L > 0,
// the specular max(0, n.h)^64 times its colour, h halfway between L and the viewer at
// infinity (0, 0, 1). Each channel clamped to 1.
void LitLevels(Vec3 n, const float afColor[3], int anLevels[3])
{
    double adSum[3];
    for (int c = 0; c < 3; ++c)
        adSum[c] = 0.2 * afColor[c];
    for (const EyeLight& light : kLights)
    {
        const Vec3 l = Normalized(light.direction);
        const Vec3 h = Normalized({l.x, l.y, l.z + 1.0});
        const double dDiffuse = std::max(0.0, Dot(n, l));
        const double dSpecular = dDiffuse > 0.0 ? std::pow(std::max(0.0, Dot(n, h)), 64.0) : 0.0;
        for (int c = 0; c < 3; ++c)
            adSum[c] += (dDiffuse * afColor[c] + dSpecular) * light.adColor[c];
    }
    for (int c = 0; c < 3; ++c)
        anLevels[c] = static_cast<int>(std::lround(std::min(adSum[c], 1.0) * 255.0));
}

// What covers one pixel's centre: the nearest face the view draws, as far as can be told.
struct Cover
{
    double dDepth = -INFINITY;  // eye z: larger is nearer
    double dMargin = 0;         // pixels from the centre to the face's nearest edge, < 0 outside
    Vec3 normal{0, 0, 0};       // the face's eye-space normal
    bool bPositive = false;
};

// Finds, for the centre of every third pixel along each axis, the nearest drawn face whose
// triangles (A, B, C and A, C, D, the polygon's fan) come within kMargin pixels of it. A centre
// closer than that to the nearest face's edge is left unchecked: the rasteriser snaps corners
// to 1/256 of a pixel, so either side of the edge may win there.
class CCoverGrid
{
public:
    static constexpr int kStep = 3;
    static constexpr double kMargin = 0.01;

    CCoverGrid(int nWidth, int nHeight, const double m[16])
        : m_nWidth(nWidth),
          m_nHeight(nHeight),
          m_nColumns((nWidth + kStep - 1) / kStep),
          m_aCovers(static_cast<size_t>(m_nColumns) * static_cast<size_t>((nHeight + kStep - 1) / kStep))
    {
        std::copy(m, m + 16, m_adModelview);
    }

    void AddFaces(const SurfaceMesh& mesh, bool bPositive)
    {
        const FaceQuadArray& aQuads = bPositive ? mesh.m_aPosQuads : mesh.m_aNegQuads;
        const FloatArray& aNX = bPositive ? mesh.m_aPosNX : mesh.m_aNegNX;
        const FloatArray& aNY = bPositive ? mesh.m_aPosNY : mesh.m_aNegNY;
        const FloatArray& aNZ = bPositive ? mesh.m_aPosNZ : mesh.m_aNegNZ;
        const double* m = m_adModelview;
        for (int32_t i = 0; i < aQuads.GetSize(); ++i)
        {
            const Vec3 n{m[0] * aNX[i] + m[4] * aNY[i] + m[8] * aNZ[i],
                         m[1] * aNX[i] + m[5] * aNY[i] + m[9] * aNZ[i],
                         m[2] * aNX[i] + m[6] * aNY[i] + m[10] * aNZ[i]};
            if (!(n.z > 0.0))
                continue;
            const FaceQuad& q = aQuads[i];
            const Vec3 a = Project(mesh, q.a), b = Project(mesh, q.b), c = Project(mesh, q.c),
                       d = Project(mesh, q.d);
            AddTriangle(a, b, c, Normalized(n), bPositive);
            AddTriangle(a, c, d, Normalized(n), bPositive);
        }
    }

    // Calls f(x, y, cover) for each grid pixel that a face covers beyond doubt.
    template <typename Visit>
    void ForEachSureCover(Visit f) const
    {
        for (size_t i = 0; i < m_aCovers.size(); ++i)
            if (m_aCovers[i].dMargin >= kMargin)
                f(static_cast<int>(i % static_cast<size_t>(m_nColumns)) * kStep,
                  static_cast<int>(i / static_cast<size_t>(m_nColumns)) * kStep, m_aCovers[i]);
    }

private:
    // Pixel x from the left and y from the top, and eye z, of a vertex.
    Vec3 Project(const SurfaceMesh& mesh, int32_t v) const
    {
        const double* m = m_adModelview;
        const double x = mesh.m_aX[v], y = mesh.m_aY[v], z = mesh.m_aZ[v];
        const double ex = m[0] * x + m[4] * y + m[8] * z + m[12];
        const double ey = m[1] * x + m[5] * y + m[9] * z + m[13];
        const double ez = m[2] * x + m[6] * y + m[10] * z + m[14];
        return {(ex + 1.0) * m_nWidth / 2.0, m_nHeight / 2.0 - ey * m_nWidth / 2.0, ez};
    }

    void AddTriangle(Vec3 a, Vec3 b, Vec3 c, Vec3 normal, bool bPositive)
    {
        const double dArea = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
        if (dArea == 0.0)
            return;
        // The grid pixels whose centres k kStep + 0.5 lie within the margin of the bounding box.
        const auto first = [](double d) { return static_cast<int>(std::ceil((d - 0.5 - kMargin) / kStep)); };
        const auto last = [](double d) { return static_cast<int>(std::floor((d - 0.5 + kMargin) / kStep)); };
        const int nRows = static_cast<int>(m_aCovers.size()) / m_nColumns;
        const int i0 = std::max(0, first(std::min({a.y, b.y, c.y})));
        const int i1 = std::min(nRows - 1, last(std::max({a.y, b.y, c.y})));
        const int j0 = std::max(0, first(std::min({a.x, b.x, c.x})));
        const int j1 = std::min(m_nColumns - 1, last(std::max({a.x, b.x, c.x})));
        for (int i = i0; i <= i1; ++i)
            for (int j = j0; j <= j1; ++j)
            {
                const Vec3 p{j * kStep + 0.5, i * kStep + 0.5, 0};
                // Barycentric weights, and the distance to each edge in pixels.
                const Vec3* apCorner[3] = {&a, &b, &c};
                double adWeight[3], dMargin = INFINITY;
                for (int k = 0; k < 3; ++k)
                {
                    const Vec3& u = *apCorner[(k + 1) % 3];
                    const Vec3& v = *apCorner[(k + 2) % 3];
                    adWeight[k] = ((u.x - p.x) * (v.y - p.y) - (u.y - p.y) * (v.x - p.x)) / dArea;
                    dMargin =
                        std::min(dMargin, adWeight[k] * std::fabs(dArea) / std::hypot(v.x - u.x, v.y - u.y));
                }
                if (dMargin <= -kMargin)
                    continue;
                const double dDepth = adWeight[0] * a.z + adWeight[1] * b.z + adWeight[2] * c.z;
                Cover& cover = m_aCovers[static_cast<size_t>(i) * static_cast<size_t>(m_nColumns) +
                                         static_cast<size_t>(j)];
                if (dDepth > cover.dDepth)
                    cover = Cover{dDepth, dMargin, normal, bPositive};
            }
    }

    int m_nWidth;
    int m_nHeight;
    int m_nColumns;
    double m_adModelview[16];
    std::vector<Cover> m_aCovers;
};

}  // namespace

TEST(ReferencePictures, FollowTheLightingEquations)
{
    for (const ReferenceView& view : kReferenceViews)
    {
        SCOPED_TRACE(view.pszName);
        RgbPicture stored;
        std::string strError;
        ASSERT_TRUE(ReadPng(ReferencePath(view), stored, &strError)) << strError;
        ASSERT_TRUE(stored.m_nWidth == view.nWidth && stored.m_nHeight == view.nHeight);

        CReferenceScene scene(view);
        double m[16];
        glGetDoublev(GL_MODELVIEW_MATRIX, m);
        CCoverGrid grid(view.nWidth, view.nHeight, m);
        grid.AddFaces(scene.Mesh(), true);
        grid.AddFaces(scene.Mesh(), false);

        float afPositive[3], afNegative[3];
        scene.Settings().GetColors(afPositive, afNegative);
        int nChecked = 0, nWrong = 0;
        grid.ForEachSureCover([&](int x, int y, const Cover& cover) {
            int anExpected[3];
            LitLevels(cover.normal, cover.bPositive ? afPositive : afNegative, anExpected);
            const uint8_t* pStored = stored.At(x, y);
            ++nChecked;
            for (int c = 0; c < 3; ++c)
                if (std::abs(pStored[c] - anExpected[c]) > 2 && ++nWrong <= 5)
                    ADD_FAILURE() << "pixel (" << x << ", " << y << ") channel " << c << " is "
                                  << int{pStored[c]} << ", the lighting gives " << anExpected[c];
        });
        EXPECT_GT(nChecked, 100);
        EXPECT_EQ(nWrong, 0);
    }
}
