#pragma once

#include <complex>
#include <cstdint>
#include <vector>

#include "infra/fftw_planner.h"

// The smallest even length of at least n made of the primes 2, 3, 5 and 7 alone, which FFTW
// transforms several times faster than lengths with a large prime factor (8194 = 2 * 17 * 241
// took 3.4 times as long as 8232), and above 4096 with at most 2^6 of two: FFTW's estimating
// planner takes long powers of two with strides that the cache serves badly (12288 = 3 * 2^12
// took 1.7 times as long as 12348).
int64_t FftFriendlyCircle(int64_t n);

// FFTW's complex transform of nSize points out of place, forward (nSign FFTW_FORWARD: sum of x_j
// e^(-2 pi i j k / nSize)) or backward, planned holding FFTW's planner lock for arrays of FFTW's
// storage. Throws std::bad_alloc.
FftwPlan PlanComplexTransform(int32_t nSize, int nSign);

// What moving values between rings costs against what it saves, in one unit: n log2 n for FFTW's
// complex transform of n points of an FFT-friendly length (0.3 ns here). A length with a prime
// factor above 7 costs about 4.5 times as much (8194 = 2 * 17 * 241: 150 us against 31 us for 8232).
double TransformCost(int64_t n);
// A step of the recurrence of the degree sums, or of their adjoint, at one pair of rings: measured
// 0.14 ns, taken at 0.25 units, as the sums get faster, so that values are moved only where that
// clearly pays.
constexpr double kRecurrenceStepCost = 0.25;
// The cost of moving a pair of orders from one circle to another (or back): both transforms and
// the passes over their points that build, copy and split them.
double MovingCost(int64_t nFromSize, int64_t nToSize);
// Whether summing dDegreeTerms degrees of the orders (the sum over the orders of their degrees) on
// nFewerRings instead of nRings saves more than dMovingCost.
bool MovingPays(double dDegreeTerms, int32_t nRings, int32_t nFewerRings, double dMovingCost);

// The south pole of Driscoll-Healy's n rings of an even order (pEven): 0 but at order 0, where
// every Pbar_l0 is 1 at both poles, the value that leaves the Nyquist mode of the circle of 2 n
// points 0 in a series of degree below n.
std::complex<double> NyquistFreeSouthPole(int32_t nEvenOrder, const std::complex<double>* pEven, int32_t n);

// Equally spaced rings of the meridian, continued over both poles into a full circle of Size()
// points. The values F_m(theta) of order m continue as F_m(-theta) = (-1)^m F_m(theta), a series of
// cosines for even m and of sines for odd m; two orders of opposite parity share one circle as its
// even and its odd part, so that one complex transform moves both.
//
// A spectrum is the Size() bins of FFTW's complex transform: bin b holds the mode k = b for
// b < Size() / 2 and k = b - Size() above; bin Size() / 2 (the Nyquist mode) is left out of every
// move, as no series of degree below Size() / 2 has it. The transforms run out of place, from
// and to arrays of Size() values in FFTW's storage.
class CMeridianCircle
{
public:
    enum class Rings
    {
        kBothPoles,  // theta_i = i pi / (n - 1), both poles: Size() = 2 (n - 1)
        kNorthPole,  // theta_i = i pi / n, the north pole and not the south (Driscoll-Healy): 2 n
        kCells,      // theta_i = (i + 1/2) pi / n, no pole: 2 n
    };

    // Plans both transforms, holding FFTW's planner lock; throws std::bad_alloc.
    CMeridianCircle(Rings rings, int32_t nRings);

    int32_t Size() const { return m_nSize; }
    // The highest mode the rings hold.
    int32_t TopMode() const { return m_nSize / 2 - 1; }
    // The spectrum of the circle of pEven (an even order, nEvenOrder) and pOdd (an odd one), nRings
    // values each (either none: nullptr), unscaled: sum over the circle's points q of the values
    // times e^(-i k theta_q), to pSpectrum; pValues takes the circle's values. kNorthPole's south
    // pole follows from the band limit.
    void ToSpectrum(int32_t nEvenOrder, const std::complex<double>* pEven, const std::complex<double>* pOdd,
                    fftw_complex* pValues, fftw_complex* pSpectrum) const;

    // The circle's values sum over k of X_k e^(i k theta) from the spectrum in pSpectrum
    // (overwritten), to pValues, times dScale, split into the even part at the rings, to pEven,
    // and the odd part, to pOdd (nullptr: not wanted). With bFold, each ring off the poles takes its
    // mirror's value too, as a sum over the circle's points taken ring by ring counts it twice. Not
    // for kNorthPole.
    void FromSpectrum(fftw_complex* pSpectrum, fftw_complex* pValues, double dScale, bool bFold,
                      std::complex<double>* pEven, std::complex<double>* pOdd) const;

private:
    Rings m_rings;
    int32_t m_nRings;
    int32_t m_nSize;
    FftwPlan m_forward, m_backward;
    // kCells: e^(-i k pi / Size()) at each bin, the points' half step.
    std::vector<std::complex<double>> m_aShift;
};

// Modes -nTopMode .. nTopMode of one spectrum (pFrom, nFromSize bins) into another (pTo, nToSize
// bins), every other bin 0. nTopMode below half of both sizes.
void CopyModes(const fftw_complex* pFrom, int32_t nFromSize, fftw_complex* pTo, int32_t nToSize,
               int32_t nTopMode);
