#pragma once

#include <wx/window.h>

// The program's message box: the string nTextId, the application title as caption, one OK
// button and the icon nIcon (wxICON_EXCLAMATION, wxICON_ERROR), owned by pOwner (nullptr: no
// owner). Returns when the user has dismissed it.
void ShowMessageBox(wxWindow* pOwner, int nTextId, long nIcon);
