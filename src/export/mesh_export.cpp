#include "export/mesh_export.h"

#include "export/mesh_formats.h"

namespace {

bool EndsWith(const std::string& strText, const char* pszEnd)
{
    const std::string strEnd = pszEnd;
    return strText.size() > strEnd.size() &&
           strText.compare(strText.size() - strEnd.size(), strEnd.size(), strEnd) == 0;
}

}  // namespace

bool IsMeshPath(const std::string& strPath)
{
    for (const char* pszExtension : {".ply", ".obj", ".stl", ".glb"})
        if (EndsWith(strPath, pszExtension))
            return true;
    return false;
}

void WriteMeshFiles(COutputSet& outputs, const std::string& strPath, const SurfaceMesh& mesh,
                    const ColorScheme& colors)
{
    if (EndsWith(strPath, ".ply"))
        outputs.Write(strPath, [&](COutputStream& stream) { WritePly(stream, mesh, colors); });
    else if (EndsWith(strPath, ".stl"))
        outputs.Write(strPath, [&](COutputStream& stream) { WriteStl(stream, mesh); });
    else if (EndsWith(strPath, ".glb"))
        outputs.Write(strPath, [&](COutputStream& stream) { WriteGlb(stream, mesh, colors); });
    else
    {
        const std::string strMtlPath = strPath.substr(0, strPath.size() - 4) + ".mtl";
        const size_t nSlash = strMtlPath.rfind('/');
        const std::string strMtlName =
            nSlash == std::string::npos ? strMtlPath : strMtlPath.substr(nSlash + 1);
        outputs.Write(strPath, [&](COutputStream& stream) { WriteObj(stream, mesh, strMtlName); });
        outputs.Write(strMtlPath, [&](COutputStream& stream) { WriteMtl(stream, colors); });
    }
}
