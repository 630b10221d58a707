#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "hydrogen/orbital.h"
#include "sht/build_progress.h"
#include "sht/normalized_legendre.h"

// What is asked of an orbital at a point: psi itself, or the probability density |psi|^2.
enum class OrbitalQuantity
{
    kPsi,
    kDensity,
};

// An orbital as a function of the point, psi = R(r) Y(theta, phi) with Y = Pbar(cos theta) A(phi):
// Pbar the fully normalised Legendre function of order |m| (sht/normalized_legendre.h), A the
// program's own azimuthal factor of order m (sht/convention.h) times the sign the convention and
// the orbital give it, or for a complex orbital e^(i m phi) times its Condon-Shortley phase, as
// OrbitalAngularField and OrbitalAngularParts make them. Lengths in Bohr radii.
class COrbitalFunction
{
public:
    // Throws std::bad_alloc.
    explicit COrbitalFunction(const HydrogenOrbital& orbital);

    bool IsComplex() const { return m_bComplex; }

    // psi at nCount points (x, y, z each): its real parts into pRe, its imaginary parts into pIm
    // (left alone for a real orbital, whose psi is real). The origin is the direction theta = 0.
    void Evaluate(const std::array<double, 3>* pPoints, size_t nCount, double* pRe, double* pIm) const;

    // The angular part Y at one direction: its real and imaginary parts.
    std::array<double, 2> Angular(double dTheta, double dPhi) const;

private:
    // Y from Pbar at one direction, and the factors of the points' phi.
    std::array<double, 2> FromLegendre(double dLegendre, double dPhi) const;

    CRadialFunction m_radial;
    std::shared_ptr<const NormalizedLegendre> m_pLegendre;
    int32_t m_m;
    bool m_bComplex;
    double m_dFactor;  // of the real A(phi) or of e^(i m phi)
};

// Told how many points of all are done.
using PointProgress = std::function<void(size_t nDone, size_t nPoints)>;

// The quantity at nPoints points, point(k) the k-th (x, y, z), shared among nThreads threads (0:
// one per core) in blocks; onBlocks, when given, is told on the calling thread how many points of
// all are done and may throw to stop. aIm holds the imaginary parts of a complex orbital's psi and
// is empty otherwise. Throws std::bad_alloc.
struct OrbitalSamples
{
    std::vector<double> aRe;
    std::vector<double> aIm;
};
OrbitalSamples SampleOrbitalAt(const HydrogenOrbital& orbital, size_t nPoints,
                               const std::function<std::array<double, 3>(size_t)>& point,
                               OrbitalQuantity quantity, unsigned nThreads = 0,
                               const PointProgress& onBlocks = nullptr);

// psi (real part, imaginary part; 0 for a real orbital) at each point x, y, z in Bohr radii, as
// SampleOrbitalAt. Throws std::bad_alloc.
std::vector<std::array<double, 2>> EvaluateOrbital(const HydrogenOrbital& orbital,
                                                   const std::vector<std::array<double, 3>>& aPoints,
                                                   unsigned nThreads = 0,
                                                   const PointProgress& onBlocks = nullptr);

// The cube of nSide^3 points centred on the nucleus, dHalfWidth from it to each face (Bohr
// radii): point (i, j, k) at x, y, z = Coordinate(i), Coordinate(j), Coordinate(k), numbered with
// z fastest and x slowest, as Gaussian cube files hold their values.
struct OrbitalBox
{
    int32_t nSide = 0;
    double dHalfWidth = 0.0;

    double Step() const { return 2.0 * dHalfWidth / (nSide - 1); }
    double Coordinate(int32_t k) const { return k == nSide - 1 ? dHalfWidth : -dHalfWidth + k * Step(); }
};

// The radius within which the radial probability reaches 99.9 %: the half width of the square
// slices show and of the box of cube files.
double HoldingRadius(const HydrogenOrbital& orbital);

// The box's sides taken: from 2 to 400 points (64 million values), 80 unless told.
constexpr int32_t kMinBoxSide = 2;
constexpr int32_t kMaxBoxSide = 400;
constexpr int32_t kDefaultBoxSide = 80;

// The box of nSide points a side (at least 2) that holds that sphere.
OrbitalBox OrbitalBoxOf(const HydrogenOrbital& orbital, int32_t nSide);

// The quantity at every point of the box, as SampleOrbitalAt.
OrbitalSamples SampleOrbitalBox(const HydrogenOrbital& orbital, const OrbitalBox& box,
                                OrbitalQuantity quantity, unsigned nThreads = 0,
                                const PointProgress& onBlocks = nullptr);
