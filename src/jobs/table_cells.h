#pragma once

#include <cstdint>
#include <functional>

#include "camera/camera_math.h"
#include "hydrogen/boundary_surface.h"
#include "mesh/surface_mesh.h"
#include "sht/field.h"

// What one cell shows: the surface of its harmonic or orbital, and the camera that shows it in the
// cell: with bFit the one that fits it (--fit at S x S), looking at To of the camera given from
// the direction of its From; otherwise that camera itself.
struct TableCell
{
    SurfaceMesh mesh;
    Camera camera;
};

// Makes the cell of (l, m) from a camera, fitted or not. Throws std::bad_alloc when the surface
// cannot be built.
using TableCellMaker = std::function<TableCell(int32_t l, int32_t m, const Camera& camera, bool bFit)>;

// The cells of Y(l, m) of the convention on the grid of nT x nP samples, in cells of side nSide.
TableCellMaker HarmonicCells(const Convention& convention, int32_t nT, int32_t nP, int nSide);

// The cells of the hydrogen-like orbitals psi(n, l, m) of the shell's n, charge and convention,
// each its boundary surface at the level's rule on the grid, in cells of side nSide. Throws
// std::invalid_argument where the level leaves an orbital no surface.
TableCellMaker OrbitalCells(const HydrogenOrbital& shell, const LevelRequest& level, const BoundaryGrid& grid,
                            int nSide);

// The camera that shows every cell of degree 0 .. nMax at one scale: To and the direction of From
// kept, at the largest of the cells' fitted distances. onCell, when given, is called after each
// cell and may throw to stop. Throws as the maker does.
Camera CommonTableCamera(int nMax, const TableCellMaker& make, const Camera& camera,
                         const std::function<void()>& onCell = nullptr);
