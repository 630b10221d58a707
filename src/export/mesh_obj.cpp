#include <charconv>

#include "export/mesh_faces.h"
#include "export/mesh_formats.h"

namespace {

// The shortest decimal that reads back as the same float.
void AppendFloat(std::string& strLine, float f)
{
    char acText[32];
    const auto result = std::to_chars(acText, acText + sizeof acText, f);
    strLine += ' ';
    strLine.append(acText, result.ptr);
}

void AppendColor(std::string& strText, const char* pszKey, const float* pColor)
{
    strText += pszKey;
    for (int i = 0; i < 3; ++i)
        AppendFloat(strText, pColor[i]);
    strText += '\n';
}

}  // namespace

void WriteObj(COutputStream& stream, const SurfaceMesh& mesh, const std::string& strMaterialLibrary)
{
    stream.Write("mtllib " + strMaterialLibrary + "\n");
    std::string strLine;
    for (int32_t i = 0; i < mesh.m_aX.GetSize(); ++i)
    {
        strLine = "v";
        AppendFloat(strLine, mesh.m_aX[i]);
        AppendFloat(strLine, mesh.m_aY[i]);
        AppendFloat(strLine, mesh.m_aZ[i]);
        strLine += '\n';
        stream.Write(strLine);
    }
    for (int nSign = 0; nSign < kSignCount; ++nSign)
    {
        stream.Write(std::string("g ") + kSignNames[nSign] + "\nusemtl " + kSignNames[nSign] + "\n");
        const FaceQuadArray& aQuads = SignFaces(mesh, nSign);
        for (int32_t i = 0; i < aQuads.GetSize(); ++i)
        {
            // OBJ counts vertices from 1.
            const FaceQuad& q = aQuads[i];
            strLine = "f " + std::to_string(int64_t{q.a} + 1) + ' ' + std::to_string(int64_t{q.b} + 1) + ' ' +
                      std::to_string(int64_t{q.c} + 1) + ' ' + std::to_string(int64_t{q.d} + 1) + '\n';
            stream.Write(strLine);
        }
    }
}

void WriteMtl(COutputStream& stream, const ColorScheme& colors)
{
    std::string strText;
    for (int nSign = 0; nSign < kSignCount; ++nSign)
    {
        strText += std::string("newmtl ") + kSignNames[nSign] + "\n";
        AppendColor(strText, "Ka", SignColor(colors, nSign));
        AppendColor(strText, "Kd", SignColor(colors, nSign));
        strText += "illum 1\n";
    }
    stream.Write(strText);
}
