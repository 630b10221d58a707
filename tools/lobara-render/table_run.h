#pragma once

#include "lobara-render/render_options.h"

// Renders the table of every Y(l, m) for 0 <= l <= LMAX into one picture of --size: square cells
// of side S = min(W / (2 LMAX + 1), H / (LMAX + 1)), the block of (2 LMAX + 1) x (LMAX + 1) cells
// centred (offsets rounded down), Y(l, m) in row l from the top and column m + LMAX from the
// left; places with |m| > l stay background. Each cell is the --fit picture of its harmonic at
// S x S from the direction of From and To. Throws as RunSurface does.
void RunTable(const RenderOptions& options);
