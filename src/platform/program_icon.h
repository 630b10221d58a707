#pragma once

#include <wx/bitmap.h>
#include <wx/iconbndl.h>

// Icon 128 at all its sizes, for the window manager.
wxIconBundle ProgramIconBundle();

// Icon 128 at the given size in pixels (16, 32 or 48).
wxBitmap ProgramIconBitmap(int nPixels);
