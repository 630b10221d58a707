#pragma once

#include <cstdint>
#include <string>

#include "platform/template_dialog.h"

// Moving a dialog's members to its controls (bSave false) and back (bSave true).

// An integer member and an edit field. Saving applies the integer rule; a field that fails
// gets the message box "整数を入力してください。" owned by the dialog, then the focus with its
// whole text selected, and the result is false.
bool ExchangeInteger(CTemplateDialog& dialog, int nId, int32_t& nValue, bool bSave);

// A string member and an edit field, whole text both ways.
void ExchangeText(CTemplateDialog& dialog, int nId, std::u32string& strValue, bool bSave);

// The position of the selected radio button in the group that starts at nFirstId, counting
// radio buttons only; -1 when none is selected.
void ExchangeRadio(CTemplateDialog& dialog, int nFirstId, int32_t& nPosition, bool bSave);
