#include "mesh/surface_faces.h"

#include <algorithm>

#include "infra/vector_kernel.h"

namespace {

// A row whose faces change sign, on average, more often than once in this many faces is
// sorted face by face: runs that short would cost more in set-up and mispredicted branches.
constexpr int32_t kShortRun = 8;

struct Corner
{
    double x;
    double y;
    double z;
};

struct Normal
{
    float x;
    float y;
    float z;
};

// The face normal AC x BD, unnormalised, each component rounded to float.
inline Normal FaceNormal(const Corner& a, const Corner& b, const Corner& c, const Corner& d)
{
    const double d1x = c.x - a.x;
    const double d1y = c.y - a.y;
    const double d1z = c.z - a.z;
    const double d2x = d.x - b.x;
    const double d2y = d.y - b.y;
    const double d2z = d.z - b.z;
    return Normal{static_cast<float>(d1y * d2z - d1z * d2y), static_cast<float>(d1z * d2x - d1x * d2z),
                  static_cast<float>(d1x * d2y - d1y * d2x)};
}

// Each coordinate widened to double, as the normal is worked out in double.
inline Corner CornerAt(const RowSamples& row, int32_t s)
{
    return Corner{row.pX[s], row.pY[s], row.pZ[s]};
}

// One face: its quad and its normal.
struct Face
{
    FaceQuad quad;
    Normal normal;
};

// The face whose upper corners are columns sA (A) and sD (D), the lower ones below them.
inline Face MakeFace(const RowSamples& upper, const RowSamples& lower, int32_t sA, int32_t sD)
{
    return Face{
        {upper.nFirstVertex + sA, lower.nFirstVertex + sA, lower.nFirstVertex + sD, upper.nFirstVertex + sD},
        FaceNormal(CornerAt(upper, sA), CornerAt(lower, sA), CornerAt(lower, sD), CornerAt(upper, sD))};
}

inline void Store(const Face& face, const FaceListCursor& list, int32_t n)
{
    list.pQuads[n] = face.quad;
    list.pNX[n] = face.normal.x;
    list.pNY[n] = face.normal.y;
    list.pNZ[n] = face.normal.z;
}

// Normals and quads of nCount faces side by side, none of them wrapping: corners A and D are
// samples i and i + 1 of the upper row, B and C the same of the lower; the quads' A and B
// indices start at nA and nB. Plain arrays in and out, so the loop vectorises.
LOBARA_VECTOR_KERNEL
void WriteFaces(const float* __restrict pXA, const float* __restrict pYA, const float* __restrict pZA,
                const float* __restrict pXB, const float* __restrict pYB, const float* __restrict pZB,
                int32_t nA, int32_t nB, int32_t nCount, FaceQuad* __restrict pQuad, float* __restrict pNX,
                float* __restrict pNY, float* __restrict pNZ)
{
    for (int32_t i = 0; i < nCount; ++i)
    {
        pQuad[i] = FaceQuad{nA + i, nB + i, nB + i + 1, nA + i + 1};
        const Normal normal = FaceNormal(Corner{pXA[i], pYA[i], pZA[i]}, Corner{pXB[i], pYB[i], pZB[i]},
                                         Corner{pXB[i + 1], pYB[i + 1], pZB[i + 1]},
                                         Corner{pXA[i + 1], pYA[i + 1], pZA[i + 1]});
        pNX[i] = normal.x;
        pNY[i] = normal.y;
        pNZ[i] = normal.z;
    }
}

// A sum of exactly 0, or not a number, counts as negative.
LOBARA_VECTOR_KERNEL
void MarkPositive(const double* __restrict pA, const double* __restrict pB, int32_t nCount,
                  unsigned char* __restrict pPositive)
{
    for (int32_t i = 0; i < nCount; ++i)
        pPositive[i] = pA[i] + ((pA[i + 1] + pB[i + 1]) + pB[i]) > 0.0;
}

// Appends faces s0 .. s1 - 1 of the row, all of one sign, to list.
void AppendRun(const RowSamples& upper, const RowSamples& lower, int32_t nColumns, int32_t s0, int32_t s1,
               FaceListCursor& list)
{
    // The last face wraps from column nColumns - 1 to column 0.
    const int32_t nLast = nColumns - 1;
    const int32_t nCount = std::min(s1, nLast) - s0;
    const int32_t n = list.nCount;
    WriteFaces(upper.pX + s0, upper.pY + s0, upper.pZ + s0, lower.pX + s0, lower.pY + s0, lower.pZ + s0,
               upper.nFirstVertex + s0, lower.nFirstVertex + s0, nCount, list.pQuads + n, list.pNX + n,
               list.pNY + n, list.pNZ + n);
    list.nCount += nCount;
    if (s1 == nColumns)
        Store(MakeFace(upper, lower, nLast, 0), list, list.nCount++);
}

// Appends a row whose faces change sign often. The whole row is computed together into the
// scratch row; then each face is copied to the next position of both lists and only the count
// of the list its sign selects advances, so that no branch depends on the signs.
void AppendRowFaceByFace(const RowSamples& upper, const RowSamples& lower, int32_t nColumns,
                         const unsigned char* __restrict pPositive, FaceSorter& sorter)
{
    FaceListCursor row{sorter.aRowQuads.data(), sorter.aRowNX.data(), sorter.aRowNY.data(),
                       sorter.aRowNZ.data(), 0};
    AppendRun(upper, lower, nColumns, 0, nColumns, row);

    const FaceListCursor pos = sorter.pos;
    const FaceListCursor neg = sorter.neg;
    int32_t nPos = pos.nCount;
    int32_t nNeg = neg.nCount;
    for (int32_t s = 0; s < nColumns; ++s)
    {
        pos.pQuads[nPos] = row.pQuads[s];
        neg.pQuads[nNeg] = row.pQuads[s];
        pos.pNX[nPos] = row.pNX[s];
        neg.pNX[nNeg] = row.pNX[s];
        pos.pNY[nPos] = row.pNY[s];
        neg.pNY[nNeg] = row.pNY[s];
        pos.pNZ[nPos] = row.pNZ[s];
        neg.pNZ[nNeg] = row.pNZ[s];
        nPos += pPositive[s];
        nNeg += 1 - pPositive[s];
    }
    sorter.pos.nCount = nPos;
    sorter.neg.nCount = nNeg;
}

// How many neighbouring pairs of the nCount flags differ.
LOBARA_VECTOR_KERNEL
int32_t CountChanges(const unsigned char* __restrict pFlag, int32_t nCount)
{
    int32_t nChanges = 0;
    for (int32_t i = 1; i < nCount; ++i)
        nChanges += pFlag[i] != pFlag[i - 1];
    return nChanges;
}

FaceListCursor CursorOf(FaceQuadArray& aQuads, FloatArray& aNX, FloatArray& aNY, FloatArray& aNZ)
{
    return FaceListCursor{aQuads.GetData(), aNX.GetData(), aNY.GetData(), aNZ.GetData(), 0};
}

}  // namespace

FaceSorter MakeFaceSorter(int32_t nColumns)
{
    const size_t nSize = static_cast<size_t>(std::max(nColumns, 0));
    return FaceSorter{{},
                      {},
                      std::vector<unsigned char>(nSize),
                      std::vector<FaceQuad>(nSize),
                      std::vector<float>(nSize),
                      std::vector<float>(nSize),
                      std::vector<float>(nSize)};
}

void StartFaces(SurfaceMesh& mesh, int32_t nFaces, FaceSorter& sorter)
{
    // Both lists hold every face until sorting ends, so appending never resizes.
    mesh.m_aPosQuads.SetSizeForOverwrite(nFaces);
    mesh.m_aNegQuads.SetSizeForOverwrite(nFaces);
    for (FloatArray* pArray :
         {&mesh.m_aPosNX, &mesh.m_aPosNY, &mesh.m_aPosNZ, &mesh.m_aNegNX, &mesh.m_aNegNY, &mesh.m_aNegNZ})
        pArray->SetSizeForOverwrite(nFaces);
    sorter.pos = CursorOf(mesh.m_aPosQuads, mesh.m_aPosNX, mesh.m_aPosNY, mesh.m_aPosNZ);
    sorter.neg = CursorOf(mesh.m_aNegQuads, mesh.m_aNegNX, mesh.m_aNegNY, mesh.m_aNegNZ);
}

void AppendFaceRow(const RowSamples& upper, const RowSamples& lower, int32_t nColumns, FaceSorter& sorter)
{
    if (nColumns <= 0)
        return;
    const int32_t nLast = nColumns - 1;
    unsigned char* pPositive = sorter.aPositive.data();
    MarkPositive(upper.pValue, lower.pValue, nLast, pPositive);
    pPositive[nLast] =
        upper.pValue[nLast] + ((upper.pValue[0] + lower.pValue[0]) + lower.pValue[nLast]) > 0.0;

    if (static_cast<int64_t>(CountChanges(pPositive, nColumns)) * kShortRun > nColumns)
    {
        AppendRowFaceByFace(upper, lower, nColumns, pPositive, sorter);
        return;
    }
    // Runs of faces of one sign go to their list together.
    for (int32_t s0 = 0; s0 < nColumns;)
    {
        const unsigned char bPositive = pPositive[s0];
        const int32_t s1 =
            static_cast<int32_t>(std::find(pPositive + s0 + 1, pPositive + nColumns, !bPositive) - pPositive);
        AppendRun(upper, lower, nColumns, s0, s1, bPositive ? sorter.pos : sorter.neg);
        s0 = s1;
    }
}

void FinishFaces(const FaceSorter& sorter, SurfaceMesh& mesh)
{
    mesh.m_aPosQuads.SetSize(sorter.pos.nCount);
    mesh.m_aNegQuads.SetSize(sorter.neg.nCount);
    for (FloatArray* pArray : {&mesh.m_aPosNX, &mesh.m_aPosNY, &mesh.m_aPosNZ})
        pArray->SetSize(sorter.pos.nCount);
    for (FloatArray* pArray : {&mesh.m_aNegNX, &mesh.m_aNegNY, &mesh.m_aNegNZ})
        pArray->SetSize(sorter.neg.nCount);
}
