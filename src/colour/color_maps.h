#pragma once

#include <array>
#include <cstdint>
#include <string>

// What a colour map is made for: a cyclic map for angles (its ends meet), a diverging map for
// signed values (its middle is 0), a sequential map for values that are never negative.
enum class ColorMapKind
{
    kCyclic,
    kDiverging,
    kSequential,
};

// One named map of 256 entries.
struct ColorMap
{
    const char* pszName;
    ColorMapKind kind;
    const uint8_t (*aEntries)[3];
};

using Rgb8 = std::array<uint8_t, 3>;

// The maps by name: twilight (cyclic, perceptually even), hsv (cyclic hue wheel), coolwarm
// (diverging) and viridis (sequential); nullptr for any other name.
const ColorMap* FindColorMap(const std::string& strName);

// The names of the maps, comma separated, for messages and the help.
std::string ColorMapNames();

// The map used for a kind when none is named: twilight, coolwarm, viridis.
const ColorMap& DefaultColorMap(ColorMapKind kind);

// The colour at t: for a cyclic map t in turns (any value, 1 is a full turn, so t and t + 1
// give one colour); for the others t from 0 (first entry) to 1 (last entry), clamped. The
// nearest entry; a NaN gives the first entry.
Rgb8 MapColor(const ColorMap& map, double t);

// The colour of a value on the scale from dLow to dHigh (dLow < dHigh) of a non-cyclic map.
Rgb8 ValueColor(const ColorMap& map, double dValue, double dLow, double dHigh);

// The colour of the phase atan2(dIm, dRe) on a cyclic map: -pi and pi at entry 0, 0 at the middle.
Rgb8 PhaseColor(const ColorMap& map, double dRe, double dIm);
