#include "app/lobara_app.h"

#include "app/about_dialog.h"
#include "app/main_frame.h"
#include "camera/camera_math.h"
#include "dialogs/color_scheme_dialog.h"
#include "dialogs/degree_order_dialog.h"
#include "dialogs/number_text.h"
#include "dialogs/resolution_dialog.h"
#include "dialogs/viewpoint_dialog.h"
#include "platform/command_ids.h"
#include "platform/invalidate.h"
#include "platform/message_box.h"
#include "settings/responsiveness.h"
#include "sht/build_limits.h"

wxBEGIN_EVENT_TABLE(CLobaraApp, CFrameworkApp)
    EVT_MENU(ToWxId(ID_APP_ABOUT), CLobaraApp::OnAppAbout)
    EVT_MENU(ToWxId(ID_SETTINGS_LM), CLobaraApp::OnSettingsLM)
    EVT_MENU(ToWxId(ID_SETTINGS_RESOLUTION), CLobaraApp::OnSettingsResolution)
    EVT_MENU(ToWxId(ID_SETTINGS_COLOR), CLobaraApp::OnSettingsColor)
    EVT_MENU(ToWxId(ID_SETTINGS_VIEWPOINT), CLobaraApp::OnSettingsViewpoint)
wxEND_EVENT_TABLE()

bool CLobaraApp::OnInit()
{
    // The base class is not called: it would parse a command line, and this program has none.
    CMainFrame* pFrame = new CMainFrame(*this);
    if (!pFrame->m_wndView.IsOK())
    {
        ShowMessageBox(nullptr, IDP_NO_OPENGL, wxICON_ERROR);
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
    return dynamic_cast<CMainFrame*>(GetTopWindow());
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

void CLobaraApp::ApplySettings()
{
    // Readers only compare revisions for equality, so wrapping past the 32-bit range is fine.
    m_nRevision = static_cast<int32_t>(static_cast<uint32_t>(m_nRevision) + 1u);
    InvalidateMainWindow();
}

void CLobaraApp::ReportUnbuildableSurface()
{
    try
    {
        PlanSurface(m_nL, m_nM, m_nThetaDiv, m_nPhiDiv);
        const wxSize viewport = GetMainFrame()->m_wndView.GetViewportSize();
        CheckResponsive(m_nL, m_nM, m_nThetaDiv, m_nPhiDiv, int64_t{viewport.x} * viewport.y);
    }
    catch (const SurfaceTooLarge&)
    {
        ShowMessageBox(GetMainFrame(), IDP_SURFACE_TOO_LARGE, wxICON_EXCLAMATION);
    }
}

void CLobaraApp::OnSettingsLM(wxCommandEvent&)
{
    CDegreeOrderDialog dialog;
    dialog.m_nL = m_nL;
    dialog.m_nM = m_nM;
    if (dialog.DoModal() == IDCANCEL)
        return;
    m_nM = dialog.m_nM;
    m_nL = dialog.m_nL;
    ApplySettings();
    ReportUnbuildableSurface();
}

void CLobaraApp::OnSettingsResolution(wxCommandEvent&)
{
    CResolutionDialog dialog;
    dialog.m_nPhiDiv = m_nPhiDiv;
    dialog.m_nThetaDiv = m_nThetaDiv;
    if (dialog.DoModal() == IDCANCEL)
        return;
    m_nPhiDiv = dialog.m_nPhiDiv;
    m_nThetaDiv = dialog.m_nThetaDiv;
    ApplySettings();
    ReportUnbuildableSurface();
}

void CLobaraApp::OnSettingsColor(wxCommandEvent&)
{
    CColorSchemeDialog dialog;
    dialog.m_nColorScheme = m_nColorScheme;
    if (dialog.DoModal() == IDCANCEL)
        return;
    m_nColorScheme = dialog.m_nColorScheme;
    ApplySettings();
}

void CLobaraApp::OnSettingsViewpoint(wxCommandEvent&)
{
    CSurfaceView& view = GetMainFrame()->m_wndView;
    // Should the camera be unreadable (a modelview that cannot be inverted), the dialog offers
    // the default camera instead.
    Camera camera = kDefaultCamera;
    double* const from = camera.from;
    double* const to = camera.to;
    view.GetViewpoint(&from[0], &from[1], &from[2], &to[0], &to[1], &to[2]);

    CViewpointDialog dialog;
    std::u32string* const apStrings[] = {&dialog.m_strFromX, &dialog.m_strFromY, &dialog.m_strFromZ,
                                         &dialog.m_strToX,   &dialog.m_strToY,   &dialog.m_strToZ};
    const double* const apValues[] = {&from[0], &from[1], &from[2], &to[0], &to[1], &to[2]};
    for (int i = 0; i < 6; ++i)
        *apStrings[i] = FormatCoordinate(*apValues[i]);
    if (dialog.DoModal() == IDCANCEL)
        return;

    double values[6];
    for (int i = 0; i < 6; ++i)
        values[i] = ParseLeadingNumber(*apStrings[i]);
    // Points that place no camera (From = To, or not finite) leave it as it was.
    view.SetViewpoint(values[0], values[1], values[2], values[3], values[4], values[5]);
    InvalidateMainWindow();
}
