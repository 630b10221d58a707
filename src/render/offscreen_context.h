#pragma once

#include <cstdint>
#include <stdexcept>
#include <vector>

// The largest side of an offscreen picture, in pixels.
constexpr int kMaxPictureSide = 16384;

// A desktop GL compatibility context that renders into memory, for pictures without a display:
// a pbuffer on EGL's surfaceless platform (Mesa's software rasteriser when there is no GPU).
class COffscreenContext
{
public:
    // An RGBA colour buffer of nWidth x nHeight pixels (1 to kMaxPictureSide each) with a
    // 24-bit depth buffer. Throws std::runtime_error when no such context can be made.
    COffscreenContext(int nWidth, int nHeight);
    ~COffscreenContext();
    COffscreenContext(const COffscreenContext&) = delete;
    COffscreenContext& operator=(const COffscreenContext&) = delete;

    void MakeCurrent();

    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }
    // Waits for drawing to finish; then four bytes (R, G, B, A) a pixel, rows from the top
    // of the picture down. The context must be current.
    std::vector<uint8_t> ReadPixels();

private:
    int m_nWidth;
    int m_nHeight;
    void* m_hDisplay;  // EGLDisplay
    void* m_hSurface;  // EGLSurface
    void* m_hContext;  // EGLContext
};
