#pragma once

#include "lobara-render/render_options.h"

// Builds the surface of Y(l, m) once and makes every output asked for from it: statistics,
// values, a 3D model, a picture or the frames of a turntable. Files appear all together or not
// at all. Throws std::bad_alloc when the surface cannot be built and std::runtime_error when
// an output cannot be made.
void RunSurface(const RenderOptions& options);
