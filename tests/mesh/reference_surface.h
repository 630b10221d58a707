#pragma once

// The surface algorithm written out literally, one sample at a time with no work shared
// between samples, as the reference that the builder must match bit for bit.

#include <cmath>
#include <cstdlib>
#include <vector>

#include "mesh/surface_mesh.h"
#include "sht/angles.h"
#include "sht/normalization.h"
#include "sht/polynomial.h"

struct ReferenceSurface
{
    std::vector<double> aValue;
    std::vector<float> aX, aY, aZ;
    std::vector<FaceQuad> aPos, aNeg;
    std::vector<float> aPosN, aNegN;  // x, y, z of each normal in turn
};

inline ReferenceSurface BuildReferenceSurface(int l, int m, int nT, int nP)
{
    Polynomial p;
    LegendrePolynomial(l, p);
    DifferentiatePolynomial(std::abs(m), p);
    const double dN = NormalizationFactor(l, m);

    ReferenceSurface ref;
    for (int i = 0; i < nT; ++i)
    {
        for (int j = 0; j < nP; ++j)
        {
            const double phi = (static_cast<double>(j) / static_cast<double>(nP)) * kTwoPi;
            const double theta = (static_cast<double>(i) / static_cast<double>(nT - 1)) * kPi;
            const double x = std::cos(theta);
            double s = 0.0;
            for (int k = 0; k < p.GetSize(); ++k)
                s = std::pow(x, static_cast<double>(k)) * p[k] + s;
            const double w = std::pow(1.0 - x * x, std::abs(m) * 0.5);
            double a = 1.0;
            if (m > 0)
                a = std::cos(m * phi) * std::sqrt(2.0);
            else if (m < 0)
                a = std::sin(m * phi) * std::sqrt(2.0);
            const double y = ((a * s) * w) * dN;
            const double r = std::fabs(y);
            ref.aValue.push_back(y);
            ref.aX.push_back(static_cast<float>((std::cos(phi) * std::sin(theta)) * r));
            ref.aY.push_back(static_cast<float>((std::sin(phi) * std::sin(theta)) * r));
            ref.aZ.push_back(static_cast<float>(x * r));
        }
    }
    for (int t = 0; t <= nT - 2; ++t)
    {
        for (int s = 0; s < nP; ++s)
        {
            const FaceQuad q{t * nP + s, (t + 1) * nP + s, (t + 1) * nP + (s + 1) % nP,
                             t * nP + (s + 1) % nP};
            const double d1x = static_cast<double>(ref.aX[q.c]) - ref.aX[q.a];
            const double d1y = static_cast<double>(ref.aY[q.c]) - ref.aY[q.a];
            const double d1z = static_cast<double>(ref.aZ[q.c]) - ref.aZ[q.a];
            const double d2x = static_cast<double>(ref.aX[q.d]) - ref.aX[q.b];
            const double d2y = static_cast<double>(ref.aY[q.d]) - ref.aY[q.b];
            const double d2z = static_cast<double>(ref.aZ[q.d]) - ref.aZ[q.b];
            const float n[3] = {static_cast<float>(d1y * d2z - d1z * d2y),
                                static_cast<float>(d1z * d2x - d1x * d2z),
                                static_cast<float>(d1x * d2y - d1y * d2x)};
            const double sum = ref.aValue[q.a] + ((ref.aValue[q.d] + ref.aValue[q.c]) + ref.aValue[q.b]);
            (sum > 0.0 ? ref.aPos : ref.aNeg).push_back(q);
            std::vector<float>& normals = sum > 0.0 ? ref.aPosN : ref.aNegN;
            normals.insert(normals.end(), n, n + 3);
        }
    }
    return ref;
}
