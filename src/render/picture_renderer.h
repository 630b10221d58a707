#pragma once

#include "export/picture.h"
#include "render/offscreen_context.h"
#include "settings/settings.h"
#include "surface/surface_mesh.h"
#include "render/surface_scene.h"

// How pictures are made: nSupersample times larger on each side and box-filtered down, on the
// chosen background.
struct PictureStyle
{
    int nSupersample = 1;
    Background background = Background::kBlack;
};

// The viewer's scene in an offscreen context, drawing one mesh from any camera: each picture
// is what the viewer shows in a client area of that size. One renderer serves many surfaces of
// the same picture size, so the GL context (and the rasteriser's compiled code) is made once.
class CPictureRenderer
{
public:
    CPictureRenderer(int nWidth, int nHeight, const PictureStyle& style);

    // The surface that pictures show from now on; mesh must have been built from settings.
    void SetSurface(const CLobaraSettings& settings, SurfaceMesh&& mesh);

    // The picture from From towards To, which must place a camera.
    Picture Render(const double from[3], const double to[3]);

private:
    PictureStyle m_style;
    COffscreenContext m_context;
    CLobaraSettings m_settings;
    CSurfaceScene m_scene;
};
