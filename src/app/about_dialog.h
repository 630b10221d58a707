#pragma once

#include "platform/template_dialog.h"

// The About box: the program icon, its name and version, and OK. It changes nothing.
class CAboutDialog : public CTemplateDialog
{
public:
    CAboutDialog();
};
