#include "bindings/grid_arguments.h"

#include <pybind11/pybind11.h>

namespace py = pybind11;

SampleGrid GridArgument(const std::string& strGrid)
{
    SampleGrid grid;
    if (!FindSampleGrid(strGrid, grid))
    {
        std::string strNames;
        for (const std::string& strName : SampleGridNames())
            strNames += (strNames.empty() ? "" : ", ") + strName;
        throw py::value_error("grid needs one of " + strNames + ", not '" + strGrid + "'");
    }
    return grid;
}
