#include "dialogs/resolution_dialog.h"

#include "dialogs/data_exchange.h"
#include "resources/resource_ids.h"

CResolutionDialog::CResolutionDialog() : CTemplateDialog(IDD_RESOLUTION) {}

// The phi field is exchanged first, although it stands below the theta field.
bool CResolutionDialog::DoDataExchange(bool bSave)
{
    return ExchangeInteger(*this, IDC_EDIT_PHI, m_nPhiDiv, bSave) &&
           ExchangeInteger(*this, IDC_EDIT_THETA, m_nThetaDiv, bSave);
}
