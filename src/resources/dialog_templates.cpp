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
        {IDD_DEGREE_ORDER,
         "LとMの設定",
         187,
         57,
         9,
         {
             {K::DefaultButton, IDOK, 130, 5, 50, 14, "OK"},
             {K::Button, IDCANCEL, 130, 22, 50, 14, "ｷｬﾝｾﾙ"},
             {K::Label, IDC_STATIC, 10, 21, 15, 10, "L =", true},
             {K::Edit, IDC_EDIT_L, 26, 15, 25, 15, ""},
             {K::Label, IDC_STATIC, 70, 21, 15, 10, "M =", true},
             {K::Edit, IDC_EDIT_M, 86, 15, 25, 15, ""},
         }},
        {IDD_RESOLUTION,
         "解像度の設定",
         187,
         57,
         9,
         {
             {K::DefaultButton, IDOK, 130, 7, 50, 14, "OK"},
             {K::Button, IDCANCEL, 130, 24, 50, 14, "ｷｬﾝｾﾙ"},
             {K::Label, IDC_STATIC, 10, 15, 35, 10, "θ方向", true},
             {K::Label, IDC_STATIC, 10, 35, 35, 10, "φ方向", true},
             {K::Edit, IDC_EDIT_THETA, 50, 10, 40, 15, ""},
             {K::Edit, IDC_EDIT_PHI, 50, 30, 40, 15, ""},
         }},
        {IDD_COLOR_SCHEME,
         "色の指定",
         279,
         91,
         9,
         {
             {K::DefaultButton, IDOK, 220, 15, 50, 14, "OK"},
             {K::Button, IDCANCEL, 220, 32, 50, 14, "ｷｬﾝｾﾙ"},
             {K::RadioButton, IDC_RADIO_RED_BLUE, 10, 10, 30, 10, "赤青", true},
             {K::RadioButton, IDC_RADIO_YELLOW_CYAN, 10, 25, 30, 10, "黄水"},
             {K::RadioButton, IDC_RADIO_GREEN_PURPLE, 10, 40, 30, 10, "緑紫"},
             {K::RadioButton, IDC_RADIO_GREY, 60, 10, 30, 10, "灰色"},
             {K::RadioButton, IDC_RADIO_PASTEL, 60, 25, 40, 10, "パステル"},
             {K::RadioButton, IDC_RADIO_WHITE_BLACK, 105, 10, 35, 10, "白黒"},
             {K::RadioButton, IDC_RADIO_BLACK, 105, 25, 40, 10, "黒"},
         }},
        {IDD_VIEWPOINT,
         "視点の設定",
         269,
         107,
         9,
         {
             {K::DefaultButton, IDOK, 160, 75, 50, 14, "OK"},
             {K::Button, IDCANCEL, 210, 75, 50, 14, "ｷｬﾝｾﾙ"},
             {K::Label, IDC_STATIC, 10, 15, 20, 10, "From", true},
             {K::Label, IDC_STATIC, 10, 40, 15, 10, "To", true},
             {K::Edit, IDC_EDIT_FROM_X, 35, 15, 75, 15, ""},
             {K::Edit, IDC_EDIT_FROM_Y, 110, 15, 75, 15, ""},
             {K::Edit, IDC_EDIT_FROM_Z, 185, 15, 75, 15, ""},
             {K::Edit, IDC_EDIT_TO_X, 35, 40, 75, 15, ""},
             {K::Edit, IDC_EDIT_TO_Y, 110, 40, 75, 15, ""},
             {K::Edit, IDC_EDIT_TO_Z, 185, 40, 75, 15, ""},
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
