#pragma once

#include <cstdint>
#include <stdexcept>
#include <vector>

// A GL context that renders into memory (OSMesa), for pictures without a display. Only
// programs that link OSMesa and not libGL may use it: both export the gl* entry points.
class COffscreenContext
{
public:
    // An RGBA colour buffer of nWidth x nHeight pixels with a depth buffer. Throws
    // std::runtime_error when no such context can be made.
    COffscreenContext(int nWidth, int nHeight);
    ~COffscreenContext();
    COffscreenContext(const COffscreenContext&) = delete;
    COffscreenContext& operator=(const COffscreenContext&) = delete;

    void MakeCurrent();

    int GetWidth() const { return m_nWidth; }
    // Waits for drawing to finish; then four bytes (R, G, B, A) a pixel, rows from the top
    // of the picture down. The context must be current.
    const std::vector<uint8_t>& ReadPixels();

private:
    int m_nWidth;
    int m_nHeight;
    std::vector<uint8_t> m_aPixels;
    void* m_hContext;  // OSMesaContext
};
