#include "platform/menu_builder.h"

#include <string>
#include <vector>

#include "platform/command_ids.h"
#include "resources/menu_resource.h"
#include "resources/string_table.h"

namespace {

// The prompt is the part of a command's string before the newline.
wxString CommandPrompt(int nCommandId)
{
    const char* pszText = LoadResourceString(nCommandId);
    if (pszText == nullptr)
        return wxString();
    const std::string strText = pszText;
    return wxString::FromUTF8(strText.substr(0, strText.find('\n')));
}

int ToWxKey(AcceleratorKey key)
{
    switch (key)
    {
        case AcceleratorKey::C:
            return 'C';
        case AcceleratorKey::V:
            return 'V';
        case AcceleratorKey::X:
            return 'X';
        case AcceleratorKey::Z:
            return 'Z';
        case AcceleratorKey::Back:
            return WXK_BACK;
        case AcceleratorKey::Delete:
            return WXK_DELETE;
        case AcceleratorKey::Insert:
            return WXK_INSERT;
        case AcceleratorKey::F6:
            return WXK_F6;
    }
    return 0;
}

int ToWxFlags(AcceleratorModifier modifier)
{
    switch (modifier)
    {
        case AcceleratorModifier::Ctrl:
            return wxACCEL_CTRL;
        case AcceleratorModifier::Shift:
            return wxACCEL_SHIFT;
        case AcceleratorModifier::Alt:
            return wxACCEL_ALT;
        case AcceleratorModifier::None:
            break;
    }
    return wxACCEL_NORMAL;
}

}  // namespace

wxMenuBar* CreateMainMenuBar()
{
    wxMenuBar* pMenuBar = new wxMenuBar();
    for (const PopupMenuResource& popup : MainMenuResource())
    {
        wxMenu* pMenu = new wxMenu();
        for (const MenuItemResource& item : popup.items)
            pMenu->Append(ToWxId(item.nCommandId), wxString::FromUTF8(item.pszCaption),
                          CommandPrompt(item.nCommandId));
        pMenuBar->Append(pMenu, wxString::FromUTF8(popup.pszCaption));
    }
    return pMenuBar;
}

wxAcceleratorTable CreateMainAcceleratorTable()
{
    std::vector<wxAcceleratorEntry> entries;
    for (const AcceleratorResource& accelerator : MainAcceleratorResource())
        entries.emplace_back(ToWxFlags(accelerator.modifier), ToWxKey(accelerator.key),
                             ToWxId(accelerator.nCommandId));
    return wxAcceleratorTable(static_cast<int>(entries.size()), entries.data());
}
