#include "geodesy/geodetic_quantity.h"

#include <atomic>
#include <cmath>
#include <memory>
#include <mutex>
#include <numeric>
#include <stdexcept>
#include <string>
#include <utility>

#include "geodesy/load_love_numbers.h"
#include "geodesy/normal_gravity.h"
#include "infra/thread_sharing.h"
#include "sht/angles.h"

namespace {

constexpr double kMilligalsPerMetrePerSecondSquared = 1.0e5;
constexpr double kDegreesPerRadian = 180.0 / kPi;
constexpr double kArcsecondsPerRadian = 3600.0 * kDegreesPerRadian;

double Dot(const std::array<double, 3>& a, const std::array<double, 3>& b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

bool NeedsGradient(Quantity quantity)
{
    return quantity != Quantity::kPotential && quantity != Quantity::kGeoid &&
           quantity != Quantity::kHeightAnomaly && quantity != Quantity::kWaterHeight;
}

// The model's potential, or for ewh the water height's field on the sphere (no factor of the
// radius: it is taken at r = R).
PotentialModel SeriesOf(const PotentialModel& model, Quantity quantity)
{
    if (quantity != Quantity::kWaterHeight)
        return model;
    PotentialModel water{model.field, model.dRadius, 1.0};
    for (Term& term : water.field.aTerms)
        if (term.l >= 0)
            term.c *= WaterHeightFactor(term.l, model.dRadius);
    return water;
}

// What a quantity is evaluated with, made once for all its places.
class CEvaluation
{
public:
    CEvaluation(const GeodeticModel& model, const QuantityInfo& info, bool bRate)
        : m_info(info),
          m_main(SeriesOf(model.potential, info.quantity), NeedsGradient(info.quantity)),
          m_somigliana(*model.pEllipsoid),
          m_ellipsoid(*model.pEllipsoid),
          m_dRadius(model.potential.dRadius)
    {
        if (bRate && !model.rate)
            throw std::runtime_error(std::string("the secular variation of ") + info.pszName +
                                     " needs a model with the yearly rates of its coefficients");
        if (bRate && !info.pszRateUnit)
            throw std::runtime_error(std::string(info.pszName) + " has no secular variation");
        if (bRate)
            m_pRate = std::make_unique<CPotentialGradient>(*model.rate, true);
    }

    // ewh lies on the model's sphere.
    GeocentricPlace Where(const GeodeticPlace& place) const
    {
        GeocentricPlace geocentric = ToGeocentric(m_ellipsoid, place);
        if (m_info.quantity == Quantity::kWaterHeight)
            geocentric.r = m_dRadius;
        return geocentric;
    }

    // The values on one parallel: places of one latitude and height at nCount longitudes.
    struct Scratch
    {
        CPotentialGradient::Scratch gradient;
        std::vector<CPotentialGradient::Value> aMain, aRate;
    };
    void OnParallel(const GeodeticPlace& first, const double* pLongitudes, size_t nCount, double* pOut,
                    Scratch& scratch) const
    {
        const GeocentricPlace geocentric = Where(first);
        if (!(geocentric.r > 0.0))
            throw std::runtime_error("a place at or below the centre has no value of the model");
        std::vector<double> aLambda(nCount);
        for (size_t j = 0; j < nCount; ++j)
            aLambda[j] = pLongitudes[j] * (kPi / 180.0);
        scratch.aMain.resize(nCount);
        m_main.OnParallel(geocentric.dTheta, geocentric.r, aLambda.data(), nCount, scratch.aMain.data(),
                          scratch.gradient);
        if (m_pRate)
        {
            scratch.aRate.resize(nCount);
            m_pRate->OnParallel(geocentric.dTheta, geocentric.r, aLambda.data(), nCount, scratch.aRate.data(),
                                scratch.gradient);
        }
        const double dGamma = m_info.bGravity ? m_somigliana.At(first.dLatitude, first.dHeight) : 0.0;
        for (size_t j = 0; j < nCount; ++j)
        {
            const GeodeticPlace place{first.dLatitude, pLongitudes[j], first.dHeight};
            GeocentricPlace here = geocentric;
            here.dLambda = aLambda[j];
            pOut[j] = Value(place, here, dGamma, scratch.aMain[j], m_pRate ? &scratch.aRate[j] : nullptr);
            if (!std::isfinite(pOut[j]))
                throw std::runtime_error(
                    std::string("the model's ") + m_info.pszName +
                    " at a place is beyond the range of doubles: the place lies too deep inside the model's "
                    "sphere for its degrees");
        }
    }

private:
    double Value(const GeodeticPlace& place, const GeocentricPlace& geocentric, double dGamma,
                 const CPotentialGradient::Value& main, const CPotentialGradient::Value* pRate) const
    {
        const LocalFrame frame = LocalFrameAt(place);
        const std::array<double, 3>& g = main.gradient;
        const double dSin = std::sin(geocentric.dTheta);
        const std::array<double, 3> radial = {dSin * std::cos(geocentric.dLambda),
                                              dSin * std::sin(geocentric.dLambda),
                                              std::cos(geocentric.dTheta)};
        // B = -grad V to the north, east and down, of the field or of its rate.
        const auto north = [&](const std::array<double, 3>& v) { return -Dot(v, frame.north); };
        const auto east = [&](const std::array<double, 3>& v) { return -Dot(v, frame.east); };
        const auto down = [&](const std::array<double, 3>& v) { return Dot(v, frame.up); };
        const double x = north(g), y = east(g), z = down(g);
        const double h = std::hypot(x, y), f = std::hypot(h, z);
        switch (m_info.quantity)
        {
            case Quantity::kPotential:
            case Quantity::kWaterHeight:
                return main.dPotential;
            case Quantity::kGeoid:
            case Quantity::kHeightAnomaly:
                return main.dPotential / dGamma;
            case Quantity::kGravityDisturbance:
                return -kMilligalsPerMetrePerSecondSquared * Dot(g, frame.up);
            case Quantity::kGravityAnomaly:
                return -kMilligalsPerMetrePerSecondSquared *
                       (Dot(g, frame.up) + 2.0 * main.dPotential / geocentric.r);
            case Quantity::kRadialGravity:
                return kMilligalsPerMetrePerSecondSquared * Dot(g, radial);
            case Quantity::kRadialField:
                return -Dot(g, radial);
            case Quantity::kIntensity:
                return std::sqrt(Dot(g, g));
            case Quantity::kDeflectionNorth:
                return kArcsecondsPerRadian * x / dGamma;
            case Quantity::kDeflectionEast:
                return kArcsecondsPerRadian * y / dGamma;
            case Quantity::kGravityNorth:
                return -kMilligalsPerMetrePerSecondSquared * x;
            case Quantity::kGravityEast:
                return -kMilligalsPerMetrePerSecondSquared * y;
            default:
                break;
        }
        // The magnetic elements, or their secular variation.
        if (pRate)
        {
            const double dx = north(pRate->gradient), dy = east(pRate->gradient), dz = down(pRate->gradient);
            const double dh = (x * dx + y * dy) / h;
            switch (m_info.quantity)
            {
                case Quantity::kNorth:
                    return dx;
                case Quantity::kEast:
                    return dy;
                case Quantity::kDown:
                    return dz;
                case Quantity::kHorizontal:
                    return dh;
                case Quantity::kTotal:
                    return (x * dx + y * dy + z * dz) / f;
                case Quantity::kDeclination:
                    return kDegreesPerRadian * (x * dy - y * dx) / (h * h);
                default:
                    return kDegreesPerRadian * (h * dz - z * dh) / (f * f);
            }
        }
        switch (m_info.quantity)
        {
            case Quantity::kNorth:
                return x;
            case Quantity::kEast:
                return y;
            case Quantity::kDown:
                return z;
            case Quantity::kHorizontal:
                return h;
            case Quantity::kTotal:
                return f;
            case Quantity::kDeclination:
                return kDegreesPerRadian * std::atan2(y, x);
            default:
                return kDegreesPerRadian * std::atan2(z, h);
        }
    }

    const QuantityInfo& m_info;
    CPotentialGradient m_main;
    std::unique_ptr<CPotentialGradient> m_pRate;
    CSomigliana m_somigliana;
    const ReferenceEllipsoid& m_ellipsoid;
    double m_dRadius;
};

}  // namespace

GeodeticModel MakeGeodeticModel(Field field, std::optional<Field> rate, double dGm, double dRadius,
                                bool bGravity, const ReferenceEllipsoid& places)
{
    if (!(dRadius > 0.0))
        throw std::runtime_error(
            "a model at geodetic places needs its reference radius, which it does not state");
    if (bGravity && !(dGm > 0.0))
        throw std::runtime_error("a gravity model at geodetic places needs its GM, which it does not state");
    const double dScale = bGravity ? dGm / dRadius : dRadius;
    std::optional<PotentialModel> rates;
    if (rate)
        rates = PotentialModel{std::move(*rate), dRadius, dScale};
    return GeodeticModel{PotentialModel{std::move(field), dRadius, dScale}, std::move(rates), &places};
}

const ReferenceEllipsoid& PlacesEllipsoid(const ReferenceEllipsoid* pNormalField, bool bGravity)
{
    if (pNormalField)
        return *pNormalField;
    return *FindReferenceEllipsoid(bGravity ? "GRS80" : "WGS84");
}

std::vector<double> QuantityAtPlaces(const GeodeticModel& model, const QuantityInfo& info, bool bRate,
                                     const std::vector<GeodeticPlace>& aPlaces, unsigned nThreads)
{
    CEvaluation evaluation(model, info, bRate);
    // The places by parallel (latitude and height), each parallel's longitudes summed together.
    std::vector<size_t> aOrder(aPlaces.size());
    std::iota(aOrder.begin(), aOrder.end(), size_t{0});
    const auto key = [&](size_t i) { return std::make_pair(aPlaces[i].dLatitude, aPlaces[i].dHeight); };
    std::sort(aOrder.begin(), aOrder.end(), [&](size_t a, size_t b) { return key(a) < key(b); });
    std::vector<size_t> aStarts;
    for (size_t k = 0; k < aOrder.size(); ++k)
        if (k == 0 || key(aOrder[k]) != key(aOrder[k - 1]))
            aStarts.push_back(k);
    aStarts.push_back(aOrder.size());
    std::vector<double> aValues(aPlaces.size());
    const unsigned nUsed = ThreadsFor(nThreads);
    std::vector<CEvaluation::Scratch> aScratch(nUsed);
    ShareAmongThreads(aStarts.size() - 1, nUsed, [&](size_t g, unsigned t) {
        const size_t nFirst = aStarts[g], nCount = aStarts[g + 1] - nFirst;
        std::vector<double> aLongitudes(nCount), aParallel(nCount);
        for (size_t k = 0; k < nCount; ++k)
            aLongitudes[k] = aPlaces[aOrder[nFirst + k]].dLongitude;
        evaluation.OnParallel(aPlaces[aOrder[nFirst]], aLongitudes.data(), nCount, aParallel.data(),
                              aScratch[t]);
        for (size_t k = 0; k < nCount; ++k)
            aValues[aOrder[nFirst + k]] = aParallel[k];
    });
    return aValues;
}

std::vector<double> QuantityOnGrid(const GeodeticModel& model, const QuantityInfo& info, bool bRate,
                                   const std::vector<double>& aLatitudes,
                                   const std::vector<double>& aLongitudes, double dHeight,
                                   const std::function<void(int32_t, int32_t)>& onRow, unsigned nThreads)
{
    CEvaluation evaluation(model, info, bRate);
    const size_t nColumns = aLongitudes.size();
    std::vector<double> aValues(aLatitudes.size() * nColumns);
    const unsigned nUsed = ThreadsFor(nThreads);
    std::vector<CEvaluation::Scratch> aScratch(nUsed);
    std::atomic<int32_t> nDone{0};
    std::mutex progressLock;
    const auto nRows = static_cast<int32_t>(aLatitudes.size());
    ShareAmongThreads(aLatitudes.size(), nUsed, [&](size_t i, unsigned t) {
        if (nColumns > 0)
            evaluation.OnParallel(GeodeticPlace{aLatitudes[i], aLongitudes[0], dHeight}, aLongitudes.data(),
                                  nColumns, aValues.data() + i * nColumns, aScratch[t]);
        const int32_t nNow = ++nDone;
        if (onRow)
        {
            const std::lock_guard<std::mutex> lock(progressLock);
            onRow(nNow, nRows);
        }
    });
    return aValues;
}
