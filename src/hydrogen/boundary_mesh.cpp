#include "hydrogen/boundary_mesh.h"

#include "mesh/vertex_normals.h"

std::vector<std::array<double, 2>> BoundaryVertexValues(const BoundarySurface& surface,
                                                        const HydrogenOrbital& orbital,
                                                        const PointProgress& onBlocks)
{
    const std::vector<float>& afPoint = surface.mesh.aPoint;
    const OrbitalSamples samples = SampleOrbitalAt(
        orbital, afPoint.size() / 3,
        [&afPoint](size_t v) {
            return std::array<double, 3>{afPoint[3 * v], afPoint[3 * v + 1], afPoint[3 * v + 2]};
        },
        OrbitalQuantity::kPsi, 0, onBlocks);
    std::vector<std::array<double, 2>> aValues(samples.aRe.size());
    for (size_t v = 0; v < aValues.size(); ++v)
        aValues[v] = {samples.aRe[v], samples.aIm.empty() ? 0.0 : samples.aIm[v]};
    return aValues;
}

SurfaceMesh BoundarySurfaceMesh(const BoundarySurface& surface,
                                const std::vector<std::array<double, 2>>& aValues)
{
    const std::vector<float>& afPoint = surface.mesh.aPoint;
    const auto nVertices = static_cast<int32_t>(afPoint.size() / 3);
    SurfaceMesh mesh;
    for (FloatArray* pArray : {&mesh.m_aX, &mesh.m_aY, &mesh.m_aZ})
        pArray->SetSizeForOverwrite(nVertices);
    mesh.m_aValue.SetSizeForOverwrite(nVertices);
    for (int32_t v = 0; v < nVertices; ++v)
    {
        mesh.m_aX[v] = afPoint[3 * static_cast<size_t>(v)];
        mesh.m_aY[v] = afPoint[3 * static_cast<size_t>(v) + 1];
        mesh.m_aZ[v] = afPoint[3 * static_cast<size_t>(v) + 2];
        mesh.m_aValue[v] = aValues[static_cast<size_t>(v)][0];
    }
    struct List
    {
        FaceQuadArray* pQuads;
        FloatArray* apNormal[3];
    };
    const List aLists[2] = {{&mesh.m_aPosQuads, {&mesh.m_aPosNX, &mesh.m_aPosNY, &mesh.m_aPosNZ}},
                            {&mesh.m_aNegQuads, {&mesh.m_aNegNX, &mesh.m_aNegNY, &mesh.m_aNegNZ}}};
    for (int nList = 0; nList < 2; ++nList)
    {
        const std::vector<Triangle>& aTriangles = surface.mesh.aTriangles[nList];
        const auto nFaces = static_cast<int32_t>(aTriangles.size());
        const List& list = aLists[nList];
        list.pQuads->SetSizeForOverwrite(nFaces);
        for (FloatArray* pArray : list.apNormal)
            pArray->SetSizeForOverwrite(nFaces);
        for (int32_t f = 0; f < nFaces; ++f)
        {
            const Triangle& t = aTriangles[static_cast<size_t>(f)];
            (*list.pQuads)[f] = FaceQuad{t[0], t[1], t[2], t[2]};
            const float* a = &afPoint[3 * static_cast<size_t>(t[0])];
            const float* b = &afPoint[3 * static_cast<size_t>(t[1])];
            const float* c = &afPoint[3 * static_cast<size_t>(t[2])];
            const double u[3] = {double{b[0]} - a[0], double{b[1]} - a[1], double{b[2]} - a[2]};
            const double w[3] = {double{c[0]} - a[0], double{c[1]} - a[1], double{c[2]} - a[2]};
            (*list.apNormal[0])[f] = static_cast<float>(u[1] * w[2] - u[2] * w[1]);
            (*list.apNormal[1])[f] = static_cast<float>(u[2] * w[0] - u[0] * w[2]);
            (*list.apNormal[2])[f] = static_cast<float>(u[0] * w[1] - u[1] * w[0]);
        }
    }
    return mesh;
}

MeshGeometry BoundaryMeshGeometry(const SurfaceMesh& mesh, const BoundarySurface& surface,
                                  const HydrogenOrbital& orbital, double dScaleMillimetres)
{
    MeshGeometry geometry;
    geometry.strSubject = "the orbital " + OrbitalName(orbital.numbers);
    geometry.aPoint = surface.mesh.aPoint;
    if (dScaleMillimetres > 0.0)
    {
        ScalePoints(geometry.aPoint, dScaleMillimetres);
        geometry.bMillimetres = true;
    }
    VertexNormals normals;
    ComputeVertexNormals(mesh, normals);
    const int32_t nVertices = mesh.m_aX.GetSize();
    geometry.aNormal.resize(3 * static_cast<size_t>(nVertices));
    geometry.aValue.resize(static_cast<size_t>(nVertices));
    for (int32_t v = 0; v < nVertices; ++v)
    {
        geometry.aNormal[3 * static_cast<size_t>(v)] = normals.m_aNX[v];
        geometry.aNormal[3 * static_cast<size_t>(v) + 1] = normals.m_aNY[v];
        geometry.aNormal[3 * static_cast<size_t>(v) + 2] = normals.m_aNZ[v];
        geometry.aValue[static_cast<size_t>(v)] = static_cast<float>(mesh.m_aValue[v]);
    }
    for (int nList = 0; nList < 2; ++nList)
        for (const Triangle& t : surface.mesh.aTriangles[nList])
            geometry.aFaces[nList].push_back(MeshFace{{t[0], t[1], t[2], 0}, 3});
    return geometry;
}
