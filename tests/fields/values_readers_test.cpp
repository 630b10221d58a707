// The readers of sampled values against files written byte by byte as NumPy and --values write
// them, and each kind of bad file refused with one line.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "fields/csv_values.h"
#include "fields/npy_values.h"
#include "fields/raw_values.h"

namespace {

std::string TestPath(const char* pszName)
{
    return ::testing::TempDir() + pszName;
}

std::string Write(const char* pszName, const std::string& strBytes)
{
    const std::string strPath = TestPath(pszName);
    std::ofstream(strPath, std::ios::binary) << strBytes;
    return strPath;
}

std::string Doubles(const std::vector<double>& aValues)
{
    std::string strBytes;
    for (double d : aValues)
    {
        uint64_t nBits;
        std::memcpy(&nBits, &d, sizeof nBits);
        for (int b = 0; b < 8; ++b)
            strBytes += static_cast<char>((nBits >> (8 * b)) & 0xff);
    }
    return strBytes;
}

// An .npy file of version 1.0 as numpy.save writes it: the dict padded with spaces to 64 bytes.
std::string Npy(const std::string& strDict, const std::vector<double>& aValues)
{
    std::string strHeader = strDict;
    strHeader.append(63 - (10 + strHeader.size()) % 64, ' ');
    strHeader += '\n';
    std::string strBytes("\x93NUMPY\x01\x00", 8);
    strBytes += static_cast<char>(strHeader.size() & 0xff);
    strBytes += static_cast<char>(strHeader.size() >> 8);
    return strBytes + strHeader + Doubles(aValues);
}

std::string ErrorOf(const std::function<void()>& read)
{
    try
    {
        read();
    }
    catch (const std::runtime_error& error)
    {
        return error.what();
    }
    return "";
}

}  // namespace

TEST(ValuesReaders, ReadNumPyRawAndCsvGrids)
{
    const std::vector<double> aValues = {1.5, -2.0, 0.25, 1e-300, 3.0, -0.0};
    const GridValues npy = ReadNpyValues(
        Write("v.npy", Npy("{'descr': '<f8', 'fortran_order': False, 'shape': (2, 3), }", aValues)));
    EXPECT_EQ(npy.nT, 2);
    EXPECT_EQ(npy.nP, 3);
    EXPECT_EQ(npy.aValues, aValues);
    const GridValues raw = ReadRawValues(Write("v.bin", Doubles(aValues)), 3, 2);
    EXPECT_EQ(raw.nT, 3);
    EXPECT_EQ(raw.aValues, aValues);
    // A lobara grid of 3 x 2 as --values writes it: pi / 2 = 1.5707963267948966.
    const GridValues csv =
        ReadCsvGridValues(Write("v.csv",
                                "theta,phi,value\n0,0,1\n0,3.1415926535897931,2\n1.5707963267948966,0,3\n"
                                "1.5707963267948966,3.1415926535897931,4\n3.1415926535897931,0,5\n3."
                                "1415926535897931,3.14159265358979,6\n"),
                          SampleGrid::kLobara);
    EXPECT_EQ(csv.nT, 3);
    EXPECT_EQ(csv.nP, 2);
    EXPECT_EQ(csv.aValues, (std::vector<double>{1, 2, 3, 4, 5, 6}));
    const std::vector<SamplePoint> aPoints =
        ReadCsvPoints(Write("p.csv", "theta,phi,value,weight\n0.5,1,2,3\n3,-1,4\n"));
    ASSERT_EQ(aPoints.size(), 2u);
    EXPECT_EQ(aPoints[0].dWeight, 3.0);
    EXPECT_EQ(aPoints[1].dWeight, 1.0);
    EXPECT_EQ(aPoints[1].dPhi, -1.0);
}

TEST(ValuesReaders, RefuseEachBadFileWithOneLine)
{
    const std::vector<double> aSix(6, 1.0);
    const std::vector<std::pair<std::string, std::function<void()>>> aCases = {
        {"float32",
         [&] {
             ReadNpyValues(
                 Write("b.npy", Npy("{'descr': '<f4', 'fortran_order': False, 'shape': (2, 3), }", aSix)));
         }},
        {"Fortran",
         [&] {
             ReadNpyValues(
                 Write("b.npy", Npy("{'descr': '<f8', 'fortran_order': True, 'shape': (2, 3), }", aSix)));
         }},
        {"3-D",
         [&] {
             ReadNpyValues(
                 Write("b.npy", Npy("{'descr': '<f8', 'fortran_order': False, 'shape': (1, 2, 3), }", aSix)));
         }},
        {"short",
         [&] {
             ReadNpyValues(
                 Write("b.npy", Npy("{'descr': '<f8', 'fortran_order': False, 'shape': (3, 3), }", aSix)));
         }},
        {"not npy", [&] { ReadNpyValues(Write("b.npy", "theta,phi,value\n")); }},
        {"NaN",
         [&] {
             ReadNpyValues(Write("b.npy", Npy("{'descr': '<f8', 'fortran_order': False, 'shape': (2, 3), }",
                                              {1, 2, NAN, 4, 5, 6})));
         }},
        {"raw size", [&] { ReadRawValues(Write("b.bin", Doubles(aSix)), 4, 2); }},
        {"raw inf",
         [&] {
             ReadRawValues(Write("b.bin", Doubles({1, INFINITY})), 1, 2);
         }},
        {"csv nan", [&] { ReadCsvPoints(Write("b.csv", "theta,phi,value\n1,1,nan\n")); }},
        {"csv theta", [&] { ReadCsvPoints(Write("b.csv", "1,1,1\n4,1,1\n")); }},
        {"csv weight", [&] { ReadCsvPoints(Write("b.csv", "1,1,1,0\n")); }},
        {"csv empty", [&] { ReadCsvPoints(Write("b.csv", "theta,phi,value\n")); }},
        {"csv not the grid",
         [&] {
             ReadCsvGridValues(
                 Write("b.csv", "0,0,1\n0,3.14159,2\n1.5707963267948966,0,3\n1.5707963267948966,3.14159,4\n"),
                 SampleGrid::kCells);
         }},
        {"csv rings",
         [&] { ReadCsvGridValues(Write("b.csv", "0,0,1\n0,3.14159,2\n1.57,0,3\n"), SampleGrid::kLobara); }},
        {"csv header", [&] { ReadCsvPoints(Write("b.csv", "x,y,z\n1,1,1\n")); }},
    };
    for (const auto& [strCase, read] : aCases)
    {
        const std::string strError = ErrorOf(read);
        EXPECT_NE(strError, "") << strCase;
        EXPECT_EQ(strError.find('\n'), std::string::npos) << strCase << ": " << strError;
    }
}
