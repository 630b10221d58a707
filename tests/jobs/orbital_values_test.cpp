#include "jobs/orbital_values.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include "options/request_error.h"

namespace {

// The hooks of a run kept for the test: what it printed, and its steps' progress.
class CRecordingHooks : public IRunHooks
{
public:
    void BeginStep(const std::string& strWhat) override { aSteps.push_back(strWhat); }
    void Advance(long long nDone, long long nTotal) override
    {
        nLastDone = nDone;
        nLastTotal = nTotal;
    }
    void EndStep() override {}
    void Print(const std::string& strText) override { strPrinted += strText; }
    void Warn(const std::string&) override {}
    void Note(const std::string&) override {}

    std::vector<std::string> aSteps;
    std::string strPrinted;
    long long nLastDone = 0, nLastTotal = 0;
};

// A folder of its own for the files of a test, removed with them.
class CFolder
{
public:
    CFolder()
    {
        char acName[] = "/tmp/orbital-values-XXXXXX";
        m_strPath = mkdtemp(acName);
    }
    ~CFolder()
    {
        for (const std::string& strName : m_aNames)
            std::remove((m_strPath + "/" + strName).c_str());
        rmdir(m_strPath.c_str());
    }
    std::string Path(const std::string& strName)
    {
        m_aNames.push_back(strName);
        return m_strPath + "/" + strName;
    }

private:
    std::string m_strPath;
    std::vector<std::string> m_aNames;
};

std::string ReadFile(const std::string& strPath)
{
    std::ifstream file(strPath, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

HydrogenOrbital Orbital(int n, int l, int m, double Z = 1.0)
{
    HydrogenOrbital orbital;
    orbital.numbers = {n, l, m, Z};
    return orbital;
}

// psi of 2p_z in closed form: Z^(3/2) / (2 sqrt6) Zr e^(-Zr/2) sqrt(3 / 4pi) z / r.
double Psi2pz(double Z, double x, double y, double z)
{
    const double r = std::sqrt(x * x + y * y + z * z);
    return std::pow(Z, 1.5) / (2.0 * std::sqrt(6.0)) * Z * std::exp(-Z * r / 2.0) *
           std::sqrt(3.0 / (4.0 * M_PI)) * z;
}

// --at prints psi of each point, one line each, in the digits that read back as the same double;
// |psi|^2 with the density; a complex orbital's real and imaginary parts.
TEST(OrbitalValues, PointsPrintPsi)
{
    OrbitalValuesJob values;
    values.aAt = {{0.3, -1.2, 2.5}, {0.0, 0.0, 0.0}, {4.0, 1.0, -7.0}};
    CRecordingHooks hooks;
    RunOrbitalValues(Orbital(2, 1, 0, 1.5), values, hooks);
    std::istringstream lines(hooks.strPrinted);
    for (const std::array<double, 3>& p : values.aAt)
    {
        double d = 0.0;
        ASSERT_TRUE(lines >> d);
        EXPECT_NEAR(d, Psi2pz(1.5, p[0], p[1], p[2]), 1e-15);
    }
    values.quantity = OrbitalQuantity::kDensity;
    CRecordingHooks density;
    RunOrbitalValues(Orbital(2, 1, 0, 1.5), values, density);
    std::istringstream squares(density.strPrinted);
    for (const std::array<double, 3>& p : values.aAt)
    {
        double d = 0.0;
        ASSERT_TRUE(squares >> d);
        EXPECT_NEAR(d, std::pow(Psi2pz(1.5, p[0], p[1], p[2]), 2), 1e-16);
    }
    // psi(2, 1, 1) of the complex harmonics: R21 sqrt(3 / 8pi) sin theta e^(i phi), no phase.
    HydrogenOrbital complex = Orbital(2, 1, 1);
    complex.bComplex = true;
    values.quantity = OrbitalQuantity::kPsi;
    values.aAt = {{1.0, 2.0, 0.5}};
    CRecordingHooks parts;
    RunOrbitalValues(complex, values, parts);
    double re = 0.0, im = 0.0;
    std::istringstream(parts.strPrinted) >> re >> im;
    const double r = std::sqrt(1.0 + 4.0 + 0.25), R = r * std::exp(-r / 2.0) / (2.0 * std::sqrt(6.0));
    EXPECT_NEAR(re, R * std::sqrt(3.0 / (8.0 * M_PI)) * 1.0 / r, 1e-15);
    EXPECT_NEAR(im, R * std::sqrt(3.0 / (8.0 * M_PI)) * 2.0 / r, 1e-15);
}

// The box's values go to a NumPy file of shape (N, N, N), z fastest, each psi at its point, and
// the cube file holds the same numbers after its header; the box reaches the radius that holds
// 99.9 % of the radial probability.
TEST(OrbitalValues, BoxFiles)
{
    CFolder folder;
    OrbitalValuesJob values;
    values.nBoxSide = 5;
    values.strValuesPath = folder.Path("box.npy");
    values.strCubePath = folder.Path("box.cube");
    CRecordingHooks hooks;
    const HydrogenOrbital orbital = Orbital(2, 1, 0);
    RunOrbitalValues(orbital, values, hooks);
    const OrbitalBox box = OrbitalBoxOf(orbital, 5);
    const std::string strNpy = ReadFile(values.strValuesPath);
    ASSERT_GE(strNpy.size(), 128u + 125 * 8);
    EXPECT_NE(strNpy.find("'shape': (5, 5, 5)"), std::string::npos);
    const size_t nData = strNpy.size() - 125 * 8;
    for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 5; ++j)
            for (int k = 0; k < 5; ++k)
            {
                double d = 0.0;
                std::memcpy(&d, strNpy.data() + nData + 8 * (25 * i + 5 * j + k), 8);
                EXPECT_NEAR(d, Psi2pz(1.0, box.Coordinate(i), box.Coordinate(j), box.Coordinate(k)), 1e-15);
            }
    // The radius within which R21^2 r^2 integrates to 0.999, 1 - e^-r (1 + r + r^2/2 + r^3/6 + r^4/24),
    // 14.794149 a0 by SciPy's brentq, reached in steps of n^2 / 64 = 1/16.
    EXPECT_GE(box.dHalfWidth, 14.794149);
    EXPECT_LE(box.dHalfWidth, 14.794149 + 1.0 / 16.0);
    std::istringstream cube(ReadFile(values.strCubePath));
    std::string strTitle, strComment;
    std::getline(cube, strTitle);
    std::getline(cube, strComment);
    EXPECT_NE(strTitle.find("psi(2,1,0)"), std::string::npos);
    int nAtoms = 0, nCount = 0, nNumber = 0;
    double aOrigin[3], aStep[3][3], dCharge, aAt[3];
    cube >> nAtoms >> aOrigin[0] >> aOrigin[1] >> aOrigin[2];
    EXPECT_EQ(nAtoms, 1);
    EXPECT_EQ(aOrigin[0], -box.dHalfWidth);
    for (auto& aAxis : aStep)
    {
        cube >> nCount >> aAxis[0] >> aAxis[1] >> aAxis[2];
        EXPECT_EQ(nCount, 5);
    }
    EXPECT_EQ(aStep[1][1], box.Step());
    EXPECT_EQ(aStep[1][0], 0.0);
    cube >> nNumber >> dCharge >> aAt[0] >> aAt[1] >> aAt[2];
    EXPECT_EQ(nNumber, 1);
    EXPECT_EQ(dCharge, 1.0);
    for (int q = 0; q < 125; ++q)
    {
        double d = 0.0, dNpy = 0.0;
        ASSERT_TRUE(cube >> d);
        std::memcpy(&dNpy, strNpy.data() + nData + 8 * q, 8);
        EXPECT_EQ(d, dNpy) << q;
    }
    EXPECT_EQ(hooks.nLastDone, 125);
    EXPECT_EQ(hooks.nLastTotal, 125);
}

// Values that cannot be given are refused with one line, and a file that cannot be written
// leaves the others unwritten.
TEST(OrbitalValues, RefusedOrNothingWritten)
{
    CFolder folder;
    HydrogenOrbital complex = Orbital(3, 2, 1);
    complex.bComplex = true;
    OrbitalValuesJob values;
    values.strCubePath = folder.Path("c.cube");
    CRecordingHooks hooks;
    EXPECT_THROW(RunOrbitalValues(complex, values, hooks), RequestError);
    values.quantity = OrbitalQuantity::kDensity;
    RunOrbitalValues(complex, values, hooks);
    values.nBoxSide = kMaxBoxSide + 1;
    EXPECT_THROW(RunOrbitalValues(complex, values, hooks), RequestError);
    values.nBoxSide = 1;
    EXPECT_THROW(RunOrbitalValues(complex, values, hooks), RequestError);
    OrbitalValuesJob point;
    point.aAt = {{0.0, NAN, 1.0}};
    EXPECT_THROW(RunOrbitalValues(complex, point, hooks), RequestError);

    OrbitalValuesJob both;
    both.nBoxSide = 4;
    both.strValuesPath = folder.Path("kept.csv");
    both.strCubePath = folder.Path("missing-folder") + "/x.cube";
    EXPECT_THROW(RunOrbitalValues(Orbital(1, 0, 0), both, hooks), std::runtime_error);
    EXPECT_NE(access(both.strValuesPath.c_str(), F_OK), 0);
}

}  // namespace
