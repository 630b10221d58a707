#include "camera/table_layout.h"

#include <algorithm>

#include "camera/fit.h"
#include "surface/surface_builder.h"

TableLayout LayOutTable(int nMax, int nWidth, int nHeight)
{
    const int nSide = std::min(nWidth / (2 * nMax + 1), nHeight / (nMax + 1));
    return TableLayout{nMax, nSide, (nWidth - (2 * nMax + 1) * nSide) / 2,
                       (nHeight - (nMax + 1) * nSide) / 2};
}

TableCell MakeTableCell(const Field& harmonic, int32_t nT, int32_t nP, const Camera& camera, int nSide)
{
    TableCell cell{{}, camera};
    BuildSurfaceMesh(harmonic, nT, nP, cell.mesh);
    FitCamera(cell.mesh, cell.camera.to, nSide, nSide, 1, cell.camera.from);
    return cell;
}
