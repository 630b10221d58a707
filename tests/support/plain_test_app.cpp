#include "support/test_app.h"

wxApp* CreateTestApp()
{
    return new wxApp();
}
