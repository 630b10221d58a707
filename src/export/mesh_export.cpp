#include "export/mesh_export.h"

#include <array>

#include "export/mesh_formats.h"

namespace {

using MeshFilesWriter = void (*)(COutputSet& outputs, const std::string& strPath,
                                 const MeshGeometry& geometry, const ColorScheme& colors);

struct MeshFormat
{
    const char* pszExtension;
    const char* pszContents;
    MeshFilesWriter write;
};

void WritePlyFile(COutputSet& outputs, const std::string& strPath, const MeshGeometry& geometry,
                  const ColorScheme& colors)
{
    outputs.Write(strPath, [&](COutputStream& stream) { WritePly(stream, geometry, colors); });
}

// An OBJ's material library: beside it, under the same name ending in .mtl; for a link to an
// OBJ, beside the file it leads to, where a reader of the OBJ looks for it.
std::string MaterialLibraryPath(const std::string& strObjPath)
{
    const std::string strResolved = ResolvedOutputPath(strObjPath);
    const std::string& strObj = strResolved.empty() ? strObjPath : strResolved;
    return strObj.substr(0, strObj.size() - 4) + ".mtl";
}

void WriteObjFiles(COutputSet& outputs, const std::string& strPath, const MeshGeometry& geometry,
                   const ColorScheme& colors)
{
    const std::string strMtlPath = MaterialLibraryPath(strPath);
    const size_t nSlash = strMtlPath.rfind('/');
    const std::string strMtlName = nSlash == std::string::npos ? strMtlPath : strMtlPath.substr(nSlash + 1);
    outputs.Write(strPath, [&](COutputStream& stream) { WriteObj(stream, geometry, strMtlName); });
    outputs.Write(strMtlPath, [&](COutputStream& stream) { WriteMtl(stream, colors); });
}

void WriteStlFile(COutputSet& outputs, const std::string& strPath, const MeshGeometry& geometry,
                  const ColorScheme&)
{
    outputs.Write(strPath, [&](COutputStream& stream) { WriteStl(stream, geometry); });
}

void WriteGlbFile(COutputSet& outputs, const std::string& strPath, const MeshGeometry& geometry,
                  const ColorScheme& colors)
{
    outputs.Write(strPath, [&](COutputStream& stream) { WriteGlb(stream, geometry, colors); });
}

constexpr std::array<MeshFormat, 4> kMeshFormats = {{
    {".ply", "binary, coloured, with normals and values", WritePlyFile},
    {".obj", "+ .mtl, with normals", WriteObjFiles},
    {".stl", "binary triangles", WriteStlFile},
    {".glb", "glTF binary, with normals and values", WriteGlbFile},
}};

const MeshFormat* FindMeshFormat(const std::string& strPath)
{
    for (const MeshFormat& format : kMeshFormats)
    {
        const std::string strEnd = format.pszExtension;
        if (strPath.size() > strEnd.size() &&
            strPath.compare(strPath.size() - strEnd.size(), strEnd.size(), strEnd) == 0)
            return &format;
    }
    return nullptr;
}

// The formats joined as a list, "a, b, c or d", each as item(format) says.
template <typename Item>
std::string FormatList(Item item)
{
    std::string strList;
    for (size_t i = 0; i < kMeshFormats.size(); ++i)
    {
        if (i > 0)
            strList += i + 1 == kMeshFormats.size() ? " or " : ", ";
        strList += item(kMeshFormats[i]);
    }
    return strList;
}

}  // namespace

bool IsMeshPath(const std::string& strPath)
{
    return FindMeshFormat(strPath) != nullptr;
}

std::string MeshExtensions()
{
    return FormatList([](const MeshFormat& format) { return std::string(format.pszExtension); });
}

std::string MeshFormatsDescribed()
{
    return FormatList([](const MeshFormat& format) {
        return std::string(format.pszExtension) + " (" + format.pszContents + ")";
    });
}

std::vector<std::string> MeshFilePaths(const std::string& strPath)
{
    const MeshFormat* pFormat = FindMeshFormat(strPath);
    if (pFormat != nullptr && pFormat->write == WriteObjFiles)
        return {strPath, MaterialLibraryPath(strPath)};
    return {strPath};
}

void WriteMeshFiles(COutputSet& outputs, const std::string& strPath, const MeshGeometry& geometry,
                    const ColorScheme& colors)
{
    if (const MeshFormat* pFormat = FindMeshFormat(strPath))
        pFormat->write(outputs, strPath, geometry, colors);
}
