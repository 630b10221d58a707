#include "bindings/python_paths.h"

std::string PathText(const pybind11::object& path)
{
    const pybind11::object text = pybind11::reinterpret_steal<pybind11::object>(PyOS_FSPath(path.ptr()));
    if (!text)
        throw pybind11::error_already_set();
    return text.cast<std::string>();
}

void RaiseOsError(const std::runtime_error& error)
{
    PyErr_SetString(PyExc_OSError, error.what());
    throw pybind11::error_already_set();
}
