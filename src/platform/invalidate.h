#pragma once

#include <wx/toplevel.h>

// Invalidates the whole client area of a top-level window, children included, so that each
// repaints once. Refreshing a GTK 3 top-level itself paints a native child such as a GL
// canvas twice, so the children that cover the client area are refreshed instead.
void InvalidateClientArea(wxTopLevelWindow& window);
