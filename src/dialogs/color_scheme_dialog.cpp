#include "dialogs/color_scheme_dialog.h"

#include "dialogs/data_exchange.h"
#include "resources/resource_ids.h"

CColorSchemeDialog::CColorSchemeDialog() : CTemplateDialog(IDD_COLOR_SCHEME) {}

bool CColorSchemeDialog::DoDataExchange(bool bSave)
{
    ExchangeRadio(*this, IDC_RADIO_RED_BLUE, m_nColorScheme, bSave);
    return true;
}
