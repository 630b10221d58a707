#pragma once

#include "lobara-render/render_options.h"

// Renders the table of every Y(l, m) for 0 <= l <= LMAX into one picture of --size, laid out as
// camera/table_layout.h says with room for the words of table_captions.h; places with |m| > l
// stay background. Each cell is the --fit picture of its harmonic from the direction of From
// and To, or with --table-scale common the picture at the one distance that fits every cell;
// with --stats, the cells' place on stdout. Throws as RunSurface does, and UsageError where
// --size leaves no room for the words.
void RunTable(const RenderOptions& options);
