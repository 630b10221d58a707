// The readers of HEALPix maps and alm against small files healpy 1.16 wrote (tests/fields/data,
// made by write_map and write_alm from values given by formulas), and bad files refused with one
// line naming the file.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "fields/coefficient_file.h"
#include "fields/fits_alm_file.h"
#include "fields/healpix_map_file.h"
#include "sht/convention.h"

namespace {

std::string DataPath(const char* pszName)
{
    return std::string(LOBARA_FIELDS_DATA) + "/" + pszName;
}

std::string ReadBytes(const std::string& strPath)
{
    std::ifstream file(strPath, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

std::string WriteBytes(const char* pszName, const std::string& strBytes)
{
    const std::string strPath = ::testing::TempDir() + pszName;
    std::ofstream(strPath, std::ios::binary) << strBytes;
    return strPath;
}

// The one-line message of a reader's failure.
template <typename Read>
std::string Failure(Read read)
{
    try
    {
        read();
    }
    catch (const std::runtime_error& error)
    {
        return error.what();
    }
    return "no failure";
}

TEST(HealpixMapFile, ReadsHealpysRingMap)
{
    // write_map of r + 0.5 at each RING pixel r of Nside 2, float32, unit K.
    const HealpixMap map = ReadHealpixMapFile(DataPath("healpix_ring_float32.fits"));
    EXPECT_EQ(map.nNside, 2);
    EXPECT_FALSE(map.bNested);
    ASSERT_EQ(map.aColumns.size(), 1u);
    EXPECT_EQ(map.aColumns[0].strName, "T");
    EXPECT_EQ(map.aColumns[0].strUnit, "K");
    EXPECT_EQ(map.aColumns[0].cForm, 'E');
    ASSERT_EQ(map.aColumns[0].aValues.size(), 48u);
    for (size_t r = 0; r < 48; ++r)
        EXPECT_EQ(map.aColumns[0].aValues[r], static_cast<double>(r) + 0.5);
}

TEST(HealpixMapFile, ReordersHealpysNestedMapIntoRings)
{
    // The maps r + 0.5, -(r + 0.5) and 2 (r + 0.5) at RING pixel r, reordered to NESTED by
    // healpy.reorder and written with nest=True.
    const HealpixMap map = ReadHealpixMapFile(DataPath("healpix_nested_iqu.fits"));
    EXPECT_FALSE(map.bNested);
    ASSERT_EQ(map.aColumns.size(), 3u);
    EXPECT_EQ(map.aColumns[1].strName, "Q_POLARISATION");
    for (size_t r = 0; r < 48; ++r)
    {
        const double d = static_cast<double>(r) + 0.5;
        EXPECT_EQ(map.aColumns[0].aValues[r], d);
        EXPECT_EQ(map.aColumns[1].aValues[r], -d);
        EXPECT_EQ(map.aColumns[2].aValues[r], 2.0 * d);
    }
    // Chosen columns, by name and place, in the file's own order.
    const HealpixMap chosen =
        ReadHealpixMapFile(DataPath("healpix_nested_iqu.fits"), {{0, "u_polarisation"}, {0, ""}}, true);
    EXPECT_TRUE(chosen.bNested);
    ASSERT_EQ(chosen.aColumns.size(), 2u);
    EXPECT_EQ(chosen.aColumns[0].strName, "U_POLARISATION");
    EXPECT_EQ(chosen.aColumns[1].aValues[0], 13.5);  // NESTED pixel 0 is RING pixel 13
}

TEST(FitsAlmFile, ReadsHealpysAlm)
{
    // a_lm = l + m / 2 + i m / 4 for lmax 3, all orders and orders up to 1.
    for (const int32_t nMmax : {3, 1})
    {
        const HealpixAlm alm =
            ReadFitsAlm(DataPath(nMmax == 3 ? "healpix_alm.fits" : "healpix_alm_mmax1.fits"), {1});
        EXPECT_EQ(alm.nLmax, 3);
        EXPECT_EQ(alm.nMmax, nMmax);
        EXPECT_FALSE(alm.bSingle);
        ASSERT_EQ(alm.aComponents.size(), 1u);
        size_t i = 0;
        for (int32_t m = 0; m <= nMmax; ++m)
            for (int32_t l = m; l <= 3; ++l, ++i)
                EXPECT_EQ(alm.aComponents[0][i], std::complex<double>(l + 0.5 * m, 0.25 * m))
                    << l << " " << m;
        EXPECT_EQ(i, alm.aComponents[0].size());
    }
}

TEST(FitsAlmFile, ReadsAFileWhoseLastRecordIsCutShort)
{
    // The 10 rows of 20 bytes from byte 5760, the record's padding after them left out: the same
    // alm as the whole file's.
    const std::string strPath = DataPath("healpix_alm.fits");
    const HealpixAlm whole = ReadFitsAlm(strPath, {1});
    const HealpixAlm cut =
        ReadFitsAlm(WriteBytes("unpadded.fits", ReadBytes(strPath).substr(0, 5760 + 200)), {1});
    EXPECT_EQ(cut.aComponents, whole.aComponents);
    EXPECT_NE(Failure([&] {
                  ReadFitsAlm(WriteBytes("cut.fits", ReadBytes(strPath).substr(0, 5760 + 199)), {1});
              }).find("the table is truncated"),
              std::string::npos);
}

TEST(FitsAlmFile, IsTheRealFieldOfHealpysAlm)
{
    // Re a_l0 for Y(l, 0), sqrt(2) Re a_lm for Y(l, m), -sqrt(2) Im a_lm for Y(l, -m), in
    // ortho with the phase.
    const CoefficientFile file = ReadCoefficientFile(DataPath("healpix_alm.fits"), 2);
    EXPECT_EQ(file.GetConvention(), (Convention{Normalization::kOrtho, true, SineSign::kStandard}));
    std::vector<Term> aExpected;
    for (int32_t l = 0; l <= 2; ++l)
        for (int32_t m = -l; m <= l; ++m)
        {
            const double c = m == 0  ? l
                             : m > 0 ? std::sqrt(2.0) * (l + 0.5 * m)
                                     : -std::sqrt(2.0) * (-0.25 * m);
            if (c != 0.0)
                aExpected.push_back(Term{l, m, c});
        }
    ASSERT_EQ(file.aTerms.size(), aExpected.size());
    for (size_t i = 0; i < aExpected.size(); ++i)
    {
        EXPECT_EQ(file.aTerms[i].l, aExpected[i].l);
        EXPECT_EQ(file.aTerms[i].m, aExpected[i].m);
        EXPECT_DOUBLE_EQ(file.aTerms[i].c, aExpected[i].c);
    }
}

TEST(HealpixFiles, BadFilesGetOneLine)
{
    const std::string strMap = ReadBytes(DataPath("healpix_ring_float32.fits"));
    const std::string strAlm = ReadBytes(DataPath("healpix_alm.fits"));
    // A header card replaced: each 80 bytes, the table's header from byte 2880.
    const auto WithCard = [](std::string strBytes, const std::string& strKey, const std::string& strCard) {
        const size_t nAt = strBytes.find(strKey, 2880);
        std::string strPadded = strCard;
        strPadded.resize(80, ' ');
        return strBytes.replace(nAt, 80, strPadded);
    };
    const struct
    {
        const char* pszName;
        std::string strBytes;
        const char* pszFault;
    } aCases[] = {
        {"text.fits", "1 1 0.5 0.5\n", "not a FITS file"},
        {"truncated.fits", strMap.substr(0, 2880 + 2880 + 100), "the table is truncated"},
        {"header-only.fits", strMap.substr(0, 2880), "no unit 1"},
        {"no-nside.fits", WithCard(strMap, "NSIDE   =", "COMMENT"), "no NSIDE"},
        {"nside-3.fits", WithCard(strMap, "NSIDE   =", "NSIDE   =                    3"),
         "holds 48 values, not the 12 Nside^2 = 108 of NSIDE 3"},
        {"nside-0.fits", WithCard(strMap, "NSIDE   =", "NSIDE   =                    0"), "NSIDE is 0"},
        {"nside-text.fits", WithCard(strMap, "NSIDE   =", "NSIDE   = 'two'"), "not a whole number"},
        {"ordering.fits", WithCard(strMap, "ORDERING=", "ORDERING= 'SPIRAL'"), "neither RING nor NESTED"},
        {"partial.fits", WithCard(strMap, "INDXSCHM=", "INDXSCHM= 'EXPLICIT'"), "partial-sky"},
        {"lastpix.fits", WithCard(strMap, "LASTPIX =", "LASTPIX =                   40"), "partial"},
        // A column's name unquoted, as long as a card holds: cfitsio would copy it past its room.
        {"unquoted-name.fits", WithCard(strMap, "TTYPE1  =", "TTYPE1  = " + std::string(70, 'c')),
         "card 45 names a column (TTYPEn) by other than a quoted string"},
    };
    for (const auto& bad : aCases)
    {
        const std::string strPath = WriteBytes(bad.pszName, bad.strBytes);
        const std::string strFailure = Failure([&] { ReadHealpixMapFile(strPath); });
        EXPECT_NE(strFailure.find("cannot read '" + strPath + "': "), std::string::npos) << strFailure;
        EXPECT_NE(strFailure.find(bad.pszFault), std::string::npos) << strFailure;
        EXPECT_EQ(strFailure.find('\n'), std::string::npos);
    }
    // The alm file's first index (1, of l = 0 and m = 0) made 0, and another row's made the
    // same as the first: both big-endian int32 at the table's start, 20 bytes a row.
    std::string strZero = strAlm;
    strZero[5760 + 3] = 0;
    EXPECT_NE(
        Failure([&] { ReadFitsAlm(WriteBytes("index0.fits", strZero), {1}); }).find("index 0 is below 1"),
        std::string::npos);
    std::string strTwice = strAlm;
    strTwice[5760 + 20 + 3] = 1;
    EXPECT_NE(Failure([&] { ReadFitsAlm(WriteBytes("twice.fits", strTwice), {1}); }).find("twice"),
              std::string::npos);
    EXPECT_NE(Failure([&] { ReadFitsAlm(DataPath("healpix_alm.fits"), {2}); }).find("no unit 2"),
              std::string::npos);
    EXPECT_NE(Failure([&] { ReadFitsAlm(DataPath("healpix_ring_float32.fits"), {1}); }).find("not the three"),
              std::string::npos);
}

}  // namespace
