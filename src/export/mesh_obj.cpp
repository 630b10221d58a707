#include <charconv>
#include <utility>

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

void WriteObj(COutputStream& stream, const MeshGeometry& geometry, const std::string& strMaterialLibrary)
{
    stream.Write("mtllib " + strMaterialLibrary + "\n");
    std::string strLine;
    for (const auto& [pszKey, afCoordinates] :
         {std::make_pair("v", &geometry.aPoint), std::make_pair("vn", &geometry.aNormal)})
        for (size_t k = 0; k < afCoordinates->size(); k += 3)
        {
            strLine = pszKey;
            for (size_t c = 0; c < 3; ++c)
                AppendFloat(strLine, (*afCoordinates)[k + c]);
            strLine += '\n';
            stream.Write(strLine);
        }
    for (int nSign = 0; nSign < kSignCount; ++nSign)
    {
        stream.Write(std::string("g ") + kSignNames[nSign] + "\nusemtl " + kSignNames[nSign] + "\n");
        for (const MeshFace& face : geometry.aFaces[nSign])
        {
            // OBJ counts vertices from 1; vertex n has normal n.
            strLine = "f";
            for (int k = 0; k < face.nCorners; ++k)
            {
                const std::string strIndex = std::to_string(int64_t{face.an[k]} + 1);
                strLine += ' ' + strIndex + "//" + strIndex;
            }
            strLine += '\n';
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
