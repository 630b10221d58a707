#pragma once

#include <cstdint>
#include <vector>

// The quarter turn about +y of the harmonics of one degree l, on coefficients of the real
// harmonics sqrt(2) Pbar_l^m(cos theta) cos(m phi) (a_m, m = 0 .. l, a_0 that of Pbar_l^0 alone)
// and sqrt(2) Pbar_l^m(cos theta) sin(m phi) (b_m, m = 1 .. l), Pbar without the (-1)^m phase.
// Between two turns about z it turns the field about y by any angle:
//   Ry(beta) = Rz(pi / 2) Ry(pi / 2) Rz(beta) Ry(-pi / 2) Rz(-pi / 2).
//
// Its matrix is made from Delta_km = d^l_km(pi / 2), Wigner's small d of a quarter turn, for
// k, m = 0 .. l: the cosine part takes the entries with l + k + m even, the sine part those
// with l + k + m odd (each 2 Delta_km, and 1 / sqrt(2) more for each index 0 of the cosines).
// Nothing is stored: each column m is made again on the fly by the three-term recurrence
//   sqrt((l - k)(l + k + 1)) Delta_(k+1)m + sqrt((l + k)(l - k + 1)) Delta_(k-1)m = 2m Delta_km
// down from k = l, where Delta_lm = (-1)^(l-m) 2^-l sqrt(C(2l, l + m)), and summed against the
// coefficients as it goes. Run in that direction the recurrence is stable: from k = l the
// column grows until k^2 + m^2 falls below about l^2, and oscillates from there on. Where
// Delta_lm is far below the double range (l above about 1000), the column is carried scaled by
// a power of two until it has grown back into range.
//
// Every array is made by the constructor; Turn allocates nothing. O(l) memory.
class CQuarterTurn
{
public:
    // Room for degrees up to nMaxDegree.
    explicit CQuarterTurn(int32_t nMaxDegree);

    // a[0 .. l] and b[0 .. l] (b[0] is not read) turned by Ry(pi / 2), or by Ry(-pi / 2)
    // when bBack, in place; b[0] is left 0.
    void Turn(int32_t l, double* a, double* b, bool bBack);

private:
    // Delta_lm as q 2^e for m = 0 .. l, q far from the bounds of the double range and e a
    // multiple of the scaling step (0 where Delta_lm itself is in range).
    void MakeStarts(int32_t l);

    std::vector<double> m_aC1;     // 2 / sqrt((l + k)(l - k + 1)) by k
    std::vector<double> m_aC2;     // sqrt((l - k)(l + k + 1) / ((l + k)(l - k + 1))) by k
    std::vector<double> m_aScale;  // the columns' scaling g_k by k
    std::vector<double> m_aStart;
    std::vector<int64_t> m_aStartExponent;
    std::vector<double> m_aIn[2];  // the weights of Delta_km in a column m of each parity
    std::vector<double> m_aCos, m_aSin;
};
