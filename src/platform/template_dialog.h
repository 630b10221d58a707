#pragma once

#include <wx/dialog.h>

#include "resources/dialog_template.h"

// A modal dialog built from a dialog template: each control placed in dialog units of the
// template's font, in template order (which is the tab order), owned by the application's
// main window and centred over it. Subclasses move their values in and out by overriding
// TransferDataToWindow and TransferDataFromWindow.
class CTemplateDialog : public wxDialog
{
public:
    explicit CTemplateDialog(int nTemplateId);

    // Runs the dialog modally; returns IDOK or IDCANCEL.
    int DoModal();

    // The control with this program id, or nullptr.
    wxWindow* GetControl(int nId) const;

private:
    void CreateControl(const ControlTemplate& control);
};
