#pragma once

#include <wx/window.h>

// Counts the paints of a window while it lives; each is counted as it starts.
class CPaintCounter : public wxEvtHandler
{
public:
    explicit CPaintCounter(wxWindow& window) : m_window(window) { m_window.PushEventHandler(this); }
    ~CPaintCounter() override { m_window.RemoveEventHandler(this); }
    CPaintCounter(const CPaintCounter&) = delete;
    CPaintCounter& operator=(const CPaintCounter&) = delete;

    int m_nPaints = 0;

private:
    bool TryBefore(wxEvent& event) override
    {
        m_nPaints += event.GetEventType() == wxEVT_PAINT;
        return false;
    }

    wxWindow& m_window;
};
