#pragma once

#include "lobara-render/render_options.h"

// Renders the table of every Y(l, m) for 0 <= l <= LMAX into one picture of --size, laid out as
// camera/table_layout.h says; places with |m| > l stay background. Each cell is the --fit
// picture of its harmonic from the direction of From and To. Throws as RunSurface does.
void RunTable(const RenderOptions& options);
