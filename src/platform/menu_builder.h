#pragma once

#include <wx/accel.h>
#include <wx/menu.h>

// The frame's menu bar and accelerator table from the menu and accelerator resources, with
// each command's prompt as its help string.
wxMenuBar* CreateMainMenuBar();
wxAcceleratorTable CreateMainAcceleratorTable();
