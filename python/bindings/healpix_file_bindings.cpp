#include "bindings/healpix_file_bindings.h"

#include <pybind11/complex.h>
#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <complex>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "bindings/interruptible.h"
#include "bindings/numpy_arrays.h"
#include "bindings/python_errors.h"
#include "bindings/python_paths.h"
#include "fields/fits_alm_file.h"
#include "fields/healpix_map_file.h"
#include "healpix/pixel_order.h"

namespace py = pybind11;

namespace {

// Runs a reader without the GIL; its failures are the file's.
template <typename Read>
auto ReadFile(Read&& read)
{
    try
    {
        return RunWithoutGil([&](CInterruptCheck&) { return read(); });
    }
    catch (const std::runtime_error& error)
    {
        throw CoefficientFileFailure(error.what());
    }
}

// The map's columns chosen by place (int) or name (str); all for None.
py::dict ReadMap(const py::object& path, const py::object& fields, bool bFileOrder)
{
    const std::string strPath = PathText(path);
    std::vector<MapColumnChoice> aChoices;
    if (!fields.is_none())
        for (const py::handle field : fields)
        {
            if (py::isinstance<py::str>(field))
                aChoices.push_back(MapColumnChoice{0, field.cast<std::string>()});
            else
                aChoices.push_back(MapColumnChoice{field.cast<int>(), ""});
        }
    HealpixMap map = ReadFile([&] { return ReadHealpixMapFile(strPath, aChoices, bFileOrder); });
    py::list columns;
    for (HealpixMapColumn& column : map.aColumns)
    {
        const auto nPixels = static_cast<py::ssize_t>(column.aValues.size());
        columns.append(py::make_tuple(column.strName, column.strUnit, std::string(1, column.cForm),
                                      AdoptAsArray(std::move(column.aValues), {nPixels})));
    }
    py::dict result;
    result["nside"] = map.nNside;
    result["nested"] = map.bNested;
    result["columns"] = columns;
    result["header"] = map.aHeader;
    return result;
}

py::tuple ReadAlm(const py::object& path, const std::vector<int>& aHdus)
{
    const std::string strPath = PathText(path);
    HealpixAlm alm = ReadFile([&] { return ReadFitsAlm(strPath, aHdus); });
    py::list components;
    for (std::vector<std::complex<double>>& aAlm : alm.aComponents)
    {
        const auto nSize = static_cast<py::ssize_t>(aAlm.size());
        components.append(AdoptAsArray(std::move(aAlm), {nSize}));
    }
    return py::make_tuple(components, alm.nLmax, alm.nMmax, alm.bSingle);
}

// The pixels' numbers in the other order, for healpy's nest2ring and ring2nest.
py::array_t<int64_t> Renumber(int64_t nNside,
                              const py::array_t<int64_t, py::array::c_style | py::array::forcecast>& aPixels,
                              int64_t (*renumber)(int64_t, int64_t))
{
    if (!IsNestedNside(nNside))
        throw py::value_error("nside " + std::to_string(nNside) + " is not a power of 2 from 1 to 2^29");
    const int64_t nPixels = 12 * nNside * nNside;
    py::array_t<int64_t> aOut(aPixels.request().shape);
    const int64_t* pIn = aPixels.data();
    int64_t* pOut = aOut.mutable_data();
    for (py::ssize_t i = 0; i < aPixels.size(); ++i)
    {
        if (pIn[i] < 0 || pIn[i] >= nPixels)
            throw py::value_error("pixel " + std::to_string(pIn[i]) + " is not one of the 12 nside^2 = " +
                                  std::to_string(nPixels) + " of nside " + std::to_string(nNside));
        pOut[i] = renumber(nNside, pIn[i]);
    }
    return aOut;
}

}  // namespace

void BindHealpixFiles(py::module_& module)
{
    module.attr("UNSEEN") = kUnseen;
    module.def("read_map_file", &ReadMap, py::arg("path"), py::arg("fields"), py::arg("file_order"),
               "The map of a HEALPix FITS file: a dict of nside, nested (the values' order), columns (name, "
               "unit, the file's type letter, float64 values) and header (keyword, value text).");
    module.def(
        "read_alm_file", &ReadAlm, py::arg("path"), py::arg("hdus"),
        "healpy's alm of a FITS file's units: (list of complex128 arrays, lmax, mmax, float32 in the file).");
    module.def(
        "nest2ring",
        [](int64_t nNside, const py::array_t<int64_t, py::array::c_style | py::array::forcecast>& aPixels) {
            return Renumber(nNside, aPixels, NestToRing);
        },
        py::arg("nside"), py::arg("ipix"));
    module.def(
        "ring2nest",
        [](int64_t nNside, const py::array_t<int64_t, py::array::c_style | py::array::forcecast>& aPixels) {
            return Renumber(nNside, aPixels, RingToNest);
        },
        py::arg("nside"), py::arg("ipix"));
}
