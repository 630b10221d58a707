#pragma once

#include <wx/dialog.h>

#include <vector>

#include "resources/dialog_template.h"

// A modal dialog built from a dialog template: each control placed in dialog units of the
// template's font, in template order (which is the tab order), owned by the application's
// main window and centred over it. It opens with the focus on its first tab stop; Tab and
// Shift+Tab cycle the tab stops in template order; Escape cancels. Subclasses move their
// members to the controls and back in DoDataExchange, which runs into the controls when the
// dialog opens and out of them on OK.
class CTemplateDialog : public wxDialog
{
public:
    explicit CTemplateDialog(int nTemplateId);

    // Runs the dialog modally; returns IDOK or IDCANCEL.
    int DoModal();

    // The control with this program id, or nullptr.
    wxWindow* GetControl(int nId) const;

    // The controls of the group that starts at nFirstId, in template order: up to the next
    // control that starts a group.
    std::vector<wxWindow*> GetGroup(int nFirstId) const;

protected:
    // bSave false: members to controls; true: controls to members, false when a field fails
    // (the dialog then stays open).
    virtual bool DoDataExchange(bool bSave);

private:
    bool TransferDataToWindow() override;
    bool TransferDataFromWindow() override;
    void CreateControl(const ControlTemplate& control);
    std::vector<wxWindow*> GetTabStops() const;

    void OnShow(wxShowEvent& event);
    void OnCharHook(wxKeyEvent& event);
    // To the next tab stop in template order, or the previous one; wraps around.
    void MoveFocus(bool bBackward);

    const DialogTemplate& m_template;

    wxDECLARE_EVENT_TABLE();
};
