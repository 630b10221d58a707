#include "render/offscreen_context.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "render/address_space.h"
#include "sht/build_limits.h"

namespace {

// The address space the driver takes to load and make a context, beyond what the process
// holds; measured under a limit, with room to spare.
constexpr size_t kDriverAddressSpace = size_t{288} << 20;

std::runtime_error EglError(const char* pszWhat)
{
    char acCode[16];
    std::snprintf(acCode, sizeof acCode, "0x%04x", static_cast<unsigned>(eglGetError()));
    return std::runtime_error(std::string(pszWhat) + " (EGL error " + acCode + ")");
}

// The surfaceless display needs no window system. It is initialised once and kept for the
// life of the process, so contexts can come and go without tearing the driver down.
EGLDisplay SurfacelessDisplay()
{
    static const EGLDisplay hDisplay = [] {
        EGLDisplay h = eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        if (h == EGL_NO_DISPLAY || !eglInitialize(h, nullptr, nullptr))
            return EGL_NO_DISPLAY;
        return h;
    }();
    if (hDisplay == EGL_NO_DISPLAY)
        throw EglError("cannot open a surfaceless EGL display");
    return hDisplay;
}

EGLConfig ChooseConfig(EGLDisplay hDisplay)
{
    // clang-format off
    const EGLint aAttributes[] = {
        EGL_SURFACE_TYPE, EGL_PBUFFER_BIT,
        EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
        EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_ALPHA_SIZE, 8,
        EGL_DEPTH_SIZE, 24,
        EGL_NONE,
    };
    // clang-format on
    EGLConfig hConfig = nullptr;
    EGLint nConfigs = 0;
    if (!eglChooseConfig(hDisplay, aAttributes, &hConfig, 1, &nConfigs) || nConfigs < 1)
        throw EglError("no EGL configuration renders desktop GL into a pbuffer");
    return hConfig;
}

}  // namespace

COffscreenContext::COffscreenContext(int nWidth, int nHeight) : m_nWidth(nWidth), m_nHeight(nHeight)
{
    if (nWidth < 1 || nHeight < 1 || nWidth > kMaxPictureSide || nHeight > kMaxPictureSide)
        throw std::runtime_error("the picture must be 1 to " + std::to_string(kMaxPictureSide) +
                                 " pixels on each side");
    const size_t nPixels = static_cast<size_t>(nWidth) * static_cast<size_t>(nHeight);
    // The software driver crashes where it runs out of address space (ulimit -v) while it
    // loads or makes a context, so the room it takes is asked for first: its libraries and
    // compiler, and a colour and a depth buffer.
    if (!AddressSpaceLeft(kDriverAddressSpace + nPixels * 8))
        throw WorkTooLarge("cannot create the offscreen drawing: not enough memory");

    const EGLDisplay hDisplay = m_hDisplay = SurfacelessDisplay();
    const EGLConfig hConfig = ChooseConfig(hDisplay);
    const EGLint aSurface[] = {EGL_WIDTH, nWidth, EGL_HEIGHT, nHeight, EGL_NONE};
    m_hSurface = eglCreatePbufferSurface(hDisplay, hConfig, aSurface);
    if (m_hSurface == EGL_NO_SURFACE)
        throw EglError("cannot create an offscreen surface of that size");
    // The fixed-function pipeline needs desktop GL with the compatibility profile, EGL's
    // default for OpenGL.
    if (!eglBindAPI(EGL_OPENGL_API) ||
        (m_hContext = eglCreateContext(hDisplay, hConfig, EGL_NO_CONTEXT, nullptr)) == EGL_NO_CONTEXT)
    {
        const std::runtime_error error = EglError("cannot create an offscreen GL context");
        eglDestroySurface(hDisplay, m_hSurface);
        throw error;
    }
}

COffscreenContext::~COffscreenContext()
{
    // The display the context was made on: looking it up again could throw.
    const EGLDisplay hDisplay = m_hDisplay;
    if (eglGetCurrentContext() == m_hContext)
        eglMakeCurrent(hDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(hDisplay, m_hContext);
    eglDestroySurface(hDisplay, m_hSurface);
}

void COffscreenContext::MakeCurrent()
{
    if (!eglMakeCurrent(SurfacelessDisplay(), m_hSurface, m_hSurface, m_hContext))
        throw EglError("cannot make the offscreen GL context current");
}

std::vector<uint8_t> COffscreenContext::ReadPixels()
{
    // GL counts rows from the bottom; the picture's first row is the top one.
    const size_t nRowBytes = static_cast<size_t>(m_nWidth) * 4;
    std::vector<uint8_t> aPixels(nRowBytes * static_cast<size_t>(m_nHeight));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, m_nWidth, m_nHeight, GL_RGBA, GL_UNSIGNED_BYTE, aPixels.data());
    for (size_t nTop = 0, nBottom = static_cast<size_t>(m_nHeight) - 1; nTop < nBottom; ++nTop, --nBottom)
        std::swap_ranges(aPixels.begin() + static_cast<std::ptrdiff_t>(nTop * nRowBytes),
                         aPixels.begin() + static_cast<std::ptrdiff_t>((nTop + 1) * nRowBytes),
                         aPixels.begin() + static_cast<std::ptrdiff_t>(nBottom * nRowBytes));
    return aPixels;
}
