#pragma once

#include <wx/app.h>

// What the application base class gives every program of this kind: the exit command closes
// the main window, at once and without a question.
class CFrameworkApp : public wxApp
{
private:
    void OnAppExit(wxCommandEvent& event);

    wxDECLARE_EVENT_TABLE();
};
