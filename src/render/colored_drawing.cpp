#include "render/colored_drawing.h"

#include <GL/gl.h>

namespace {

struct FaceList
{
    const FaceQuadArray& aQuads;
    const FloatArray& aNX;
    const FloatArray& aNY;
    const FloatArray& aNZ;
    const float* pColor;
};

void DrawFaceList(const SurfaceMesh& mesh, const FaceList& list, const std::vector<Rgb8>& aColors,
                  const VertexNormals* pNormals, const GLdouble m[16])
{
    const float* pX = mesh.m_aX.GetData();
    const float* pY = mesh.m_aY.GetData();
    const float* pZ = mesh.m_aZ.GetData();
    const auto vertex = [&](int32_t k) {
        if (!aColors.empty())
            glColor3ubv(aColors[static_cast<size_t>(k)].data());
        if (pNormals)
            glNormal3f(pNormals->m_aNX[k], pNormals->m_aNY[k], pNormals->m_aNZ[k]);
        glVertex3f(pX[k], pY[k], pZ[k]);
    };
    if (aColors.empty())
        glColor3fv(list.pColor);
    const int32_t nFaces = list.aQuads.GetSize();
    for (int32_t i = 0; i < nFaces; ++i)
    {
        const float nx = list.aNX[i], ny = list.aNY[i], nz = list.aNZ[i];
        // As DrawSurface: only faces whose normal has a positive eye-space z.
        const double f = m[2] * nx + m[6] * ny + m[10] * nz;
        if (!(f > 0.0))
            continue;
        const FaceQuad& q = list.aQuads[i];
        glBegin(GL_POLYGON);
        if (!pNormals)
            glNormal3f(nx, ny, nz);
        vertex(q.a);
        vertex(q.b);
        vertex(q.c);
        vertex(q.d);
        glEnd();
    }
}

}  // namespace

void DrawColoredSurface(const SurfaceMesh& mesh, const std::vector<Rgb8>& aColors, const ColorScheme& scheme,
                        const VertexNormals* pNormals)
{
    GLdouble m[16];
    glMatrixMode(GL_MODELVIEW);
    glGetDoublev(GL_MODELVIEW_MATRIX, m);

    // The material of DrawSurface, its ambient and diffuse colour taken from glColor.
    const GLfloat afSpecular[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, afSpecular);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 64.0f);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
    DrawFaceList(mesh, {mesh.m_aPosQuads, mesh.m_aPosNX, mesh.m_aPosNY, mesh.m_aPosNZ, scheme.aPositive},
                 aColors, pNormals, m);
    DrawFaceList(mesh, {mesh.m_aNegQuads, mesh.m_aNegNX, mesh.m_aNegNY, mesh.m_aNegNZ, scheme.aNegative},
                 aColors, pNormals, m);
    glDisable(GL_COLOR_MATERIAL);
}
