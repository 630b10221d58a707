#pragma once

#include <pybind11/pybind11.h>

#include <functional>

#include "export/output_files.h"

// The runs of lobara-render for Python: a request made of a field and lobara-render's options,
// run by the same pipeline, its picture (RGBA pixels) or mesh kept in memory; PNG encoding and the
// writing of pictures and meshes to files as lobara-render writes them.
void BindRuns(pybind11::module_& module);

// Writes the files all or nothing, as lobara-render does: every existing file stays as it was
// when one cannot be written, which raises OSError.
void WriteFiles(const std::function<void(COutputSet&)>& write);
