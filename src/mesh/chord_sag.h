#pragma once

#include "mesh/level_surface.h"

// The triangles of a level surface are chords of it: their corners lie on the surface, and a flat
// triangle sinks below a curved surface by (k_a a^2 + k_b b^2 + k_c c^2) / 24 on average, a, b and c
// its sides and k the surface's curvature along each, so that the mesh's volume falls short (and
// its area too) by a term in the square of the grid's step. Each vertex is moved along its
// normal by the mean of that depth over the triangles around it, the curvature along each side
// from the difference of the normals at its ends: a sphere's mesh then holds the sphere's volume
// to that order. Where the normals turn too much along an edge for the grid to resolve the bend,
// the vertices of its triangles stay on the surface.
void LiftChords(LevelMesh& mesh);
