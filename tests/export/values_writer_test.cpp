// The values written as CSV on each grid, read back by --analyze's reader of that grid, which
// checks every theta and phi against the grid's own.
#include "export/values_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "fields/csv_values.h"

TEST(ValuesWriter, CsvRowsCarryTheThetasOfTheirGrid)
{
    const int32_t nT = 5, nP = 10;
    DoubleArray aValues;
    aValues.SetSize(nT * nP);
    for (int32_t k = 0; k < nT * nP; ++k)
        aValues[k] = 0.1 * k - 1.0;
    const std::string strPath = (std::filesystem::path(testing::TempDir()) / "values-writer.csv").string();
    for (SampleGrid grid : {SampleGrid::kLobara, SampleGrid::kCells, SampleGrid::kDh, SampleGrid::kGl})
    {
        CMemorySink sink;
        COutputStream stream(sink, strPath);
        WriteValues(stream, aValues, ValuesFormat::kCsv, nT, nP, nullptr, grid);
        stream.Flush();
        std::ofstream(strPath, std::ios::binary) << sink.GetBytes();
        const GridValues read = ReadCsvGridValues(strPath, grid);
        EXPECT_EQ(read.nT, nT) << SampleGridName(grid);
        EXPECT_EQ(read.nP, nP) << SampleGridName(grid);
        ASSERT_EQ(read.aValues.size(), static_cast<size_t>(nT * nP));
        for (int32_t k = 0; k < nT * nP; ++k)
            EXPECT_EQ(read.aValues[static_cast<size_t>(k)], aValues[k]);
        // Another grid's thetas are not these.
        const SampleGrid other = grid == SampleGrid::kCells ? SampleGrid::kGl : SampleGrid::kCells;
        EXPECT_THROW(ReadCsvGridValues(strPath, other), std::runtime_error) << SampleGridName(grid);
    }
    std::remove(strPath.c_str());
}
