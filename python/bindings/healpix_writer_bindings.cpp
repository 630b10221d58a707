#include "bindings/healpix_writer_bindings.h"

#include <pybind11/complex.h>
#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <complex>
#include <stdexcept>
#include <string>
#include <vector>

#include "bindings/python_paths.h"
#include "bindings/run_bindings.h"
#include "export/fits_alm_writer.h"
#include "export/healpix_map_writer.h"

namespace py = pybind11;

namespace {

using DoubleValues = py::array_t<double, py::array::c_style | py::array::forcecast>;
using ComplexValues = py::array_t<std::complex<double>, py::array::c_style | py::array::forcecast>;

// Columns of float64 values, each with its name, unit and type letter ('E' float32, 'D' float64).
void WriteMap(const py::object& path, const std::vector<DoubleValues>& aColumns,
              const std::vector<std::string>& aNames, const std::vector<std::string>& aUnits,
              const std::string& strForms, int64_t nNside, bool bNested)
{
    const std::string strPath = PathText(path);
    if (aNames.size() != aColumns.size() || aUnits.size() != aColumns.size() ||
        strForms.size() != aColumns.size())
        throw py::value_error("each column needs its name, unit and type");
    HealpixMap map;
    map.nNside = nNside;
    map.bNested = bNested;
    for (size_t i = 0; i < aColumns.size(); ++i)
        map.aColumns.push_back(HealpixMapColumn{
            aNames[i], aUnits[i], strForms[i],
            std::vector<double>(aColumns[i].data(), aColumns[i].data() + aColumns[i].size())});
    try
    {
        WriteFiles([&](COutputSet& outputs) {
            outputs.Write(strPath, [&map](COutputStream& stream) { WriteHealpixMap(stream, map); });
        });
    }
    catch (const std::invalid_argument& error)
    {
        throw py::value_error(error.what());
    }
}

// Components in healpy's layout of (lmax_in, mmax_in), written up to lmax and mmax.
void WriteAlm(const py::object& path, const std::vector<ComplexValues>& aComponents, int32_t nLmaxIn,
              int32_t nMmaxIn, int32_t nLmax, int32_t nMmax, bool bSingle)
{
    const std::string strPath = PathText(path);
    HealpixAlm alm;
    alm.nLmax = nLmaxIn;
    alm.nMmax = nMmaxIn;
    alm.bSingle = bSingle;
    for (const ComplexValues& aAlm : aComponents)
    {
        if (aAlm.size() != HealpixAlmSize(nLmaxIn, nMmaxIn))
            throw py::value_error("alm of size " + std::to_string(aAlm.size()) + " do not hold lmax " +
                                  std::to_string(nLmaxIn) + " and mmax " + std::to_string(nMmaxIn));
        alm.aComponents.emplace_back(aAlm.data(), aAlm.data() + aAlm.size());
    }
    if (nLmax < 0 || nLmax > nLmaxIn || nMmax < 0 || nMmax > std::min(nLmax, nMmaxIn))
        throw py::value_error("lmax " + std::to_string(nLmax) + " and mmax " + std::to_string(nMmax) +
                              " are not within the alm's " + std::to_string(nLmaxIn) + " and " +
                              std::to_string(nMmaxIn));
    WriteFiles([&](COutputSet& outputs) {
        outputs.Write(strPath, [&](COutputStream& stream) { WriteFitsAlm(stream, alm, nLmax, nMmax); });
    });
}

}  // namespace

void BindHealpixWriters(py::module_& module)
{
    module.def("write_map_file", &WriteMap, py::arg("path"), py::arg("columns"), py::arg("names"),
               py::arg("units"), py::arg("forms"), py::arg("nside"), py::arg("nested"));
    module.def("write_alm_file", &WriteAlm, py::arg("path"), py::arg("components"), py::arg("lmax_in"),
               py::arg("mmax_in"), py::arg("lmax"), py::arg("mmax"), py::arg("single"));
}
