#include "render/picture_renderer.h"

#include <GL/gl.h>

#include <stdexcept>
#include <utility>

#include "render/address_space.h"
#include "render/colored_drawing.h"
#include "render/gl_camera.h"
#include "render/supersample.h"
#include "render/surface_drawing.h"
#include "sht/build_limits.h"

namespace {

// The address space that drawing a frame may take beyond what the process holds, compiled
// shaders and vertex buffers included; measured with a limit, with room to spare.
constexpr size_t kDrawingAddressSpace = size_t{128} << 20;

}  // namespace

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

void CPictureRenderer::SetVertexShading(std::vector<Rgb8>&& aColors, bool bSmooth)
{
    VertexNormals normals;
    if (bSmooth)
        ComputeVertexNormals(m_mesh, normals);
    m_aVertexColors = std::move(aColors);
    m_normals = std::move(normals);
    m_bSmooth = bSmooth;
}

void CPictureRenderer::Paint(const Camera& camera)
{
    // The software rasteriser does not survive running out of address space while it draws
    // (it crashes), so the room it takes at most is asked for first.
    if (!AddressSpaceLeft(kDrawingAddressSpace))
        throw WorkTooLarge("cannot draw the picture: not enough memory");
    // The viewer's paint: the camera, then clear, draw and flush.
    SetViewpoint(camera.from[0], camera.from[1], camera.from[2], camera.to[0], camera.to[1], camera.to[2]);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // By sign with normals per face, the viewer's own drawing, pixel for pixel.
    if (m_aVertexColors.empty() && !m_bSmooth)
        DrawSurface(m_mesh, m_colors);
    else
        DrawColoredSurface(m_mesh, m_aVertexColors, m_colors, m_bSmooth ? &m_normals : nullptr);
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
