#include <tiny_gltf.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <map>
#include <ostream>
#include <stdexcept>
#include <streambuf>

#include "export/mesh_faces.h"
#include "export/mesh_formats.h"

namespace {

constexpr int kArrayBuffer = 34962;
constexpr int kElementArrayBuffer = 34963;

// Lets the glTF writer's std::ostream write through the output stream; its failure is thrown
// again from the ostream, whose exception mask includes badbit.
class CStreamAdapter : public std::streambuf
{
public:
    explicit CStreamAdapter(COutputStream& stream) : m_stream(stream) {}

protected:
    std::streamsize xsputn(const char* p, std::streamsize n) override
    {
        m_stream.Write(p, static_cast<size_t>(n));
        return n;
    }
    int_type overflow(int_type c) override
    {
        if (!traits_type::eq_int_type(c, traits_type::eof()))
        {
            const char ch = traits_type::to_char_type(c);
            m_stream.Write(&ch, 1);
        }
        return traits_type::not_eof(c);
    }

private:
    COutputStream& m_stream;
};

// Appends bytes to the model's one buffer and a view of them.
int AddView(tinygltf::Model& model, const void* pData, size_t nBytes, int nTarget)
{
    std::vector<unsigned char>& aBytes = model.buffers[0].data;
    tinygltf::BufferView view;
    view.buffer = 0;
    view.byteOffset = aBytes.size();
    view.byteLength = nBytes;
    view.target = nTarget;
    const auto* p = static_cast<const unsigned char*>(pData);
    aBytes.insert(aBytes.end(), p, p + nBytes);
    model.bufferViews.push_back(view);
    return static_cast<int>(model.bufferViews.size()) - 1;
}

int AddAccessor(tinygltf::Model& model, int nView, int nComponentType, int nType, size_t nCount)
{
    tinygltf::Accessor accessor;
    accessor.bufferView = nView;
    accessor.componentType = nComponentType;
    accessor.type = nType;
    accessor.count = nCount;
    model.accessors.push_back(accessor);
    return static_cast<int>(model.accessors.size()) - 1;
}

// A float attribute of every vertex, nComponents a vertex.
int AddVertexAttribute(tinygltf::Model& model, const std::vector<float>& afData, int nType,
                       size_t nComponents)
{
    const int nView = AddView(model, afData.data(), afData.size() * sizeof(float), kArrayBuffer);
    return AddAccessor(model, nView, TINYGLTF_COMPONENT_TYPE_FLOAT, nType, afData.size() / nComponents);
}

// The vertices, interleaved x, y, z, with their bounds, which glTF requires of positions.
int AddPositions(tinygltf::Model& model, const MeshGeometry& geometry)
{
    std::vector<double> adMin(3, std::numeric_limits<double>::infinity());
    std::vector<double> adMax(3, -std::numeric_limits<double>::infinity());
    for (size_t k = 0; k < geometry.aPoint.size(); ++k)
    {
        adMin[k % 3] = std::min<double>(adMin[k % 3], geometry.aPoint[k]);
        adMax[k % 3] = std::max<double>(adMax[k % 3], geometry.aPoint[k]);
    }
    const int nAccessor = AddVertexAttribute(model, geometry.aPoint, TINYGLTF_TYPE_VEC3, 3);
    model.accessors[static_cast<size_t>(nAccessor)].minValues = adMin;
    model.accessors[static_cast<size_t>(nAccessor)].maxValues = adMax;
    return nAccessor;
}

// The vertices' colours as glTF's COLOR_0, linear floats from the sRGB bytes a picture shows.
int AddColors(tinygltf::Model& model, const std::vector<std::array<uint8_t, 3>>& aColor)
{
    std::vector<float> afLinear;
    afLinear.reserve(3 * aColor.size());
    for (const std::array<uint8_t, 3>& rgb : aColor)
        for (const uint8_t n : rgb)
        {
            const double c = n / 255.0;
            afLinear.push_back(
                static_cast<float>(c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4)));
        }
    return AddVertexAttribute(model, afLinear, TINYGLTF_TYPE_VEC3, 3);
}

int AddMaterial(tinygltf::Model& model, const char* pszName, const float* pColor)
{
    tinygltf::Material material;
    material.name = pszName;
    material.pbrMetallicRoughness.baseColorFactor = {pColor[0], pColor[1], pColor[2], 1.0};
    material.pbrMetallicRoughness.metallicFactor = 0.0;
    material.pbrMetallicRoughness.roughnessFactor = 0.5;
    model.materials.push_back(material);
    return static_cast<int>(model.materials.size()) - 1;
}

tinygltf::Primitive MakePrimitive(tinygltf::Model& model, const std::vector<MeshFace>& aFaces,
                                  const std::map<std::string, int>& attributes, int nMaterial)
{
    std::vector<uint32_t> anIndices;
    for (const MeshFace& face : aFaces)
        ForEachFaceTriangle(face, [&anIndices](const int32_t* pCorners) {
            anIndices.insert(anIndices.end(), pCorners, pCorners + 3);
        });
    const int nView =
        AddView(model, anIndices.data(), anIndices.size() * sizeof(uint32_t), kElementArrayBuffer);
    tinygltf::Primitive primitive;
    primitive.attributes = attributes;
    primitive.indices = AddAccessor(model, nView, TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT, TINYGLTF_TYPE_SCALAR,
                                    anIndices.size());
    primitive.material = nMaterial;
    primitive.mode = TINYGLTF_MODE_TRIANGLES;
    return primitive;
}

}  // namespace

void WriteGlb(COutputStream& stream, const MeshGeometry& geometry, const ColorScheme& colors)
{
    // Chunk lengths are 32-bit; leave room for the JSON.
    uint64_t nTriangles = 0;
    ForEachTriangle(geometry, [&nTriangles](int, const int32_t*) { ++nTriangles; });
    const uint64_t nVertexBytes = 28 + (geometry.aPhase.empty() ? 0 : 4) + (geometry.aColor.empty() ? 0 : 12);
    const uint64_t nBinaryBytes =
        nVertexBytes * static_cast<uint64_t>(VertexCount(geometry)) + 12 * nTriangles;
    if (nBinaryBytes > std::numeric_limits<uint32_t>::max() - (uint64_t{1} << 20))
        throw std::runtime_error("cannot write '" + stream.GetName() +
                                 "': the surface is too large for glTF binary");

    tinygltf::Model model;
    model.asset.version = "2.0";
    model.asset.generator = "lobara-render " LOBARA_VERSION;
    // A named scene is an object even when it holds nothing, as glTF requires (an empty one
    // would be written as null).
    tinygltf::Scene scene;
    scene.name = "surface";
    if (VertexCount(geometry) > 0)
    {
        model.buffers.resize(1);
        std::map<std::string, int> attributes = {
            {"POSITION", AddPositions(model, geometry)},
            {"NORMAL", AddVertexAttribute(model, geometry.aNormal, TINYGLTF_TYPE_VEC3, 3)},
            {"_VALUE", AddVertexAttribute(model, geometry.aValue, TINYGLTF_TYPE_SCALAR, 1)}};
        if (!geometry.aPhase.empty())
            attributes["_PHASE"] = AddVertexAttribute(model, geometry.aPhase, TINYGLTF_TYPE_SCALAR, 1);
        // Readers multiply the vertex colours by the material's: white leaves them as they are.
        static const float kWhite[3] = {1.0f, 1.0f, 1.0f};
        if (!geometry.aColor.empty())
            attributes["COLOR_0"] = AddColors(model, geometry.aColor);
        tinygltf::Mesh gltfMesh;
        gltfMesh.name = "surface";
        for (int nSign = 0; nSign < kSignCount; ++nSign)
        {
            const int nMaterial = AddMaterial(model, kSignNames[nSign],
                                              geometry.aColor.empty() ? SignColor(colors, nSign) : kWhite);
            if (!geometry.aFaces[nSign].empty())
                gltfMesh.primitives.push_back(
                    MakePrimitive(model, geometry.aFaces[nSign], attributes, nMaterial));
        }
        // Samples with no face between them are shown as points: a mesh needs a primitive, and
        // readers expect a scene to hold something.
        if (nTriangles == 0)
        {
            tinygltf::Primitive points;
            points.attributes = attributes;
            points.mode = TINYGLTF_MODE_POINTS;
            gltfMesh.primitives.push_back(points);
        }
        model.meshes.push_back(gltfMesh);
        tinygltf::Node node;
        node.mesh = 0;
        // glTF's up is +y, the surface's +z: the node turns the surface upright without
        // changing its vertices, and takes millimetres to glTF's metres.
        node.rotation = {-std::sqrt(0.5), 0.0, 0.0, std::sqrt(0.5)};
        if (geometry.bMillimetres)
            node.scale = {0.001, 0.001, 0.001};
        model.nodes.push_back(node);
        scene.nodes.push_back(0);
    }
    model.scenes.push_back(scene);
    model.defaultScene = 0;

    CStreamAdapter adapter(stream);
    std::ostream out(&adapter);
    out.exceptions(std::ios::badbit);
    tinygltf::TinyGLTF writer;
    if (!writer.WriteGltfSceneToStream(&model, out, false, true))
        throw std::runtime_error("cannot write '" + stream.GetName() + "': glTF encoding failed");
}
