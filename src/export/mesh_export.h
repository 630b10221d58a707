#pragma once

#include <string>

#include "export/output_files.h"
#include "surface/color_schemes.h"
#include "surface/surface_mesh.h"

// True when the path ends in an extension WriteMeshFiles knows: .ply, .obj, .stl or .glb.
bool IsMeshPath(const std::string& strPath);

// Writes mesh to strPath in the format its extension names; an .obj brings its material library
// beside it, under the same name ending in .mtl.
void WriteMeshFiles(COutputSet& outputs, const std::string& strPath, const SurfaceMesh& mesh,
                    const ColorScheme& colors);
