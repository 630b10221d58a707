// The spectrum's CSV against its rows written out by hand.
#include "export/degree_power_writer.h"

#include <gtest/gtest.h>

namespace {

TEST(SpectrumWriter, WritesAHeaderAndARowPerDegree)
{
    CMemorySink sink;
    COutputStream stream(sink, "memory");
    WriteSpectrumCsv(stream, {DegreePower{0, 0.0, 0.0, 0.0}, DegreePower{1, 0.3, 0.1, 0.3}});
    stream.Flush();
    EXPECT_EQ(sink.GetBytes(),
              "l,power,power_per_coefficient,cumulative_power\n"
              "0,0,0,0\n"
              "1,0.29999999999999999,0.10000000000000001,0.29999999999999999\n");
}

}  // namespace
