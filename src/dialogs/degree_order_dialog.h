#pragma once

#include <cstdint>

#include "platform/template_dialog.h"

// Edits the degree l and the order m of the harmonic.
class CDegreeOrderDialog : public CTemplateDialog
{
public:
    CDegreeOrderDialog();

    int32_t m_nL = 0;
    int32_t m_nM = 0;

protected:
    bool DoDataExchange(bool bSave) override;
};
