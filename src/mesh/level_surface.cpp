#include "mesh/level_surface.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <climits>
#include <cmath>
#include <new>

#include "infra/thread_sharing.h"
#include "sht/angles.h"

namespace {

// Corners of a cell by bits: bit 0 the next radius, bit 1 the next row, bit 2 the next column.
// An edge joins corner p to corner q, p's bits a subset of q's; its type is q ^ p (1, 2 or 4).
struct CellEdge
{
    uint8_t p;
    uint8_t q;
};

// The most triangles a cell's loops make: 12 crossings in at least one loop of 3 or more.
constexpr int kMaxCellTriangles = 10;

struct CubeCase
{
    int nTriangles;
    CellEdge aEdges[kMaxCellTriangles][3];
};

// For each set of a cell's corners inside (bit per corner), its triangles on its edges, turned
// so that their normals point from inside to outside.
struct CubeTable
{
    CubeCase aCases[256];
};

CellEdge MakeEdge(int a, int b)
{
    return CellEdge{static_cast<uint8_t>(std::min(a, b)), static_cast<uint8_t>(std::max(a, b))};
}

// The corners of each face of the cell in turn, counter-clockwise seen from outside the cell
// (index space is right-handed, as r, theta, phi are).
std::array<std::array<int, 4>, 6> FaceCorners()
{
    std::array<std::array<int, 4>, 6> aFaces{};
    int f = 0;
    for (int nAxis = 0; nAxis < 3; ++nAxis)
        for (int nSide = 0; nSide < 2; ++nSide)
        {
            const int b = 1 << ((nAxis + 1) % 3), c = 1 << ((nAxis + 2) % 3);
            const int nBase = nSide << nAxis;
            // b then c turns counter-clockwise about +axis; seen from -axis, the other way.
            aFaces[f] = nSide ? std::array<int, 4>{nBase, nBase | b, nBase | b | c, nBase | c}
                              : std::array<int, 4>{nBase, nBase | c, nBase | b | c, nBase | b};
            ++f;
        }
    return aFaces;
}

// The surface in a cell is made of loops of crossings on its edges. On each face, each run of
// inside corners (in the face's turn) is cut off by a segment from the crossing where the run
// ends to the one where it starts: a face whose two inside corners are opposite has two
// segments, which keeps them apart. The rule sees only the face's corners, so the two cells of
// a face cut it alike and run its segments opposite ways, and the surface closes. Each crossing
// starts one segment and ends another, so the segments make loops; each loop turns clockwise
// seen from outside the surface (the side of the outside corners), and its fan of triangles
// takes it the other way.
CubeTable MakeCubeTable()
{
    const std::array<std::array<int, 4>, 6> aFaces = FaceCorners();
    CubeTable table{};
    for (int nMask = 1; nMask < 255; ++nMask)
    {
        const auto inside = [nMask](int c) { return (nMask >> c) & 1; };
        // The segment leaving each crossing, by the edge's corners p * 8 + q.
        int aNext[64];
        std::fill(std::begin(aNext), std::end(aNext), -1);
        for (const std::array<int, 4>& aFace : aFaces)
            for (int v = 0; v < 4; ++v)
            {
                const int c = aFace[v], cNext = aFace[(v + 1) % 4];
                if (!inside(c) || inside(cNext))
                    continue;
                // The run ends at c; it starts after the last outside corner before c.
                int u = v;
                while (inside(aFace[(u + 3) % 4]))
                    u = (u + 3) % 4;
                const CellEdge from = MakeEdge(c, cNext), to = MakeEdge(aFace[(u + 3) % 4], aFace[u]);
                aNext[from.p * 8 + from.q] = to.p * 8 + to.q;
            }
        CubeCase& entry = table.aCases[nMask];
        bool aSeen[64] = {};
        for (int nStart = 0; nStart < 64; ++nStart)
        {
            if (aNext[nStart] < 0 || aSeen[nStart])
                continue;
            std::vector<int> aLoop;
            for (int e = nStart; !aSeen[e]; e = aNext[e])
            {
                aSeen[e] = true;
                aLoop.push_back(e);
            }
            for (size_t v = 1; v + 1 < aLoop.size(); ++v)
            {
                const int aVertex[3] = {aLoop[0], aLoop[v + 1], aLoop[v]};
                for (int w = 0; w < 3; ++w)
                    entry.aEdges[entry.nTriangles][w] =
                        CellEdge{static_cast<uint8_t>(aVertex[w] / 8), static_cast<uint8_t>(aVertex[w] % 8)};
                ++entry.nTriangles;
            }
        }
    }
    return table;
}

const CubeTable& Tables()
{
    static const CubeTable table = MakeCubeTable();
    return table;
}

// The slot of an edge type in its array: types 1 (radius) and 4 (column) lie in a row's plane,
// type 2 (row) crosses to the next row.
constexpr int kTypeSlot[5] = {-1, 0, 0, -1, 1};
constexpr int kPlaneSlots = 2;

// Rows of theta per unit of work; the units are fixed, so the mesh does not depend on the threads.
constexpr int32_t kSlabsPerChunk = 8;

// A crossing along a radius is searched until a step moves it by less than this fraction of its
// edge, a little less than a float's precision.
constexpr double kCrossingTolerance = 1e-8;

// Crossings are kept off the corners by this fraction of their edge, so that no two edges'
// crossings meet at a corner.
constexpr double kEndClearance = 1.0 / 1024.0;

// One chunk's vertices and triangles; index -1 - q is the next chunk's q-th vertex.
struct ChunkMesh
{
    std::vector<float> aPoint;
    std::vector<Triangle> aTriangles;
};

// What the extraction reads of each row and column of the grid, worked out once for both signs:
// the least and largest Y of each row, and the sines and cosines of the rows' theta and the
// columns' phi, the same values the crossings on edges along one axis would work out.
struct GridTables
{
    std::vector<double> aRowPeak;  // least, largest of row i at 2i, 2i + 1
    std::vector<double> aSinTheta;
    std::vector<double> aCosTheta;
    std::vector<double> aSinPhi;
    std::vector<double> aCosPhi;
};

GridTables MakeGridTables(const SphericalGrid& grid)
{
    GridTables tables;
    tables.aRowPeak.resize(2 * static_cast<size_t>(grid.nRows));
    for (int32_t i = 0; i < grid.nRows; ++i)
    {
        const auto pRow = grid.aAngular.begin() + static_cast<ptrdiff_t>(i) * grid.nColumns;
        const auto range = std::minmax_element(pRow, pRow + grid.nColumns);
        tables.aRowPeak[2 * static_cast<size_t>(i)] = *range.first;
        tables.aRowPeak[2 * static_cast<size_t>(i) + 1] = *range.second;
        tables.aSinTheta.push_back(std::sin(SampleTheta(i, grid.nRows)));
        tables.aCosTheta.push_back(std::cos(SampleTheta(i, grid.nRows)));
    }
    for (int32_t j = 0; j < grid.nColumns; ++j)
    {
        const double dPhi = static_cast<double>(j) / grid.nColumns * kTwoPi;
        tables.aSinPhi.push_back(std::sin(dPhi));
        tables.aCosPhi.push_back(std::cos(dPhi));
    }
    return tables;
}

class CExtractor
{
public:
    CExtractor(const SphericalGrid& grid, const GridTables& tables, double dSign, double dLevel)
        : m_grid(grid),
          m_tables(tables),
          m_dSign(dSign),
          m_dLevel(dLevel),
          m_nR(static_cast<int32_t>(grid.aRadius.size())),
          m_nP(grid.nColumns)
    {}

    void ExtractChunk(int32_t i0, int32_t i1, ChunkMesh& chunk)
    {
        const size_t nPlane = static_cast<size_t>(m_nR) * static_cast<size_t>(m_nP);
        m_aInside[0].resize(nPlane);
        m_aInside[1].resize(nPlane);
        m_aPlane[0].resize(nPlane * kPlaneSlots);
        m_aPlane[1].resize(nPlane * kPlaneSlots);
        m_aCross.resize(nPlane);
        m_aCorners.resize(static_cast<size_t>(m_nP));
        m_pChunk = &chunk;
        m_lastRadial = LastRadialCrossing{};
        // A chunk is much like the one before it: room for as much saves the vectors' growth.
        chunk.aPoint.reserve(m_nLastPoints);
        chunk.aTriangles.reserve(m_nLastTriangles);
        const int32_t nLastRow = m_grid.nRows - 1;
        FillInside(i0, m_aInside[0]);
        ScanPlane(i0, true, m_aInside[0], m_aPlane[0]);
        for (int32_t i = i0; i < i1; ++i)
        {
            FillInside(i + 1, m_aInside[1]);
            ScanCross(i);
            ScanPlane(i + 1, i + 1 < i1 || i1 == nLastRow, m_aInside[1], m_aPlane[1]);
            EmitSlab(i);
            std::swap(m_aInside[0], m_aInside[1]);
            std::swap(m_aPlane[0], m_aPlane[1]);
        }
        m_nLastPoints = chunk.aPoint.size();
        m_nLastTriangles = chunk.aTriangles.size();
    }

private:
    double Value(int32_t k, int32_t i, int32_t j) const
    {
        return m_dSign * m_grid.aRadial[k] * m_grid.aAngular[static_cast<size_t>(i) * m_nP + j];
    }

    // Whether a sample of radius k in row i may lie inside: the largest s R Y of the row, the
    // same product of the same numbers as the test of each sample, so that a row that cannot
    // holds no sample inside.
    bool MayBeInside(int32_t k, int32_t i) const
    {
        const double dFactor = m_dSign * m_grid.aRadial[k];
        const double* pPeak = &m_tables.aRowPeak[2 * static_cast<size_t>(i)];
        return dFactor * (dFactor >= 0.0 ? pPeak[1] : pPeak[0]) > m_dLevel;
    }

    // Whether any sample of radii k, k + 1 in rows i0 .. i1 may lie inside.
    bool MayCross(int32_t k, int32_t i0, int32_t i1) const
    {
        for (int32_t i = i0; i <= i1; ++i)
            if (MayBeInside(k, i) || (k + 1 < m_nR && MayBeInside(k + 1, i)))
                return true;
        return false;
    }

    void FillInside(int32_t i, std::vector<uint8_t>& aInside) const
    {
        const double* pRow = m_grid.aAngular.data() + static_cast<size_t>(i) * m_nP;
        for (int32_t k = 0; k < m_nR; ++k)
        {
            const double dFactor = m_dSign * m_grid.aRadial[k];
            uint8_t* pInside = aInside.data() + static_cast<size_t>(k) * m_nP;
            if (!MayBeInside(k, i))
            {
                std::fill(pInside, pInside + m_nP, uint8_t{0});
                continue;
            }
            for (int32_t j = 0; j < m_nP; ++j)
                pInside[j] = dFactor * pRow[j] > m_dLevel;
        }
    }

    // Where along the edge from (k, i, j) of the type, as a fraction of it, f crosses the level:
    // where the factor that changes along it takes the level, when the grid knows that factor
    // between the samples; else on the cubic through the samples one before and one after the
    // edge where the grid has them (the crossing on the line through its ends, the start of
    // Newton's steps, has an error in the square of the step, the cubic's in its fourth power),
    // else on that line. The cubic's crossing starts the search on the factor.
    double Crossing(int32_t k, int32_t i, int32_t j, int nType)
    {
        const int dk = nType & 1, di = (nType >> 1) & 1, dj = (nType >> 2) & 1;
        const auto column = [this](int32_t n) { return n < 0 ? n + m_nP : n >= m_nP ? n - m_nP : n; };
        const double g0 = Value(k, i, j), g1 = Value(k + dk, i + di, column(j + dj));
        const double dLine = (m_dLevel - g0) / (g1 - g0);
        double t = dLine;
        if (k - dk >= 0 && k + 2 * dk < m_nR && i - di >= 0 && i + 2 * di < m_grid.nRows)
        {
            const double gBefore = Value(k - dk, i - di, column(j - dj));
            const double gAfter = Value(k + 2 * dk, i + 2 * di, column(j + 2 * dj));
            // The cubic through -1, 0, 1, 2: c0 + c1 t + c2 t^2 + c3 t^3.
            const double c1 = -gBefore / 3.0 - g0 / 2.0 + g1 - gAfter / 6.0;
            const double c2 = gBefore / 2.0 - g0 + g1 / 2.0;
            const double c3 = -gBefore / 6.0 + g0 / 2.0 - g1 / 2.0 + gAfter / 6.0;
            for (int n = 0; n < 2; ++n)
                t -= (g0 + t * (c1 + t * (c2 + t * c3)) - m_dLevel) / (c1 + t * (2.0 * c2 + t * 3.0 * c3));
            if (!(t >= 0.0 && t <= 1.0))
                t = dLine;
        }
        if (dk && m_grid.radial)
        {
            // Along a row of one angular value (a pole, an orbital of m = 0) the crossings
            // between two radii are one.
            const double dAngular = m_dSign * m_grid.aAngular[static_cast<size_t>(i) * m_nP + j];
            if (k != m_lastRadial.k || dAngular != m_lastRadial.dAngular)
            {
                const double r0 = m_grid.aRadius[k], r1 = m_grid.aRadius[k + 1];
                const auto along = [&](double u) { return m_grid.radial(r0 + u * (r1 - r0)) * dAngular; };
                m_lastRadial = LastRadialCrossing{k, dAngular, EdgeCrossing(along, g0, g1, t)};
            }
            return m_lastRadial.t;
        }
        if (!dk && m_grid.angular)
        {
            const double dFactor = m_dSign * m_grid.aRadial[k];
            const double dTheta0 = SampleTheta(i, m_grid.nRows), dTheta1 = SampleTheta(i + di, m_grid.nRows);
            const auto along = [&](double u) {
                return dFactor *
                       m_grid.angular(dTheta0 + u * (dTheta1 - dTheta0), (j + u * dj) / m_nP * kTwoPi);
            };
            return EdgeCrossing(along, g0, g1, t);
        }
        return t;
    }

    // The fraction u of an edge where value(u) = c, value taking g0 and g1 at its ends (one above
    // the level, the other not), from the guess t: secant steps through the last two points, kept
    // within the bracket that the points so far leave (else halving it), until a step moves the
    // crossing by less than kCrossingTolerance of the edge, or it is known to lie nearer an end
    // than AddVertex places it.
    template <typename Value>
    double EdgeCrossing(const Value& value, double g0, double g1, double t) const
    {
        double a = 0.0, b = 1.0;
        const bool bRising = g0 - m_dLevel <= 0.0;  // the excess of a is at most 0, of b above
        double uLast = bRising ? 0.0 : 1.0, hLast = bRising ? g0 - m_dLevel : g1 - m_dLevel;
        double u = t;
        for (int n = 0; n < 64 && b > kEndClearance && a < 1.0 - kEndClearance; ++n)
        {
            const double h = value(u) - m_dLevel;
            if (h == 0.0)
                break;
            (h > 0.0) == bRising ? b = u : a = u;
            double uNext = h != hLast ? u - h * (u - uLast) / (h - hLast) : 0.5 * (a + b);
            if (!(uNext > a && uNext < b))
                uNext = 0.5 * (a + b);
            uLast = u;
            hLast = h;
            const bool bSettled = std::fabs(uNext - u) <= kCrossingTolerance;
            u = uNext;
            if (bSettled)
                break;
        }
        return u;
    }

    int32_t AddVertex(int32_t k, int32_t i, int32_t j, int nType)
    {
        const int di = (nType >> 1) & 1, dk = nType & 1, dj = (nType >> 2) & 1;
        // Clamped off the corners, so that no two edges' crossings meet at a corner.
        const double t = std::min(std::max(Crossing(k, i, j, nType), kEndClearance), 1.0 - kEndClearance);
        const double r = m_grid.aRadius[k] + t * (m_grid.aRadius[k + dk] - m_grid.aRadius[k]);
        const double dTheta0 = SampleTheta(i, m_grid.nRows);
        const double dTheta = di ? dTheta0 + t * (SampleTheta(i + 1, m_grid.nRows) - dTheta0) : dTheta0;
        const double dPhi = (j + t * dj) / m_nP * kTwoPi;
        const bool bPole = di == 0 && (i == 0 || i == m_grid.nRows - 1);
        // Along one axis the angle of the other is a sample's, whose sine and cosine are tabulated.
        const double dSin = bPole ? 0.0 : di ? std::sin(dTheta) : m_tables.aSinTheta[i];
        const double dCos = bPole ? (i == 0 ? 1.0 : -1.0) : di ? std::cos(dTheta) : m_tables.aCosTheta[i];
        const double dCosPhi = dj ? std::cos(dPhi) : m_tables.aCosPhi[j];
        const double dSinPhi = dj ? std::sin(dPhi) : m_tables.aSinPhi[j];
        ChunkMesh& chunk = *m_pChunk;
        chunk.aPoint.insert(chunk.aPoint.end(), {static_cast<float>(r * dSin * dCosPhi) + 0.0f,
                                                 static_cast<float>(r * dSin * dSinPhi) + 0.0f,
                                                 static_cast<float>(r * dCos) + 0.0f});
        return static_cast<int32_t>(chunk.aPoint.size() / 3 - 1);
    }

    // The indices of the crossings on the edges in row i's plane, in a fixed order: new vertices
    // when bCreate, else -1 - q for the q-th, which the next chunk makes. At a pole the
    // crossings between two radii are one vertex.
    void ScanPlane(int32_t i, bool bCreate, const std::vector<uint8_t>& aInside, std::vector<int32_t>& aSlots)
    {
        int32_t nOrdinal = 0;
        const auto index = [&](int32_t k, int32_t j, int nType) {
            return bCreate ? AddVertex(k, i, j, nType) : -1 - nOrdinal++;
        };
        const bool bPole = i == 0 || i == m_grid.nRows - 1;
        for (int32_t k = 0; k < m_nR; ++k)
        {
            const uint8_t* pIn = aInside.data() + static_cast<size_t>(k) * m_nP;
            const uint8_t* pNext = k + 1 < m_nR ? pIn + m_nP : nullptr;
            int32_t* pSlots = aSlots.data() + static_cast<size_t>(k) * m_nP * kPlaneSlots;
            // The ordinals of the crossings not made here count only the crossings there are.
            if (!MayCross(k, i, i))
                continue;
            if (bPole)
            {
                if (pNext && pIn[0] != pNext[0])
                {
                    const int32_t nVertex = index(k, 0, 1);
                    for (int32_t j = 0; j < m_nP; ++j)
                        pSlots[j * kPlaneSlots + kTypeSlot[1]] = nVertex;
                }
                continue;
            }
            for (int32_t j = 0; j < m_nP; ++j)
            {
                const int32_t j1 = j + 1 == m_nP ? 0 : j + 1;
                if (pNext && pIn[j] != pNext[j])
                    pSlots[j * kPlaneSlots + kTypeSlot[1]] = index(k, j, 1);
                if (pIn[j] != pIn[j1])
                    pSlots[j * kPlaneSlots + kTypeSlot[4]] = index(k, j, 4);
            }
        }
    }

    // The crossings on the edges from row i to row i + 1.
    void ScanCross(int32_t i)
    {
        for (int32_t k = 0; k < m_nR; ++k)
        {
            if (!MayCross(k, i, i + 1))
                continue;
            const uint8_t* pIn = m_aInside[0].data() + static_cast<size_t>(k) * m_nP;
            const uint8_t* pBelow = m_aInside[1].data() + static_cast<size_t>(k) * m_nP;
            int32_t* pSlots = m_aCross.data() + static_cast<size_t>(k) * m_nP;
            for (int32_t j = 0; j < m_nP; ++j)
                if (pIn[j] != pBelow[j])
                    pSlots[j] = AddVertex(k, i, j, 2);
        }
    }

    int32_t EdgeVertex(int32_t k, int32_t j, const CellEdge& edge) const
    {
        const int nType = edge.q ^ edge.p;
        const int32_t kLow = k + (edge.p & 1);
        const int32_t jLow = (edge.p & 4) && j + 1 == m_nP ? 0 : j + ((edge.p >> 2) & 1);
        const size_t nPoint = static_cast<size_t>(kLow) * m_nP + jLow;
        if (nType == 2)
            return m_aCross[nPoint];
        return m_aPlane[(edge.p >> 1) & 1][nPoint * kPlaneSlots + kTypeSlot[nType]];
    }

    void EmitSlab(int32_t i)
    {
        const CubeTable& table = Tables();
        std::vector<Triangle>& aTriangles = m_pChunk->aTriangles;
        for (int32_t k = 0; k + 1 < m_nR; ++k)
        {
            if (!MayCross(k, i, i + 1))
                continue;
            const uint8_t* apRow[4] = {m_aInside[0].data() + static_cast<size_t>(k) * m_nP,
                                       m_aInside[0].data() + static_cast<size_t>(k + 1) * m_nP,
                                       m_aInside[1].data() + static_cast<size_t>(k) * m_nP,
                                       m_aInside[1].data() + static_cast<size_t>(k + 1) * m_nP};
            // The corners inside of each cell of the strip, first in one pass that needs no
            // wrap (so that it runs on vectors), then the cell across the seam.
            uint8_t* pCorners = m_aCorners.data();
            const auto corners = [&apRow](int32_t j, int32_t j1) {
                return static_cast<uint8_t>(apRow[0][j] | apRow[1][j] << 1 | apRow[2][j] << 2 |
                                            apRow[3][j] << 3 | apRow[0][j1] << 4 | apRow[1][j1] << 5 |
                                            apRow[2][j1] << 6 | apRow[3][j1] << 7);
            };
            for (int32_t j = 0; j + 1 < m_nP; ++j)
                pCorners[j] = corners(j, j + 1);
            pCorners[m_nP - 1] = corners(m_nP - 1, 0);
            for (int32_t j = 0; j < m_nP; ++j)
            {
                if (pCorners[j] == 0 || pCorners[j] == 255)
                    continue;
                const CubeCase& entry = table.aCases[pCorners[j]];
                for (int s = 0; s < entry.nTriangles; ++s)
                {
                    const Triangle triangle = {EdgeVertex(k, j, entry.aEdges[s][0]),
                                               EdgeVertex(k, j, entry.aEdges[s][1]),
                                               EdgeVertex(k, j, entry.aEdges[s][2])};
                    // Crossings welded at a pole leave triangles without area.
                    if (triangle[0] != triangle[1] && triangle[1] != triangle[2] &&
                        triangle[2] != triangle[0])
                        aTriangles.push_back(triangle);
                }
            }
        }
    }

    const SphericalGrid& m_grid;
    const GridTables& m_tables;
    double m_dSign;
    double m_dLevel;
    int32_t m_nR;
    int32_t m_nP;
    ChunkMesh* m_pChunk = nullptr;
    size_t m_nLastPoints = 0;
    size_t m_nLastTriangles = 0;
    std::vector<uint8_t> m_aInside[2];
    std::vector<int32_t> m_aPlane[2];
    std::vector<int32_t> m_aCross;
    std::vector<uint8_t> m_aCorners;  // of each cell of a strip
    // The last crossing along a radius: its radius k, signed angular value and place t.
    struct LastRadialCrossing
    {
        int32_t k = -1;
        double dAngular = 0.0;
        double t = 0.0;
    };
    LastRadialCrossing m_lastRadial;
};

}  // namespace

void ExtractLevelSurface(const SphericalGrid& grid, double dSign, double dLevel, unsigned nThreads,
                         LevelMesh& mesh, int nList, const BuildProgress& onSlabs)
{
    const int32_t nSlabs = grid.nRows - 1;
    const int32_t nChunks = (nSlabs + kSlabsPerChunk - 1) / kSlabsPerChunk;
    std::vector<ChunkMesh> aChunks(static_cast<size_t>(nChunks));
    const GridTables tables = MakeGridTables(grid);
    const unsigned nWorkers = std::min(ThreadsFor(nThreads), static_cast<unsigned>(std::max(nChunks, 1)));
    std::vector<CExtractor> aExtractors(nWorkers, CExtractor(grid, tables, dSign, dLevel));
    std::atomic<int32_t> nDone{0};
    ShareAmongThreads(static_cast<size_t>(nChunks), nWorkers, [&](size_t nChunk, unsigned w) {
        const auto c = static_cast<int32_t>(nChunk);
        aExtractors[w].ExtractChunk(c * kSlabsPerChunk, std::min(nSlabs, (c + 1) * kSlabsPerChunk),
                                    aChunks[c]);
        const int32_t nSlabsDone = std::min(nSlabs, (nDone += 1) * kSlabsPerChunk);
        if (w == 0 && onSlabs)
            onSlabs(nSlabsDone, nSlabs);
    });
    if (onSlabs)
        onSlabs(nSlabs, nSlabs);

    // Each chunk's vertices and triangles after those before it; -1 - q is the next chunk's q-th vertex.
    std::vector<int64_t> aOffset(static_cast<size_t>(nChunks) + 1);
    std::vector<size_t> aFirstTriangle(static_cast<size_t>(nChunks) + 1);
    aOffset[0] = static_cast<int64_t>(mesh.aPoint.size() / 3);
    aFirstTriangle[0] = mesh.aTriangles[nList].size();
    for (int32_t c = 0; c < nChunks; ++c)
    {
        aOffset[c + 1] = aOffset[c] + static_cast<int64_t>(aChunks[c].aPoint.size() / 3);
        aFirstTriangle[c + 1] = aFirstTriangle[c] + aChunks[c].aTriangles.size();
    }
    if (aOffset[nChunks] > INT32_MAX)
        throw std::bad_alloc();
    std::vector<Triangle>& aTriangles = mesh.aTriangles[nList];
    mesh.aPoint.resize(static_cast<size_t>(aOffset[nChunks]) * 3);
    aTriangles.resize(aFirstTriangle[nChunks]);
    ShareAmongThreads(static_cast<size_t>(nChunks), nWorkers, [&](size_t nChunk, unsigned) {
        const auto c = static_cast<int32_t>(nChunk);
        ChunkMesh& chunk = aChunks[c];
        std::copy(chunk.aPoint.begin(), chunk.aPoint.end(), mesh.aPoint.begin() + 3 * aOffset[c]);
        Triangle* pOut = aTriangles.data() + aFirstTriangle[c];
        for (Triangle triangle : chunk.aTriangles)
        {
            for (int32_t& v : triangle)
                v = static_cast<int32_t>(v >= 0 ? aOffset[c] + v : aOffset[c + 1] - 1 - v);
            *pOut++ = triangle;
        }
        chunk = ChunkMesh{};
    });
}
