#include "geodesy/model_preparation.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "geodesy/gaussian_smoothing.h"
#include "geodesy/normal_field.h"

void PrepareModelField(Field& field, double dGm, double dRadius, const ModelPreparation& preparation)
{
    if (preparation.pNormalField)
    {
        if (!(dGm > 0.0) || !(dRadius > 0.0))
            throw std::runtime_error(
                "removing the normal field needs the model's GM and radius, which it does "
                "not give");
        std::vector<Term> aNormal =
            NormalFieldTerms(*preparation.pNormalField, dGm, dRadius, field.convention,
                             preparation.nLmax >= 0 ? preparation.nLmax : kNormalFieldDegree);
        // The degrees below the band are gone from the field already, and stay gone.
        aNormal.erase(std::remove_if(aNormal.begin(), aNormal.end(),
                                     [&](const Term& term) { return term.l < preparation.nLmin; }),
                      aNormal.end());
        RemoveNormalField(field.aTerms, aNormal);
    }
    if (preparation.dSmoothRadius)
    {
        if (!(dRadius > 0.0))
            throw std::runtime_error("the smoothing needs the model's radius, which it does not give");
        const std::string strError = SmoothingRadiusError(*preparation.dSmoothRadius, dRadius);
        if (!strError.empty())
            throw std::runtime_error(strError);
        SmoothTerms(field.aTerms, *preparation.dSmoothRadius, dRadius);
    }
}
