#pragma once

#include "platform/framework_app.h"
#include "settings/settings.h"

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
    void OnSettingsLM(wxCommandEvent& event);
    void OnSettingsResolution(wxCommandEvent& event);
    void OnSettingsColor(wxCommandEvent& event);
    void OnSettingsViewpoint(wxCommandEvent& event);

    // After a settings dialog is applied: a new revision, so the view rebuilds, and a repaint.
    void ApplySettings();
    // Tells the user when the settings describe a surface too large to build; the view then
    // keeps showing the previous one.
    void ReportUnbuildableSurface();

    wxDECLARE_EVENT_TABLE();
};
