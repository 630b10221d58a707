// Reads any bytes as a HEALPix map and as healpy's alm in FITS: the readers may refuse them with
// a std::runtime_error and nothing else, never crash, hang, read out of bounds or ask for memory
// the file does not hold, and what they give is what they promise: columns of 12 Nside^2
// values, alm of healpy's layout for their lmax and mmax.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <system_error>

#include "fields/coefficient_file.h"
#include "fields/fits_alm_file.h"
#include "fields/healpix_map_file.h"
#include "fuzz_text.h"

namespace {

std::filesystem::path g_folder;

void RemoveFolder()
{
    std::error_code error;
    std::filesystem::remove_all(g_folder, error);
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

void CheckMap(const HealpixMap& map)
{
    if (map.nNside < 1 || map.aColumns.empty())
        std::abort();
    for (const HealpixMapColumn& column : map.aColumns)
        if (column.aValues.size() != static_cast<size_t>(12 * map.nNside * map.nNside))
            std::abort();
}

void CheckAlm(const HealpixAlm& alm, size_t nComponents)
{
    if (alm.nMmax < 0 || alm.nMmax > alm.nLmax || alm.aComponents.size() != nComponents)
        std::abort();
    for (const auto& aAlm : alm.aComponents)
        if (aAlm.size() != static_cast<size_t>(HealpixAlmSize(alm.nLmax, alm.nMmax)))
            std::abort();
}

}  // namespace

// cfitsio asks calloc for counts it read from a broken header, whose product with the size
// overflows; the C library then gives a null pointer, which cfitsio reports as an error. The
// sanitizer's allocator does the same here instead of stopping the run.
extern "C" const char* __asan_default_options()
{
    return "allocator_may_return_null=1";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (g_folder.empty())
    {
        g_folder = std::filesystem::temp_directory_path() / ("fits-fuzz-" + std::to_string(getpid()));
        std::filesystem::create_directories(g_folder);
        std::atexit(RemoveFolder);
    }
    const std::string strPath = (g_folder / "input.fits").string();
    std::ofstream(strPath, std::ios::binary) << FuzzBytes(pData, nSize);
    Try([&] { CheckMap(ReadHealpixMapFile(strPath)); });
    Try([&] { CheckMap(ReadHealpixMapFile(strPath, {{1, ""}, {0, "Q_POLARISATION"}}, true)); });
    Try([&] { CheckAlm(ReadFitsAlm(strPath, {1}), 1); });
    Try([&] { CheckAlm(ReadFitsAlm(strPath, {1, 2, 3}), 3); });
    Try([&] { ReadCoefficientFile(strPath, 3); });
    return 0;
}
