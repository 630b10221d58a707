// A gravity or magnetic model through the runs: the normal field removed to degree 20 from a
// model of degree 2 (the geoid at the pole against the level ellipsoid's closed-form potential on
// its axis), the equivalent water height of a smoothed model by hand, the refusal of quantities
// of the disturbing potential with no normal field named, and the geodetic run's places, grid of
// degrees and map with WMM2025 against the WMM2025 report's test values.
#include <gtest/gtest.h>
#include <quadmath.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "../fields/file_folder_test.h"
#include "jobs/file_field.h"
#include "jobs/geodetic_request.h"
#include "jobs/geodetic_run.h"
#include "jobs/runs.h"
#include "options/request_error.h"
#include "options/value_text.h"

namespace {

// The request of options by name, each with its value as text ("" for a flag).
Request RequestOf(const std::vector<std::pair<std::string, std::string>>& aOptions)
{
    Request request;
    for (const auto& [strName, strValue] : aOptions)
        FindOption(strName)->Apply(strValue, request);
    return request;
}

constexpr double kGm = 3.986004415e14;
constexpr double kRadius = 6378136.3;
constexpr double kC20 = -0.484165143790815e-3;  // a model of degree 2: C(0, 0) = 1 and this C(2, 0)

// The lines a run prints, its warnings, and whether it gave a picture.
class CRecordingHooks : public IRunHooks
{
public:
    void BeginStep(const std::string&) override {}
    void Advance(long long, long long) override {}
    void EndStep() override {}
    void Print(const std::string& strText) override { m_strPrinted += strText; }
    void Warn(const std::string& strLine) override { m_aWarnings.push_back(strLine); }
    void Note(const std::string&) override {}
    bool TakePicture(Picture& picture) override
    {
        m_nPictureWidth = picture.nWidth;
        return true;
    }

    std::vector<double> Numbers() const
    {
        std::istringstream lines(m_strPrinted);
        std::vector<double> aNumbers;
        for (double d = 0.0; lines >> d;)
            aNumbers.push_back(d);
        return aNumbers;
    }

    std::string m_strPrinted;
    std::vector<std::string> m_aWarnings;
    int m_nPictureWidth = 0;
};

using Quad = __float128;

// GRS80's normal gravitational potential on its axis at distance r, closed form (Heiskanen and
// Moritz 2-61 with beta = 90 degrees, u = r): GM/E atan(E / r) + omega^2 a^2 / 3 q(r) / q(b).
double NormalPotentialOnAxis(double r)
{
    const ReferenceEllipsoid& grs80 = *FindReferenceEllipsoid("GRS80");
    const Quad a = grs80.dA, b = a * sqrtq(Quad(1.0) - EccentricitySquared(grs80));
    const Quad e = sqrtq(a * a - b * b), omega = grs80.dOmega;
    const auto q = [&](Quad u) {
        return ((Quad(1.0) + Quad(3.0) * u * u / (e * e)) * atanq(e / u) - Quad(3.0) * u / e) / 2;
    };
    return static_cast<double>(Quad(grs80.dGravityConstant) / e * atanq(e / r) +
                               omega * omega * a * a / 3 * q(r) / q(b));
}

class ModelQuantityTest : public CFileFolderTest
{
protected:
    std::string DegreeTwoModel()
    {
        std::ostringstream text;
        text.precision(17);
        text << "begin_of_head\nearth_gravity_constant " << kGm << "\nradius " << kRadius
             << "\nnorm fully_normalized\nend_of_head\ngfc 0 0 1.0 0.0\ngfc 2 0 " << kC20 << " 0.0\n";
        return Write("degree2.gfc", text.str());
    }
};

TEST_F(ModelQuantityTest, NormalFieldReachesDegreeTwentyWhateverTheModelsDegree)
{
    // Bruns' N = T / gamma at the pole of the sphere of radius R, gamma GRS80's published mean
    // normal gravity; T the model's potential less the closed-form normal potential (whose terms
    // beyond degree 20 are below 1e-26).
    const double dExpected =
        (kGm / kRadius * (1.0 + std::sqrt(5.0) * kC20) - NormalPotentialOnAxis(kRadius)) / 9.7976446561;
    for (const char* pszLmax : {"", "20", "40"})
    {
        Request request = RequestOf({{"--coeffs", DegreeTwoModel()},
                                     {"--quantity", "geoid"},
                                     {"--remove-normal", "GRS80"},
                                     {"--at", "0,0"}});
        if (*pszLmax)
            opt::kLmax.Apply(pszLmax, request);
        CRecordingHooks hooks;
        RunRequest(request, hooks);
        ASSERT_EQ(hooks.Numbers().size(), 1u);
        EXPECT_NEAR(hooks.Numbers()[0], dExpected, 1e-6) << "--lmax " << pszLmax;
        EXPECT_NEAR(hooks.Numbers()[0], -15.9935, 1e-4);
    }
    // --lmax 2 keeps the normal field to degree 2: the degree-2 model's own geoid.
    const Request request = RequestOf({{"--coeffs", DegreeTwoModel()},
                                       {"--quantity", "geoid"},
                                       {"--remove-normal", "GRS80"},
                                       {"--at", "0,0"},
                                       {"--lmax", "2"}});
    CRecordingHooks hooks;
    RunRequest(request, hooks);
    EXPECT_NEAR(hooks.Numbers()[0], -0.909, 1e-3);
}

TEST_F(ModelQuantityTest, SmoothedWaterHeightByHand)
{
    // A change of C(2, 0) alone, smoothed at 500 km: ewh at the pole is
    // R rho_e / (3 rho_w) 5 / (1 + k'_2) W_2 sqrt(5) C, W_2 = 1 - 3 W_1 / b, W_1 = coth b - 1 / b.
    const double c = 1e-10;
    std::ostringstream text;
    text.precision(17);
    text << kRadius << ", " << kGm << ", 0.0, 2\n2 0 " << c << " 0.0\n";
    const std::string strPath = Write("change.txt", text.str());
    const double b = std::log(2.0) / (1.0 - std::cos(500e3 / kRadius));
    const double w1 = 1.0 / std::tanh(b) - 1.0 / b, w2 = 1.0 - 3.0 * w1 / b;
    const double dExpected = kRadius * 5517.0 / 3000.0 * 5.0 / (1.0 - 0.303) * w2 * std::sqrt(5.0) * c;

    const Job job = PlanJob(RequestOf(
        {{"--coeffs", strPath}, {"--quantity", "ewh"}, {"--at", "0,0"}, {"--smooth-radius", "500"}}));
    std::vector<std::string> aWarnings;
    const Job smoothed = WithFileField(job, aWarnings);
    ASSERT_EQ(smoothed.field.aTerms.size(), 1u);
    EXPECT_NEAR(smoothed.field.aTerms[0].c * std::sqrt(5.0), dExpected, 1e-12 * std::fabs(dExpected));
    // The same at the geodetic pole, where the sphere's point is the same.
    CRecordingHooks hooks;
    RunGeodetic(PlanJob(RequestOf({{"--coeffs", strPath},
                                   {"--quantity", "ewh"},
                                   {"--at-geodetic", "90,0,0"},
                                   {"--smooth-radius", "500"}})),
                hooks);
    EXPECT_NEAR(hooks.Numbers().at(0), dExpected, 1e-12 * std::fabs(dExpected));
}

TEST(GeodeticRequestTest, QuantitiesOfTheDisturbingPotentialNeedTheNormalFieldNamed)
{
    const auto errorOf = [](const char* pszQuantity, std::vector<std::pair<std::string, std::string>> aMore) {
        aMore.insert(aMore.end(),
                     {{"--coeffs", "model.gfc"}, {"--quantity", pszQuantity}, {"--values", "v.npy"}});
        try
        {
            PlanJob(RequestOf(aMore));
        }
        catch (const RequestError& error)
        {
            return std::string(error.what());
        }
        return std::string();
    };
    EXPECT_EQ(errorOf("geoid", {}),
              "--quantity geoid is of the disturbing potential: give --remove-normal GRS80 or WGS84, or "
              "--remove-normal none for a model of the disturbing potential");
    for (const char* pszName :
         {"height-anomaly", "gravity-disturbance", "gravity-anomaly", "deflection-north", "deflection-east"})
        EXPECT_NE(errorOf(pszName, {}), "") << pszName;
    EXPECT_EQ(errorOf("geoid", {{"--remove-normal", "none"}}), "");
    EXPECT_EQ(errorOf("geoid", {{"--remove-normal", "WGS84"}}), "");
    EXPECT_EQ(errorOf("gravity-north", {}), "");
    EXPECT_EQ(errorOf("potential", {}), "");
    EXPECT_EQ(errorOf("X", {{"--remove-normal", "none"}}),
              "--remove-normal removes a gravity model's normal field: it does not go with --quantity X");
    EXPECT_EQ(errorOf("D", {{"--secular-variation", ""}}), "");
    EXPECT_EQ(errorOf("Br", {{"--secular-variation", ""}}),
              "--secular-variation gives the yearly change of a magnetic element: it needs --quantity X, Y, "
              "Z, H, F, D or I, not Br");
    EXPECT_EQ(errorOf("geoid", {{"--remove-normal", "WGS84"}, {"--at-geodetic", "10,20,5"}}),
              "--quantity geoid lies on the ellipsoid: its places need the height 0 (height-anomaly is T / "
              "gamma at a height)");
    EXPECT_NE(errorOf("D", {{"--stats", ""}}), "");
    EXPECT_EQ(ParseGeodeticPlace("--at-geodetic", "-33.5,151.25,120").dLongitude, 151.25);
    EXPECT_THROW(ParseGeodeticPlace("--at-geodetic", "91,0,0"), RequestError);
    EXPECT_EQ(ParseDegreeGrid("--grid", "degrees:-80,80,0,240,40").dStep, 40.0);
    EXPECT_THROW(ParseDegreeGrid("--grid", "degrees:80,-80,0,240,40"), RequestError);
    EXPECT_THROW(ParseDegreeGrid("--grid", "-80,80,0,240,40"), RequestError);
}

class GeodeticRunTest : public CFileFolderTest
{
};

TEST_F(GeodeticRunTest, WorldMagneticModelAtPlacesOnAGridAndAsAMap)
{
    // The WMM2025 report's test values at 2025.0 and 0 km: X at 80 N 0 E, 0 N 120 E and 80 S 240 E
    // (6521.6, 39677.8 and 6117.5 nT), and D's yearly change at the first (0.52 deg/yr).
    const std::string strValues = (m_folder / "x.csv").string();
    const Job job = PlanJob(RequestOf({{"--coeffs", LOBARA_GEODESY_DATA "/WMM2025.COF"},
                                       {"--quantity", "X"},
                                       {"--epoch", "2025-01-01"},
                                       {"--values", strValues},
                                       {"--at-geodetic", "80,0,0"},
                                       {"--at-geodetic", "0,120,0"},
                                       {"--at-geodetic", "-80,240,0"},
                                       {"--grid", "degrees:-80,80,0,240,40"}}));
    ASSERT_TRUE(UsesGeodeticRun(job));
    CRecordingHooks hooks;
    RunGeodetic(job, hooks);
    const std::vector<double> aPrinted = hooks.Numbers();
    ASSERT_EQ(aPrinted.size(), 3u);
    EXPECT_NEAR(aPrinted[0], 6521.6, 0.05);
    EXPECT_NEAR(aPrinted[1], 39677.8, 0.05);
    EXPECT_NEAR(aPrinted[2], 6117.5, 0.05);
    // The CSV's rows by latitude and longitude: 5 x 7 of them.
    std::ifstream csv(strValues);
    std::string strLine;
    std::getline(csv, strLine);
    EXPECT_EQ(strLine, "latitude,longitude,value");
    int nRows = 0;
    for (; std::getline(csv, strLine); ++nRows)
    {
        double dLatitude = 0.0, dLongitude = 0.0, dValue = 0.0;
        char c1 = 0, c2 = 0;
        std::istringstream(strLine) >> dLatitude >> c1 >> dLongitude >> c2 >> dValue;
        if (dLatitude == 80.0 && dLongitude == 0.0)
        {
            EXPECT_NEAR(dValue, 6521.6, 0.05);
        }
        if (dLatitude == 0.0 && dLongitude == 120.0)
        {
            EXPECT_NEAR(dValue, 39677.8, 0.05);
        }
        if (dLatitude == -80.0 && dLongitude == 240.0)
        {
            EXPECT_NEAR(dValue, 6117.5, 0.05);
        }
    }
    EXPECT_EQ(nRows, 35);

    // The secular variation of D, and a map of it, whose picture the hooks take.
    const Job mapJob = PlanJob(RequestOf({{"--coeffs", LOBARA_GEODESY_DATA "/WMM2025.COF"},
                                          {"--quantity", "D"},
                                          {"--epoch", "2025-01-01"},
                                          {"--map", "equirect"},
                                          {"--out", (m_folder / "d.png").string()},
                                          {"--at-geodetic", "80,0,0"},
                                          {"--secular-variation", ""}}));
    CRecordingHooks mapHooks;
    RunGeodetic(mapJob, mapHooks);
    EXPECT_NEAR(mapHooks.Numbers().at(0), 0.52, 0.005);
    EXPECT_EQ(mapHooks.m_nPictureWidth, kDefaultPictureWidth);
}

}  // namespace
