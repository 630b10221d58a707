#include "render/surface_drawing.h"

#include <GL/gl.h>

namespace {

// Each light leans a little further along one eye axis; the three colours add up to white.
// Its colour serves as both its diffuse and its specular colour.
struct Light
{
    GLenum nLight;
    GLfloat afPosition[4];
    GLfloat afColor[4];
};

const Light kLights[3] = {
    {GL_LIGHT0, {1.09f, 1.0f, 1.0f, 0.0f}, {0.5f, 0.0f, 0.0f, 0.0f}},
    {GL_LIGHT1, {1.0f, 1.09f, 1.0f, 0.0f}, {0.5f, 0.5f, 0.0f, 0.0f}},
    {GL_LIGHT2, {1.0f, 1.0f, 1.09f, 0.0f}, {0.0f, 0.5f, 1.0f, 0.0f}},
};

void DrawFaces(const SurfaceMesh& mesh, const float afColor[3], const FaceQuadArray& aQuads,
               const FloatArray& aNX, const FloatArray& aNY, const FloatArray& aNZ, const GLdouble m[16])
{
    const GLfloat afAmbientDiffuse[4] = {afColor[0], afColor[1], afColor[2], 1.0f};
    const GLfloat afSpecular[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, afAmbientDiffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, afSpecular);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 64.0f);

    const float* pX = mesh.m_aX.GetData();
    const float* pY = mesh.m_aY.GetData();
    const float* pZ = mesh.m_aZ.GetData();
    const int32_t nFaces = aQuads.GetSize();
    for (int32_t i = 0; i < nFaces; ++i)
    {
        const float nx = aNX[i], ny = aNY[i], nz = aNZ[i];
        // The normal's eye-space z: positive when the face turns toward the viewer.
        // Edge-on faces (0) and faces with a NaN normal are not drawn.
        const double f = m[2] * nx + m[6] * ny + m[10] * nz;
        if (!(f > 0.0))
            continue;
        const FaceQuad& q = aQuads[i];
        glBegin(GL_POLYGON);
        glNormal3f(nx, ny, nz);
        glVertex3f(pX[q.a], pY[q.a], pZ[q.a]);
        glVertex3f(pX[q.b], pY[q.b], pZ[q.b]);
        glVertex3f(pX[q.c], pY[q.c], pZ[q.c]);
        glVertex3f(pX[q.d], pY[q.d], pZ[q.d]);
        glEnd();
    }
}

}  // namespace

void SetupLighting(const float afClearColor[4])
{
    glClearColor(afClearColor[0], afClearColor[1], afClearColor[2], afClearColor[3]);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    for (const Light& light : kLights)
        glLightfv(light.nLight, GL_POSITION, light.afPosition);
    for (const Light& light : kLights)
    {
        glLightfv(light.nLight, GL_SPECULAR, light.afColor);
        glLightfv(light.nLight, GL_DIFFUSE, light.afColor);
    }
    for (GLenum nCapability : {GL_LIGHTING, GL_LIGHT0, GL_LIGHT1, GL_LIGHT2, GL_NORMALIZE})
        glEnable(nCapability);
}

void DrawSurface(const SurfaceMesh& mesh, const ColorScheme& colors)
{
    // One snapshot of the camera serves both passes.
    GLdouble m[16];
    glMatrixMode(GL_MODELVIEW);
    glGetDoublev(GL_MODELVIEW_MATRIX, m);

    DrawFaces(mesh, colors.aPositive, mesh.m_aPosQuads, mesh.m_aPosNX, mesh.m_aPosNY, mesh.m_aPosNZ, m);
    DrawFaces(mesh, colors.aNegative, mesh.m_aNegQuads, mesh.m_aNegNX, mesh.m_aNegNY, mesh.m_aNegNZ, m);
}

void DrawSurface(const SurfaceMesh& mesh, const CLobaraSettings& settings)
{
    ColorScheme colors = {};
    settings.GetColors(colors.aPositive, colors.aNegative);
    DrawSurface(mesh, colors);
}
