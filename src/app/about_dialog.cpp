#include "app/about_dialog.h"

#include "resources/resource_ids.h"

CAboutDialog::CAboutDialog() : CTemplateDialog(IDD_ABOUTBOX) {}
