#pragma once

#include "hydrogen/level_surface.h"

// The triangles of a level surface are chords of the curved cells of (r, theta, phi): a flat
// triangle whose corners lie on a sphere about the nucleus sinks below it by (a^2 + b^2 + c^2) / 24
// of its radius on average, a, b and c the angles between its corners seen from the nucleus, so
// that the mesh's volume falls short by a term in the square of the angular step. Each vertex
// is moved out along its radius by the mean of that depth over the triangles around it, which
// gives a sphere's mesh the sphere's volume to that order.
void LiftChords(LevelMesh& mesh);
