#pragma once

#include "lobara-render/render_options.h"

// --map: samples the field on a grid fine enough for the map, colours it and writes the map
// picture with its colour bar to --out. Throws as RunSurface.
void RunMap(const RenderOptions& options);
