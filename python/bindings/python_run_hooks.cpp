#include "bindings/python_run_hooks.h"

#include <pybind11/pybind11.h>

#include "bindings/python_errors.h"

void CPythonRunHooks::Warn(const std::string& strLine)
{
    const pybind11::gil_scoped_acquire acquire;
    if (PyErr_WarnEx(PyExc_UserWarning, strLine.c_str(), m_nStackLevel) != 0)
        throw PythonInterrupt();
}

bool CPythonRunHooks::TakePicture(Picture& picture)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_picture = std::move(picture);
    return true;
}

bool CPythonRunHooks::TakeMesh(MeshGeometry& geometry)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_mesh = std::move(geometry);
    return true;
}

bool CPythonRunHooks::TakePage(std::string& strPage)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_page = std::move(strPage);
    return true;
}
