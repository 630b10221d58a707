#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

// A test that writes its files into a folder of its own, named after the test, made empty before
// and removed after it.
class CFileFolderTest : public testing::Test
{
protected:
    void SetUp() override
    {
        const testing::TestInfo* pInfo = testing::UnitTest::GetInstance()->current_test_info();
        m_folder = std::filesystem::path(testing::TempDir()) /
                   (std::string(pInfo->test_suite_name()) + "-" + pInfo->name());
        std::filesystem::remove_all(m_folder);
        std::filesystem::create_directories(m_folder);
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }

    // Writes the bytes into the file of that name in the folder; its path.
    std::string Write(const std::string& strName, const std::string& strBytes) const
    {
        const std::string strPath = (m_folder / strName).string();
        std::ofstream(strPath, std::ios::binary) << strBytes;
        return strPath;
    }

    std::filesystem::path m_folder;
};
