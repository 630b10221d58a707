#include "app/lobara_app.h"

#include <wx/msgdlg.h>

#include "app/about_dialog.h"
#include "app/main_frame.h"
#include "platform/command_ids.h"
#include "platform/invalidate.h"
#include "resources/string_table.h"

// clang-format off
wxBEGIN_EVENT_TABLE(CLobaraApp, CFrameworkApp)
    EVT_MENU(ToWxId(ID_APP_ABOUT), CLobaraApp::OnAppAbout)
wxEND_EVENT_TABLE()
// clang-format on

bool CLobaraApp::OnInit()
{
    // The base class is not called: it would parse a command line, and this program has none.
    CMainFrame* pFrame = new CMainFrame(*this);
    if (!pFrame->m_wndView.IsOK())
    {
        wxMessageBox(wxString::FromUTF8("OpenGL の描画環境を用意できませんでした。"),
                     wxString::FromUTF8(LoadResourceString(AFX_IDS_APP_TITLE)), wxOK | wxICON_ERROR);
        pFrame->Destroy();
        return false;
    }
    SetTopWindow(pFrame);
    pFrame->Show(true);
    pFrame->Update();
    return true;
}

CMainFrame* CLobaraApp::GetMainFrame() const
{
    return static_cast<CMainFrame*>(GetTopWindow());
}

void CLobaraApp::InvalidateMainWindow()
{
    if (CMainFrame* pFrame = GetMainFrame())
        InvalidateClientArea(*pFrame);
}

void CLobaraApp::OnAppAbout(wxCommandEvent&)
{
    CAboutDialog dialog;
    dialog.DoModal();
}
