#include "dialogs/viewpoint_dialog.h"

#include "dialogs/data_exchange.h"
#include "resources/resource_ids.h"

CViewpointDialog::CViewpointDialog() : CTemplateDialog(IDD_VIEWPOINT) {}

bool CViewpointDialog::DoDataExchange(bool bSave)
{
    std::u32string* const apStrings[] = {&m_strFromX, &m_strFromY, &m_strFromZ,
                                         &m_strToX,   &m_strToY,   &m_strToZ};
    for (int i = 0; i < 6; ++i)
        ExchangeText(*this, IDC_EDIT_FROM_X + i, *apStrings[i], bSave);
    return true;
}
