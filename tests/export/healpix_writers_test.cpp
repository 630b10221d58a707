// The writers of HEALPix maps and alm against the files healpy 1.16 wrote of the same values
// (tests/fields/data): the same table bytes and the keywords healpy's readers look for.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <fstream>
#include <string>
#include <vector>

#include "export/fits_alm_writer.h"
#include "export/healpix_map_writer.h"
#include "export/output_stream.h"
#include "fields/fits_alm_file.h"
#include "fields/healpix_map_file.h"

namespace {

std::string HealpyFile(const char* pszName)
{
    std::ifstream file(std::string(LOBARA_FIELDS_DATA) + "/" + pszName, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

template <typename Write>
std::string Written(Write write)
{
    CMemorySink sink;
    COutputStream stream(sink, "test.fits");
    write(stream);
    stream.Flush();
    return sink.GetBytes();
}

// The card of a keyword in the table's header (the second block of 2880 bytes on).
std::string Card(const std::string& strFile, const std::string& strKey)
{
    for (size_t n = 2880; n + 80 <= strFile.size(); n += 80)
        if (strFile.compare(n, strKey.size(), strKey) == 0 && strFile[n + 8] == '=')
            return strFile.substr(n, 30);
    return "";
}

// The bytes of the first table's data: after the primary unit and the table's header block.
std::string TableData(const std::string& strFile, size_t nBytes)
{
    return strFile.substr(2 * 2880, nBytes);
}

TEST(HealpixMapWriter, WritesAsHealpyDoes)
{
    HealpixMap map;
    map.nNside = 2;
    HealpixMapColumn column{"T", "K", 'E', std::vector<double>(48)};
    for (size_t r = 0; r < 48; ++r)
        column.aValues[r] = static_cast<double>(r) + 0.5;
    map.aColumns.push_back(column);
    const std::string strOurs = Written([&](COutputStream& stream) { WriteHealpixMap(stream, map); });
    const std::string strHealpy = HealpyFile("healpix_ring_float32.fits");
    EXPECT_EQ(strOurs.size() % 2880, 0u);
    EXPECT_EQ(TableData(strOurs, 48 * 4), TableData(strHealpy, 48 * 4));
    for (const char* pszKey : {"NAXIS1", "NAXIS2", "TTYPE1", "TFORM1", "TUNIT1", "PIXTYPE", "ORDERING",
                               "EXTNAME", "NSIDE", "FIRSTPIX", "LASTPIX", "INDXSCHM", "OBJECT"})
        EXPECT_EQ(Card(strOurs, pszKey), Card(strHealpy, pszKey)) << pszKey;
}

TEST(HealpixMapWriter, WritesRowsOf1024AndNestedOrder)
{
    HealpixMap map;
    map.nNside = 16;
    map.bNested = true;
    map.aColumns.push_back(HealpixMapColumn{"I_STOKES", "", 'D', std::vector<double>(3072, 1.5)});
    const std::string strOurs = Written([&](COutputStream& stream) { WriteHealpixMap(stream, map); });
    EXPECT_EQ(Card(strOurs, "TFORM1"), "TFORM1  = '1024D   '          ");
    EXPECT_EQ(Card(strOurs, "NAXIS2"), "NAXIS2  =                    3");
    EXPECT_EQ(Card(strOurs, "ORDERING"), "ORDERING= 'NESTED  '          ");
    map.nNside = 3;
    map.aColumns[0].aValues.resize(108);
    EXPECT_THROW(Written([&](COutputStream& stream) { WriteHealpixMap(stream, map); }),
                 std::invalid_argument);
}

TEST(FitsAlmWriter, WritesAsHealpyDoes)
{
    // a_lm = l + m / 2 + i m / 4 of lmax 3, as healpy wrote them in full and up to mmax 1.
    HealpixAlm alm;
    alm.nLmax = 3;
    alm.nMmax = 3;
    std::vector<std::complex<double>> aAlm;
    for (int32_t m = 0; m <= 3; ++m)
        for (int32_t l = m; l <= 3; ++l)
            aAlm.emplace_back(l + 0.5 * m, 0.25 * m);
    alm.aComponents.push_back(aAlm);
    for (const int32_t nMmax : {3, 1})
    {
        const std::string strOurs =
            Written([&](COutputStream& stream) { WriteFitsAlm(stream, alm, 3, nMmax); });
        const std::string strHealpy = HealpyFile(nMmax == 3 ? "healpix_alm.fits" : "healpix_alm_mmax1.fits");
        const size_t nRows = nMmax == 3 ? 10 : 7;
        EXPECT_EQ(TableData(strOurs, 20 * nRows), TableData(strHealpy, 20 * nRows));
        for (const char* pszKey :
             {"NAXIS1", "NAXIS2", "TTYPE1", "TFORM1", "TUNIT1", "TTYPE2", "TFORM2", "TTYPE3"})
            EXPECT_EQ(Card(strOurs, pszKey), Card(strHealpy, pszKey)) << pszKey;
    }
}

TEST(FitsAlmWriter, WritesARealFieldAsHealpysAlm)
{
    // The terms of a_lm = l + m / 2 + i m / 4 in ortho with the phase: sqrt(2) Re a_lm for
    // Y(l, m), -sqrt(2) Im a_lm for Y(l, -m); back to the same a_lm but for the last bit of
    // sqrt(2) sqrt(1/2).
    Field field;
    field.convention = Convention{Normalization::kOrtho, true, SineSign::kStandard};
    for (int32_t l = 0; l <= 3; ++l)
        for (int32_t m = -l; m <= l; ++m)
        {
            const double c = m == 0  ? l
                             : m > 0 ? std::sqrt(2.0) * (l + 0.5 * m)
                                     : std::sqrt(2.0) * (0.25 * m);
            if (c != 0.0)
                field.aTerms.push_back(Term{l, m, c});
        }
    const std::string strPath = ::testing::TempDir() + "field_alm.fits";
    std::ofstream(strPath, std::ios::binary)
        << Written([&](COutputStream& stream) { WriteFitsAlmCoefficients(stream, field); });
    const HealpixAlm alm = ReadFitsAlm(strPath, {1});
    ASSERT_EQ(alm.nLmax, 3);
    size_t i = 0;
    for (int32_t m = 0; m <= 3; ++m)
        for (int32_t l = m; l <= 3; ++l, ++i)
        {
            EXPECT_NEAR(alm.aComponents[0][i].real(), l + 0.5 * m, 1e-15 * (l + 0.5 * m));
            EXPECT_NEAR(alm.aComponents[0][i].imag(), 0.25 * m, 1e-15 * m);
        }
}

}  // namespace
