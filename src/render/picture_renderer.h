#pragma once

#include <vector>

#include "camera/camera_math.h"
#include "colour/color_maps.h"
#include "colour/color_schemes.h"
#include "mesh/surface_mesh.h"
#include "mesh/vertex_normals.h"
#include "picture/picture.h"
#include "render/offscreen_context.h"

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
// made once. A picture comes in two steps, so that the second can run on another thread while
// the next picture draws: Draw in the renderer's context, then Downsample anywhere.
class CPictureRenderer
{
public:
    CPictureRenderer(int nWidth, int nHeight, const PictureStyle& style);

    // The surface that pictures show from now on, coloured by sign.
    void SetSurface(SurfaceMesh&& mesh, const ColorScheme& colors);

    // From now on, the surface's vertices in their colours of aColors (one per vertex; empty:
    // by sign as before) and, with bSmooth, shaded with normals per vertex instead of per face.
    // Throws std::bad_alloc with the drawing as it was.
    void SetVertexShading(std::vector<Rgb8>&& aColors, bool bSmooth);

    // The viewer's paint from the camera, which must be placeable (From and To distinct and
    // finite); the rasteriser may still be at work when it returns.
    void Paint(const Camera& camera);

    // Paints and reads the drawing back, at nSupersample times the picture's size.
    Picture Draw(const Camera& camera);

    // The picture that a drawing of this renderer gives. Needs no GL context.
    Picture Downsample(Picture&& drawing) const;

private:
    PictureStyle m_style;
    COffscreenContext m_context;
    SurfaceMesh m_mesh;
    ColorScheme m_colors = {};
    std::vector<Rgb8> m_aVertexColors;
    VertexNormals m_normals;
    bool m_bSmooth = false;
};
