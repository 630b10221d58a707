#pragma once

#include <vector>

#include "camera/camera_math.h"
#include "colour/field_coloring.h"
#include "export/output_files.h"
#include "jobs/job.h"
#include "jobs/run_hooks.h"
#include "mesh/surface_mesh.h"
#include "page/page_content.h"

// The page of --html written (or taken by the hooks): the samples (or, for a single harmonic or
// a named orbital coloured by sign, the terms the page synthesises itself; for a hydrogen-like
// orbital, its boundary surface's triangles), the colours, the camera the picture starts from,
// and the title and colour bar drawn as the picture draws them.
void WritePage(const Job& job, const SurfaceMesh& mesh, const std::vector<Rgb8>& aVertexColors,
               const FieldColoring& coloring, const Camera& camera, COutputSet& outputs, IRunHooks& hooks);
