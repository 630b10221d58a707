#pragma once

#include <wx/glcanvas.h>

// The view's pixel format: RGBA, double-buffered, with a depth buffer.
const wxGLAttributes& ViewGLAttributes();
