#include <cmath>
#include <limits>
#include <stdexcept>

#include "export/mesh_faces.h"
#include "export/mesh_formats.h"

void WriteStl(COutputStream& stream, const MeshGeometry& geometry)
{
    uint64_t nTriangles = 0;
    ForEachTriangle(geometry, [&nTriangles](int, const int32_t*) { ++nTriangles; });
    // An STL is its triangles and nothing else: without any it would hold nothing of the surface,
    // and readers take a binary STL of no triangles for a broken text one.
    if (nTriangles == 0)
        throw std::runtime_error("cannot write '" + stream.GetName() +
                                 "': the surface has no face, and STL holds nothing but triangles");
    if (nTriangles > std::numeric_limits<uint32_t>::max())
        throw std::runtime_error("cannot write '" + stream.GetName() +
                                 "': more triangles than STL can count");

    std::string strHeader =
        "binary STL of " + geometry.strSubject +
        (geometry.bMillimetres ? " in millimetres, by lobara-render" : ", written by lobara-render");
    strHeader.resize(80, ' ');
    stream.Write(strHeader);
    WriteLittleEndian(stream, static_cast<uint32_t>(nTriangles));
    const std::vector<float>& afPoint = geometry.aPoint;
    ForEachTriangle(geometry, [&stream, &afPoint](int, const int32_t* pCorners) {
        float afRecord[12];
        for (int k = 0; k < 3; ++k)
            for (int c = 0; c < 3; ++c)
                afRecord[3 + 3 * k + c] = afPoint[3 * static_cast<size_t>(pCorners[k]) + c];
        // The normal (B - A) x (C - A), in double from the float corners.
        double u[3], w[3];
        for (int c = 0; c < 3; ++c)
        {
            u[c] = double{afRecord[6 + c]} - afRecord[3 + c];
            w[c] = double{afRecord[9 + c]} - afRecord[3 + c];
        }
        const double n[3] = {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2], u[0] * w[1] - u[1] * w[0]};
        const double dLength = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        for (int c = 0; c < 3; ++c)
            afRecord[c] = static_cast<float>(n[c] / dLength);
        stream.Write(afRecord, sizeof afRecord);
        WriteLittleEndian<uint16_t>(stream, 0);
    });
}
