#pragma once

#include <wx/uiaction.h>
#include <wx/window.h>

#include "support/gui_wait.h"

// Drives the real pointer (XTest) over a window, in its client coordinates, and lets the
// events arrive.
class CPointer
{
public:
    explicit CPointer(wxWindow& window) : m_window(window) {}
    void MoveTo(int x, int y)
    {
        m_sim.MouseMove(m_window.ClientToScreen(wxPoint(x, y)));
        Settle();
    }
    void Down(int nButton)
    {
        m_sim.MouseDown(nButton);
        Settle();
    }
    void Up(int nButton)
    {
        m_sim.MouseUp(nButton);
        Settle();
    }
    void Click()
    {
        Down(wxMOUSE_BTN_LEFT);
        Up(wxMOUSE_BTN_LEFT);
    }
    void DoubleClick()
    {
        m_sim.MouseDblClick();
        Settle();
    }

private:
    static void Settle()
    {
        WaitFor([] { return false; }, 100);
    }
    wxWindow& m_window;
    wxUIActionSimulator m_sim;
};
