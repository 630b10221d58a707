#pragma once

#include <cstdint>

namespace legendre_scaling {

// How the Legendre recurrences (NormalizedLegendre and its kernels) carry values below the double
// range. Values too small for a double are carried as q * 2^(kChunkBits * nChunks), nChunks < 0.
// q is rescaled once it passes 2^kChunkBits, checked every kStepsPerCheck steps: one step
// multiplies by less than 2^17 (by at most alpha_k + beta_k <= sqrt(2 |m| + 1) + 1 in the plain
// form, about four times that in the scaled form of the sums), so in between q grows by less
// than 2^272 and stays far below overflow.
constexpr int kChunkBits = 512;
constexpr int kStepsPerCheck = 16;
constexpr double kChunk = 0x1p512;
constexpr double kInverseChunk = 0x1p-512;

// Products of numbers in [2^-256, 1] are lifted back into that range, exactly, by 2^256.
constexpr int kLiftBits = 256;
constexpr double kSmall = 0x1p-256;
constexpr double kLift = 0x1p256;

// Values the kernels' sums and their adjoints (scalar and spin) leave out while every lane of a pass
// lies below this: each kernel's norms and scales keep the functions they stand for below 2^-80,
// far below what the whole-point criterion of NegligiblePoints leaves out (1e-20).
constexpr double kQuiet = 0x1p-96;

// The start values are made for groups of this many points.
constexpr int32_t kStartLanes = 16;

}  // namespace legendre_scaling
