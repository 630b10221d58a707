#pragma once

#include "app/settings.h"
#include "platform/framework_app.h"

class CMainFrame;

// The application object: it owns the settings, which hold their defaults from construction,
// creates the main frame at start-up and handles the menu commands.
class CLobaraApp : public CFrameworkApp, public CLobaraSettings
{
public:
    bool OnInit() override;

    CMainFrame* GetMainFrame() const;

    // Invalidates the whole client area of the main window, so the view repaints.
    void InvalidateMainWindow();

private:
    void OnAppAbout(wxCommandEvent& event);

    wxDECLARE_EVENT_TABLE();
};
