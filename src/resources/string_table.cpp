#include "resources/string_table.h"

#include "resources/resource_ids.h"

const char* LoadResourceString(int nId)
{
    switch (nId)
    {
        case IDR_MAINFRAME:
        case AFX_IDS_APP_TITLE:
            return "Lobara";
        case ID_APP_EXIT:
            return "ｱﾌﾟﾘｹｰｼｮﾝを終了し、ﾌｧｲﾙの保存を指示\n終了";
        case ID_SETTINGS_LM:
            return "LとMを設定します\nLとMを設定します";
        case ID_SETTINGS_RESOLUTION:
            return "解像度を設定します\n解像度の設定";
        case ID_SETTINGS_COLOR:
            return "色を変更します\n色の変更";
        case ID_SETTINGS_VIEWPOINT:
            return "視点を設定します\n視点の設定";
        case ID_APP_ABOUT:
            return "ﾌﾟﾛｸﾞﾗﾑの情報、ﾊﾞｰｼﾞｮﾝそして著作権を表示\nﾊﾞｰｼﾞｮﾝ情報";
        case AFX_IDP_PARSE_INT:
            return "整数を入力してください。";
        case IDP_SURFACE_TOO_LARGE:
            return "この設定の曲面は大きすぎて作成できません。\n前の曲面をそのまま表示します。";
        case IDP_NO_OPENGL:
            return "OpenGL の描画環境を用意できませんでした。";
        default:
            return nullptr;
    }
}
