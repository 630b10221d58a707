#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "mesh/surface_mesh.h"

template <typename T>
std::vector<T> Elements(const GrowableArray<T>& a)
{
    return std::vector<T>(a.GetData(), a.GetData() + a.GetSize());
}

// Bitwise equality, so that -0.0 differs from 0.0 and NaNs compare by their bits.
template <typename T>
bool SameBits(const std::vector<T>& a, const std::vector<T>& b)
{
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0);
}

// What every mesh must satisfy, whatever the inputs: each face list as long as its normals,
// every index below the vertex count, and the four vertex arrays of one length.
inline void ExpectMeshInvariants(const SurfaceMesh& mesh)
{
    const int32_t nVertices = mesh.m_aX.GetSize();
    EXPECT_EQ(mesh.m_aY.GetSize(), nVertices);
    EXPECT_EQ(mesh.m_aZ.GetSize(), nVertices);
    EXPECT_EQ(mesh.m_aValue.GetSize(), nVertices);
    for (const FloatArray* pArray : {&mesh.m_aPosNX, &mesh.m_aPosNY, &mesh.m_aPosNZ})
        EXPECT_EQ(pArray->GetSize(), mesh.m_aPosQuads.GetSize());
    for (const FloatArray* pArray : {&mesh.m_aNegNX, &mesh.m_aNegNY, &mesh.m_aNegNZ})
        EXPECT_EQ(pArray->GetSize(), mesh.m_aNegQuads.GetSize());
    for (const FaceQuadArray* pList : {&mesh.m_aPosQuads, &mesh.m_aNegQuads})
    {
        for (int32_t k = 0; k < pList->GetSize(); ++k)
        {
            const FaceQuad& q = (*pList)[k];
            for (int32_t nIndex : {q.a, q.b, q.c, q.d})
                ASSERT_TRUE(nIndex >= 0 && nIndex < nVertices) << "face " << k << " index " << nIndex;
        }
    }
}

inline bool SameQuads(const FaceQuadArray& a, const FaceQuadArray& b)
{
    return SameBits(Elements(a), Elements(b));
}

// Every array of both meshes, element for element and bit for bit.
inline bool SameMesh(const SurfaceMesh& a, const SurfaceMesh& b)
{
    return SameBits(Elements(a.m_aX), Elements(b.m_aX)) && SameBits(Elements(a.m_aY), Elements(b.m_aY)) &&
           SameBits(Elements(a.m_aZ), Elements(b.m_aZ)) &&
           SameBits(Elements(a.m_aValue), Elements(b.m_aValue)) && SameQuads(a.m_aPosQuads, b.m_aPosQuads) &&
           SameBits(Elements(a.m_aPosNX), Elements(b.m_aPosNX)) &&
           SameBits(Elements(a.m_aPosNY), Elements(b.m_aPosNY)) &&
           SameBits(Elements(a.m_aPosNZ), Elements(b.m_aPosNZ)) && SameQuads(a.m_aNegQuads, b.m_aNegQuads) &&
           SameBits(Elements(a.m_aNegNX), Elements(b.m_aNegNX)) &&
           SameBits(Elements(a.m_aNegNY), Elements(b.m_aNegNY)) &&
           SameBits(Elements(a.m_aNegNZ), Elements(b.m_aNegNZ));
}
