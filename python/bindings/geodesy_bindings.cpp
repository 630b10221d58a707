#include "bindings/geodesy_bindings.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "bindings/interruptible.h"
#include "bindings/numpy_arrays.h"
#include "bindings/python_errors.h"
#include "fields/coefficient_file.h"
#include "fields/input_convention.h"
#include "fields/model_time.h"
#include "geodesy/field_quantity.h"
#include "geodesy/geodetic_quantity.h"
#include "geodesy/model_preparation.h"

namespace py = pybind11;

namespace {

using ValueArray = py::array_t<double, py::array::c_style | py::array::forcecast>;

constexpr double kNotStated = std::numeric_limits<double>::quiet_NaN();

const QuantityInfo& QuantityNamed(const std::string& strName)
{
    const QuantityInfo* pInfo = FindQuantity(strName);
    if (!pInfo)
        throw py::value_error("quantity needs one of " + QuantityNames() + ", not '" + strName + "'");
    return *pInfo;
}

// The normal field named ("GRS80", "WGS84", "none" or empty), nullptr for none; the rule that a
// quantity of the disturbing potential needs it named.
const ReferenceEllipsoid* NormalFieldNamed(const std::string& strName, const QuantityInfo& info)
{
    if (strName.empty() && info.bDisturbing)
        throw py::value_error(
            std::string("quantity ") + info.pszName +
            " is of the disturbing potential: give remove_normal 'GRS80' or 'WGS84', or 'none' "
            "for a model of the disturbing potential");
    if (strName.empty() || strName == "none")
        return nullptr;
    const ReferenceEllipsoid* pEllipsoid = FindReferenceEllipsoid(strName);
    if (!pEllipsoid)
        throw py::value_error("remove_normal needs GRS80, WGS84 or none, not '" + strName + "'");
    if (!info.bGravity)
        throw py::value_error(
            std::string("remove_normal is for a gravity model: it does not go with quantity ") +
            info.pszName);
    return pEllipsoid;
}

// The preparation asked for, a smoothing radius of NaN for none.
ModelPreparation PreparationOf(const ReferenceEllipsoid* pNormal, double dSmoothRadius)
{
    ModelPreparation preparation;
    preparation.pNormalField = pNormal;
    if (!std::isnan(dSmoothRadius))
        preparation.dSmoothRadius = dSmoothRadius;
    return preparation;
}

// The field of a coefficient file at an epoch ("" for none), with its rates (None for none), GM
// and radius (NaN where not stated), whether it changes with time, and its warnings.
std::tuple<Field, std::optional<Field>, double, double, bool, std::vector<std::string>> ReadModelFile(
    const std::string& strPath, int64_t nLmax, const std::string& strNorm, const std::string& strEpoch)
{
    std::optional<double> epoch;
    if (!strEpoch.empty())
    {
        epoch = ParseEpoch(strEpoch);
        if (!epoch)
            throw py::value_error("epoch needs a date YYYY-MM-DD or a decimal year, not '" + strEpoch + "'");
    }
    const int32_t nMaxDegree = nLmax < 0 ? -1 : static_cast<int32_t>(std::min<int64_t>(nLmax, INT32_MAX));
    ConventionChoice choice;
    if (!strNorm.empty())
    {
        Normalization normalization{};
        if (!FindNormalization(strNorm, normalization))
            throw py::value_error("norm needs a normalisation's name, not '" + strNorm + "'");
        choice.normalization = normalization;
    }
    CoefficientFile file;
    try
    {
        file =
            RunWithoutGil([&](CInterruptCheck&) { return ReadCoefficientFile(strPath, nMaxDegree, epoch); });
    }
    catch (const std::runtime_error& error)
    {
        throw CoefficientFileFailure(error.what());
    }
    const Convention convention = FileConvention(choice, file, strPath);
    std::optional<Field> rates;
    if (file.rates)
        rates = Field{std::move(*file.rates), convention};
    return {Field{std::move(file.aTerms), convention},
            std::move(rates),
            file.header.dGm,
            file.header.dRadius,
            file.bTimeVariable,
            std::move(file.aWarnings)};
}

py::array_t<double> QuantityAtGeodetic(const Field& field, const std::optional<Field>& rates, double dGm,
                                       double dRadius, const std::string& strQuantity,
                                       const ValueArray& aLatitude, const ValueArray& aLongitude,
                                       const ValueArray& aHeight, const std::string& strNormal,
                                       double dSmoothRadius, bool bRate)
{
    const QuantityInfo& info = QuantityNamed(strQuantity);
    const ReferenceEllipsoid* pNormal = NormalFieldNamed(strNormal, info);
    if (aLatitude.ndim() != 1 || aLongitude.size() != aLatitude.size() || aHeight.size() != aLatitude.size())
        throw py::value_error("lat, lon and h need to be of one length");
    const auto latitude = aLatitude.unchecked<1>();
    const auto longitude = aLongitude.unchecked<1>();
    const auto height = aHeight.unchecked<1>();
    std::vector<GeodeticPlace> aPlaces(static_cast<size_t>(aLatitude.size()));
    for (py::ssize_t k = 0; k < aLatitude.size(); ++k)
    {
        aPlaces[static_cast<size_t>(k)] = GeodeticPlace{latitude(k), longitude(k), height(k)};
        const std::string strError = GeodeticPlaceError(aPlaces[static_cast<size_t>(k)]);
        if (!strError.empty())
            throw py::value_error(strError);
    }
    if (info.quantity == Quantity::kGeoid)
        for (const GeodeticPlace& place : aPlaces)
            if (place.dHeight != 0.0)
                throw py::value_error(
                    "quantity geoid lies on the ellipsoid: its places need h = 0 (height-anomaly is T / "
                    "gamma at a "
                    "height)");
    Field potential = field;
    std::vector<double> aValues = RunWithoutGil([&](CInterruptCheck&) {
        PrepareModelField(potential, dGm, dRadius, PreparationOf(pNormal, dSmoothRadius));
        const GeodeticModel model = MakeGeodeticModel(std::move(potential), rates, dGm, dRadius,
                                                      info.bGravity, PlacesEllipsoid(pNormal, info.bGravity));
        return QuantityAtPlaces(model, info, bRate, aPlaces);
    });
    const auto nCount = static_cast<py::ssize_t>(aValues.size());
    return AdoptAsArray(std::move(aValues), {nCount});
}

Field ModelQuantity(const Field& field, double dGm, double dRadius, const std::string& strQuantity,
                    double dHeight, const std::string& strNormal, double dSmoothRadius)
{
    const QuantityInfo& info = QuantityNamed(strQuantity);
    if (info.quantity == Quantity::kIntensity || info.bGeodeticOnly)
        throw py::value_error(std::string("quantity ") + info.pszName +
                              " has no coefficients of its own: take it at places with at_geodetic");
    const ReferenceEllipsoid* pNormal = NormalFieldNamed(strNormal, info);
    Field result = field;
    PrepareModelField(result, dGm, dRadius, PreparationOf(pNormal, dSmoothRadius));
    const ReferenceEllipsoid& ellipsoid = pNormal ? *pNormal : *FindReferenceEllipsoid("GRS80");
    const auto stated = [](double d) { return std::isnan(d) ? std::nullopt : std::optional<double>(d); };
    ApplyQuantity(
        info, QuantitySetting{stated(dRadius), stated(dGm), dHeight, ComputeNormalGravity(ellipsoid).dMean},
        result.aTerms);
    return result;
}

}  // namespace

void BindGeodesy(py::module_& module)
{
    module.def("read_model_file", &ReadModelFile, py::arg("path"), py::arg("lmax"), py::arg("norm"),
               py::arg("epoch"));
    module.def("quantity_at_geodetic", &QuantityAtGeodetic, py::arg("field"), py::arg("rates"), py::arg("gm"),
               py::arg("r0"), py::arg("quantity"), py::arg("lat"), py::arg("lon"), py::arg("h"),
               py::arg("remove_normal"), py::arg("smooth_radius"), py::arg("secular_variation"));
    module.def("model_quantity", &ModelQuantity, py::arg("field"), py::arg("gm"), py::arg("r0"),
               py::arg("quantity"), py::arg("height"), py::arg("remove_normal"), py::arg("smooth_radius"));
    module.def("quantity_names", []() {
        std::vector<std::string> aNames;
        for (std::string strNames = QuantityNames(); !strNames.empty();)
        {
            const size_t nComma = strNames.find(", ");
            aNames.push_back(strNames.substr(0, nComma));
            strNames = nComma == std::string::npos ? "" : strNames.substr(nComma + 2);
        }
        return aNames;
    });
    module.attr("NOT_STATED") = kNotStated;
}
