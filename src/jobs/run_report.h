#pragma once

#include <string>
#include <vector>

#include "camera/table_layout.h"
#include "jobs/job.h"
#include "mesh/surface_mesh.h"

// The --stats line of a surface: what was sampled (l and m, or the terms' count and highest
// degree), the grid, the mesh's counts and the convention, as one JSON line.
std::string SurfaceStatsLine(const Job& job, const SurfaceMesh& mesh);

// The --stats line of a table: the cells' side and place.
std::string TableStatsLine(const TableLayout& layout);

// The warnings the field asks for: nothing to show, or a grid too coarse for it.
std::vector<std::string> FieldWarnings(const Job& job);
