#pragma once

#include <cmath>
#include <optional>
#include <string>

// How far from the origin a sample of value f lies in the polar plot, along its direction.
enum class RadiusKind
{
    kAbs,     // |f|, the polar plot
    kSquare,  // f^2
    kOne,     // 1: the unit sphere, the field shown only by the sign split
    kOffset,  // R + |f|: for R > 0 a closed star-shaped surface around a core of radius R
};

struct RadiusRule
{
    RadiusKind kind = RadiusKind::kAbs;
    double dOffset = 1.0;  // R of kOffset
};

inline double RadiusOf(const RadiusRule& rule, double dValue)
{
    switch (rule.kind)
    {
        case RadiusKind::kSquare:
            return dValue * dValue;
        case RadiusKind::kOne:
            return 1.0;
        case RadiusKind::kOffset:
            return rule.dOffset + std::fabs(dValue);
        case RadiusKind::kAbs:
            break;
    }
    return std::fabs(dValue);
}

// The rule of a name: "abs", "square", "one", "offset" (R = 1) or "offset:R" with R a decimal number
// above 0 and at most kMaxOffset; none for anything else.
constexpr double kMaxOffset = 1e30;  // far below the largest float, so that coordinates stay floats
std::optional<RadiusRule> RadiusRuleNamed(const std::string& strName);
