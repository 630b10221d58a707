#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "colour/color_maps.h"
#include "colour/color_schemes.h"
#include "names/named_values.h"

// How a picture colours the field: by sign in the scheme's two colours, by the phase on a
// cyclic map, or by the value on a diverging (or, for values never negative, a sequential) map.
enum class ColorMode
{
    kSign,
    kPhase,
    kValue,
};

// The modes' names: "sign", "phase", "value"; the mode of a name, false for none.
std::vector<std::string> ColorModeNames();
NamedValues<ColorMode> ColorModeNamedValues();
bool FindColorMode(const std::string& strName, ColorMode& mode);

// The colouring of one field: its mode, its map and the values at the map's ends (the phase
// runs from -pi to pi). A complex field is coloured by its modulus under kValue.
struct FieldColoring
{
    ColorMode mode = ColorMode::kSign;
    ColorScheme scheme = {};
    const ColorMap* pMap = nullptr;
    double dLow = 0.0;
    double dHigh = 0.0;
    bool bModulus = false;  // the field is complex: kValue shows |f|
};

// The colouring of a field whose values run from dLowest to dHighest (of |f| where bModulus, for
// a complex field): the map named (empty: the default of its kind) and, unless the range is given, the limits
// from the values: 0 to the largest for values never negative (none below -1e-10 max|f|, which is
// rounding), -max|f| to max|f| otherwise (-1 to 1 for a field that is 0 everywhere).
FieldColoring ChooseColoring(ColorMode mode, const ColorScheme& scheme, const std::string& strMap,
                             const std::optional<std::array<double, 2>>& range, double dLowest,
                             double dHighest, bool bModulus);

// The colour of the value re + i im.
Rgb8 ColorOf(const FieldColoring& coloring, double dRe, double dIm);
