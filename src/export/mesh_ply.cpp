#include "export/mesh_faces.h"
#include "export/mesh_formats.h"

void WritePly(COutputStream& stream, const SurfaceMesh& mesh, const ColorScheme& colors)
{
    const int32_t nVertices = mesh.m_aX.GetSize();
    const int64_t nFaces = int64_t{mesh.m_aPosQuads.GetSize()} + mesh.m_aNegQuads.GetSize();
    stream.Write("ply\nformat binary_little_endian 1.0\nelement vertex " + std::to_string(nVertices) +
                 "\nproperty float x\nproperty float y\nproperty float z\nelement face " +
                 std::to_string(nFaces) +
                 "\nproperty list uchar int vertex_indices\nproperty uchar red\nproperty uchar green\n"
                 "property uchar blue\nend_header\n");
    for (int32_t i = 0; i < nVertices; ++i)
    {
        const float afPoint[3] = {mesh.m_aX[i], mesh.m_aY[i], mesh.m_aZ[i]};
        stream.Write(afPoint, sizeof afPoint);
    }
    for (int nSign = 0; nSign < kSignCount; ++nSign)
    {
        const float* pColor = SignColor(colors, nSign);
        const uint8_t abColor[3] = {ColorByte(pColor[0]), ColorByte(pColor[1]), ColorByte(pColor[2])};
        const FaceQuadArray& aQuads = SignFaces(mesh, nSign);
        for (int32_t i = 0; i < aQuads.GetSize(); ++i)
        {
            const FaceQuad& q = aQuads[i];
            const int32_t anCorners[4] = {q.a, q.b, q.c, q.d};
            WriteLittleEndian<uint8_t>(stream, 4);
            stream.Write(anCorners, sizeof anCorners);
            stream.Write(abColor, sizeof abColor);
        }
    }
}
