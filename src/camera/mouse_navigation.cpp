#include "camera/mouse_navigation.h"

#include <cmath>

#include "sht/angles.h"

namespace {

void Identity(double m[16])
{
    for (int i = 0; i < 16; ++i)
        m[i] = i % 5 == 0 ? 1.0 : 0.0;
}

// Rotation by dDegrees about the eye's x axis, then about its y axis: Rx(a) Ry(b).
void Rotation(double dDegreesX, double dDegreesY, double g[16])
{
    const double a = dDegreesX * (kPi / 180.0);
    const double b = dDegreesY * (kPi / 180.0);
    const double ca = std::cos(a), sa = std::sin(a), cb = std::cos(b), sb = std::sin(b);
    // Columns of Rx(a) Ry(b).
    const double m[16] = {cb, sa * sb, -ca * sb, 0, 0, ca, sa, 0, sb, -sa * cb, ca * cb, 0, 0, 0, 0, 1};
    for (int i = 0; i < 16; ++i)
        g[i] = m[i];
}

void Zoom(double f, double g[16])
{
    Identity(g);
    g[0] = g[5] = g[10] = f < kMinZoom || std::isnan(f) ? kMinZoom : f;
}

void Pan(double dx, double dy, double g[16])
{
    Identity(g);
    g[12] = dx * kPanPerPixel;
    g[13] = -dy * kPanPerPixel;
}

}  // namespace

double ZoomFactor(int64_t dx, int64_t dy, int nClientWidth)
{
    if (nClientWidth <= 0)
        return 0.0;
    const double f = (static_cast<double>(dx - dy) / nClientWidth) * 2 + 1;
    return f < kMinZoom || std::isnan(f) ? kMinZoom : f;
}

bool ComputeDragTransform(bool bLeftDown, bool bRightDown, int64_t dx, int64_t dy, int nClientWidth,
                          double g[16])
{
    if (bLeftDown && !bRightDown)
    {
        Rotation(static_cast<double>(dy) * kDegreesPerPixel, static_cast<double>(dx) * kDegreesPerPixel, g);
        return true;
    }
    if (bLeftDown && bRightDown)
    {
        Pan(static_cast<double>(dx), static_cast<double>(dy), g);
        return true;
    }
    if (bRightDown)
    {
        const double f = ZoomFactor(dx, dy, nClientWidth);
        if (f == 0.0)
            return false;
        Zoom(f, g);
        return true;
    }
    return false;
}

void ComputeWheelTransform(double dPixels, double g[16])
{
    Zoom(std::pow(2.0, -dPixels / kWheelPixelsPerHalving), g);
}

void ComputePinchTransform(const double before[4], const double after[4], double g[16])
{
    const double dBefore = std::hypot(before[2] - before[0], before[3] - before[1]);
    const double dAfter = std::hypot(after[2] - after[0], after[3] - after[1]);
    double zoom[16], pan[16];
    if (dBefore > 0.0)
        Zoom(dAfter / dBefore, zoom);
    else
        Identity(zoom);
    Pan((after[0] + after[2]) / 2 - (before[0] + before[2]) / 2,
        (after[1] + after[3]) / 2 - (before[1] + before[3]) / 2, pan);
    // pan times zoom: the zoom scales the eye's axes, and the pan then moves along them.
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
        {
            double dSum = 0.0;
            for (int k = 0; k < 4; ++k)
                dSum += pan[4 * k + r] * zoom[4 * c + k];
            g[4 * c + r] = dSum;
        }
}

void CDragTracker::Press(MouseButton button, ClientPoint p)
{
    (button == MouseButton::Left ? m_bLeftDown : m_bRightDown) = 1;
    m_ptLast = p;
}

bool CDragTracker::Release(MouseButton button)
{
    (button == MouseButton::Left ? m_bLeftDown : m_bRightDown) = 0;
    return m_bLeftDown == 0 && m_bRightDown == 0;
}

bool CDragTracker::Move(ClientPoint p, int nClientWidth, double g[16])
{
    if (m_bLeftDown == 0 && m_bRightDown == 0)
        return false;
    // 64-bit differences: no pair of 32-bit coordinates can overflow them.
    const int64_t dx = int64_t{p.x} - m_ptLast.x;
    const int64_t dy = int64_t{p.y} - m_ptLast.y;
    m_ptLast = p;
    return ComputeDragTransform(m_bLeftDown != 0, m_bRightDown != 0, dx, dy, nClientWidth, g);
}
