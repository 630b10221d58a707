#include "colour/color_schemes.h"

const ColorScheme kColorSchemes[kColorSchemeCount] = {
    {{1.0f, 0.2f, 0.2f}, {0.1f, 0.5f, 1.0f}},        // red / blue
    {{1.0f, 0.9f, 0.0f}, {0.3f, 0.9f, 1.0f}},        // yellow / light blue
    {{0.0f, 0.6f, 0.2f}, {0.7f, 0.0f, 0.7f}},        // green / purple
    {{0.5f, 0.5f, 0.5f}, {0.2f, 0.2f, 0.2f}},        // grey
    {{0.7f, 0.8f, 1.0f}, {1.0f, 0.8f, 0.9f}},        // pastel
    {{1.0f, 1.0f, 1.0f}, {0.1f, 0.1f, 0.1f}},        // white / black
    {{0.05f, 0.05f, 0.05f}, {0.05f, 0.05f, 0.05f}},  // black: one dark grey for both signs
};
