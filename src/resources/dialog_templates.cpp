#include "resources/dialog_template.h"

#include "resources/resource_ids.h"

namespace {

const std::vector<DialogTemplate>& DialogTemplates()
{
    using K = ControlKind;
    static const std::vector<DialogTemplate> templates = {
        {IDD_ABOUTBOX,
         "Lobaraのﾊﾞｰｼﾞｮﾝ情報",
         235,
         55,
         9,
         {
             {K::Icon, IDC_STATIC, 11, 17, 20, 20, nullptr},
             {K::Label, IDC_STATIC, 40, 10, 119, 8, "Lobara Version 1.0", true},
             {K::DefaultButton, IDOK, 178, 7, 50, 14, "OK", true},
         }},
    };
    return templates;
}

}  // namespace

const DialogTemplate* FindDialogTemplate(int nId)
{
    for (const DialogTemplate& dialog : DialogTemplates())
        if (dialog.nId == nId)
            return &dialog;
    return nullptr;
}
