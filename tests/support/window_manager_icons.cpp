#include "support/window_manager_icons.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

// A property of a window as 32-bit items (longs on the client side); empty if it has none.
std::vector<long> CardinalProperty(Display* pDisplay, Window window, const char* pszName)
{
    Atom type = None;
    int nFormat = 0;
    unsigned long nItems = 0, nAfter = 0;
    unsigned char* pData = nullptr;
    std::vector<long> aItems;
    if (XGetWindowProperty(pDisplay, window, XInternAtom(pDisplay, pszName, False), 0, 1 << 22, False,
                           XA_CARDINAL, &type, &nFormat, &nItems, &nAfter, &pData) == Success &&
        pData != nullptr)
    {
        if (nFormat == 32)
            aItems.assign(reinterpret_cast<const long*>(pData),
                          reinterpret_cast<const long*>(pData) + nItems);
        XFree(pData);
    }
    return aItems;
}

std::string Utf8Name(Display* pDisplay, Window window)
{
    Atom type = None;
    int nFormat = 0;
    unsigned long nItems = 0, nAfter = 0;
    unsigned char* pData = nullptr;
    std::string strName;
    if (XGetWindowProperty(pDisplay, window, XInternAtom(pDisplay, "_NET_WM_NAME", False), 0, 1024, False,
                           XInternAtom(pDisplay, "UTF8_STRING", False), &type, &nFormat, &nItems, &nAfter,
                           &pData) == Success &&
        pData != nullptr)
    {
        strName.assign(reinterpret_cast<const char*>(pData), nItems);
        XFree(pData);
    }
    return strName;
}

}  // namespace

std::vector<wxSize> WindowManagerIconSizes(const std::string& strCaption)
{
    std::vector<wxSize> aSizes;
    Display* pDisplay = XOpenDisplay(nullptr);
    if (pDisplay == nullptr)
        return aSizes;
    Window root = None, parent = None;
    Window* pChildren = nullptr;
    unsigned int nChildren = 0;
    XQueryTree(pDisplay, DefaultRootWindow(pDisplay), &root, &parent, &pChildren, &nChildren);
    for (unsigned int i = 0; i < nChildren && aSizes.empty(); ++i)
    {
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(pDisplay, pChildren[i], &attributes) ||
            attributes.map_state != IsViewable || Utf8Name(pDisplay, pChildren[i]) != strCaption)
            continue;
        // Width, height, then width x height pixels, for each image in turn.
        const std::vector<long> aIcon = CardinalProperty(pDisplay, pChildren[i], "_NET_WM_ICON");
        for (size_t k = 0; k + 2 <= aIcon.size(); k += 2 + static_cast<size_t>(aIcon[k] * aIcon[k + 1]))
            aSizes.emplace_back(static_cast<int>(aIcon[k]), static_cast<int>(aIcon[k + 1]));
    }
    if (pChildren != nullptr)
        XFree(pChildren);
    XCloseDisplay(pDisplay);
    return aSizes;
}
