#pragma once

#include "camera/table_layout.h"
#include "export/picture.h"
#include "lobara-render/render_options.h"

// The words around a table's cells: the title, the column labels "m = ..." above the block,
// the row labels "l = ..." at its left, and under each cell "Y(l,m)" or, with the orbitals'
// labels, the name of its orbital for l <= 3 (with a minus where Y(l, m) is the negative of
// the orbital in the convention in force), and its polynomial with --table-polynomials. The
// captions take the picture's text size, smaller where the cells are small, so that they
// never reach into a cell nor into each other.
struct TableCaptions
{
    TableLayout layout;
    double dTextSize;  // of the labels and captions; 0 without them
};

// The layout of the table of the options with room for its words. Throws UsageError where
// --size leaves no cell or labels too small to read.
TableCaptions PlanTableCaptions(const RenderOptions& options);

// Draws the words into the picture of the whole table.
void DrawTableCaptions(Picture& table, const TableCaptions& captions, const RenderOptions& options);
