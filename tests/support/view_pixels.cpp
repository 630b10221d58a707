#include "support/view_pixels.h"

#include <GL/gl.h>

#include <vector>

wxImage ReadViewPixels(CSurfaceView& view)
{
    GLint viewport[4];
    double from[3], to[3];
    view.GetViewpoint(&from[0], &from[1], &from[2], &to[0], &to[1], &to[2]);  // makes its context current
    glGetIntegerv(GL_VIEWPORT, viewport);
    const int nWidth = viewport[2], nHeight = viewport[3];
    std::vector<unsigned char> aRgb(static_cast<size_t>(nWidth) * static_cast<size_t>(nHeight) * 3);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, nWidth, nHeight, GL_RGB, GL_UNSIGNED_BYTE, aRgb.data());
    wxImage image(nWidth, nHeight);
    for (int y = 0; y < nHeight; ++y)
        std::copy_n(&aRgb[static_cast<size_t>(nHeight - 1 - y) * static_cast<size_t>(nWidth) * 3],
                    static_cast<size_t>(nWidth) * 3, image.GetData() + static_cast<size_t>(y) * nWidth * 3);
    return image;
}
