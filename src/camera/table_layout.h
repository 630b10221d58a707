#pragma once

#include <cstdint>

#include "names/named_values.h"

// Room kept outside the cells of a table for its captions, in pixels: a strip at the top, a
// column at the left and a strip under each row of cells.
struct TableMargins
{
    int nTop = 0;
    int nLeft = 0;
    int nBelowRow = 0;
};

// The table of every Y(l, m), 0 <= l <= LMAX, in one picture of W x H pixels: square cells of
// side S = min((W - left) / (2 LMAX + 1), (H - top) / (LMAX + 1) - below), the block of
// (2 LMAX + 1) columns and LMAX + 1 rows, each row S + below high, centred in the picture less
// the top strip and left column (offsets rounded down); Y(l, m) in row l from the top and
// column m + LMAX from the left. Without margins S = min(W / (2 LMAX + 1), H / (LMAX + 1)).
// S < 1 where the sides do not hold a pixel a cell beside the margins.
struct TableLayout
{
    int nMax;   // LMAX
    int nSide;  // S
    int nLeft;  // of the block of cells
    int nTop;
    int nRowPitch;  // S + below

    int CellLeft(int32_t m) const { return nLeft + (m + nMax) * nSide; }
    int CellTop(int32_t l) const { return nTop + l * nRowPitch; }
};

TableLayout LayOutTable(int nMax, int nWidth, int nHeight, const TableMargins& margins = {});

// How the cells of a table are fitted: each alone, or all at the one distance that fits the
// largest, so that sizes compare.
enum class TableScale
{
    kEach,
    kCommon,
};
NamedValues<TableScale> TableScaleNamedValues();
