#pragma once

// The colours of one scheme: RGB of the lobes where the harmonic is positive, then of those
// where it is negative, each component from 0 to 1.
struct ColorScheme
{
    float aPositive[3];
    float aNegative[3];
};

// The seven schemes, in the order of the colour dialog's radio buttons.
constexpr int kColorSchemeCount = 7;
constexpr int kDefaultColorScheme = 0;
extern const ColorScheme kColorSchemes[kColorSchemeCount];
