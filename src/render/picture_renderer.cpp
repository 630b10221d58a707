#include "render/picture_renderer.h"

#include <GL/gl.h>

#include <utility>

#include "render/supersample.h"
#include "render/gl_camera.h"

CPictureRenderer::CPictureRenderer(int nWidth, int nHeight, const PictureStyle& style)
    : m_style(style),
      m_context(nWidth * style.nSupersample, nHeight * style.nSupersample),
      m_scene(m_settings, false)
{
    m_context.MakeCurrent();
    // Lights go in once, on the fresh context; surfaces come later.
    m_scene.Create(SurfaceMesh());
    // The scene clears to the viewer's black with alpha 0, which is also the transparent
    // background; white replaces it.
    if (m_style.background == Background::kWhite)
        glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    SetProjection(m_context.GetWidth(), m_context.GetHeight());
}

void CPictureRenderer::SetSurface(const CLobaraSettings& settings, SurfaceMesh&& mesh)
{
    m_settings = settings;
    m_scene.UseMesh(std::move(mesh));
}

Picture CPictureRenderer::Render(const double from[3], const double to[3])
{
    SetViewpoint(from[0], from[1], from[2], to[0], to[1], to[2]);
    m_scene.Paint();
    const std::vector<uint8_t>& aPixels = m_context.ReadPixels();
    const bool bAlpha = m_style.background == Background::kTransparent;
    if (m_style.nSupersample > 1)
        return BoxFilter(aPixels, m_context.GetWidth(), m_context.GetHeight(), m_style.nSupersample, bAlpha);
    return Picture{m_context.GetWidth(), m_context.GetHeight(), bAlpha, aPixels};
}
