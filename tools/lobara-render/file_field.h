#pragma once

#include <string>
#include <vector>

#include "lobara-render/render_options.h"

// The options with the field of their coefficient file, if they name one, in the file's
// convention; its warnings go to aWarnings. Throws UsageError where --norm contradicts the
// file and std::runtime_error where the file cannot be read.
RenderOptions WithFileField(const RenderOptions& given, std::vector<std::string>& aWarnings);

// The warnings of the coefficient file on stderr, after the run.
void PrintFileWarnings(const RenderOptions& options, const std::vector<std::string>& aWarnings);
