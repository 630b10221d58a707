#include <wx/app.h>

#include "app/lobara_app.h"
#include "platform/heap_tuning.h"

wxIMPLEMENT_APP_NO_MAIN(CLobaraApp);

int main(int argc, char** argv)
{
    // Before wx and GTK start allocating.
    TuneHeapForDrawing();
    return wxEntry(argc, argv);
}
