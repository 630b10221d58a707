#include "dialogs/data_exchange.h"

#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include "dialogs/integer_rule.h"
#include "platform/message_box.h"
#include "resources/resource_ids.h"

namespace {

// wxString holds UTF-32 on this platform; the text rules take std::u32string.
std::u32string ToU32(const wxString& str)
{
    const std::wstring strWide = str.ToStdWstring();
    return std::u32string(strWide.begin(), strWide.end());
}

wxString FromU32(const std::u32string& str)
{
    return wxString(std::wstring(str.begin(), str.end()));
}

wxTextCtrl& Edit(CTemplateDialog& dialog, int nId)
{
    wxTextCtrl* pEdit = dynamic_cast<wxTextCtrl*>(dialog.GetControl(nId));
    wxASSERT_MSG(pEdit != nullptr, "no edit field with this id");
    return *pEdit;
}

}  // namespace

bool ExchangeInteger(CTemplateDialog& dialog, int nId, int32_t& nValue, bool bSave)
{
    wxTextCtrl& edit = Edit(dialog, nId);
    if (!bSave)
    {
        edit.ChangeValue(FromU32(FormatIntegerField(nValue)));
        return true;
    }
    if (ParseIntegerField(ToU32(edit.GetValue()), nValue))
        return true;
    ShowMessageBox(&dialog, AFX_IDP_PARSE_INT, wxICON_EXCLAMATION);
    edit.SetFocus();
    edit.SelectAll();
    return false;
}

void ExchangeText(CTemplateDialog& dialog, int nId, std::u32string& strValue, bool bSave)
{
    wxTextCtrl& edit = Edit(dialog, nId);
    if (bSave)
        strValue = ToU32(edit.GetValue());
    else
        edit.ChangeValue(FromU32(strValue));
}

void ExchangeRadio(CTemplateDialog& dialog, int nFirstId, int32_t& nPosition, bool bSave)
{
    if (bSave)
        nPosition = -1;
    int32_t nIndex = 0;
    for (wxWindow* pControl : dialog.GetGroup(nFirstId))
    {
        wxRadioButton* pRadio = dynamic_cast<wxRadioButton*>(pControl);
        if (pRadio == nullptr)
            continue;
        if (!bSave)
            pRadio->SetValue(nIndex == nPosition);
        else if (pRadio->GetValue())
            nPosition = nIndex;
        ++nIndex;
    }
}
