#pragma once

#include <vector>

// A dialog laid out in dialog units of its font, as resource data. Texts are UTF-8.
enum class ControlKind
{
    DefaultButton,  // the button Enter presses
    Button,
    Label,        // left-aligned static text, no access-key prefix
    Icon,         // the program icon at its natural size
    Edit,         // single line, bordered, scrolls horizontally
    RadioButton,  // automatic, not a tab stop; the first of a group carries bGroup
};

struct ControlTemplate
{
    ControlKind kind;
    int nId;
    int x, y, cx, cy;
    const char* pszText;
    bool bGroup = false;  // starts a group (radio buttons: starts the radio group)
};

struct DialogTemplate
{
    int nId;
    const char* pszCaption;
    int cx, cy;                             // client size
    int nFontPoints;                        // the proportional Gothic face at this size
    std::vector<ControlTemplate> controls;  // in template order, which is the tab order
};

// Buttons and edit fields are tab stops; labels, icons and radio buttons are not.
constexpr bool IsTabStop(ControlKind kind)
{
    return kind == ControlKind::DefaultButton || kind == ControlKind::Button || kind == ControlKind::Edit;
}

// The template with this id; nullptr for an unknown id.
const DialogTemplate* FindDialogTemplate(int nId);
