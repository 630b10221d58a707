#pragma once

#include <functional>

#include "hydrogen/enclosed_probability.h"

// Which surface |psi| = c is asked for: the one whose inside holds probability P, or a given c.
enum class LevelKind
{
    kEnclose,
    kIso,
};

// The enclosed probabilities --enclose takes, and the one drawn unless told.
constexpr double kMinEnclose = 1e-6;
constexpr double kMaxEnclose = 1.0 - 1e-6;
constexpr double kDefaultEnclose = 0.9;

struct LevelRequest
{
    LevelKind kind = LevelKind::kEnclose;
    double dValue = kDefaultEnclose;  // P for kEnclose, c for kIso
};

// The level of a boundary surface.
struct BoundaryLevel
{
    double dLevel = 0.0;     // c
    double dEnclosed = 0.0;  // the probability where |psi| > c
    double dPeak = 0.0;      // the largest |psi|
};

// The level asked for: for kEnclose the c whose inside holds P, for kIso the c given; its
// probability and the largest |psi| worked out by CEnclosedProbability. onStep, when given, is
// called after each probability worked out and may throw to stop. Throws std::invalid_argument
// (one line) for a level at or above the largest |psi|, which leaves no surface.
BoundaryLevel FindBoundaryLevel(const CEnclosedProbability& probability, const LevelRequest& request,
                                const std::function<void()>& onStep = nullptr);
