#include "support/modal_script.h"

#include <gtest/gtest.h>
#include <wx/msgdlg.h>

#include <vector>

namespace {

std::vector<CModalScript*>& ActiveScripts()
{
    static std::vector<CModalScript*> scripts;
    return scripts;
}

}  // namespace

class CModalScriptHook : public wxModalDialogHook
{
protected:
    int Enter(wxDialog* pDialog) override
    {
        // wx's generic message dialog passes through the hook twice, in its own ShowModal and
        // in the one of wxDialog: the second time, the script running it already has it.
        for (const CModalScript* pScript : ActiveScripts())
            if (pScript->m_pRunning == pDialog)
                return wxID_NONE;
        // The newest script that has met no dialog yet takes this one.
        CModalScript* pScript = nullptr;
        for (auto it = ActiveScripts().rbegin(); it != ActiveScripts().rend() && pScript == nullptr; ++it)
            if ((*it)->m_nCount == 0)
                pScript = *it;
        if (pScript == nullptr)
        {
            ADD_FAILURE() << "unexpected modal dialog: " << pDialog->GetClassInfo()->GetClassName() << " \""
                          << pDialog->GetTitle().utf8_str() << "\"";
            return wxID_CANCEL;
        }
        CModalScript& script = *pScript;
        ++script.m_nCount;
        script.m_pLastType = &typeid(*pDialog);
        script.m_strLastCaption = pDialog->GetTitle();
        script.m_pLastParent = pDialog->GetParent();
        if (const auto* pMessage = dynamic_cast<const wxMessageDialogBase*>(pDialog))
        {
            script.m_strLastMessage = pMessage->GetMessage();
            script.m_strLastCaption = pMessage->GetTitle();
            script.m_nLastMessageStyle = pMessage->GetMessageDialogStyle();
        }
        if (!script.m_act)
            return script.m_nReturnCode;
        script.m_pRunning = pDialog;
        pDialog->CallAfter([pDialog, act = script.m_act] {
            act(*pDialog);
            if (pDialog->IsModal())
            {
                ADD_FAILURE() << "the dialog \"" << pDialog->GetTitle().utf8_str()
                              << "\" was still open when its script returned; ended with Cancel";
                pDialog->EndModal(wxID_CANCEL);
            }
        });
        return wxID_NONE;
    }
    void Exit(wxDialog* pDialog) override
    {
        for (CModalScript* pScript : ActiveScripts())
        {
            if (pScript->m_pRunning == pDialog)
            {
                pScript->m_nLastReturnCode = pDialog->GetReturnCode();
                pScript->m_pRunning = nullptr;
            }
        }
    }
};

CModalScript::CModalScript(int nReturnCode, Action act) : m_nReturnCode(nReturnCode), m_act(std::move(act))
{
    ActiveScripts().push_back(this);
}

CModalScript::~CModalScript()
{
    std::vector<CModalScript*>& scripts = ActiveScripts();
    for (auto it = scripts.begin(); it != scripts.end(); ++it)
    {
        if (*it == this)
        {
            scripts.erase(it);
            break;
        }
    }
}

CModalScript CModalScript::Answer(int nReturnCode)
{
    return CModalScript(nReturnCode, nullptr);
}

CModalScript CModalScript::Run(Action act)
{
    return CModalScript(wxID_NONE, std::move(act));
}

void InstallModalScriptHook()
{
    static CModalScriptHook hook;
    hook.Register();
}
