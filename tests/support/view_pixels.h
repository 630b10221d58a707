#pragma once

#include <wx/image.h>

#include "view/surface_view.h"

// The picture the view drew last, as an image (top row first). It is read back from the view's
// GL context: Mesa's software renderer keeps the drawn frame in the back buffer after a swap.
wxImage ReadViewPixels(CSurfaceView& view);
