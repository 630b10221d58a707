#include "bindings/run_bindings.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "bindings/convention_arguments.h"
#include "bindings/interruptible.h"
#include "bindings/numpy_arrays.h"
#include "bindings/python_paths.h"
#include "bindings/python_run_hooks.h"
#include "colour/color_schemes.h"
#include "export/coefficient_export.h"
#include "export/mesh_export.h"
#include "export/output_files.h"
#include "export/png_writer.h"
#include "jobs/runs.h"
#include "options/option_table.h"
#include "sht/coefficient_conversion.h"

namespace py = pybind11;

namespace {

// lobara-render's options by name ("--size"), each with its value as text; a flag's is empty.
using Options = std::vector<std::pair<std::string, std::string>>;
using PixelArray = py::array_t<uint8_t, py::array::c_style | py::array::forcecast>;

// The frames from the hooks up to the caller's code: the package's public call and its helper
// that calls the module.
constexpr int kCallerStackLevel = 3;

// The names the run plans its picture and mesh by. The hooks take them in memory, so neither
// file is opened.
constexpr char kPictureName[] = "picture.png";
constexpr char kMeshName[] = "mesh.ply";
constexpr char kPageName[] = "page.html";

const COptionBase& OptionNamed(const std::string& strName)
{
    const COptionBase* pOption = FindOption(strName);
    if (pOption == nullptr)
        throw std::logic_error("lobara-render has no option " + strName);
    return *pOption;
}

// The request of the options, read as lobara-render reads them, and of the field when one is
// given: its terms (the field 0 everywhere, one term of coefficient 0, when it has none) in its
// convention.
Request MakeRequest(const Field* pField, const Options& aOptions)
{
    Request request;
    for (const auto& [strName, strValue] : aOptions)
        OptionNamed(strName).Apply(strValue, request);
    if (pField != nullptr)
    {
        request.Set<std::vector<Term>>(
            opt::kTerm, pField->aTerms.empty() ? std::vector<Term>{Term{0, 0, 0.0}} : pField->aTerms);
        request.Set(opt::kConvention, pField->convention);
    }
    return request;
}

// Runs the request without the GIL, the hooks keeping its results.
template <typename Take>
auto Run(const Request& request, Take take)
{
    return RunWithoutGil([&](CInterruptCheck& check) {
        CPythonRunHooks hooks(check, kCallerStackLevel);
        RunRequest(request, hooks);
        return take(hooks);
    });
}

// The picture's pixels as an (H, W, 4) array, without a copy; an opaque picture's alpha is 255,
// as a reader of its PNG sees it.
std::pair<py::array_t<uint8_t>, bool> PictureArray(Picture&& picture)
{
    if (!picture.bAlpha)
        for (size_t k = 3; k < picture.aRgba.size(); k += 4)
            picture.aRgba[k] = 255;
    const bool bAlpha = picture.bAlpha;
    return {AdoptAsArray(std::move(picture.aRgba), {picture.nHeight, picture.nWidth, 4}), bAlpha};
}

std::pair<py::array_t<uint8_t>, bool> RunPicture(const Field* pField, const Options& aOptions)
{
    Request request = MakeRequest(pField, aOptions);
    request.Set<std::string>(opt::kOut, kPictureName);
    std::optional<Picture> picture =
        Run(request, [](CPythonRunHooks& hooks) { return hooks.TakenPicture(); });
    if (!picture)
        throw std::logic_error("the run made no picture");
    return PictureArray(std::move(*picture));
}

py::str RunPage(const Field* pField, const Options& aOptions)
{
    Request request = MakeRequest(pField, aOptions);
    request.Set<std::string>(opt::kHtml, kPageName);
    std::optional<std::string> page = Run(request, [](CPythonRunHooks& hooks) { return hooks.TakenPage(); });
    if (!page)
        throw std::logic_error("the run made no page");
    return py::str(*page);
}

// The picture of an (H, W, 4) array of RGBA bytes; alpha is kept when bAlpha.
Picture PictureOf(const PixelArray& aRgba, bool bAlpha)
{
    if (aRgba.ndim() != 3 || aRgba.shape(2) != 4 || aRgba.shape(0) < 1 || aRgba.shape(1) < 1)
        throw py::value_error("rgba needs the shape (H, W, 4), H and W at least 1");
    if (aRgba.shape(0) > INT32_MAX || aRgba.shape(1) > INT32_MAX)
        throw py::value_error("rgba is too large for a PNG");
    Picture picture{static_cast<int>(aRgba.shape(1)), static_cast<int>(aRgba.shape(0)), bAlpha, {}};
    picture.aRgba.assign(aRgba.data(), aRgba.data() + aRgba.size());
    return picture;
}

py::bytes EncodePng(const PixelArray& aRgba, bool bAlpha)
{
    const Picture picture = PictureOf(aRgba, bAlpha);
    CMemorySink sink;
    RunWithoutGil([&](CInterruptCheck&) {
        COutputStream stream(sink, "PNG");
        WritePng(stream, picture);
        stream.Flush();
        return 0;
    });
    return py::bytes(sink.GetBytes());
}

void SavePng(const py::object& path, const PixelArray& aRgba, bool bAlpha)
{
    const std::string strPath = PathText(path);
    const Picture picture = PictureOf(aRgba, bAlpha);
    WriteFiles([&](COutputSet& outputs) {
        outputs.Write(strPath, [&picture](COutputStream& stream) { WritePng(stream, picture); });
    });
}

void SaveText(const py::object& path, const std::string& strText)
{
    const std::string strPath = PathText(path);
    WriteFiles([&](COutputSet& outputs) {
        outputs.Write(strPath, [&strText](COutputStream& stream) { stream.Write(strText); });
    });
}

// Writes the field's coefficients to path as lobara-render's --coeffs-out does, in the format of
// its name: each part of the convention the format's own unless given (as --out-norm, --out-cs and
// --out-sine), the model's GM and radius (NaN where unknown) in the header lines that hold them.
void SaveCoefficients(const py::object& path, const Field& field, const std::optional<std::string>& norm,
                      bool bCondonShortley, const std::optional<std::string>& sine, double dGm,
                      double dRadius)
{
    const std::string strPath = PathText(path);
    const CoefficientOutputFormat format = CoefficientOutputFormatOf(strPath);
    Convention convention = FormatConvention(format);
    const Convention given = MakeConvention(norm.value_or(NormalizationName(convention.normalization)),
                                            bCondonShortley, sine.value_or("standard"));
    convention.normalization = given.normalization;
    convention.bCondonShortley = bCondonShortley;
    if (sine)
        convention.sine = given.sine;
    const std::string strRefusal = ConventionRefusal(format, convention);
    if (!strRefusal.empty())
        throw py::value_error("'" + strPath + "': " + strRefusal);
    const Field coefficients =
        RunWithoutGil([&](CInterruptCheck&) { return InConvention(field, convention); });
    GravityHeader header;
    header.dGm = dGm;
    header.dRadius = dRadius;
    WriteFiles([&](COutputSet& outputs) { WriteCoefficientFile(outputs, strPath, coefficients, header); });
}

// A mesh as the run made it, with its triangles: each face's, a quad split along A-C.
struct MeshResult
{
    MeshGeometry geometry;
    int32_t nColorScheme = 0;
    std::vector<int32_t> aTriangles;  // three corners each, the positive lobes' first
    std::vector<uint8_t> aLobe;       // of each triangle: 0 positive, 1 negative
};

MeshResult RunMesh(const Field* pField, const Options& aOptions)
{
    Request request = MakeRequest(pField, aOptions);
    request.Set<std::string>(opt::kMesh, kMeshName);
    MeshResult mesh;
    std::optional<MeshGeometry> geometry =
        Run(request, [](CPythonRunHooks& hooks) { return hooks.TakenMesh(); });
    if (!geometry)
        throw std::logic_error("the run made no mesh");
    mesh.geometry = std::move(*geometry);
    mesh.nColorScheme = request.Value(opt::kScheme);
    for (int nSign = 0; nSign < kSignCount; ++nSign)
        for (const MeshFace& face : mesh.geometry.aFaces[nSign])
            ForEachFaceTriangle(face, [&](const int32_t* pCorners) {
                mesh.aTriangles.insert(mesh.aTriangles.end(), pCorners, pCorners + 3);
                mesh.aLobe.push_back(static_cast<uint8_t>(nSign));
            });
    return mesh;
}

// A read-only array of shape aShape over the mesh's storage, which owner keeps alive.
template <typename T>
py::array ViewOf(const std::vector<T>& aValues, std::vector<py::ssize_t> aShape, const py::object& owner)
{
    py::array view(py::dtype::of<T>(), std::move(aShape), {}, aValues.data(), owner);
    view.attr("setflags")(py::arg("write") = false);
    return view;
}

template <typename T>
py::array RowsOf(const std::vector<T>& aValues, py::ssize_t nColumns, const py::object& owner)
{
    return ViewOf(aValues, {static_cast<py::ssize_t>(aValues.size()) / nColumns, nColumns}, owner);
}

void SaveMesh(const MeshResult& mesh, const py::object& path)
{
    const std::string strPath = PathText(path);
    // The name chooses the format, as --mesh's does.
    Request checked;
    opt::kMesh.Apply(strPath, checked);
    WriteFiles([&](COutputSet& outputs) {
        WriteMeshFiles(outputs, strPath, mesh.geometry, kColorSchemes[mesh.nColorScheme]);
    });
}

}  // namespace

void WriteFiles(const std::function<void(COutputSet&)>& write)
{
    try
    {
        RunWithoutGil([&](CInterruptCheck&) {
            COutputSet outputs;
            write(outputs);
            outputs.Commit();
            return 0;
        });
    }
    catch (const std::runtime_error& error)
    {
        RaiseOsError(error);
    }
}

void BindRuns(py::module_& module)
{
    py::class_<MeshResult>(
        module, "Mesh",
        "The surface of a field as lobara-render's --mesh writes it: arrays ready for other libraries, "
        "read-only views of the mesh, and save(path) for its files.")
        .def_property_readonly(
            "vertices",
            [](py::object self) { return RowsOf(self.cast<MeshResult&>().geometry.aPoint, 3, self); },
            "(N, 3) float32: each sample's point, in sample-index order (row i of theta, column j of phi at "
            "i * NP + j); samples 0 by symmetry lie where the radius of 0 puts them.")
        .def_property_readonly(
            "faces", [](py::object self) { return RowsOf(self.cast<MeshResult&>().aTriangles, 3, self); },
            "(M, 3) int32: the triangles' vertex indices, turning as the surface's faces do (the files' "
            "quads split along their first diagonal), the positive lobes' first.")
        .def_property_readonly(
            "lobes",
            [](py::object self) {
                const std::vector<uint8_t>& aLobe = self.cast<MeshResult&>().aLobe;
                return ViewOf(aLobe, {static_cast<py::ssize_t>(aLobe.size())}, self);
            },
            "(M,) uint8: each triangle's lobe, 0 where the field is positive and 1 where negative.")
        .def_property_readonly(
            "values",
            [](py::object self) {
                const std::vector<float>& aValue = self.cast<MeshResult&>().geometry.aValue;
                return ViewOf(aValue, {static_cast<py::ssize_t>(aValue.size())}, self);
            },
            "(N,) float32: the signed field at each vertex.")
        .def_property_readonly(
            "normals",
            [](py::object self) { return RowsOf(self.cast<MeshResult&>().geometry.aNormal, 3, self); },
            "(N, 3) float32: each vertex's unit normal, the mean of its faces'.")
        .def_property_readonly(
            "colors",
            [](py::object self) -> py::object {
                const MeshResult& mesh = self.cast<MeshResult&>();
                if (mesh.geometry.aColor.empty())
                    return py::none();
                const auto nCount = static_cast<py::ssize_t>(mesh.geometry.aColor.size());
                py::array view(py::dtype::of<uint8_t>(), {nCount, py::ssize_t{3}}, {},
                               mesh.geometry.aColor.data()->data(), self);
                view.attr("setflags")(py::arg("write") = false);
                return view;
            },
            "(N, 3) uint8: each vertex's colour with color='phase' or 'value'; None with 'sign'.")
        .def("save", &SaveMesh, py::arg("path"),
             "Writes the mesh to path, in the format its extension names (.ply, .obj with its .mtl, .stl "
             "or .glb), byte for byte as lobara-render's --mesh: all or nothing, every existing file as it "
             "was when one cannot be written (OSError).");

    module.def("run_picture", &RunPicture, py::arg("field").none(true), py::arg("options"),
               "The picture lobara-render's --out makes of the field and options: (rgba, alpha).");
    module.def("run_page", &RunPage, py::arg("field").none(true), py::arg("options"),
               "The text of the page lobara-render's --html writes of the field and options.");
    module.def("run_mesh", &RunMesh, py::arg("field").none(true), py::arg("options"),
               "The mesh lobara-render's --mesh writes of the field and options.");
    module.def("encode_png", &EncodePng, py::arg("rgba"), py::arg("alpha"),
               "PNG bytes of an (H, W, 4) uint8 array: RGBA when alpha, else RGB.");
    module.def("save_text", &SaveText, py::arg("path"), py::arg("text"),
               "Writes the text to path, all or nothing.");
    module.def("save_png", &SavePng, py::arg("path"), py::arg("rgba"), py::arg("alpha"),
               "Writes the PNG of encode_png to path, all or nothing.");
    module.def("save_coefficients", &SaveCoefficients, py::arg("path"), py::arg("field"),
               py::arg("norm").none(true), py::arg("cs"), py::arg("sine").none(true), py::arg("gm"),
               py::arg("r0"), "Writes the field's coefficients as lobara-render's --coeffs-out.");
    module.attr("DEFAULT_PICTURE_SIZE") = *opt::kSize.Default();
    py::dict options;
    for (const COptionBase* pOption : AllOptions())
    {
        py::dict option;
        option["flag"] = pOption->IsFlag();
        option["repeatable"] = pOption->IsRepeatable();
        option["default"] = pOption->DefaultText();
        option["values"] = pOption->ValueNames();
        options[py::str(pOption->Name())] = option;
    }
    module.attr("OPTIONS") = options;
}
