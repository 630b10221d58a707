#include "resources/menu_resource.h"

#include "resources/resource_ids.h"

const std::vector<PopupMenuResource>& MainMenuResource()
{
    static const std::vector<PopupMenuResource> menu = {
        {"ﾌｧｲﾙ(&F)", {{"ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)", ID_APP_EXIT}}},
        {"設定(&P)",
         {
             {"LとM(&L)...", ID_SETTINGS_LM},
             {"解像度(&R)...", ID_SETTINGS_RESOLUTION},
             {"色の変更(&C)...", ID_SETTINGS_COLOR},
             {"視点の設定(&V)...", ID_SETTINGS_VIEWPOINT},
         }},
        {"ﾍﾙﾌﾟ(&H)", {{"Lobara のﾊﾞｰｼﾞｮﾝ情報(&A)...", ID_APP_ABOUT}}},
    };
    return menu;
}

const std::vector<AcceleratorResource>& MainAcceleratorResource()
{
    using M = AcceleratorModifier;
    using K = AcceleratorKey;
    static const std::vector<AcceleratorResource> table = {
        {M::Ctrl, K::C, ID_EDIT_COPY},      {M::Ctrl, K::V, ID_EDIT_PASTE},
        {M::Alt, K::Back, ID_EDIT_UNDO},    {M::Shift, K::Delete, ID_EDIT_CUT},
        {M::None, K::F6, ID_NEXT_PANE},     {M::Shift, K::F6, ID_PREV_PANE},
        {M::Ctrl, K::Insert, ID_EDIT_COPY}, {M::Shift, K::Insert, ID_EDIT_PASTE},
        {M::Ctrl, K::X, ID_EDIT_CUT},       {M::Ctrl, K::Z, ID_EDIT_UNDO},
    };
    return table;
}
