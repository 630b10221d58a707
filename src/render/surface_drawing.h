#pragma once

#include "colour/color_schemes.h"
#include "mesh/surface_mesh.h"
#include "settings/settings.h"

// These need the view's rendering context to be current; they know nothing else of it.

// The viewer's background: black, with alpha 0 where nothing is drawn.
constexpr float kViewerClearColor[4] = {0.0f, 0.0f, 0.0f, 0.0f};

// Clear values (colour afClearColor), depth test and three coloured directional lights fixed
// in eye space. Call once on a fresh context, while the modelview is still the identity.
void SetupLighting(const float afClearColor[4]);

// Draws the positive faces in the scheme's first colour, then the negative faces in its
// second, submitting only faces whose normal turns toward the viewer.
void DrawSurface(const SurfaceMesh& mesh, const ColorScheme& colors);

// DrawSurface in the colours of the settings' scheme, read once.
void DrawSurface(const SurfaceMesh& mesh, const CLobaraSettings& settings);
