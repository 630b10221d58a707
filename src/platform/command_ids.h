#pragma once

#include <wx/defs.h>

#include <utility>

#include "resources/resource_ids.h"

// The program keeps its own ids (resources/resource_ids.h); wx wants menu and accelerator ids
// below 0x7fff and has its own ids for OK, Cancel and static controls. These translate both
// ways; every id not listed is the same in both.
namespace command_ids_detail {

constexpr std::pair<int, int> kIdPairs[] = {
    {IDOK, wxID_OK},
    {IDCANCEL, wxID_CANCEL},
    {IDC_STATIC, wxID_STATIC},
    {ID_SETTINGS_LM, wxID_HIGHEST + 1},
    {ID_SETTINGS_RESOLUTION, wxID_HIGHEST + 2},
    {ID_SETTINGS_COLOR, wxID_HIGHEST + 3},
    {ID_SETTINGS_VIEWPOINT, wxID_HIGHEST + 4},
    {ID_APP_ABOUT, wxID_HIGHEST + 5},
    {ID_APP_EXIT, wxID_HIGHEST + 6},
    {ID_EDIT_COPY, wxID_HIGHEST + 7},
    {ID_EDIT_CUT, wxID_HIGHEST + 8},
    {ID_EDIT_PASTE, wxID_HIGHEST + 9},
    {ID_EDIT_UNDO, wxID_HIGHEST + 10},
    {ID_NEXT_PANE, wxID_HIGHEST + 11},
    {ID_PREV_PANE, wxID_HIGHEST + 12},
    {AFX_IDW_PANE_FIRST, wxID_HIGHEST + 13},
};

}  // namespace command_ids_detail

constexpr int ToWxId(int nProgramId)
{
    for (const auto& ids : command_ids_detail::kIdPairs)
        if (ids.first == nProgramId)
            return ids.second;
    return nProgramId;
}

constexpr int FromWxId(int nWxId)
{
    for (const auto& ids : command_ids_detail::kIdPairs)
        if (ids.second == nWxId)
            return ids.first;
    return nWxId;
}
