#pragma once

#include <vector>

#include "camera/camera_math.h"
#include "colour/field_coloring.h"
#include "jobs/job.h"
#include "mesh/surface_mesh.h"
#include "page/page_content.h"

// What the page of --html holds for the surface run: the samples (or, for a single harmonic or a
// named orbital coloured by sign, the terms the page synthesises itself), the colours, the
// camera the picture starts from, and the title and colour bar drawn as the picture draws them.
PageContent MakePageContent(const Job& job, const SurfaceMesh& mesh, const std::vector<Rgb8>& aVertexColors,
                            const FieldColoring& coloring, const Camera& camera);
