#pragma once

#include "render/offscreen_context.h"
#include "render/surface_scene.h"
#include "settings/settings.h"

// The settings' surface in a context of its own, set up as the view sets itself up: the scene
// created, then the projection of a client area of nWidth x nHeight pixels.
class COffscreenScene
{
public:
    COffscreenScene(const CLobaraSettings& settings, int nWidth = 400, int nHeight = 300);

    // Paints as the view does; the picture is then in Context().ReadPixels().
    void Paint() { m_scene.Paint(); }

    CSurfaceScene& Scene() { return m_scene; }
    COffscreenContext& Context() { return m_context; }

private:
    COffscreenContext m_context;
    CSurfaceScene m_scene;
};
