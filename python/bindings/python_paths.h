#pragma once

#include <pybind11/pybind11.h>

#include <stdexcept>
#include <string>

// A path given as str, bytes or os.PathLike, as the file system names it.
std::string PathText(const pybind11::object& path);

// A failure to write a file, as Python's OSError.
[[noreturn]] void RaiseOsError(const std::runtime_error& error);
