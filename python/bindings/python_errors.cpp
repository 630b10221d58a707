#include "bindings/python_errors.h"

#include <new>

#include "sht/build_limits.h"

namespace py = pybind11;

void TranslateLibraryErrors()
{
    py::register_local_exception_translator([](std::exception_ptr pError) {
        if (!pError)
            return;
        try
        {
            std::rethrow_exception(pError);
        }
        catch (const py::builtin_exception&)
        {
            throw;  // pybind11's own, raised as they say
        }
        catch (const SurfaceTooLarge& error)
        {
            PyErr_SetString(PyExc_ValueError,
                            (std::string("cannot build the surface: ") + error.what()).c_str());
        }
        catch (const WorkTooLarge& error)
        {
            PyErr_SetString(PyExc_MemoryError, error.what());
        }
        catch (const std::bad_alloc&)
        {
            PyErr_SetString(PyExc_MemoryError, "not enough memory for this run");
        }
        catch (const std::runtime_error& error)
        {
            PyErr_SetString(PyExc_ValueError, error.what());
        }
    });
}

void BindErrors(py::module_& module)
{
    // Built once and kept by the module for as long as the interpreter runs.
    static PyObject* pFileError = nullptr;
    const py::tuple bases = py::make_tuple(py::handle(PyExc_OSError), py::handle(PyExc_ValueError));
    pFileError = PyErr_NewExceptionWithDoc(
        "lobara.CoefficientFileError",
        "A coefficient file could not be read: missing, unreadable or malformed. Both an OSError and "
        "a ValueError; the message names the file, the line and the fault.",
        bases.ptr(), nullptr);
    if (pFileError == nullptr)
        throw py::error_already_set();
    module.add_object("CoefficientFileError", py::handle(pFileError));

    TranslateLibraryErrors();
    // Tried before the translator above, which would take the file's failure for any other.
    py::register_local_exception_translator([](std::exception_ptr pError) {
        if (!pError)
            return;
        try
        {
            std::rethrow_exception(pError);
        }
        catch (const CoefficientFileFailure& error)
        {
            PyErr_SetString(pFileError, error.what());
        }
    });
}
