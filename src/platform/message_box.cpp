#include "platform/message_box.h"

#include <wx/msgdlg.h>

#include "resources/resource_ids.h"
#include "resources/string_table.h"

void ShowMessageBox(wxWindow* pOwner, int nTextId, long nIcon)
{
    // GTK 3's native message dialog draws no icon; wx's own draws the theme's.
    wxGenericMessageDialog box(pOwner, wxString::FromUTF8(LoadResourceString(nTextId)),
                               wxString::FromUTF8(LoadResourceString(AFX_IDS_APP_TITLE)), wxOK | nIcon);
    box.ShowModal();
}
