#include <limits>
#include <stdexcept>

#include "export/mesh_faces.h"
#include "export/mesh_formats.h"

namespace {

// The vertex each face corner uses: the sample itself, or for a negative face at a sample that
// positive faces use too, its copy after the samples.
struct PlyVertices
{
    std::vector<int32_t> aNegativeIndex;   // by sample
    std::vector<int32_t> aCopied;          // the samples copied, in order
    std::vector<unsigned char> aNegative;  // by sample: the colour of its own entry
};

PlyVertices ShareOutVertices(const MeshGeometry& geometry)
{
    const auto nSamples = static_cast<size_t>(VertexCount(geometry));
    std::vector<unsigned char> aUsed[kSignCount] = {std::vector<unsigned char>(nSamples),
                                                    std::vector<unsigned char>(nSamples)};
    ForEachTriangle(geometry, [&aUsed](int nSign, const int32_t* pCorners) {
        for (int k = 0; k < 3; ++k)
            aUsed[nSign][static_cast<size_t>(pCorners[k])] = 1;
    });
    PlyVertices vertices{std::vector<int32_t>(nSamples), {}, std::vector<unsigned char>(nSamples)};
    for (size_t v = 0; v < nSamples; ++v)
    {
        vertices.aNegativeIndex[v] = static_cast<int32_t>(v);
        if (aUsed[0][v] && aUsed[1][v])
        {
            vertices.aNegativeIndex[v] = static_cast<int32_t>(nSamples + vertices.aCopied.size());
            vertices.aCopied.push_back(static_cast<int32_t>(v));
        }
        // A sample of no face takes the colour of its sign.
        const bool bPositive = aUsed[0][v] || (!aUsed[1][v] && geometry.aValue[v] > 0.0f);
        vertices.aNegative[v] = bPositive ? 0 : 1;
    }
    return vertices;
}

// Vertex v's properties; its colour is that of the vertex where the geometry gives one, else
// pSignColor.
void WriteVertex(COutputStream& stream, const MeshGeometry& geometry, int32_t v, const uint8_t* pSignColor)
{
    const auto k = static_cast<size_t>(v);
    const float afVertex[8] = {
        geometry.aPoint[3 * k],      geometry.aPoint[3 * k + 1],
        geometry.aPoint[3 * k + 2],  geometry.aNormal[3 * k],
        geometry.aNormal[3 * k + 1], geometry.aNormal[3 * k + 2],
        geometry.aValue[k],          geometry.aPhase.empty() ? 0.0f : geometry.aPhase[k]};
    stream.Write(afVertex, sizeof(float) * (geometry.aPhase.empty() ? 7 : 8));
    stream.Write(geometry.aColor.empty() ? pSignColor : geometry.aColor[k].data(), 3);
}

}  // namespace

void WritePly(COutputStream& stream, const MeshGeometry& geometry, const ColorScheme& colors)
{
    const PlyVertices vertices = ShareOutVertices(geometry);
    const int32_t nSamples = VertexCount(geometry);
    const int64_t nVertices = int64_t{nSamples} + static_cast<int64_t>(vertices.aCopied.size());
    const size_t nFaces = geometry.aFaces[0].size() + geometry.aFaces[1].size();
    if (nVertices > std::numeric_limits<int32_t>::max())
        throw std::runtime_error("cannot write '" + stream.GetName() +
                                 "': more vertices than PLY's int indices reach");
    stream.Write(
        "ply\nformat binary_little_endian 1.0\ncomment " +
        std::string(geometry.bMillimetres ? "millimetres; " : "") + "value: the signed field at the vertex" +
        std::string(geometry.aPhase.empty() ? "" : " (its modulus); phase: its phase from -pi to pi") +
        "\nelement vertex " + std::to_string(nVertices) +
        "\nproperty float x\nproperty float y\nproperty float z\nproperty float nx\nproperty float ny\n"
        "property float nz\nproperty float value\n" +
        std::string(geometry.aPhase.empty() ? "" : "property float phase\n") +
        "property uchar red\nproperty uchar green\nproperty uchar blue\nelement face " +
        std::to_string(nFaces) + "\nproperty list uchar int vertex_indices\nend_header\n");
    uint8_t abColor[kSignCount][3];
    for (int nSign = 0; nSign < kSignCount; ++nSign)
        for (int c = 0; c < 3; ++c)
            abColor[nSign][c] = ColorByte(SignColor(colors, nSign)[c]);
    for (int32_t v = 0; v < nSamples; ++v)
        WriteVertex(stream, geometry, v, abColor[vertices.aNegative[static_cast<size_t>(v)]]);
    for (const int32_t v : vertices.aCopied)
        WriteVertex(stream, geometry, v, abColor[1]);
    for (int nSign = 0; nSign < kSignCount; ++nSign)
        for (const MeshFace& face : geometry.aFaces[nSign])
        {
            int32_t anCorners[4];
            for (int k = 0; k < face.nCorners; ++k)
                anCorners[k] =
                    nSign == 0 ? face.an[k] : vertices.aNegativeIndex[static_cast<size_t>(face.an[k])];
            WriteLittleEndian(stream, static_cast<uint8_t>(face.nCorners));
            stream.Write(anCorners, sizeof(int32_t) * static_cast<size_t>(face.nCorners));
        }
}
