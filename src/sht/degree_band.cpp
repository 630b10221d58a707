#include "sht/degree_band.h"

Field DegreeBand(const Field& field, int32_t nMin, int32_t nMax)
{
    Field band{{}, field.convention};
    for (const Term& term : field.aTerms)
        if (term.l >= nMin && (nMax < 0 || term.l <= nMax))
            band.aTerms.push_back(term);
    return band;
}
