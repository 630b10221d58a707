#pragma once

#include <cstdint>
#include <functional>

// Told, as a build or sampling goes, how many of its rows of samples are done.
using BuildProgress = std::function<void(int32_t nRowsDone, int32_t nRows)>;
