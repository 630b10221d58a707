#pragma once

#include <cstdint>

// What every run samples unless told otherwise: Y(2, 0) on 480 rows of theta and 240 columns
// of phi.
constexpr int32_t kDefaultL = 2;
constexpr int32_t kDefaultM = 0;
constexpr int32_t kDefaultThetaDiv = 480;
constexpr int32_t kDefaultPhiDiv = 240;
