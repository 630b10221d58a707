#include "jobs/netcdf_description.h"

#include <utility>

NetcdfGrid ValuesNetcdfGrid(const Job& job, bool bRate, std::vector<double> aLatitude,
                            std::vector<double> aLongitude, std::string strGridKind)
{
    NetcdfGrid grid{std::move(aLatitude), std::move(aLongitude), std::move(strGridKind), "value", "",
                    "the field's value"};
    if (const QuantityInfo* pQuantity = job.request.Value(opt::kQuantity))
    {
        grid.strName = pQuantity->pszName;
        grid.strLongName =
            bRate ? std::string("secular variation of ") + pQuantity->pszTitle : pQuantity->pszTitle;
        grid.strUnits = bRate ? pQuantity->pszRateUnit : pQuantity->pszUnit;
    }
    return grid;
}
