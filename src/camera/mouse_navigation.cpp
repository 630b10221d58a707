#include "camera/mouse_navigation.h"

#include <cmath>

#include "sht/angles.h"

namespace {

constexpr double kDegreesPerPixel = 0.4;
constexpr double kPanPerPixel = 0.005;
constexpr double kMinZoom = 0.1;

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
        Identity(g);
        g[12] = static_cast<double>(dx) * kPanPerPixel;
        g[13] = static_cast<double>(-dy) * kPanPerPixel;
        return true;
    }
    if (bRightDown)
    {
        const double f = ZoomFactor(dx, dy, nClientWidth);
        if (f == 0.0)
            return false;
        Identity(g);
        g[0] = g[5] = g[10] = f;
        return true;
    }
    return false;
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
