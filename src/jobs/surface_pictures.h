#pragma once

#include <vector>

#include "camera/camera_math.h"
#include "colour/field_coloring.h"
#include "export/output_files.h"
#include "jobs/job.h"
#include "jobs/run_hooks.h"
#include "mesh/surface_mesh.h"
#include "render/picture_renderer.h"
#include "sht/complex_field.h"

// The colours and pictures of a surface, shared by the runs that draw one: the polar plot and an
// orbital's boundary surface.

// The colouring of the surface: by sign, or by the values sampled (of the complex field's).
FieldColoring SurfaceColoring(const Job& job, const SurfaceMesh& mesh, const ComplexSamples& complex);

// The colour of each vertex for --color phase or value (none for sign): of its signed value, or
// of the complex value sampled there.
std::vector<Rgb8> VertexColors(const Job& job, const SurfaceMesh& mesh, const ComplexSamples& complex,
                               const FieldColoring& coloring);

// The single picture, or every frame of the turntable, each encoded and written while the next
// one draws (or taken by the hooks), the colour bar of a colouring by phase or value over its
// bottom rows and the title drawn on each.
void WritePictures(const Job& job, SurfaceMesh&& mesh, std::vector<Rgb8>&& aVertexColors,
                   const FieldColoring& coloring, const Camera& camera, CPictureRenderer& renderer,
                   COutputSet& outputs, IRunHooks& hooks);

// The camera of the picture (of the first frame of a turntable) and of the page: --fit's distance
// fits every frame. Warns when the surface spans less than a pixel from it (a camera far away).
Camera PictureCamera(const Job& job, const SurfaceMesh& mesh, IRunHooks& hooks);
