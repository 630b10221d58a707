#pragma once

#include <cstdint>
#include <cstring>

#include "export/output_stream.h"
#include "surface/color_schemes.h"
#include "surface/surface_mesh.h"

// The two face lists in the order they are exported, the positive lobes first, by index 0 and 1.
constexpr int kSignCount = 2;
constexpr const char* kSignNames[kSignCount] = {"positive", "negative"};

inline const FaceQuadArray& SignFaces(const SurfaceMesh& mesh, int nSign)
{
    return nSign == 0 ? mesh.m_aPosQuads : mesh.m_aNegQuads;
}

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

// The two triangles of a face, split along its diagonal A-C, both turning the way the face does.
inline void SplitFace(const FaceQuad& q, int32_t anTriangles[6])
{
    const int32_t an[6] = {q.a, q.b, q.c, q.a, q.c, q.d};
    std::memcpy(anTriangles, an, sizeof an);
}
