#include "camera/mouse_navigation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "sht/angles.h"

namespace {

constexpr double kDegree = kPi / 180.0;

void ExpectMatrixNear(const double* actual, std::initializer_list<double> expected)
{
    int i = 0;
    for (double d : expected)
    {
        EXPECT_NEAR(actual[i], d, 1e-15) << "element " << i;
        ++i;
    }
}

}  // namespace

TEST(DragTransform, LeftDragRotatesAboutTheEyeAxes)
{
    double g[16];
    ASSERT_TRUE(ComputeDragTransform(true, false, 10, 0, 400, g));  // Ry(4 degrees)
    const double c4 = std::cos(4 * kDegree), s4 = std::sin(4 * kDegree);
    ExpectMatrixNear(g, {c4, 0, -s4, 0, 0, 1, 0, 0, s4, 0, c4, 0, 0, 0, 0, 1});

    ASSERT_TRUE(ComputeDragTransform(true, false, 0, -5, 400, g));  // Rx(-2 degrees)
    const double c2 = std::cos(-2 * kDegree), s2 = std::sin(-2 * kDegree);
    ExpectMatrixNear(g, {1, 0, 0, 0, 0, c2, s2, 0, 0, -s2, c2, 0, 0, 0, 0, 1});
}

TEST(DragTransform, BothButtonsPanAndTheRightZooms)
{
    double g[16];
    ASSERT_TRUE(ComputeDragTransform(true, true, 20, 10, 400, g));
    ExpectMatrixNear(g, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0.1, -0.05, 0, 1});

    ASSERT_TRUE(ComputeDragTransform(false, true, 100, 0, 400, g));
    ExpectMatrixNear(g, {1.5, 0, 0, 0, 0, 1.5, 0, 0, 0, 0, 1.5, 0, 0, 0, 0, 1});

    const struct
    {
        int dx, dy;
        double f;
    } zooms[] = {{100, 0, 1.5}, {0, -100, 1.5}, {-300, 0, 0.1}, {50, 50, 1.0}, {-200, 0, 0.1}};
    for (const auto& zoom : zooms)
        EXPECT_EQ(ZoomFactor(zoom.dx, zoom.dy, 400), zoom.f) << zoom.dx << "," << zoom.dy;
}

// The page's wheel halves the size every 500 pixels of travel; two fingers zoom by the ratio of
// their spreads and pan by their midpoint's move, 0.005 eye units a pixel, y up.
TEST(PageGestures, WheelAndPinchZoomAndPan)
{
    double g[16];
    ComputeWheelTransform(500, g);
    ExpectMatrixNear(g, {0.5, 0, 0, 0, 0, 0.5, 0, 0, 0, 0, 0.5, 0, 0, 0, 0, 1});
    ComputeWheelTransform(-1000, g);
    ExpectMatrixNear(g, {4, 0, 0, 0, 0, 4, 0, 0, 0, 0, 4, 0, 0, 0, 0, 1});
    ComputeWheelTransform(5000, g);  // 2^-10, held at 0.1
    EXPECT_EQ(g[0], 0.1);

    const double before[4] = {100, 50, 160, 130};  // 100 pixels apart, midpoint (130, 90)
    const double after[4] = {90, 0, 210, 160};     // 200 apart, midpoint (150, 80)
    ComputePinchTransform(before, after, g);
    ExpectMatrixNear(g, {2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 0.1, 0.05, 0, 1});
    const double together[4] = {10, 10, 10, 10};  // no spread to compare: a pan alone
    ComputePinchTransform(together, after, g);
    ExpectMatrixNear(g, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0.7, -0.35, 0, 1});
}

TEST(DragTransform, NothingWithoutAButtonOrWithoutWidth)
{
    double g[16];
    std::fill(g, g + 16, 7.0);
    EXPECT_FALSE(ComputeDragTransform(false, false, 10, 10, 400, g));
    EXPECT_FALSE(ComputeDragTransform(false, true, 10, 10, 0, g));  // zoom in a view of no width
    EXPECT_FALSE(ComputeDragTransform(false, true, 10, 10, -5, g));
    for (double d : g)
        EXPECT_EQ(d, 7.0);
}

TEST(DragTracker, PressesReleasesAndMovesFollowTheFlags)
{
    CDragTracker drag;
    double g[16];

    // A move with no button held changes nothing, not even the last position.
    EXPECT_FALSE(drag.Move({50, 60}, 400, g));
    EXPECT_EQ(drag.m_ptLast.x, 0);

    drag.Press(MouseButton::Left, {100, 100});
    ASSERT_TRUE(drag.Move({110, 100}, 400, g));
    EXPECT_NEAR(g[8], std::sin(4 * kDegree), 1e-15) << "rotates by 4 degrees";

    // The right button while rotating pans, from the cursor at that press.
    drag.Press(MouseButton::Right, {300, 300});
    ASSERT_TRUE(drag.Move({320, 310}, 400, g));
    EXPECT_NEAR(g[12], 0.1, 1e-15);
    EXPECT_NEAR(g[13], -0.05, 1e-15);

    // Releasing the left leaves the right: zoom, and the capture is kept.
    EXPECT_FALSE(drag.Release(MouseButton::Left));
    ASSERT_TRUE(drag.Move({420, 310}, 400, g));
    EXPECT_EQ(g[0], 1.5);

    EXPECT_TRUE(drag.Release(MouseButton::Right));
    EXPECT_FALSE(drag.Move({0, 0}, 400, g));

    // A release that was never pressed clears a clear flag and lets the capture go.
    EXPECT_TRUE(drag.Release(MouseButton::Left));
    EXPECT_EQ(drag.m_bLeftDown, 0);
    EXPECT_EQ(drag.m_bRightDown, 0);
}

TEST(DragTracker, ExtremeCoordinatesDoNotOverflow)
{
    CDragTracker drag;
    double g[16];
    drag.Press(MouseButton::Right,
               {std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()});
    ASSERT_TRUE(drag.Move({std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min()}, 1, g));
    EXPECT_TRUE(std::isfinite(g[0]));
    drag.Press(MouseButton::Left, {std::numeric_limits<int32_t>::min(), 0});
    ASSERT_TRUE(drag.Move({std::numeric_limits<int32_t>::max(), 0}, 1, g));
    EXPECT_TRUE(std::isfinite(g[12]));
}
