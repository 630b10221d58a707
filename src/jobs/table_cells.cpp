#include "jobs/table_cells.h"

#include <cmath>
#include <stdexcept>
#include <string>
#include <utility>

#include "camera/fit.h"
#include "hydrogen/boundary_mesh.h"
#include "mesh/surface_builder.h"

namespace {

TableCell Framed(SurfaceMesh&& mesh, const Camera& camera, int nSide, bool bFit)
{
    TableCell cell{std::move(mesh), camera};
    if (bFit)
        FitCamera(cell.mesh, cell.camera.to, nSide, nSide, 1, cell.camera.from);
    return cell;
}

}  // namespace

TableCellMaker HarmonicCells(const Convention& convention, int32_t nT, int32_t nP, int nSide)
{
    return [=](int32_t l, int32_t m, const Camera& camera, bool bFit) {
        SurfaceMesh mesh;
        BuildSurfaceMesh(Field{{Term{l, m, 1.0}}, convention}, nT, nP, mesh);
        return Framed(std::move(mesh), camera, nSide, bFit);
    };
}

TableCellMaker OrbitalCells(const HydrogenOrbital& shell, const LevelRequest& level, const BoundaryGrid& grid,
                            int nSide)
{
    return [=](int32_t l, int32_t m, const Camera& camera, bool bFit) {
        HydrogenOrbital orbital = shell;
        orbital.numbers.l = l;
        orbital.numbers.m = m;
        BoundarySurface surface;
        try
        {
            surface = BuildBoundarySurface(orbital, level, grid);
        }
        catch (const std::invalid_argument& error)
        {
            throw std::invalid_argument(OrbitalName(orbital.numbers) + ": " + error.what());
        }
        return Framed(BoundarySurfaceMesh(surface, BoundaryVertexValues(surface, orbital)), camera, nSide,
                      bFit);
    };
}

Camera CommonTableCamera(int nMax, const TableCellMaker& make, const Camera& camera,
                         const std::function<void()>& onCell)
{
    Camera common = camera;
    double dLongest = 0.0;
    for (int32_t l = 0; l <= nMax; ++l)
        for (int32_t m = -l; m <= l; ++m)
        {
            const TableCell cell = make(l, m, camera, true);
            double dSquare = 0.0;
            for (int i = 0; i < 3; ++i)
                dSquare += (cell.camera.from[i] - camera.to[i]) * (cell.camera.from[i] - camera.to[i]);
            if (std::sqrt(dSquare) > dLongest)
            {
                dLongest = std::sqrt(dSquare);
                common = cell.camera;
            }
            if (onCell)
                onCell();
        }
    return common;
}
