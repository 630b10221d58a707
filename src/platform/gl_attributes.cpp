#include "platform/gl_attributes.h"

const wxGLAttributes& ViewGLAttributes()
{
    static const wxGLAttributes attributes = [] {
        wxGLAttributes a;
        a.PlatformDefaults().RGBA().DoubleBuffer().Depth(24).EndList();
        return a;
    }();
    return attributes;
}
