#include "app/lobara_app.h"

wxIMPLEMENT_APP(CLobaraApp);
