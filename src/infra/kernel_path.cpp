#include "infra/kernel_path.h"

#if LOBARA_WIDE_KERNELS
#include <cpuid.h>
#endif

#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

namespace {

struct NamedPath
{
    const char* pszName;
    KernelPath path;
};

// The widest first.
constexpr NamedPath kPaths[] = {
    {"avx512", KernelPath::kAvx512}, {"avx2", KernelPath::kAvx2}, {"plain", KernelPath::kPlain}};

}  // namespace

const KernelPath* KernelPathNamed(const char* pszName)
{
    for (const NamedPath& named : kPaths)
        if (std::strcmp(named.pszName, pszName) == 0)
            return &named.path;
    return nullptr;
}

const char* KernelPathName(KernelPath path)
{
    for (const NamedPath& named : kPaths)
        if (named.path == path)
            return named.pszName;
    return "";
}

#if LOBARA_WIDE_KERNELS
namespace {

bool HasBits(unsigned nWord, unsigned nBits)
{
    return (nWord & nBits) == nBits;
}

// What the processor has and the system saves: x86-64-v3 (AVX, AVX2, BMI1, BMI2, F16C, FMA, LZCNT,
// MOVBE, XSAVE) and x86-64-v4 (AVX-512 F, BW, CD, DQ, VL), by cpuid and the enabled register state.
struct Levels
{
    bool bV3 = false, bV4 = false;
};

Levels ProcessorLevels()
{
    Levels levels;
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (__get_cpuid(1, &a, &b, &c, &d) == 0)
        return levels;
    // FMA 12, MOVBE 22, XSAVE 26, OSXSAVE 27, AVX 28, F16C 29.
    if (!HasBits(c, (1u << 12) | (1u << 22) | (1u << 26) | (1u << 27) | (1u << 28) | (1u << 29)))
        return levels;
    unsigned nLow = 0, nHigh = 0;
    __asm__("xgetbv" : "=a"(nLow), "=d"(nHigh) : "c"(0));
    const unsigned nEbx7 = __get_cpuid_count(7, 0, &a, &b, &c, &d) != 0 ? b : 0;
    const unsigned nLzcnt = __get_cpuid(0x80000001u, &a, &b, &c, &d) != 0 ? c & (1u << 5) : 0;
    // BMI1 3, AVX2 5, BMI2 8; the SSE and AVX registers saved.
    levels.bV3 = HasBits(nEbx7, (1u << 3) | (1u << 5) | (1u << 8)) && nLzcnt != 0 && HasBits(nLow, 0x6u);
    // AVX-512 F 16, DQ 17, CD 28, BW 30, VL 31; the mask and upper registers saved.
    levels.bV4 = levels.bV3 &&
                 HasBits(nEbx7, (1u << 16) | (1u << 17) | (1u << 28) | (1u << 30) | (1u << 31)) &&
                 HasBits(nLow, 0xe0u);
    return levels;
}

}  // namespace
#endif

bool ProcessorRuns(KernelPath path)
{
    if (path == KernelPath::kPlain)
        return true;
#if LOBARA_WIDE_KERNELS
    static const Levels levels = ProcessorLevels();
    return path == KernelPath::kAvx512 ? levels.bV4 : levels.bV3;
#else
    return false;
#endif
}

KernelPath ChooseKernelPath(const char* pszRequest)
{
    if (pszRequest == nullptr || *pszRequest == '\0')
    {
        for (const NamedPath& named : kPaths)
            if (ProcessorRuns(named.path))
                return named.path;
    }
    const std::string strRequest = pszRequest == nullptr ? "" : pszRequest;
    const KernelPath* pPath = KernelPathNamed(strRequest.c_str());
    if (pPath == nullptr)
        throw std::runtime_error("LOBARA_KERNEL=" + strRequest +
                                 " names no kernel path (avx512, avx2, plain)");
    if (!ProcessorRuns(*pPath))
        throw std::runtime_error("LOBARA_KERNEL=" + strRequest + ": this processor or build cannot run it");
    return *pPath;
}

KernelPath ActiveKernelPath()
{
    static const KernelPath path = ChooseKernelPath(std::getenv("LOBARA_KERNEL"));
    return path;
}
