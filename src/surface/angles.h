#pragma once

// π as the program computes with it, to the last bit of a double, and 2π (exact doubling).
constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 2.0 * kPi;
static_assert(kTwoPi == 6.283185307179586, "2π to the last bit");
