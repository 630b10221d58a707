#pragma once

#include <gtest/gtest.h>
#include <wx/dialog.h>
#include <wx/uiaction.h>

#include <ostream>
#include <string>

#include "app/lobara_app.h"
#include "app/main_frame.h"
#include "camera/camera_math.h"
#include "platform/command_ids.h"
#include "support/gui_wait.h"

// Shared by the GUI tests of the application shell.

inline CLobaraApp& App()
{
    return *static_cast<CLobaraApp*>(wxTheApp);
}

// Points, sizes and rectangles in test messages, as x,y, WxH and x,y WxH.
inline void PrintTo(const wxPoint& point, std::ostream* pStream)
{
    *pStream << point.x << "," << point.y;
}

inline void PrintTo(const wxSize& size, std::ostream* pStream)
{
    *pStream << size.x << "x" << size.y;
}

inline void PrintTo(const wxRect& rect, std::ostream* pStream)
{
    *pStream << rect.x << "," << rect.y << " " << rect.width << "x" << rect.height;
}

inline std::string Utf8(const wxString& str)
{
    return std::string(str.utf8_str());
}

// The main frame, created again if a test closed it, with the default settings and camera
// painted: every test starts from a fresh run's state.
inline CMainFrame* FreshMainFrame()
{
    if (App().GetMainFrame() == nullptr)
        App().OnInit();
    CMainFrame* pFrame = App().GetMainFrame();
    static_cast<CLobaraSettings&>(App()) = CLobaraSettings();
    const Camera& c = kDefaultCamera;
    pFrame->m_wndView.SetViewpoint(c.from[0], c.from[1], c.from[2], c.to[0], c.to[1], c.to[2]);
    App().InvalidateMainWindow();
    EXPECT_TRUE(WaitFor([&] { return pFrame->m_wndView.GetScene().GetBuiltRevision() == 0; }));
    return pFrame;
}

// The main window active, with the keyboard focus on its view. On the test display no window
// manager activates a window that is clicked, so the window asks for the focus itself.
inline void ActivateMainWindow(CMainFrame& frame)
{
    frame.Raise();
    EXPECT_TRUE(WaitFor([&] { return wxWindow::FindFocus() == &frame.m_wndView; }));
}

// A menu command, as the menu sends it to the frame; true when some handler took it.
inline bool SendCommand(CMainFrame& frame, int nCommandId)
{
    wxCommandEvent event(wxEVT_MENU, ToWxId(nCommandId));
    event.SetEventObject(&frame);
    return frame.GetEventHandler()->ProcessEvent(event);
}

inline void Click(wxDialog& dialog, int nId)
{
    wxWindow* pButton = dialog.FindWindow(ToWxId(nId));
    wxCommandEvent click(wxEVT_BUTTON, pButton->GetId());
    click.SetEventObject(pButton);
    pButton->GetEventHandler()->ProcessEvent(click);
}

// A key pressed on the keyboard, as the X server delivers it to the active window, once the
// program has handled it.
inline void PressKey(int nKeyCode, int nModifiers = wxMOD_NONE)
{
    static wxUIActionSimulator keyboard;  // made once: making one waits 50 ms
    keyboard.Char(nKeyCode, nModifiers);
    wxYield();
}

// A window centred over its owner, within two pixels.
inline void ExpectCentredOver(const wxWindow& window, const wxWindow& owner)
{
    const wxRect rect = window.GetScreenRect(), ownerRect = owner.GetScreenRect();
    EXPECT_NEAR(rect.x + rect.width / 2, ownerRect.x + ownerRect.width / 2, 2) << "centred across the owner";
    EXPECT_NEAR(rect.y + rect.height / 2, ownerRect.y + ownerRect.height / 2, 2) << "centred down the owner";
}

// Escape pressed on the keyboard; returns once the dialog has ended.
inline void PressEscape(wxDialog& dialog)
{
    PressKey(WXK_ESCAPE);
    EXPECT_TRUE(WaitFor([&] { return !dialog.IsModal(); }, 2000)) << "Escape ends the dialog";
}
