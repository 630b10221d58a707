#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "export/output_files.h"

namespace {

namespace fs = std::filesystem;

void Put(const fs::path& path, const std::string& strText)
{
    std::ofstream(path, std::ios::binary) << strText;
}

std::string Contents(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace

// An output that cannot be put in place after others were, for a reason no check foresaw (its
// folder was moved away while the run wrote): the files already placed are taken back.
TEST(OutputSet, AFailedCommitTakesBackWhatItHadPlaced)
{
    char acFolder[] = "/tmp/lobara-output-set-XXXXXX";
    ASSERT_NE(mkdtemp(acFolder), nullptr);
    const fs::path root = acFolder;
    fs::create_directory(root / "sub");
    Put(root / "a", "old a");
    Put(root / "sub" / "b", "old b");
    {
        COutputSet outputs;
        for (const fs::path& path : {root / "a", root / "new", root / "sub" / "b"})
            outputs.Write(
                path, [&path](COutputStream& stream) { stream.Write("new " + path.filename().string()); });
        fs::rename(root / "sub", root / "moved");
        Put(root / "sub", "a file where the folder was");
        EXPECT_THROW(outputs.Commit(), std::runtime_error);
    }
    EXPECT_EQ(Contents(root / "a"), "old a");
    EXPECT_FALSE(fs::exists(root / "new"));
    std::vector<std::string> aNames;
    for (const fs::directory_entry& entry : fs::directory_iterator(root))
        aNames.push_back(entry.path().filename().string());
    std::sort(aNames.begin(), aNames.end());
    EXPECT_EQ(aNames, (std::vector<std::string>{"a", "moved", "sub"}));
    fs::remove_all(root);
}
