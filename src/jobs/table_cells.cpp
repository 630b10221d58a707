#include "jobs/table_cells.h"

#include <cmath>

#include "camera/fit.h"
#include "mesh/surface_builder.h"

TableCell MakeTableCell(const Field& harmonic, int32_t nT, int32_t nP, const Camera& camera, int nSide,
                        bool bFit)
{
    TableCell cell{{}, camera};
    BuildSurfaceMesh(harmonic, nT, nP, cell.mesh);
    if (bFit)
        FitCamera(cell.mesh, cell.camera.to, nSide, nSide, 1, cell.camera.from);
    return cell;
}

Camera CommonTableCamera(int nMax, const Convention& convention, int32_t nT, int32_t nP, const Camera& camera,
                         int nSide)
{
    Camera common = camera;
    double dLongest = 0.0;
    for (int32_t l = 0; l <= nMax; ++l)
        for (int32_t m = -l; m <= l; ++m)
        {
            const TableCell cell =
                MakeTableCell(Field{{Term{l, m, 1.0}}, convention}, nT, nP, camera, nSide, true);
            double dSquare = 0.0;
            for (int i = 0; i < 3; ++i)
                dSquare += (cell.camera.from[i] - camera.to[i]) * (cell.camera.from[i] - camera.to[i]);
            if (std::sqrt(dSquare) > dLongest)
            {
                dLongest = std::sqrt(dSquare);
                common = cell.camera;
            }
        }
    return common;
}
