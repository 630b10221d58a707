#include "dialogs/degree_order_dialog.h"

#include "dialogs/data_exchange.h"
#include "resources/resource_ids.h"

CDegreeOrderDialog::CDegreeOrderDialog() : CTemplateDialog(IDD_DEGREE_ORDER) {}

bool CDegreeOrderDialog::DoDataExchange(bool bSave)
{
    return ExchangeInteger(*this, IDC_EDIT_L, m_nL, bSave) && ExchangeInteger(*this, IDC_EDIT_M, m_nM, bSave);
}
