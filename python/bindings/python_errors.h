#pragma once

#include <pybind11/pybind11.h>

#include <stdexcept>
#include <string>

// A coefficient file that cannot be read, missing or malformed: lobara.CoefficientFileError,
// which is both an OSError and a ValueError.
class CoefficientFileFailure : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Long work stopped because Python has an exception pending (Ctrl-C, or a warning made an error):
// the binding raises it once it holds the GIL again.
struct PythonInterrupt
{
};

// Turns the libraries' exceptions thrown in this module into Python's, each with the one-line
// message lobara-render prints: a request it refuses, a surface too large to build and a
// coefficient beyond the range of doubles are ValueError, running out of memory MemoryError.
void TranslateLibraryErrors();

// Makes lobara.CoefficientFileError, which a file that cannot be read raises, and translates the
// libraries' other exceptions as TranslateLibraryErrors does.
void BindErrors(pybind11::module_& module);
