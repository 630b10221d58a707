#include "support/offscreen_scene.h"

#include "render/gl_camera.h"

COffscreenScene::COffscreenScene(const CLobaraSettings& settings, int nWidth, int nHeight)
    : m_context(nWidth, nHeight), m_scene(settings, false)
{
    m_context.MakeCurrent();
    m_scene.Create();
    SetProjection(nWidth, nHeight);
}
