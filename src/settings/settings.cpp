#include "settings/settings.h"

#include "colour/color_schemes.h"

void CLobaraSettings::GetLM(int* pL, int* pM) const
{
    *pL = m_nL;
    *pM = m_nM;
}

void CLobaraSettings::GetResolution(int* pTheta, int* pPhi) const
{
    *pTheta = m_nThetaDiv;
    *pPhi = m_nPhiDiv;
}

void CLobaraSettings::GetColors(float* pPositive, float* pNegative) const
{
    // The colour dialog only ever stores 0 to 6; anything else falls back to scheme 0
    // rather than reading outside the table.
    const bool bValid = m_nColorScheme >= 0 && m_nColorScheme < kColorSchemeCount;
    const ColorScheme& scheme = kColorSchemes[bValid ? m_nColorScheme : 0];
    for (int i = 0; i < 3; ++i)
    {
        pPositive[i] = scheme.aPositive[i];
        pNegative[i] = scheme.aNegative[i];
    }
}
