#include "infra/kernel_path.h"

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

bool ProcessorRuns(KernelPath path)
{
    if (path == KernelPath::kPlain)
        return true;
#if LOBARA_WIDE_KERNELS
    __builtin_cpu_init();
    return path == KernelPath::kAvx512 ? __builtin_cpu_supports("x86-64-v4") != 0
                                       : __builtin_cpu_supports("x86-64-v3") != 0;
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
