#include "export/cube_writer.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace {

// The layout readers expect: two comment lines (a line break in one cut off there), the atom count
// with the origin, each axis's count and step, each atom, then the values in runs along the third
// axis, six to a line, each run starting a line; every number read back as written.
TEST(CubeWriter, LinesAndRuns)
{
    CubeHeader header;
    header.strTitle = "title\nsecond line";
    header.strComment = "comment";
    header.aOrigin = {-1.5, 0.25, 1e-17};
    header.anCount = {2, 1, 7};
    header.aaStep = {{{0.1, 0.0, 0.0}, {0.0, 0.2, 0.0}, {0.0, 0.0, 1.0 / 3.0}}};
    header.aAtoms = {CubeHeader::Atom{2, 2.5, {0.0, -0.5, 0.75}}};
    std::vector<double> aValues;
    for (int k = 0; k < 14; ++k)
        aValues.push_back((k % 2 ? -1.0 : 1.0) * k / 3.0 * 1e-7);
    CMemorySink sink;
    {
        COutputStream stream(sink, "test.cube");
        WriteCube(stream, header, aValues);
        stream.Flush();
    }
    std::istringstream text(sink.GetBytes());
    std::string strLine;
    std::getline(text, strLine);
    EXPECT_EQ(strLine, "title");
    std::getline(text, strLine);
    EXPECT_EQ(strLine, "comment");
    int n = 0;
    double a = 0.0, b = 0.0, c = 0.0, d = 0.0;
    text >> n >> a >> b >> c;
    EXPECT_EQ(n, 1);
    EXPECT_EQ(a, -1.5);
    EXPECT_EQ(c, 1e-17);
    for (int nAxis = 0; nAxis < 3; ++nAxis)
    {
        text >> n >> a >> b >> c;
        EXPECT_EQ(n, header.anCount[nAxis]);
        EXPECT_EQ(nAxis == 0 ? a : nAxis == 1 ? b : c, header.aaStep[nAxis][nAxis]);
    }
    text >> n >> a >> b >> c >> d;
    EXPECT_EQ(n, 2);
    EXPECT_EQ(a, 2.5);
    EXPECT_EQ(d, 0.75);
    std::getline(text, strLine);
    // Two runs of seven: six and one on a line each.
    std::vector<size_t> aCounts;
    std::vector<double> aRead;
    while (std::getline(text, strLine))
    {
        std::istringstream line(strLine);
        size_t nCount = 0;
        for (double v; line >> v; ++nCount)
            aRead.push_back(v);
        aCounts.push_back(nCount);
    }
    EXPECT_EQ(aCounts, (std::vector<size_t>{6, 1, 6, 1}));
    EXPECT_EQ(aRead, aValues);
}

}  // namespace
