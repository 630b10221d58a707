#pragma once

#include <wx/frame.h>

#include "settings/settings.h"
#include "view/surface_view.h"

// The program's only top-level window: caption, menu and accelerators, the surface view as
// its only child filling the client area, and the route of every command through the view
// first, then the frame, then the application object.
class CMainFrame : public wxFrame
{
public:
    explicit CMainFrame(const CLobaraSettings& settings);

    CSurfaceView m_wndView;

protected:
    bool TryBefore(wxEvent& event) override;

private:
    void OnSetFocus(wxFocusEvent& event);

    wxDECLARE_EVENT_TABLE();
};
