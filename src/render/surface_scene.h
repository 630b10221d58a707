#pragma once

#include <cstdint>

#include "mesh/surface_mesh.h"
#include "settings/settings.h"

// What the view draws and when it rebuilds, independent of the window and of the kind of
// GL context: the view on screen and the offscreen renderer both run this same sequence.
// Every call needs the scene's context to be current.
class CSurfaceScene
{
public:
    // bResponsive: refuse (as a failed build) a surface that would freeze a window; the
    // viewer's scene is, a batch renderer's is not.
    CSurfaceScene(const CLobaraSettings& settings, bool bResponsive)
        : m_settings(settings), m_bResponsive(bResponsive)
    {}

    // On a fresh context: lights (with the identity modelview), the default camera, and the
    // first build. Throws std::bad_alloc when the
    // settings' surface cannot be built; lights and camera are in place all the same.
    void Create();

    // Create for a caller that has built the mesh from the current settings itself: lights,
    // the default camera, and UseMesh(mesh).
    void Create(SurfaceMesh&& mesh);

    // mesh, built by the caller from the current settings, becomes the surface that paints
    // draw until the settings' revision moves.
    void UseMesh(SurfaceMesh&& mesh);

    // Rebuilds the mesh from the current settings. Throws std::bad_alloc with the previous
    // mesh intact.
    void BuildSurface();

    // Rebuilds when the settings' revision differs from the one last built by a paint, then
    // clears and draws. A build that fails leaves the previous mesh, which is drawn, and
    // the revision unrecorded, so the next paint tries again. The first paint of a smaller
    // surface, or into fewer pixels, hands the memory let go back to the system.
    void Paint();

    const SurfaceMesh& GetMesh() const { return m_mesh; }
    int32_t GetBuiltRevision() const { return m_nBuiltRevision; }

private:
    void PlaceLightsAndCamera();

    const CLobaraSettings& m_settings;
    const bool m_bResponsive;
    int32_t m_nBuiltRevision = -1;
    SurfaceMesh m_mesh;
    int64_t m_nPaintedPixels = 0;  // the pixels of the last paint
    bool m_bReturnMemory = false;  // a smaller surface or picture let memory go
};
