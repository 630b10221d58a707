#include "surface/surface_builder.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <vector>

#include "surface/build_limits.h"
#include "surface/normalization.h"
#include "surface/polynomial.h"

namespace
{

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 6.283185307179586;

// Everything of a theta row that does not depend on phi.
struct RowFactors
{
    double dX;  // cos(theta)
    double dSinTheta;
    double dS;  // sum of the polynomial's terms at x
    double dW;  // (1 - x^2)^(|m|/2)
};

// Everything of a phi column that does not depend on theta.
struct ColumnFactors
{
    double dCosPhi;
    double dSinPhi;
    double dA;  // 1, sqrt(2) cos(m phi) or sqrt(2) sin(m phi)
};

// The sum is taken term by term from x^0 upward: sum = pow(x, k) * c_k + sum.
double EvaluateSum(const Polynomial& p, double x)
{
    double dSum = 0.0;
    for (int32_t k = 0; k < p.GetSize(); ++k)
        dSum = std::pow(x, static_cast<double>(k)) * p[k] + dSum;
    return dSum;
}

std::vector<RowFactors> MakeRows(int32_t nRows, const Polynomial& p, int64_t a)
{
    std::vector<RowFactors> rows(static_cast<size_t>(nRows));
    const double dHalfA = static_cast<double>(a) * 0.5;
    for (int32_t i = 0; i < nRows; ++i)
    {
        // A single row has no theta step (0/0); it is taken at the north pole.
        const double dTheta =
            nRows == 1 ? 0.0 : (static_cast<double>(i) / static_cast<double>(nRows - 1)) * kPi;
        RowFactors& row = rows[static_cast<size_t>(i)];
        row.dX = std::cos(dTheta);
        row.dSinTheta = std::sin(dTheta);
        row.dS = EvaluateSum(p, row.dX);
        row.dW = std::pow(1.0 - row.dX * row.dX, dHalfA);
    }
    return rows;
}

std::vector<ColumnFactors> MakeColumns(int32_t nColumns, int32_t m)
{
    std::vector<ColumnFactors> columns(static_cast<size_t>(nColumns));
    const double dSqrt2 = std::sqrt(2.0);
    for (int32_t j = 0; j < nColumns; ++j)
    {
        const double dPhi = (static_cast<double>(j) / static_cast<double>(nColumns)) * kTwoPi;
        const double dMPhi = static_cast<double>(m) * dPhi;
        ColumnFactors& column = columns[static_cast<size_t>(j)];
        column.dCosPhi = std::cos(dPhi);
        column.dSinPhi = std::sin(dPhi);
        // No (-1)^m phase; for m < 0 the sine takes m itself, so A = -sqrt(2) sin(|m| phi).
        column.dA = m == 0 ? 1.0 : (m > 0 ? std::cos(dMPhi) : std::sin(dMPhi)) * dSqrt2;
    }
    return columns;
}

// Grows the capacity of every array first, so that a failure leaves the previous mesh
// whole and the resizes that follow cannot fail.
void ReserveMesh(SurfaceMesh& mesh, const SurfacePlan& plan)
{
    for (FloatArray* pArray : {&mesh.m_aX, &mesh.m_aY, &mesh.m_aZ})
        pArray->Reserve(plan.nVertices);
    mesh.m_aValue.Reserve(plan.nVertices);
    mesh.m_aPosQuads.Reserve(plan.nFaces);
    mesh.m_aNegQuads.Reserve(plan.nFaces);
    for (FloatArray* pArray :
         {&mesh.m_aPosNX, &mesh.m_aPosNY, &mesh.m_aPosNZ, &mesh.m_aNegNX, &mesh.m_aNegNY, &mesh.m_aNegNZ})
        pArray->Reserve(plan.nFaces);
}

void SampleVertices(SurfaceMesh& mesh, const std::vector<RowFactors>& rows,
                    const std::vector<ColumnFactors>& columns, double dN)
{
    const int32_t nVertices = static_cast<int32_t>(rows.size() * columns.size());
    mesh.m_aX.SetSize(nVertices);
    mesh.m_aY.SetSize(nVertices);
    mesh.m_aZ.SetSize(nVertices);
    mesh.m_aValue.SetSize(nVertices);

    int32_t nIndex = 0;
    for (const RowFactors& row : rows)
    {
        for (const ColumnFactors& column : columns)
        {
            const double dY = ((column.dA * row.dS) * row.dW) * dN;
            const double r = std::fabs(dY);
            mesh.m_aValue[nIndex] = dY;
            mesh.m_aX[nIndex] = static_cast<float>((column.dCosPhi * row.dSinTheta) * r);
            mesh.m_aY[nIndex] = static_cast<float>((column.dSinPhi * row.dSinTheta) * r);
            mesh.m_aZ[nIndex] = static_cast<float>(row.dX * r);
            ++nIndex;
        }
    }
}

void ClassifyFaces(SurfaceMesh& mesh, const SurfacePlan& plan)
{
    // Both lists hold every face until sorting ends, so the loop never resizes.
    mesh.m_aPosQuads.SetSize(plan.nFaces);
    mesh.m_aNegQuads.SetSize(plan.nFaces);
    for (FloatArray* pArray :
         {&mesh.m_aPosNX, &mesh.m_aPosNY, &mesh.m_aPosNZ, &mesh.m_aNegNX, &mesh.m_aNegNY, &mesh.m_aNegNZ})
        pArray->SetSize(plan.nFaces);

    const FloatArray& aX = mesh.m_aX;
    const FloatArray& aY = mesh.m_aY;
    const FloatArray& aZ = mesh.m_aZ;
    const DoubleArray& aValue = mesh.m_aValue;
    const int32_t nP = plan.nColumns;
    int32_t nPos = 0;
    int32_t nNeg = 0;
    for (int32_t t = 0; t + 1 < plan.nRows; ++t)
    {
        for (int32_t s = 0; s < nP; ++s)
        {
            const int32_t sNext = s + 1 == nP ? 0 : s + 1;
            const FaceQuad quad{t * nP + s, (t + 1) * nP + s, (t + 1) * nP + sNext, t * nP + sNext};

            // The normal is the cross product of the diagonals AC and BD.
            const double d1x = static_cast<double>(aX[quad.c]) - aX[quad.a];
            const double d1y = static_cast<double>(aY[quad.c]) - aY[quad.a];
            const double d1z = static_cast<double>(aZ[quad.c]) - aZ[quad.a];
            const double d2x = static_cast<double>(aX[quad.d]) - aX[quad.b];
            const double d2y = static_cast<double>(aY[quad.d]) - aY[quad.b];
            const double d2z = static_cast<double>(aZ[quad.d]) - aZ[quad.b];
            const float nx = static_cast<float>(d1y * d2z - d1z * d2y);
            const float ny = static_cast<float>(d1z * d2x - d1x * d2z);
            const float nz = static_cast<float>(d1x * d2y - d1y * d2x);

            // A sum of exactly 0, or not a number, counts as negative.
            const double dSum = aValue[quad.a] + ((aValue[quad.d] + aValue[quad.c]) + aValue[quad.b]);
            if (dSum > 0.0)
            {
                mesh.m_aPosQuads[nPos] = quad;
                mesh.m_aPosNX[nPos] = nx;
                mesh.m_aPosNY[nPos] = ny;
                mesh.m_aPosNZ[nPos] = nz;
                ++nPos;
            }
            else
            {
                mesh.m_aNegQuads[nNeg] = quad;
                mesh.m_aNegNX[nNeg] = nx;
                mesh.m_aNegNY[nNeg] = ny;
                mesh.m_aNegNZ[nNeg] = nz;
                ++nNeg;
            }
        }
    }

    mesh.m_aPosQuads.SetSize(nPos);
    mesh.m_aNegQuads.SetSize(nNeg);
    for (FloatArray* pArray : {&mesh.m_aPosNX, &mesh.m_aPosNY, &mesh.m_aPosNZ})
        pArray->SetSize(nPos);
    for (FloatArray* pArray : {&mesh.m_aNegNX, &mesh.m_aNegNY, &mesh.m_aNegNZ})
        pArray->SetSize(nNeg);
}

}  // namespace

void BuildSurfaceMesh(int32_t l, int32_t m, int32_t nT, int32_t nP, SurfaceMesh& mesh)
{
    const SurfacePlan plan = PlanSurface(l, m, nT, nP);

    // d^|m| P_l / dx^|m|. For l < 0 p stays empty, and for |m| > l the derivative of the
    // zero polynomial is taken as zero: either way the harmonic is 0 everywhere.
    const int64_t a = std::llabs(int64_t{m});
    Polynomial p;
    LegendrePolynomial(l, p);
    DifferentiatePolynomial(static_cast<int32_t>(std::min<int64_t>(a, std::numeric_limits<int32_t>::max())),
                            p);
    // N(l, m) is not a number for l < 0; 0 keeps the values at zero instead.
    const double dN = l < 0 ? 0.0 : NormalizationFactor(l, m);

    const std::vector<RowFactors> rows = MakeRows(plan.nRows, p, a);
    const std::vector<ColumnFactors> columns = MakeColumns(plan.nColumns, m);

    ReserveMesh(mesh, plan);
    SampleVertices(mesh, rows, columns, dN);
    ClassifyFaces(mesh, plan);
}
