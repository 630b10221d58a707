#include "infra/kernel_path.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>

namespace {

// The processor's flags as the kernel lists them in /proc/cpuinfo.
std::set<std::string> ProcessorFlags()
{
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::set<std::string> flags;
    for (std::string strLine; std::getline(cpuinfo, strLine);)
        if (strLine.rfind("flags", 0) == 0)
        {
            std::istringstream words(strLine.substr(strLine.find(':') + 1));
            for (std::string strFlag; words >> strFlag;)
                flags.insert(strFlag);
            break;
        }
    return flags;
}

bool HasAll(const std::set<std::string>& flags, std::initializer_list<const char*> aNeeded)
{
    for (const char* pszFlag : aNeeded)
        if (flags.count(pszFlag) == 0)
            return false;
    return true;
}

}  // namespace

// With nothing asked, the widest path whose instructions /proc/cpuinfo lists: AVX-512's foundation,
// double and quad words, byte and word and vector lengths; AVX2 with FMA; else the plain one.
TEST(KernelPath, WidestThatTheProcessorListsUnlessAsked)
{
    const std::set<std::string> flags = ProcessorFlags();
    if (flags.empty())
        GTEST_SKIP() << "no /proc/cpuinfo flags";
#if LOBARA_WIDE_KERNELS
    const bool bAvx2 = HasAll(flags, {"avx2", "fma", "bmi1", "bmi2", "movbe", "f16c", "abm", "xsave"});
    const bool bAvx512 = bAvx2 && HasAll(flags, {"avx512f", "avx512dq", "avx512bw", "avx512vl", "avx512cd"});
#else
    const bool bAvx2 = false, bAvx512 = false;
#endif
    const KernelPath expected = bAvx512 ? KernelPath::kAvx512
                                : bAvx2 ? KernelPath::kAvx2
                                        : KernelPath::kPlain;
    EXPECT_EQ(ChooseKernelPath(nullptr), expected);
    EXPECT_EQ(ChooseKernelPath(""), expected);
    EXPECT_EQ(ProcessorRuns(KernelPath::kAvx512), bAvx512);
    EXPECT_EQ(ProcessorRuns(KernelPath::kAvx2), bAvx2);
    EXPECT_TRUE(ProcessorRuns(KernelPath::kPlain));
}

// Each path by its name; LOBARA_KERNEL's as the one taken, in each run of the numeric suites.
TEST(KernelPath, NamedPathsAndTheEnvironmentsChoice)
{
    for (const char* pszName : {"avx512", "avx2", "plain"})
    {
        const KernelPath* pPath = KernelPathNamed(pszName);
        ASSERT_NE(pPath, nullptr) << pszName;
        EXPECT_STREQ(KernelPathName(*pPath), pszName);
        if (ProcessorRuns(*pPath))
            EXPECT_EQ(ChooseKernelPath(pszName), *pPath);
        else
            EXPECT_THROW(ChooseKernelPath(pszName), std::runtime_error) << pszName;
    }
    const char* pszAsked = std::getenv("LOBARA_KERNEL");
    EXPECT_EQ(ActiveKernelPath(), ChooseKernelPath(pszAsked));
}

TEST(KernelPath, UnknownNameIsRefusedWithOneLineNamingIt)
{
    EXPECT_EQ(KernelPathNamed("sse"), nullptr);
    try
    {
        ChooseKernelPath("avx1024");
        FAIL() << "accepted";
    }
    catch (const std::runtime_error& error)
    {
        const std::string strMessage = error.what();
        EXPECT_NE(strMessage.find("LOBARA_KERNEL=avx1024"), std::string::npos) << strMessage;
        EXPECT_EQ(strMessage.find('\n'), std::string::npos) << strMessage;
    }
}
