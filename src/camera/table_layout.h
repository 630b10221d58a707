#pragma once

#include <cstdint>

#include "camera/camera_math.h"
#include "surface/field.h"
#include "surface/surface_mesh.h"

// The table of every Y(l, m), 0 <= l <= LMAX, in one picture of W x H pixels: square cells of
// side S = min(W / (2 LMAX + 1), H / (LMAX + 1)), the block of (2 LMAX + 1) x (LMAX + 1) cells
// centred (offsets rounded down), Y(l, m) in row l from the top and column m + LMAX from the
// left. The sides must hold at least one pixel a cell.
struct TableLayout
{
    int nMax;   // LMAX
    int nSide;  // S
    int nLeft;  // of the block of cells
    int nTop;

    int CellLeft(int32_t m) const { return nLeft + (m + nMax) * nSide; }
    int CellTop(int32_t l) const { return nTop + l * nSide; }
};

TableLayout LayOutTable(int nMax, int nWidth, int nHeight);

// What one cell shows: the surface of its harmonic (a field of one term) on the grid of nT x nP samples, and
// the camera that fits it in the cell (--fit at S x S), looking at To of camera from the direction of its
// From.
struct TableCell
{
    SurfaceMesh mesh;
    Camera camera;
};

// Throws std::bad_alloc when the surface cannot be built.
TableCell MakeTableCell(const Field& harmonic, int32_t nT, int32_t nP, const Camera& camera, int nSide);
