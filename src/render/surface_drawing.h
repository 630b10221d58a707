#pragma once

#include "settings/settings.h"
#include "surface/surface_mesh.h"

// These need the view's rendering context to be current; they know nothing else of it.

// Clear values, depth test and three coloured directional lights fixed in eye space.
// Call once on a fresh context, while the modelview is still the identity.
void SetupLighting();

// Draws the positive faces in the scheme's first colour, then the negative faces in its
// second, submitting only faces whose normal turns toward the viewer.
void DrawSurface(const SurfaceMesh& mesh, const CLobaraSettings& settings);
