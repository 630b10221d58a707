#pragma once

#include <wx/gdicmn.h>

#include <string>
#include <vector>

// The icon images that the shown top-level X window captioned strCaption offers the window
// manager (_NET_WM_ICON), by size, as a window manager reads them from the X server. Empty
// when there is no such window or it has no icon.
std::vector<wxSize> WindowManagerIconSizes(const std::string& strCaption);
