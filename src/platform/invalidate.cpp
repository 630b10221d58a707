#include "platform/invalidate.h"

void InvalidateClientArea(wxTopLevelWindow& window)
{
    for (wxWindow* pChild : window.GetChildren())
        if (!pChild->IsTopLevel())
            pChild->Refresh(true);
}
