#pragma once

#include "colour/field_coloring.h"
#include "jobs/job.h"
#include "picture/picture.h"

// The colour bar of a surface coloured by phase or value, as a map's: a strip of the picture's
// width on the background, the bar with its numbers in the picture's text size and a caption
// line where the values have one (an orbital's psi). Both the pictures and the page lay it over
// the bottom rows of the surface's picture. An empty picture for a colouring by sign.
Picture SurfaceColorBarStrip(const Job& job, const FieldColoring& coloring);
