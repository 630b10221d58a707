#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "camera/table_layout.h"
#include "names/named_values.h"
#include "picture/picture.h"
#include "sht/convention.h"

// The words under the cells of a table: none, "Y(l,m)", or the orbitals' names where l <= 3.
enum class TableLabels
{
    kNone,
    kHarmonics,
    kOrbitals,
};

// The labels of a name "none", "harmonics" or "orbitals"; false for any other.
bool FindTableLabels(const std::string& strName, TableLabels& labels);
std::vector<std::string> TableLabelsNames();
NamedValues<TableLabels> TableLabelsNamedValues();

// What a table's words depend on: the table up to degree nMax in a picture nWidth x nHeight.
struct TableWords
{
    int32_t nMax = 0;
    int nWidth = 0;
    int nHeight = 0;
    std::string strTitle;  // empty: none
    TableLabels labels = TableLabels::kNone;
    bool bPolynomials = false;  // the orbitals' polynomials under their names
    Convention convention;      // the orbitals' signs are worked out in it
    int32_t nPrincipal = 0;     // the n of a table of hydrogen-like orbitals; 0: of harmonics
    Background background = Background::kBlack;
};

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

// The layout of the table with room for its words. Throws std::invalid_argument, saying so,
// where the picture leaves no cell or labels too small to read.
TableCaptions PlanTableCaptions(const TableWords& words);

// The lines under the cell of Y(l, m), in markup: "Y(l,m)" ("ψ(n,l,m)" in a table of
// hydrogen-like orbitals), or its orbital's name (3d_xy) and, with the polynomials, its polynomial.
std::vector<std::string> TableCellCaption(int32_t l, int32_t m, const TableWords& words);

// Draws the words into the picture of the whole table.
void DrawTableCaptions(Picture& table, const TableCaptions& captions, const TableWords& words);
