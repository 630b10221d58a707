#pragma once

#include <cstdint>

#include "camera/camera_math.h"
#include "mesh/surface_mesh.h"
#include "sht/field.h"

// What one cell shows: the surface of its harmonic (a field of one term) on the grid of nT x nP samples, and
// the camera that shows it in the cell: with bFit the one that fits it (--fit at S x S), looking at To of
// camera from the direction of its From; otherwise camera itself.
struct TableCell
{
    SurfaceMesh mesh;
    Camera camera;
};

// Throws std::bad_alloc when the surface cannot be built.
TableCell MakeTableCell(const Field& harmonic, int32_t nT, int32_t nP, const Camera& camera, int nSide,
                        bool bFit);

// The camera that shows every harmonic of degree 0 .. nMax at one scale in cells of side nSide: To and the
// direction of From kept, at the largest of the cells' fitted distances. Throws as MakeTableCell does.
Camera CommonTableCamera(int nMax, const Convention& convention, int32_t nT, int32_t nP, const Camera& camera,
                         int nSide);
