#pragma once

#include <cstdint>

// The tabulated colour maps, 256 RGB entries each (see color_map_tables.cpp for their source).
constexpr int kColorTableSize = 256;
extern const uint8_t kColorTableTwilight[kColorTableSize][3];
extern const uint8_t kColorTableHsv[kColorTableSize][3];
extern const uint8_t kColorTableCoolwarm[kColorTableSize][3];
extern const uint8_t kColorTableViridis[kColorTableSize][3];
