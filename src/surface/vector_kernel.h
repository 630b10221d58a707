#pragma once

// Marks a loop written to vectorise. With GCC on x86-64 Linux it is compiled twice, for the
// baseline instruction set and for AVX2, and the copy for the running processor is chosen
// when the program loads. Both copies perform the same IEEE operations in the same order
// (without fused multiply-add), so the results do not depend on the copy.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && defined(__linux__)
#define LOBARA_VECTOR_KERNEL __attribute__((target_clones("avx2", "default")))
#else
#define LOBARA_VECTOR_KERNEL
#endif
