#pragma once

#include <cstdint>

// Mouse navigation as pure arithmetic: which gesture the held buttons select, and the
// eye-space transform G of one drag step (a 4 x 4 column-major matrix that the view
// pre-multiplies onto the camera).

struct ClientPoint
{
    int32_t x;
    int32_t y;
};

enum class MouseButton
{
    Left,
    Right,
};

// The gestures' rates: degrees of turn and eye units of pan a pixel, the least zoom factor of one
// step, and (for the page's wheel) the pixels of wheel travel that halve the size and the pixels
// of one line of a wheel that counts lines.
constexpr double kDegreesPerPixel = 0.4;
constexpr double kPanPerPixel = 0.005;
constexpr double kMinZoom = 0.1;
constexpr double kWheelPixelsPerHalving = 500.0;
constexpr double kWheelLinePixels = 40.0;

// G for a step of (dx, dy) pixels: left alone rotates Rx(0.4 dy) Ry(0.4 dx) degrees, both
// buttons pan by (0.005 dx, -0.005 dy, 0), right alone zooms by f = 2 (dx - dy) / W + 1, held
// at 0.1 at the least. Returns false, with g untouched, when no transform applies: no button,
// or a zoom in a view of no width.
bool ComputeDragTransform(bool bLeftDown, bool bRightDown, int64_t dx, int64_t dy, int nClientWidth,
                          double g[16]);

// The zoom factor of a right-button step; 0 when the width is not positive (no zoom defined).
double ZoomFactor(int64_t dx, int64_t dy, int nClientWidth);

// G of the page's wheel turned by dPixels (down, away from the user, is positive): a zoom by
// 2^(-dPixels / 500), held at 0.1 at the least.
void ComputeWheelTransform(double dPixels, double g[16]);

// G of two fingers moved from before to after (x, y of each finger, in pixels): a zoom by the
// ratio of their spreads (none when they started at one point), held at 0.1 at the least, then a
// pan by the move of their midpoint, as a drag with both buttons pans.
void ComputePinchTransform(const double before[4], const double after[4], double g[16]);

// The drag state of the view: the two button flags and the last cursor position. Presses and
// releases come only from the view's own button messages; a lost capture changes nothing.
class CDragTracker
{
public:
    // The button's flag is set and the drag restarts from p; no transform.
    void Press(MouseButton button, ClientPoint p);
    // Clears the button's flag; returns true when the capture is to be released (both clear).
    bool Release(MouseButton button);
    // A move to p. With a button held, the last position becomes p and, when a transform
    // applies, g is filled and true returned. With no button held nothing changes.
    bool Move(ClientPoint p, int nClientWidth, double g[16]);

    int32_t m_bLeftDown = 0;
    int32_t m_bRightDown = 0;
    ClientPoint m_ptLast{0, 0};
};
