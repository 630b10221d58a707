#include "platform/framework_app.h"

#include <wx/window.h>

#include "platform/command_ids.h"

wxBEGIN_EVENT_TABLE(CFrameworkApp, wxApp)
    EVT_MENU(ToWxId(ID_APP_EXIT), CFrameworkApp::OnAppExit)
wxEND_EVENT_TABLE()

void CFrameworkApp::OnAppExit(wxCommandEvent&)
{
    if (wxWindow* pMainWindow = GetTopWindow())
        pMainWindow->Close(true);
}
