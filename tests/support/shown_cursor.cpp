#include "support/shown_cursor.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

bool GetShownCursor(ShownCursor& cursor)
{
    Display* pDisplay = XOpenDisplay(nullptr);
    if (pDisplay == nullptr)
        return false;
    XFixesCursorImage* pImage = XFixesGetCursorImage(pDisplay);
    if (pImage != nullptr)
    {
        cursor.size = wxSize(pImage->width, pImage->height);
        cursor.hotspot = wxPoint(pImage->xhot, pImage->yhot);
        XFree(pImage);
    }
    XCloseDisplay(pDisplay);
    return pImage != nullptr;
}
