#pragma once

// Marks a loop written to vectorise. With GCC on x86-64 Linux it is compiled twice, for the
// baseline instruction set and for AVX2, and the copy for the running processor is chosen
// when the program loads. Both copies perform the same IEEE operations in the same order
// (without fused multiply-add), so the results do not depend on the copy.
//
// LOBARA_FUSED_KERNEL marks one whose copies for processors with AVX2 and FMA (x86-64-v3) and
// with AVX-512 (x86-64-v4) may fuse multiply-adds: its results differ in the last bits between the copies,
// for loops where speed matters more than the same bits on every processor.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && defined(__linux__)
#define LOBARA_VECTOR_KERNEL __attribute__((target_clones("avx2", "default")))
#define LOBARA_FUSED_KERNEL                                                      \
    __attribute__((target_clones("arch=x86-64-v4", "arch=x86-64-v3", "default"), \
                   optimize("fp-contract=fast")))
#else
#define LOBARA_VECTOR_KERNEL
#define LOBARA_FUSED_KERNEL
#endif

// Whether the processor has AVX-512 (x86-64-v4), whose thirty-two vector registers let a kernel keep
// twice as many running values as AVX2's sixteen: the copy of a LOBARA_FUSED_KERNEL that runs on it
// is the one for x86-64-v4.
inline bool HasWideRegisterFile()
{
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && defined(__linux__)
    static const bool bWide = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("x86-64-v4") != 0;
    }();
    return bWide;
#else
    return false;
#endif
}

// Four doubles side by side, written out as one vector (the compilers' vector extension): one
// AVX2 register, or two of the baseline's.
typedef double Lanes4 __attribute__((vector_size(32)));
