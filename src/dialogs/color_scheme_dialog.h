#pragma once

#include <cstdint>

#include "platform/template_dialog.h"

// Chooses one of the seven colour schemes by its radio button.
class CColorSchemeDialog : public CTemplateDialog
{
public:
    CColorSchemeDialog();

    int32_t m_nColorScheme = -1;  // position of the selected button; -1 for none

protected:
    bool DoDataExchange(bool bSave) override;
};
