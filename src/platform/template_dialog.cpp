#include "platform/template_dialog.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/radiobut.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <algorithm>

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

wxBEGIN_EVENT_TABLE(CTemplateDialog, wxDialog)
    EVT_SHOW(CTemplateDialog::OnShow)
    EVT_CHAR_HOOK(CTemplateDialog::OnCharHook)
wxEND_EVENT_TABLE()

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
        {
            wxRadioButton* pRadio =
                new wxRadioButton(this, nId, strText, position, size, control.bGroup ? wxRB_GROUP : 0);
            pRadio->SetCanFocus(false);
            // GTK cannot draw a radio button smaller than its indicator and label need (it
            // complains on every layout), and some of the templates' radio buttons are smaller
            // than that in this font: such a button grows right and down from its place.
            wxSize fitted = size;
            fitted.IncTo(pRadio->GetBestSize());
            pRadio->SetSize(fitted);
            break;
        }
    }
}

std::vector<wxWindow*> CTemplateDialog::GetTabStops() const
{
    std::vector<wxWindow*> tabStops;
    for (const ControlTemplate& control : m_template.controls)
        if (IsTabStop(control.kind))
            tabStops.push_back(GetControl(control.nId));
    return tabStops;
}

// The dialog asks to be the active window and gives its first tab stop the focus. A window
// manager activates a new dialog anyway; on a display without one, the keyboard would
// otherwise reach no window.
void CTemplateDialog::OnShow(wxShowEvent& event)
{
    event.Skip();
    if (!event.IsShown())
        return;
    const std::vector<wxWindow*> tabStops = GetTabStops();
    if (!tabStops.empty())
        tabStops.front()->SetFocus();
    Raise();
}

// Escape cancels at any moment. Tab and Shift+Tab move through the tab stops in template
// order and wrap around. Every other key goes on to the dialog's standard handling.
void CTemplateDialog::OnCharHook(wxKeyEvent& event)
{
    if (IsEscapeKey(event))
        EndDialog(wxID_CANCEL);
    else if (event.GetKeyCode() == WXK_TAB && (event.GetModifiers() & ~wxMOD_SHIFT) == 0)
        MoveFocus(event.ShiftDown());
    else
        event.Skip();
}

void CTemplateDialog::MoveFocus(bool bBackward)
{
    const std::vector<wxWindow*> tabStops = GetTabStops();
    if (tabStops.empty())
        return;
    // Focus outside the tab stops counts as just before the first one, or after the last.
    const auto nCount = static_cast<std::ptrdiff_t>(tabStops.size());
    const std::ptrdiff_t nFocus = std::find(tabStops.begin(), tabStops.end(), FindFocus()) - tabStops.begin();
    const std::ptrdiff_t nNext = bBackward ? nFocus - 1 : (nFocus == nCount ? 0 : nFocus + 1);
    tabStops[static_cast<size_t>((nNext + nCount) % nCount)]->SetFocus();
}

int CTemplateDialog::DoModal()
{
    return ShowModal() == wxID_CANCEL ? IDCANCEL : IDOK;
}

wxWindow* CTemplateDialog::GetControl(int nId) const
{
    return FindWindow(ToWxId(nId));
}
