// The readers of sampled values against files written byte by byte as NumPy and --values write
// them, and each kind of bad file refused with one line.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <future>
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

// Arrays of one dimension (a HEALPix map) and of two, their values as they are, NaN included; the
// grid readers take only two.
TEST(ValuesReaders, ReadNumPyArraysOfOneOrTwoDimensions)
{
    const std::vector<double> aValues = {1.5, -2.0, 0.25, -1.6375e30, 3.0, -0.0};
    const NpyArray line = ReadNpyArray(
        Write("a.npy", Npy("{'descr': '<f8', 'fortran_order': False, 'shape': (6,), }", aValues)));
    EXPECT_EQ(line.anShape, (std::vector<int64_t>{6}));
    EXPECT_EQ(line.aValues, aValues);
    const NpyArray rows = ReadNpyArray(Write(
        "a.npy", Npy("{'descr': '<f8', 'fortran_order': False, 'shape': (3, 2), }", {1, 2, NAN, 4, 5, 6})));
    EXPECT_EQ(rows.anShape, (std::vector<int64_t>{3, 2}));
    EXPECT_TRUE(std::isnan(rows.aValues[2]));
    EXPECT_NE(ErrorOf([&] {
                  ReadNpyValues(Write(
                      "a.npy", Npy("{'descr': '<f8', 'fortran_order': False, 'shape': (6,), }", aValues)));
              }).find("(6,)"),
              std::string::npos);
    for (const char* pszShape : {"()", "(0,)", "(,6)", "(6,,)"})
        EXPECT_NE(ErrorOf([&] {
                      ReadNpyArray(Write("a.npy", Npy(std::string("{'descr': '<f8', 'fortran_order': False, "
                                                                  "'shape': ") +
                                                          pszShape + ", }",
                                                      aValues)));
                  }),
                  "")
            << pszShape;
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

// A shape whose bytes overflow 64 bits (8 x 1263665316 x 1824726041 is 32 modulo 2^64), and sizes
// one byte off, are refused by what the file holds, before anything is allocated.
TEST(ValuesReaders, RefuseShapesTheBytesDoNotHold)
{
    const std::string strHuge =
        "{'descr': '<f8', 'fortran_order': False, 'shape': (1263665316, 1824726041), }";
    EXPECT_NE(ErrorOf([&] { ReadNpyValues(Write("h.npy", Npy(strHuge, {1, 2, 3, 4}))); }), "");
    EXPECT_NE(ErrorOf([&] {
                  ReadRawValues(Write("h.bin", Doubles({1, 2, 3, 4})), 1263665316, 1824726041);
              }),
              "");
    EXPECT_NE(ErrorOf([&] { ReadRawValues(Write("h.bin", ""), INT32_MAX, INT32_MAX); }), "");

    // One byte too many: the message tells bytes, not a count of values equal to the shape's.
    const std::string strDict = "{'descr': '<f8', 'fortran_order': False, 'shape': (2, 3), }";
    const std::string strLong =
        ErrorOf([&] { ReadNpyValues(Write("l.npy", Npy(strDict, std::vector<double>(6, 1.0)) + "x")); });
    EXPECT_NE(strLong.find("49 bytes of values, not the 6 doubles of shape (2,3)"), std::string::npos)
        << strLong;
    EXPECT_NE(ErrorOf([&] { ReadRawValues(Write("l.bin", Doubles({1, 2, 3, 4, 5, 6}) + "x"), 2, 3); }), "");
}

// A key written twice would be read by NumPy with its last value: refused, whichever comes first.
TEST(ValuesReaders, RefuseNumPyHeadersWithARepeatedKey)
{
    const std::vector<double> aSix(6, 1.0);
    for (const char* pszDict :
         {"{'descr': '<f8', 'fortran_order': False, 'shape': (2, 3), 'shape': (3, 2), }",
          "{'descr': '<f4', 'descr': '<f8', 'fortran_order': False, 'shape': (2, 3), }",
          "{'fortran_order': True, 'descr': '<f8', 'fortran_order': False, 'shape': (2, 3), }"})
    {
        const std::string strError = ErrorOf([&] { ReadNpyValues(Write("r.npy", Npy(pszDict, aSix))); });
        EXPECT_NE(strError.find("more than once"), std::string::npos) << pszDict << ": " << strError;
    }
}

// Every reader refuses at once what is not a regular file, as the coefficient readers do: a FIFO
// without a writer (which would block in open), a device, a folder, and a path with a NUL byte
// (which the system would cut there).
TEST(ValuesReaders, RefuseWhatIsNotARegularFileAtOnce)
{
    const std::string strFifo = TestPath("values.fifo");
    std::remove(strFifo.c_str());
    ASSERT_EQ(mkfifo(strFifo.c_str(), 0600), 0);
    const std::vector<std::pair<std::string, std::function<void(const std::string&)>>> aReaders = {
        {"npy", [](const std::string& s) { ReadNpyValues(s); }},
        {"raw", [](const std::string& s) { ReadRawValues(s, 2, 3); }},
        {"csv grid", [](const std::string& s) { ReadCsvGridValues(s, SampleGrid::kLobara); }},
        {"csv points", [](const std::string& s) { ReadCsvPoints(s); }},
    };
    const std::string strNul =
        Write("v.npy", Npy("{'descr': '<f8', 'fortran_order': False, 'shape': (1, 1), }", {1}));
    for (const auto& [strReader, read] : aReaders)
    {
        std::future<std::string> error = std::async(
            std::launch::async, [&, pRead = &read] { return ErrorOf([&] { (*pRead)(strFifo); }); });
        if (error.wait_for(std::chrono::seconds(10)) != std::future_status::ready)
        {
            ADD_FAILURE() << strReader << " waits for a writer of the FIFO";
            std::ofstream(strFifo) << "";  // lets it go on
        }
        EXPECT_NE(error.get().find("not a regular file"), std::string::npos) << strReader;
        EXPECT_NE(ErrorOf([&] { read("/dev/zero"); }).find("not a regular file"), std::string::npos)
            << strReader;
        EXPECT_NE(ErrorOf([&] { read(::testing::TempDir()); }).find("it is a folder"), std::string::npos)
            << strReader;
        EXPECT_NE(ErrorOf([&] { read(strNul + std::string(1, '\0') + "junk"); }).find("NUL"),
                  std::string::npos)
            << strReader;
    }
    std::remove(strFifo.c_str());
}
