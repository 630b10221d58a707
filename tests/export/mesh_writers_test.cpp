// The mesh files as other programs read them, parsed here from the bytes written into memory:
// the faces turn counter-clockwise seen from outside (the right-hand normal points away from
// the origin, as STL requires and every viewer's lighting and culling assumes), STL normals
// are unit vectors along the corners' normal, the OBJ's materials carry the scheme's colours and
// the glTF node stands the surface's +z up as glTF's +y.
#include <gtest/gtest.h>
#include <tiny_gltf.h>

#include <array>
#include <cmath>
#include <cstring>
#include <map>
#include <sstream>

#include "colour/color_schemes.h"
#include "export/mesh_formats.h"
#include "mesh/surface_builder.h"
#include "sht/symmetry_zeros.h"

namespace {

using Point = std::array<double, 3>;

Point Cross(const Point& a, const Point& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

double Dot(const Point& a, const Point& b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

Point Minus(const Point& a, const Point& b)
{
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}

// The volume the polygons enclose with the origin, split into the cones whose polygon faces
// away from the origin (its right-hand normal to the side of its corners) and those that face it.
// A surface of outward faces encloses its lobes with positive volume.
struct Orientation
{
    double dOutward = 0.0;
    double dInward = 0.0;

    void Add(const std::vector<Point>& aCorners)
    {
        double dVolume = 0.0;
        for (size_t i = 1; i + 1 < aCorners.size(); ++i)
            dVolume += Dot(aCorners[0], Cross(aCorners[i], aCorners[i + 1])) / 6.0;
        (dVolume > 0.0 ? dOutward : dInward) += std::fabs(dVolume);
    }
    void ExpectOutward(const char* pszFormat) const
    {
        EXPECT_GT(dOutward, 0.1) << pszFormat;
        EXPECT_LT(dInward, 1e-3 * dOutward) << pszFormat << ": faces turn inward";
    }
};

MeshGeometry Surface()
{
    SurfaceMesh mesh;
    BuildSurfaceMesh(3, -2, 30, 60, mesh);
    return MakeMeshGeometry(mesh, SymmetryZeros(SingleHarmonic(3, -2), 30, 60),
                            MeshShape{30, 60, RadiusRule{}, 0.0});
}

template <typename Write>
std::string Written(Write write)
{
    CMemorySink sink;
    COutputStream stream(sink, "memory");
    write(stream);
    stream.Flush();
    return sink.GetBytes();
}

template <typename T>
T Read(const std::string& strBytes, size_t nOffset)
{
    T value;
    std::memcpy(&value, strBytes.data() + nOffset, sizeof value);
    return value;
}

}  // namespace

TEST(MeshWriters, StlTrianglesFaceOutwardWithUnitNormals)
{
    const std::string strStl = Written([](COutputStream& s) { WriteStl(s, Surface()); });
    const auto nTriangles = Read<uint32_t>(strStl, 80);
    ASSERT_EQ(strStl.size(), 84 + 50 * size_t{nTriangles});
    Orientation orientation;
    for (size_t i = 0; i < nTriangles; ++i)
    {
        const size_t nRecord = 84 + 50 * i;
        std::vector<Point> aCorners;
        Point normal;
        for (int k = 0; k < 4; ++k)
        {
            Point p;
            for (int c = 0; c < 3; ++c)
                p[c] = Read<float>(strStl, nRecord + 12 * k + 4 * c);
            if (k == 0)
                normal = p;
            else
                aCorners.push_back(p);
        }
        const Point corners = Cross(Minus(aCorners[1], aCorners[0]), Minus(aCorners[2], aCorners[0]));
        ASSERT_NEAR(Dot(normal, normal), 1.0, 1e-6) << "triangle " << i;
        ASSERT_GT(Dot(normal, corners), 0.999 * std::sqrt(Dot(corners, corners))) << "triangle " << i;
        orientation.Add(aCorners);
    }
    orientation.ExpectOutward("STL");
}

TEST(MeshWriters, ObjFacesFaceOutwardAndItsMaterialsCarryTheSchemesColours)
{
    const MeshGeometry geometry = Surface();
    std::istringstream obj(Written([&geometry](COutputStream& s) { WriteObj(s, geometry, "m.mtl"); }));
    std::vector<Point> aVertices;
    std::vector<std::string> aUsed;
    Orientation orientation;
    std::string strLine;
    std::getline(obj, strLine);
    EXPECT_EQ(strLine, "mtllib m.mtl");
    while (std::getline(obj, strLine))
    {
        std::istringstream line(strLine);
        std::string strKey;
        line >> strKey;
        if (strKey == "v")
        {
            Point p;
            line >> p[0] >> p[1] >> p[2];
            aVertices.push_back(p);
        }
        else if (strKey == "f")
        {
            // Each corner is "v//vn", the vertex and its normal of one number.
            std::vector<Point> aCorners;
            for (std::string strCorner; line >> strCorner;)
            {
                const size_t nSlashes = strCorner.find("//");
                ASSERT_EQ(strCorner.substr(0, nSlashes), strCorner.substr(nSlashes + 2));
                aCorners.push_back(aVertices.at(std::stoul(strCorner) - 1));
            }
            ASSERT_TRUE(aCorners.size() == 3 || aCorners.size() == 4);
            orientation.Add(aCorners);
        }
        else if (strKey == "usemtl")
            aUsed.emplace_back(strLine.substr(7));
    }
    orientation.ExpectOutward("OBJ");

    // Scheme 2: green where positive, purple where negative.
    std::istringstream mtl(Written([](COutputStream& s) { WriteMtl(s, kColorSchemes[2]); }));
    std::map<std::string, std::map<std::string, std::array<float, 3>>> materials;
    std::string strMaterial;
    while (std::getline(mtl, strLine))
    {
        std::istringstream line(strLine);
        std::string strKey;
        line >> strKey;
        if (strKey == "newmtl")
            line >> strMaterial;
        else if (strKey == "Ka" || strKey == "Kd")
            line >> materials[strMaterial][strKey][0] >> materials[strMaterial][strKey][1] >>
                materials[strMaterial][strKey][2];
    }
    EXPECT_EQ(aUsed, (std::vector<std::string>{"positive", "negative"}));
    for (const char* pszKey : {"Ka", "Kd"})
    {
        EXPECT_EQ(materials["positive"][pszKey], (std::array<float, 3>{0.0f, 0.6f, 0.2f})) << pszKey;
        EXPECT_EQ(materials["negative"][pszKey], (std::array<float, 3>{0.7f, 0.0f, 0.7f})) << pszKey;
    }
}

TEST(MeshWriters, GlbStandsTheSurfaceUpAndItsTrianglesFaceOutward)
{
    const std::string strGlb = Written([](COutputStream& s) { WriteGlb(s, Surface(), kColorSchemes[0]); });
    tinygltf::TinyGLTF reader;
    tinygltf::Model model;
    std::string strError, strWarning;
    ASSERT_TRUE(reader.LoadBinaryFromMemory(&model, &strError, &strWarning,
                                            reinterpret_cast<const unsigned char*>(strGlb.data()),
                                            static_cast<unsigned>(strGlb.size())))
        << strError;
    ASSERT_EQ(model.scenes.at(0).nodes.size(), 1u);
    const tinygltf::Node& node = model.nodes.at(static_cast<size_t>(model.scenes[0].nodes[0]));

    // The node's rotation q applied to the surface's up (0, 0, 1): v' = v + 2w (r x v) + 2 r x (r x v).
    ASSERT_EQ(node.rotation.size(), 4u);
    const Point r{node.rotation[0], node.rotation[1], node.rotation[2]};
    const Point up{0, 0, 1}, rv = Cross(r, up), rrv = Cross(r, rv);
    const Point turned{up[0] + 2 * node.rotation[3] * rv[0] + 2 * rrv[0],
                       up[1] + 2 * node.rotation[3] * rv[1] + 2 * rrv[1],
                       up[2] + 2 * node.rotation[3] * rv[2] + 2 * rrv[2]};
    EXPECT_NEAR(turned[0], 0.0, 1e-12);
    EXPECT_NEAR(turned[1], 1.0, 1e-12);
    EXPECT_NEAR(turned[2], 0.0, 1e-12);

    // Rotation keeps orientation, so the triangles are checked in the surface's own frame.
    const auto data = [&model](int nAccessor) {
        const tinygltf::Accessor& accessor = model.accessors.at(static_cast<size_t>(nAccessor));
        const tinygltf::BufferView& view = model.bufferViews.at(static_cast<size_t>(accessor.bufferView));
        return model.buffers.at(0).data.data() + view.byteOffset + accessor.byteOffset;
    };
    Orientation orientation;
    for (const tinygltf::Primitive& primitive : model.meshes.at(static_cast<size_t>(node.mesh)).primitives)
    {
        const auto* pPoints = reinterpret_cast<const float*>(data(primitive.attributes.at("POSITION")));
        const auto* pIndices = reinterpret_cast<const uint32_t*>(data(primitive.indices));
        for (size_t i = 0; i < model.accessors[static_cast<size_t>(primitive.indices)].count; i += 3)
        {
            std::vector<Point> aCorners;
            for (size_t k = 0; k < 3; ++k)
            {
                const float* p = pPoints + 3 * pIndices[i + k];
                aCorners.push_back({p[0], p[1], p[2]});
            }
            orientation.Add(aCorners);
        }
    }
    orientation.ExpectOutward("glTF");
}

// Vertex colours and the phase, as a glTF reader takes them: COLOR_0 in linear light (sRGB 0, 128
// and 255 are 0, 0.2158605 and 1, by the sRGB transfer function), _PHASE as given, white materials
// that leave the colours as they are.
TEST(MeshWriters, GlbCarriesVertexColoursAndThePhase)
{
    MeshGeometry geometry = Surface();
    const size_t nVertices = geometry.aValue.size();
    const std::array<uint8_t, 3> aPalette[3] = {{0, 128, 255}, {255, 0, 128}, {128, 255, 0}};
    for (size_t k = 0; k < nVertices; ++k)
    {
        geometry.aColor.push_back(aPalette[k % 3]);
        geometry.aPhase.push_back(static_cast<float>(k % 7) - 3.0f);
    }
    const std::string strGlb = Written([&](COutputStream& s) { WriteGlb(s, geometry, kColorSchemes[0]); });
    tinygltf::TinyGLTF reader;
    tinygltf::Model model;
    std::string strError, strWarning;
    ASSERT_TRUE(reader.LoadBinaryFromMemory(&model, &strError, &strWarning,
                                            reinterpret_cast<const unsigned char*>(strGlb.data()),
                                            static_cast<unsigned>(strGlb.size())))
        << strError;
    const auto floats = [&model](int nAccessor) {
        const tinygltf::Accessor& accessor = model.accessors.at(static_cast<size_t>(nAccessor));
        const tinygltf::BufferView& view = model.bufferViews.at(static_cast<size_t>(accessor.bufferView));
        EXPECT_EQ(accessor.componentType, TINYGLTF_COMPONENT_TYPE_FLOAT);
        return reinterpret_cast<const float*>(model.buffers.at(0).data.data() + view.byteOffset +
                                              accessor.byteOffset);
    };
    const std::map<uint8_t, float> linear = {{0, 0.0f}, {128, 0.2158605f}, {255, 1.0f}};
    for (const tinygltf::Primitive& primitive : model.meshes.at(0).primitives)
    {
        const float* pColor = floats(primitive.attributes.at("COLOR_0"));
        const float* pPhase = floats(primitive.attributes.at("_PHASE"));
        for (size_t k = 0; k < nVertices; ++k)
        {
            for (size_t c = 0; c < 3; ++c)
                ASSERT_NEAR(pColor[3 * k + c], linear.at(aPalette[k % 3][c]), 1e-6) << k;
            ASSERT_EQ(pPhase[k], static_cast<float>(k % 7) - 3.0f) << k;
        }
        EXPECT_EQ(
            model.materials.at(static_cast<size_t>(primitive.material)).pbrMetallicRoughness.baseColorFactor,
            (std::vector<double>{1.0, 1.0, 1.0, 1.0}));
    }
}
