// Reads any bytes as each kind of values file (.npy, raw doubles of a few shapes, CSV grids of
// every kind and scattered points): the readers may refuse them with a std::runtime_error and
// nothing else, never crash, hang, read out of bounds or ask for memory the file does not hold,
// and what they give is what they promise: nT x nP finite values, or points with theta in
// [0, pi], finite values and weights above 0.
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <system_error>

#include "fields/csv_values.h"
#include "fields/npy_values.h"
#include "fields/raw_values.h"
#include "fuzz_text.h"

namespace {

std::filesystem::path g_folder;

void RemoveFolder()
{
    std::error_code error;
    std::filesystem::remove_all(g_folder, error);
}

void CheckValues(const GridValues& values)
{
    if (values.nT <= 0 || values.nP <= 0 ||
        values.aValues.size() != static_cast<size_t>(values.nT) * static_cast<size_t>(values.nP))
        std::abort();
    for (const double d : values.aValues)
        if (!std::isfinite(d))
            std::abort();
}

template <typename Read>
void Try(Read read)
{
    try
    {
        read();
    }
    catch (const std::runtime_error&)
    {}
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (g_folder.empty())
    {
        g_folder = std::filesystem::temp_directory_path() / ("values-fuzz-" + std::to_string(getpid()));
        std::filesystem::create_directories(g_folder);
        std::atexit(RemoveFolder);
    }
    const std::string strPath = (g_folder / "input").string();
    std::ofstream(strPath, std::ios::binary) << FuzzBytes(pData, nSize);
    Try([&] { CheckValues(ReadNpyValues(strPath)); });
    // Shapes that fit small inputs, and ones whose byte counts overflow 64 bits.
    for (const auto& shape :
         {std::pair<int32_t, int32_t>{1, 1}, {2, 3}, {1263665316, 1824726041}, {INT32_MAX, INT32_MAX}})
        Try([&] { CheckValues(ReadRawValues(strPath, shape.first, shape.second)); });
    for (const SampleGrid grid : {SampleGrid::kLobara, SampleGrid::kCells, SampleGrid::kDh, SampleGrid::kGl})
        Try([&] { CheckValues(ReadCsvGridValues(strPath, grid)); });
    Try([&] {
        for (const SamplePoint& point : ReadCsvPoints(strPath))
            if (!(point.dTheta >= 0.0 && point.dTheta <= 3.14159265358979324) || !std::isfinite(point.dPhi) ||
                !std::isfinite(point.dValue) || !(point.dWeight > 0.0 && std::isfinite(point.dWeight)))
                std::abort();
    });
    return 0;
}
