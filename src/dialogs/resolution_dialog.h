#pragma once

#include <cstdint>

#include "platform/template_dialog.h"

// Edits the numbers of samples along theta and along phi.
class CResolutionDialog : public CTemplateDialog
{
public:
    CResolutionDialog();

    int32_t m_nPhiDiv = 0;
    int32_t m_nThetaDiv = 0;

protected:
    bool DoDataExchange(bool bSave) override;
};
