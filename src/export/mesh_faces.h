#pragma once

#include <cstdint>

#include "colour/color_schemes.h"
#include "export/output_stream.h"
#include "mesh/mesh_geometry.h"

inline const float* SignColor(const ColorScheme& colors, int nSign)
{
    return nSign == 0 ? colors.aPositive : colors.aNegative;
}

// A colour component from 0 to 1 as a byte from 0 to 255.
inline uint8_t ColorByte(float f)
{
    return static_cast<uint8_t>(f * 255.0f + 0.5f);
}

// Binary mesh formats are little-endian, as is every machine this builds on.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the binary writers assume a little-endian machine");

template <typename T>
void WriteLittleEndian(COutputStream& stream, T value)
{
    stream.Write(&value, sizeof value);
}

inline int32_t VertexCount(const MeshGeometry& geometry)
{
    return static_cast<int32_t>(geometry.aValue.size());
}

// Calls visit(nSign, corners) for every triangle of the faces, positive faces first.
template <typename Visit>
void ForEachTriangle(const MeshGeometry& geometry, Visit visit)
{
    for (int nSign = 0; nSign < kSignCount; ++nSign)
        for (const MeshFace& face : geometry.aFaces[nSign])
            ForEachFaceTriangle(face, [&](const int32_t* pCorners) { visit(nSign, pCorners); });
}
