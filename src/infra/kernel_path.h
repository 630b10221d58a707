#pragma once

// The instruction sets the numeric kernels are compiled for, each kernel once for each (see
// lobara_kernel_sources in src/CMakeLists.txt): AVX-512 (x86-64-v4, eight doubles to a vector),
// AVX2 with fused multiply-add (x86-64-v3, four) and the baseline (two, no fused multiply-add). The
// copies give the same results to rounding; each path's own results are the same whatever the
// number of threads.
enum class KernelPath
{
    kPlain,
    kAvx2,
    kAvx512
};

// The path named, or nullptr for any other name.
const KernelPath* KernelPathNamed(const char* pszName);
const char* KernelPathName(KernelPath path);

// Whether this build has the path and this processor runs it.
bool ProcessorRuns(KernelPath path);

// The path the kernels take: the one pszRequest names (LOBARA_KERNEL's value: avx512, avx2 or
// plain), or the widest the processor runs where it is null or empty. Throws std::runtime_error
// for a name of no path or of one the processor cannot run.
KernelPath ChooseKernelPath(const char* pszRequest);

// ChooseKernelPath of the environment's LOBARA_KERNEL, decided at the first call.
KernelPath ActiveKernelPath();

// Declares the copies of a kernel table, `extern const Type name`, that each path's compilation
// defines in its namespace (LOBARA_KERNEL_NAMESPACE), and defines `const Type& Chooser(KernelPath)`,
// which picks the path's copy.
#if LOBARA_WIDE_KERNELS
#define LOBARA_KERNEL_TABLES(Type, name, Chooser)                \
    namespace kernel_plain {                                     \
    extern const Type name;                                      \
    }                                                            \
    namespace kernel_avx2 {                                      \
    extern const Type name;                                      \
    }                                                            \
    namespace kernel_avx512 {                                    \
    extern const Type name;                                      \
    }                                                            \
    const Type& Chooser(KernelPath path)                         \
    {                                                            \
        return path == KernelPath::kAvx512 ? kernel_avx512::name \
               : path == KernelPath::kAvx2 ? kernel_avx2::name   \
                                           : kernel_plain::name; \
    }
#else
#define LOBARA_KERNEL_TABLES(Type, name, Chooser) \
    namespace kernel_plain {                      \
    extern const Type name;                       \
    }                                             \
    const Type& Chooser(KernelPath)               \
    {                                             \
        return kernel_plain::name;                \
    }
#endif
