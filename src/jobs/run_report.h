#pragma once

#include <string>
#include <vector>

#include "camera/table_layout.h"
#include "hydrogen/boundary_surface.h"
#include "jobs/job.h"
#include "jobs/run_hooks.h"
#include "mesh/surface_mesh.h"

// The --stats line of a surface: what was sampled (l and m, or the terms' count and highest
// degree), the grid, the mesh's counts and the convention, as one JSON line.
std::string SurfaceStatsLine(const Job& job, const SurfaceMesh& mesh);

// The --stats line of a hydrogen-like orbital's boundary surface: its numbers and charge, the
// level with the probability it encloses and the largest |psi|, the grid and its extent, the
// mesh's counts and the convention, as one JSON line.
std::string OrbitalStatsLine(const Job& job, const BoundarySurface& surface);

// The --stats line of a table: the cells' side and place.
std::string TableStatsLine(const TableLayout& layout);

// The warnings the field asks for: nothing to show, or a grid too coarse for the surface.
std::vector<std::string> FieldWarnings(const Job& job);

// Tells the hooks what a finished run has to say: the convention note, the input's warnings and
// the field's.
void TellAfterRun(const Job& job, const std::vector<std::string>& aInputWarnings, IRunHooks& hooks);
