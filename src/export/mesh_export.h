#pragma once

#include <string>
#include <vector>

#include "colour/color_schemes.h"
#include "export/output_files.h"
#include "mesh/mesh_geometry.h"

// True when the path ends in the extension of a mesh format that WriteMeshFiles knows.
bool IsMeshPath(const std::string& strPath);

// The mesh formats' extensions for a message: ".ply, .obj, .stl or .glb".
std::string MeshExtensions();
// The same, each with what its file holds: ".ply (binary, ...), .obj (+ .mtl, ...), ...".
std::string MeshFormatsDescribed();

// The files WriteMeshFiles writes for strPath: strPath, and for an .obj its material library.
std::vector<std::string> MeshFilePaths(const std::string& strPath);

// Writes geometry to strPath in the format its extension names; an .obj brings its material library
// beside it, under the same name ending in .mtl.
void WriteMeshFiles(COutputSet& outputs, const std::string& strPath, const MeshGeometry& geometry,
                    const ColorScheme& colors);
