#include "render/gl_camera.h"

#include <GL/gl.h>

#include "camera/camera_math.h"

bool SetViewpoint(double fromX, double fromY, double fromZ, double toX, double toY, double toZ)
{
    const double from[3] = {fromX, fromY, fromZ};
    const double to[3] = {toX, toY, toZ};
    double modelview[16];
    if (!ComputeModelview(from, to, modelview))
        return false;
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glMultMatrixd(modelview);
    return true;
}

bool GetViewpoint(double* pFromX, double* pFromY, double* pFromZ, double* pToX, double* pToY, double* pToZ)
{
    double modelview[16];
    glMatrixMode(GL_MODELVIEW);
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    double from[3], to[3];
    if (!RecoverViewpoint(modelview, from, to))
        return false;
    *pFromX = from[0];
    *pFromY = from[1];
    *pFromZ = from[2];
    *pToX = to[0];
    *pToY = to[1];
    *pToZ = to[2];
    return true;
}

void PremultiplyModelview(const double g[16])
{
    double s[16];
    glMatrixMode(GL_MODELVIEW);
    glGetDoublev(GL_MODELVIEW_MATRIX, s);
    glLoadMatrixd(g);
    glMultMatrixd(s);
}

void SetProjection(int nWidth, int nHeight)
{
    if (nWidth <= 0 || nHeight <= 0)
        return;
    glViewport(0, 0, nWidth, nHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const double a = static_cast<double>(nHeight) / static_cast<double>(nWidth);
    glOrtho(-1.0, 1.0, -a, a, -10.0, 10.0);
}
