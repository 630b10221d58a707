#pragma once

#include <string>

#include "platform/template_dialog.h"

// Shows and takes the camera as the six coordinates of From and To, as text.
class CViewpointDialog : public CTemplateDialog
{
public:
    CViewpointDialog();

    std::u32string m_strFromX;
    std::u32string m_strFromY;
    std::u32string m_strFromZ;
    std::u32string m_strToX;
    std::u32string m_strToY;
    std::u32string m_strToZ;

protected:
    bool DoDataExchange(bool bSave) override;
};
