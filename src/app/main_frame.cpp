#include "app/main_frame.h"

#include "platform/command_ids.h"
#include "platform/menu_builder.h"
#include "platform/program_icon.h"
#include "resources/string_table.h"

wxBEGIN_EVENT_TABLE(CMainFrame, wxFrame)
    EVT_SET_FOCUS(CMainFrame::OnSetFocus)
wxEND_EVENT_TABLE()

// The frame window exists before its members are constructed, so the view can be created
// as a child right away. A frame with one child gives it the whole client area.
CMainFrame::CMainFrame(const CLobaraSettings& settings)
    : wxFrame(nullptr, wxID_ANY, wxString::FromUTF8(LoadResourceString(IDR_MAINFRAME))),
      m_wndView(this, ToWxId(AFX_IDW_PANE_FIRST), settings)
{
    SetIcons(ProgramIconBundle());
    SetMenuBar(CreateMainMenuBar());
    SetAcceleratorTable(CreateMainAcceleratorTable());
    SetClientSize(FromDIP(wxSize(800, 600)));
}

bool CMainFrame::TryBefore(wxEvent& event)
{
    const wxEventType type = event.GetEventType();
    if ((type == wxEVT_MENU || type == wxEVT_UPDATE_UI) &&
        m_wndView.GetEventHandler()->ProcessEventLocally(event))
        return true;
    return wxFrame::TryBefore(event);
}

void CMainFrame::OnSetFocus(wxFocusEvent&)
{
    m_wndView.SetFocus();
}
