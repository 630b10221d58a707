#include "platform/offscreen_context.h"

#include <GL/osmesa.h>

namespace {

constexpr int kMaxSide = 16384;

}  // namespace

COffscreenContext::COffscreenContext(int nWidth, int nHeight) : m_nWidth(nWidth), m_nHeight(nHeight)
{
    if (nWidth < 1 || nHeight < 1 || nWidth > kMaxSide || nHeight > kMaxSide)
        throw std::runtime_error("the picture must be 1 to 16384 pixels on each side");
    m_aPixels.resize(static_cast<size_t>(nWidth) * static_cast<size_t>(nHeight) * 4);
    m_hContext = OSMesaCreateContextExt(OSMESA_RGBA, 24, 0, 0, nullptr);
    if (m_hContext == nullptr)
        throw std::runtime_error("cannot create an offscreen GL context");
}

COffscreenContext::~COffscreenContext()
{
    OSMesaDestroyContext(static_cast<OSMesaContext>(m_hContext));
}

void COffscreenContext::MakeCurrent()
{
    if (!OSMesaMakeCurrent(static_cast<OSMesaContext>(m_hContext), m_aPixels.data(), GL_UNSIGNED_BYTE,
                           m_nWidth, m_nHeight))
        throw std::runtime_error("cannot make the offscreen GL context current");
    OSMesaPixelStore(OSMESA_Y_UP, 0);
}

const std::vector<uint8_t>& COffscreenContext::ReadPixels()
{
    glFinish();
    return m_aPixels;
}
