#pragma once

#include <vector>

// Menu 128: pop-ups of items; "&" marks the access key. Texts are UTF-8.
struct MenuItemResource
{
    const char* pszCaption;
    int nCommandId;
};

struct PopupMenuResource
{
    const char* pszCaption;
    std::vector<MenuItemResource> items;
};

const std::vector<PopupMenuResource>& MainMenuResource();

// Accelerator table 128.
enum class AcceleratorModifier
{
    None,
    Ctrl,
    Shift,
    Alt,
};

enum class AcceleratorKey
{
    C,
    V,
    X,
    Z,
    Back,
    Delete,
    Insert,
    F6,
};

struct AcceleratorResource
{
    AcceleratorModifier modifier;
    AcceleratorKey key;
    int nCommandId;
};

const std::vector<AcceleratorResource>& MainAcceleratorResource();
