#pragma once

#include "camera/camera_math.h"
#include "export/picture.h"
#include "render/offscreen_context.h"
#include "surface/color_schemes.h"
#include "surface/surface_mesh.h"

// How pictures are made: nSupersample times larger on each side and box-filtered down, on the
// chosen background.
struct PictureStyle
{
    int nSupersample = 1;
    Background background = Background::kBlack;
};

// The viewer's lights and drawing in an offscreen context, drawing one mesh from any camera:
// each picture is what the viewer shows in a client area of that size. One renderer serves many
// surfaces of the same picture size, so the GL context (and the rasteriser's compiled code) is
// made once.
class CPictureRenderer
{
public:
    CPictureRenderer(int nWidth, int nHeight, const PictureStyle& style);

    // The surface that pictures show from now on, coloured by sign.
    void SetSurface(SurfaceMesh&& mesh, const ColorScheme& colors);

    // The picture from the camera, which must be placeable (From and To distinct and finite).
    Picture Render(const Camera& camera);

private:
    PictureStyle m_style;
    COffscreenContext m_context;
    SurfaceMesh m_mesh;
    ColorScheme m_colors = {};
};
