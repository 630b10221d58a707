#pragma once

#include <wx/dialog.h>
#include <wx/modalhook.h>

#include <functional>
#include <typeinfo>

// Every modal dialog a test triggers must be expected by a CModalScript, or the test fails and
// the dialog is answered with Cancel without being shown: no test ever waits on a popup.
//
// A script meets one dialog: the newest script that has met none takes the next dialog. It
// either answers it without showing it (Answer), or lets it run for real and calls act(dialog)
// from inside its modal loop (Run). act must have ended the dialog when it returns; a dialog
// still open then (a failed ASSERT returns early) fails the test and is ended with Cancel.
class CModalScript
{
public:
    using Action = std::function<void(wxDialog&)>;

    static CModalScript Answer(int nReturnCode);
    static CModalScript Run(Action act);
    CModalScript(const CModalScript&) = delete;  // registered by address; returned by elision
    CModalScript& operator=(const CModalScript&) = delete;
    ~CModalScript();

    // How many dialogs this script has met: 0 or 1.
    int GetCount() const { return m_nCount; }
    // The caption, and for a message box the message, of the last dialog met, and its parent.
    wxString GetLastCaption() const { return m_strLastCaption; }
    wxString GetLastMessage() const { return m_strLastMessage; }
    wxWindow* GetLastParent() const { return m_pLastParent; }
    long GetLastMessageStyle() const { return m_nLastMessageStyle; }
    // How the last dialog that ran for real ended: wxID_OK, wxID_CANCEL, ...
    int GetLastReturnCode() const { return m_nLastReturnCode; }

    // Whether the last dialog met was of class T.
    template <typename T>
    bool LastWas() const
    {
        return m_pLastType != nullptr && *m_pLastType == typeid(T);
    }

private:
    CModalScript(int nReturnCode, Action act);
    friend class CModalScriptHook;

    int m_nReturnCode;
    Action m_act;
    int m_nCount = 0;
    const std::type_info* m_pLastType = nullptr;
    wxString m_strLastCaption;
    wxString m_strLastMessage;
    wxWindow* m_pLastParent = nullptr;
    long m_nLastMessageStyle = 0;
    wxDialog* m_pRunning = nullptr;
    int m_nLastReturnCode = wxID_NONE;
};

// Installs the hook for the whole run; called once by the GUI test main.
void InstallModalScriptHook();
