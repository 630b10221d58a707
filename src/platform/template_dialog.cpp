#include "platform/template_dialog.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/radiobut.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "platform/command_ids.h"
#include "platform/program_icon.h"
#include "resources/resource_ids.h"

namespace {

// The proportional Gothic face that the templates are laid out for.
constexpr const char* kDialogFaceName = "IPAPGothic";

const DialogTemplate& RequireTemplate(int nTemplateId)
{
    const DialogTemplate* pTemplate = FindDialogTemplate(nTemplateId);
    wxASSERT_MSG(pTemplate != nullptr, "unknown dialog template");
    return *pTemplate;
}

}  // namespace

CTemplateDialog::CTemplateDialog(int nTemplateId)
    : wxDialog(wxTheApp->GetTopWindow(), wxID_ANY,
               wxString::FromUTF8(RequireTemplate(nTemplateId).pszCaption), wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX),
      m_template(RequireTemplate(nTemplateId))
{
    SetFont(wxFont(m_template.nFontPoints, wxFONTFAMILY_SWISS, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_NORMAL, false,
                   kDialogFaceName));
    for (const ControlTemplate& control : m_template.controls)
        CreateControl(control);
    SetClientSize(ConvertDialogToPixels(wxSize(m_template.cx, m_template.cy)));
    CentreOnParent();
}

bool CTemplateDialog::DoDataExchange(bool)
{
    return true;
}

bool CTemplateDialog::TransferDataToWindow()
{
    return DoDataExchange(false);
}

bool CTemplateDialog::TransferDataFromWindow()
{
    return DoDataExchange(true);
}

std::vector<wxWindow*> CTemplateDialog::GetGroup(int nFirstId) const
{
    std::vector<wxWindow*> group;
    bool bInGroup = false;
    for (const ControlTemplate& control : m_template.controls)
    {
        if (bInGroup && control.bGroup)
            break;
        bInGroup = bInGroup || control.nId == nFirstId;
        if (bInGroup)
            group.push_back(GetControl(control.nId));
    }
    return group;
}

void CTemplateDialog::CreateControl(const ControlTemplate& control)
{
    const wxPoint position = ConvertDialogToPixels(wxPoint(control.x, control.y));
    const wxSize size = ConvertDialogToPixels(wxSize(control.cx, control.cy));
    const wxString strText = control.pszText ? wxString::FromUTF8(control.pszText) : wxString();
    const int nId = ToWxId(control.nId);
    switch (control.kind)
    {
        case ControlKind::DefaultButton:
            (new wxButton(this, nId, strText, position, size))->SetDefault();
            break;
        case ControlKind::Button:
            new wxButton(this, nId, strText, position, size);
            break;
        case ControlKind::Label:
        {
            wxStaticText* pLabel =
                new wxStaticText(this, nId, wxString(), position, size, wxST_NO_AUTORESIZE);
            pLabel->SetLabelText(strText);
            break;
        }
        case ControlKind::Icon:
            new wxStaticBitmap(this, nId, ProgramIconBitmap(32), position);
            break;
        case ControlKind::Edit:
            new wxTextCtrl(this, nId, strText, position, size);
            break;
        case ControlKind::RadioButton:
            (new wxRadioButton(this, nId, strText, position, size, control.bGroup ? wxRB_GROUP : 0))
                ->SetCanFocus(false);
            break;
    }
}

int CTemplateDialog::DoModal()
{
    return ShowModal() == wxID_CANCEL ? IDCANCEL : IDOK;
}

wxWindow* CTemplateDialog::GetControl(int nId) const
{
    return FindWindow(ToWxId(nId));
}
