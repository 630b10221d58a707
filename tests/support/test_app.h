#pragma once

#include <wx/app.h>

// The application object of a GUI test program; each program defines it. Its OnInit runs
// before the tests.
wxApp* CreateTestApp();
