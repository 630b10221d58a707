#pragma once

#include "export/output_stream.h"
#include "picture/picture.h"

// Writes picture as an 8-bit PNG: RGBA when it keeps its alpha, RGB otherwise. Throws
// std::runtime_error when the stream fails or the encoder does.
void WritePng(COutputStream& stream, const Picture& picture);
