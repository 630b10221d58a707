#include "hydrogen/boundary_surface.h"

#include <gsl/gsl_errno.h>
#include <gsl/gsl_integration.h>
#include <gsl/gsl_sf_coulomb.h>
#include <gsl/gsl_sf_legendre.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numeric>
#include <utility>
#include <vector>

namespace {

// The grids of the tests: coarse, and still fine enough for the enclosed probability (whose radial
// quadrature takes R between the radii) and for the lobes.
constexpr BoundaryGrid kLevelGrid{16, 64, 128};
constexpr BoundaryGrid kShapeGrid{32, 32, 64};

// GSL's adaptive 21-point Gauss-Kronrod over [a, b].
double Integrate(const std::function<double(double)>& f, double a, double b, gsl_integration_workspace* pWork)
{
    gsl_function function{
        [](double x, void* p) { return (*static_cast<const std::function<double(double)>*>(p))(x); },
        const_cast<std::function<double(double)>*>(&f)};
    double dResult = 0.0, dError = 0.0;
    gsl_integration_qag(&function, a, b, 1e-7, 1e-6, 2000, GSL_INTEG_GAUSS21, pWork, &dResult, &dError);
    return dResult;
}

// The angular mass H(s), the integral of Y^2 over the directions where |Y| > s, by GSL alone:
// N P from gsl_sf_legendre_sphPlm at the nodes of GSL's fixed Gauss-Legendre rule over cos theta,
// the integral over phi in closed form (where |sqrt2 N P trig(m phi)| > s, the integral of trig^2
// over a turn is 2a + sin 2a with a = arccos(s / (sqrt2 N |P|))).
class CAngularMass
{
public:
    CAngularMass(int l, int m) : m_bZonal(m == 0)
    {
        constexpr size_t kNodes = 1000;
        static gsl_integration_glfixed_table* const pTable = gsl_integration_glfixed_table_alloc(kNodes);
        for (size_t k = 0; k < kNodes; ++k)
        {
            double x = 0.0, w = 0.0;
            gsl_integration_glfixed_point(-1.0, 1.0, k, &x, &w, pTable);
            m_aNodes.push_back({std::fabs(gsl_sf_legendre_sphPlm(l, std::abs(m), x)), w});
        }
    }

    double operator()(double s) const
    {
        double dMass = 0.0;
        for (const auto& [y, w] : m_aNodes)
        {
            if (m_bZonal)
                dMass += y > s ? w * 2.0 * M_PI * y * y : 0.0;
            else
            {
                const double u = s / (std::sqrt(2.0) * y);
                const double a = u < 1.0 ? std::acos(u) : 0.0;
                dMass += w * 2.0 * y * y * (2.0 * a + std::sin(2.0 * a));
            }
        }
        return dMass;
    }

private:
    bool m_bZonal;
    std::vector<std::pair<double, double>> m_aNodes;  // |N P| and the weight at each node
};

// The probability where |psi| > c: R from gsl_sf_hydrogenicR, adaptive quadrature over r of
// R^2 r^2 H(c / |R|), H tabulated over s and read between by linear interpolation.
double IndependentProbability(int n, int l, int m, double Z, double c)
{
    const CAngularMass angularMass(l, m);
    const double dMaxY = (m == 0 ? 1.0 : std::sqrt(2.0)) * [&] {
        double d = 0.0;
        for (double x = -1.0; x <= 1.0; x += 1e-4)
            d = std::max(d, std::fabs(gsl_sf_legendre_sphPlm(l, std::abs(m), x)));
        return d * 1.001;
    }();
    constexpr int kTable = 200;
    std::vector<double> aMass(kTable + 1);
    for (int k = 0; k <= kTable; ++k)
        aMass[k] = angularMass(dMaxY * k / kTable);
    const auto mass = [&](double s) {
        // |Y| of l = 0 is one value, where H steps from 1 to 0.
        if (l == 0)
            return s < 1.0 / std::sqrt(4.0 * M_PI) ? 1.0 : 0.0;
        const double t = s / dMaxY * kTable;
        if (t >= kTable)
            return 0.0;
        const int k = static_cast<int>(t);
        return aMass[k] + (t - k) * (aMass[k + 1] - aMass[k]);
    };
    gsl_integration_workspace* pWork = gsl_integration_workspace_alloc(2000);
    const double p = Integrate(
        [&](double r) {
            const double R = gsl_sf_hydrogenicR(n, l, Z, r);
            return R == 0.0 ? 0.0 : R * R * r * r * mass(c / std::fabs(R));
        },
        0.0, 8.0 * n * n / Z + 30.0 / Z, pWork);
    gsl_integration_workspace_free(pWork);
    return p;
}

// Whether every edge is used once each way by the triangles (closed and consistently turned)
// and every triangle has area in its floats; and the count of the pieces that triangles sharing
// a corner make.
struct MeshShape
{
    bool bClosed = true;
    int nPieces = 0;
};
MeshShape ShapeOf(const LevelMesh& mesh)
{
    const size_t nVertices = mesh.aPoint.size() / 3;
    std::vector<uint32_t> aParent(nVertices);
    std::iota(aParent.begin(), aParent.end(), 0u);
    const auto find = [&aParent](uint32_t v) {
        while (aParent[v] != v)
            v = aParent[v] = aParent[aParent[v]];
        return v;
    };
    std::vector<uint64_t> aEdges;
    std::vector<bool> aUsed(nVertices);
    MeshShape shape;
    for (const std::vector<Triangle>& aTriangles : mesh.aTriangles)
        for (const Triangle& t : aTriangles)
        {
            double p[3][3];
            for (int k = 0; k < 3; ++k)
            {
                const auto a = static_cast<uint32_t>(t[k]), b = static_cast<uint32_t>(t[(k + 1) % 3]);
                aEdges.push_back((uint64_t{std::min(a, b)} << 32 | std::max(a, b)) << 1 | (a < b));
                aParent[find(a)] = find(b);
                aUsed[a] = true;
                for (int c = 0; c < 3; ++c)
                    p[k][c] = mesh.aPoint[3 * static_cast<size_t>(t[k]) + c];
            }
            const double u[3] = {p[1][0] - p[0][0], p[1][1] - p[0][1], p[1][2] - p[0][2]};
            const double w[3] = {p[2][0] - p[0][0], p[2][1] - p[0][1], p[2][2] - p[0][2]};
            if (u[1] * w[2] - u[2] * w[1] == 0.0 && u[2] * w[0] - u[0] * w[2] == 0.0 &&
                u[0] * w[1] - u[1] * w[0] == 0.0)
                shape.bClosed = false;
        }
    // Each edge once each way: its two uses, sorted by their corners, come out as a pair turned
    // opposite ways.
    std::sort(aEdges.begin(), aEdges.end());
    for (size_t k = 0; k < aEdges.size(); k += 2)
        if (k + 1 == aEdges.size() || aEdges[k] >> 1 != aEdges[k + 1] >> 1 ||
            (aEdges[k] & 1) == (aEdges[k + 1] & 1) ||
            (k + 2 < aEdges.size() && aEdges[k + 2] >> 1 == aEdges[k] >> 1))
            shape.bClosed = false;
    for (uint32_t v = 0; v < nVertices; ++v)
        shape.nPieces += aUsed[v] && find(v) == v;
    return shape;
}

// The pieces |psi| = c must have, from the lobes alone: each radial lobe of R (between its
// nodes) whose largest |R| times the largest |Y| of an angular lobe (a nodal domain of Y)
// exceeds c gives a piece, two for a shell of an s orbital away from the nucleus. Returns
// false where a lobe's peak is within 5 % of c, which the grid may or may not resolve.
bool ExpectedPieces(int n, int l, int m, double Z, double c, int& nPieces)
{
    std::vector<double> aRadialPeaks(1, 0.0);
    double dPrevious = 0.0;
    const double dEnd = 8.0 * n * n / Z + 30.0 / Z;
    for (double r = 1e-9; r < dEnd; r += dEnd / 20000.0)
    {
        const double R = gsl_sf_hydrogenicR(n, l, Z, r);
        if (R * dPrevious < 0.0)
            aRadialPeaks.push_back(0.0);
        aRadialPeaks.back() = std::max(aRadialPeaks.back(), std::fabs(R));
        dPrevious = R;
    }
    std::vector<double> aAngularPeaks(1, 0.0);
    dPrevious = 0.0;
    const double dFactor = m == 0 ? 1.0 : std::sqrt(2.0);
    for (double x = -1.0 + 1e-7; x < 1.0; x += 2e-4)
    {
        const double P = gsl_sf_legendre_sphPlm(l, std::abs(m), x);
        if (P * dPrevious < 0.0)
            aAngularPeaks.push_back(0.0);
        aAngularPeaks.back() = std::max(aAngularPeaks.back(), dFactor * std::fabs(P));
        dPrevious = P;
    }
    nPieces = 0;
    for (size_t k = 0; k < aRadialPeaks.size(); ++k)
        for (const double dAngular : aAngularPeaks)
        {
            const double dPeak = aRadialPeaks[k] * dAngular;
            if (std::fabs(dPeak / c - 1.0) < 0.05)
                return false;
            if (dPeak > c)
                nPieces += (m == 0 ? 1 : 2 * std::abs(m)) * (l == 0 && k > 0 ? 2 : 1);
        }
    return true;
}

// The real orbitals up to n = 7 of order m >= 0 (those of -m are the same turned about z): the level of
// --enclose 0.9 holds 0.900 +- 0.002 by GSL's quadrature, on a grid as coarse as that allows.
TEST(BoundarySurface, EnclosesNinetyPercentForEveryOrbital)
{
    gsl_set_error_handler_off();
    const BoundaryGrid& size = kLevelGrid;
    for (int n = 1; n <= 7; ++n)
        for (int l = 0; l < n; ++l)
            for (int m = 0; m <= l; ++m)
            {
                HydrogenOrbital orbital;
                orbital.numbers = {n, l, m, n == 3 ? 2.0 : 1.0};
                OrbitalGrid grid;
                const double c = FindBoundaryLevel(orbital, LevelRequest{},
                                                   SampleAngularPart(orbital, size.nRows, size.nColumns),
                                                   size.nRadii, size.nRows, size.nColumns, grid)
                                     .dLevel;
                EXPECT_NEAR(IndependentProbability(n, l, m, orbital.numbers.dCharge, c), 0.9, 0.002)
                    << n << ", " << l << ", " << m;
            }
}

// The surfaces of every (n, l) with m = 0 and with m = l are closed, and their pieces are the lobes
// that reach the level, so that the radial nodes it crosses show as shells.
TEST(BoundarySurface, ClosedWithItsLobes)
{
    gsl_set_error_handler_off();
    for (int n = 1; n <= 7; ++n)
        for (int l = 0; l < n; ++l)
            for (const int m : {0, l})
            {
                HydrogenOrbital orbital;
                orbital.numbers = {n, l, m, n == 3 ? 2.0 : 1.0};
                const BoundarySurface surface = BuildBoundarySurface(orbital, LevelRequest{}, kShapeGrid);
                const MeshShape shape = ShapeOf(surface.mesh);
                EXPECT_TRUE(shape.bClosed) << n << ", " << l << ", " << m;
                int nPieces = 0;
                if (ExpectedPieces(n, l, m, orbital.numbers.dCharge, surface.level.dLevel, nPieces))
                {
                    EXPECT_EQ(shape.nPieces, nPieces) << n << ", " << l << ", " << m;
                }
                if (l == 0)
                    break;
            }
}

// Where only a face's opposite corners are inside, the cells on both sides of it cut it alike:
// on a grid whose samples are a checkerboard in r and phi (rows of the same value between pole
// rows and first and last radii outside), every face across r and phi is such a face, and each
// sample inside makes a closed tube of its own, 12 of psi = c and 12 of psi = -c.
TEST(BoundarySurface, OppositeCornersKeptApart)
{
    OrbitalGrid grid;
    grid.nRadii = 6;
    grid.nRows = 5;
    grid.nColumns = 6;
    grid.aRadius = {1.0, 2.0, 3.0, 4.0, 5.0, 6.0};
    grid.aRadial = {0.0, 1.0, -1.0, 1.0, -1.0, 0.0};
    grid.aAngular.assign(5 * 6, 0.0);
    for (int32_t i = 1; i < 4; ++i)
        for (int32_t j = 0; j < 6; ++j)
            grid.aAngular[static_cast<size_t>(i * 6 + j)] = j % 2 ? -1.0 : 1.0;
    LevelMesh mesh;
    ExtractLevelSurface(grid, 1.0, 0.5, 1, mesh, 0);
    ExtractLevelSurface(grid, -1.0, 0.5, 1, mesh, 1);
    const MeshShape shape = ShapeOf(mesh);
    EXPECT_TRUE(shape.bClosed);
    EXPECT_EQ(shape.nPieces, 24);
}

// The 1s surface |psi| = e^-2 / sqrt(pi) is the sphere r = 2: on a coarse grid (15 degrees
// between rows) its mesh, its vertices lifted off the chords, holds the sphere's volume within
// 0.2 % and its area within 0.5 % (the chords alone fall short by 3 % and 1.4 %).
TEST(BoundarySurface, SphereOfOneSHoldsItsVolume)
{
    HydrogenOrbital orbital;
    const double c = std::exp(-2.0) / std::sqrt(M_PI);
    const BoundarySurface surface =
        BuildBoundarySurface(orbital, LevelRequest{LevelKind::kIso, c}, BoundaryGrid{16, 13, 24}, 1);
    double dArea = 0.0, dVolume = 0.0;
    for (const Triangle& t : surface.mesh.aTriangles[0])
    {
        const float* a = &surface.mesh.aPoint[3 * static_cast<size_t>(t[0])];
        const float* b = &surface.mesh.aPoint[3 * static_cast<size_t>(t[1])];
        const float* p = &surface.mesh.aPoint[3 * static_cast<size_t>(t[2])];
        const double u[3] = {double{b[0]} - a[0], double{b[1]} - a[1], double{b[2]} - a[2]};
        const double w[3] = {double{p[0]} - a[0], double{p[1]} - a[1], double{p[2]} - a[2]};
        const double n[3] = {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2], u[0] * w[1] - u[1] * w[0]};
        dArea += 0.5 * std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        dVolume += (a[0] * n[0] + a[1] * n[1] + a[2] * n[2]) / 6.0;
    }
    EXPECT_NEAR(dVolume / (32.0 * M_PI / 3.0), 1.0, 2e-3);
    EXPECT_NEAR(dArea / (16.0 * M_PI), 1.0, 5e-3);
}

}  // namespace
