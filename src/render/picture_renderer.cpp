#include "render/picture_renderer.h"

#include <GL/gl.h>

#include <utility>

#include "render/gl_camera.h"
#include "render/supersample.h"
#include "render/surface_drawing.h"

CPictureRenderer::CPictureRenderer(int nWidth, int nHeight, const PictureStyle& style)
    : m_style(style), m_context(nWidth * style.nSupersample, nHeight * style.nSupersample)
{
    m_context.MakeCurrent();
    // Lights go in once, on the fresh context, as the viewer's go in; surfaces come later.
    const std::array<uint8_t, 4> anBackground = BackgroundPixel(style.background);
    float afClear[4];
    for (int i = 0; i < 4; ++i)
        afClear[i] = anBackground[i] / 255.0f;
    SetupLighting(afClear);
    SetProjection(m_context.GetWidth(), m_context.GetHeight());
}

void CPictureRenderer::SetSurface(SurfaceMesh&& mesh, const ColorScheme& colors)
{
    m_mesh = std::move(mesh);
    m_colors = colors;
}

void CPictureRenderer::Paint(const Camera& camera)
{
    // The viewer's paint: the camera, then clear, draw and flush.
    SetViewpoint(camera.from[0], camera.from[1], camera.from[2], camera.to[0], camera.to[1], camera.to[2]);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    DrawSurface(m_mesh, m_colors);
    glFlush();
}

Picture CPictureRenderer::Draw(const Camera& camera)
{
    Paint(camera);
    return Picture{m_context.GetWidth(), m_context.GetHeight(),
                   m_style.background == Background::kTransparent, m_context.ReadPixels()};
}

Picture CPictureRenderer::Downsample(Picture&& drawing) const
{
    if (m_style.nSupersample > 1)
        return BoxFilter(drawing.aRgba, drawing.nWidth, drawing.nHeight, m_style.nSupersample,
                         drawing.bAlpha);
    return std::move(drawing);
}
