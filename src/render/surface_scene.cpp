#include "render/surface_scene.h"

#include <GL/gl.h>

#include <new>
#include <utility>

#include "camera/camera_math.h"
#include "mesh/surface_builder.h"
#include "platform/heap_tuning.h"
#include "render/gl_camera.h"
#include "render/surface_drawing.h"
#include "settings/responsiveness.h"

namespace {

// The number of pixels the context draws into.
int64_t ViewportPixels()
{
    GLint anViewport[4];
    glGetIntegerv(GL_VIEWPORT, anViewport);
    return int64_t{anViewport[2]} * anViewport[3];
}

}  // namespace

void CSurfaceScene::PlaceLightsAndCamera()
{
    SetupLighting(kViewerClearColor);
    const Camera& c = kDefaultCamera;
    SetViewpoint(c.from[0], c.from[1], c.from[2], c.to[0], c.to[1], c.to[2]);
}

void CSurfaceScene::Create()
{
    // The camera goes in before the build, so a failed build still leaves a usable scene.
    PlaceLightsAndCamera();
    BuildSurface();
}

void CSurfaceScene::Create(SurfaceMesh&& mesh)
{
    PlaceLightsAndCamera();
    UseMesh(std::move(mesh));
}

void CSurfaceScene::UseMesh(SurfaceMesh&& mesh)
{
    m_mesh = std::move(mesh);
    m_nBuiltRevision = m_settings.m_nRevision;
}

void CSurfaceScene::BuildSurface()
{
    int l, m, nTheta, nPhi;
    m_settings.GetLM(&l, &m);
    m_settings.GetResolution(&nTheta, &nPhi);
    if (m_bResponsive)
        CheckResponsive(l, m, nTheta, nPhi, ViewportPixels());
    const auto capacity = [this] { return m_mesh.m_aX.GetCapacity() + m_mesh.m_aPosQuads.GetCapacity(); };
    const int64_t nOldCapacity = capacity();
    BuildSurfaceMesh(l, m, nTheta, nPhi, m_mesh);
    // A much smaller surface let the larger one's storage go.
    m_bReturnMemory = m_bReturnMemory || capacity() < nOldCapacity;
}

void CSurfaceScene::Paint()
{
    if (m_nBuiltRevision != m_settings.m_nRevision)
    {
        try
        {
            BuildSurface();
            m_nBuiltRevision = m_settings.m_nRevision;
        }
        catch (const std::bad_alloc&)
        {
            // The mesh is untouched by a failed build: keep showing it rather than
            // leaving the window unpainted.
        }
    }
    // A picture smaller than the last lets GL's larger buffers go when it is cleared.
    const int64_t nPixels = ViewportPixels();
    m_bReturnMemory = m_bReturnMemory || nPixels < m_nPaintedPixels;
    m_nPaintedPixels = nPixels;

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    DrawSurface(m_mesh, m_settings);
    glFlush();
    // What the larger surface or picture and its frames let go, the heap tuned for drawing
    // would keep: it goes back to the system once the smaller one is drawn.
    if (m_bReturnMemory)
        ReturnFreeMemory();
    m_bReturnMemory = false;
}
