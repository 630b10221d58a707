#pragma once

#include <cstdint>

#include "colour/color_schemes.h"
#include "settings/sampling_defaults.h"

// The viewer's settings: what to draw and how to colour it, plus a revision counter that
// tells the view its surface is out of date. They start from fixed defaults every run and
// are never range-checked: l, m and the counts hold whatever integer the user typed.
class CLobaraSettings
{
public:
    int32_t m_nRevision = 0;                       // goes up by one each time a settings dialog is applied
    int32_t m_nL = kDefaultL;                      // degree l
    int32_t m_nM = kDefaultM;                      // order m, may be negative
    int32_t m_nThetaDiv = kDefaultThetaDiv;        // samples along theta
    int32_t m_nPhiDiv = kDefaultPhiDiv;            // samples along phi
    int32_t m_nColorScheme = kDefaultColorScheme;  // index into kColorSchemes

    void GetLM(int* pL, int* pM) const;
    void GetResolution(int* pTheta, int* pPhi) const;
    // Writes exactly three floats to each array: the positive-lobe and negative-lobe RGB.
    void GetColors(float* pPositive, float* pNegative) const;
};
