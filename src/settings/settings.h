#pragma once

#include <cstdint>

// The viewer's settings: what to draw and how to colour it, plus a revision counter that
// tells the view its surface is out of date. They start from fixed defaults every run and
// are never range-checked: l, m and the counts hold whatever integer the user typed.
class CLobaraSettings
{
public:
    int32_t m_nRevision = 0;     // goes up by one each time a settings dialog is applied
    int32_t m_nL = 2;            // degree l
    int32_t m_nM = 0;            // order m, may be negative
    int32_t m_nThetaDiv = 480;   // samples along theta
    int32_t m_nPhiDiv = 240;     // samples along phi
    int32_t m_nColorScheme = 0;  // index into kColorSchemes

    void GetLM(int* pL, int* pM) const;
    void GetResolution(int* pTheta, int* pPhi) const;
    // Writes exactly three floats to each array: the positive-lobe and negative-lobe RGB.
    void GetColors(float* pPositive, float* pNegative) const;
};
