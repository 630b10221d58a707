#pragma once

#include <wx/gdicmn.h>

// The cursor the X server shows now, wherever the pointer is: its image size and hotspot.
struct ShownCursor
{
    wxSize size;
    wxPoint hotspot;
};

// False when the server cannot tell (no display, or no XFixes extension).
bool GetShownCursor(ShownCursor& cursor);
