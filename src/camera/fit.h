#pragma once

#include "mesh/surface_mesh.h"

// Moves From along the line from To through From to the distance at which the camera sees the
// whole mesh in a picture of nWidth x nHeight pixels, with a margin of 5 % of the limiting side
// at each end and nothing cut off in depth, from every frame of a turntable of nFrames about To
// (1: from From alone). Leaves From as it is when the mesh has no extent (nothing, or a point at
// To), where no distance fits.
void FitCamera(const SurfaceMesh& mesh, const double to[3], int nWidth, int nHeight, int nFrames,
               double from[3]);
