// Reads any bytes as each kind of coefficient file: the readers may refuse them with a
// std::runtime_error and nothing else, and never crash, hang or read out of bounds.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <system_error>

#include "fields/coefficient_file.h"
#include "fuzz_text.h"

namespace {

// The inputs' files, in a folder of this process that goes when it exits.
std::filesystem::path g_folder;

void RemoveFolder()
{
    std::error_code error;
    std::filesystem::remove_all(g_folder, error);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (g_folder.empty())
    {
        g_folder = std::filesystem::temp_directory_path() / ("coefficient-fuzz-" + std::to_string(getpid()));
        std::filesystem::create_directories(g_folder);
        std::atexit(RemoveFolder);
    }
    for (const char* pszName : {"input.gfc", "input.bshc", "input.cof", "input.txt"})
    {
        const std::string strPath = (g_folder / pszName).string();
        std::ofstream(strPath, std::ios::binary) << FuzzBytes(pData, nSize);
        for (const int32_t nMaxDegree : {-1, 3})
            for (const std::optional<double>& epoch :
                 {std::optional<double>(), std::optional<double>(1827.5)})
            {
                try
                {
                    ReadCoefficientFile(strPath, nMaxDegree, epoch);
                }
                catch (const std::runtime_error&)
                {}
            }
    }
    return 0;
}
