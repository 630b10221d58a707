// The real view in a real window on the X display.

#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/image.h>

#include <cmath>
#include <fstream>
#include <string>

#include "platform/heap_tuning.h"
#include "render/gl_camera.h"
#include "sht/angles.h"
#include "support/gui_wait.h"
#include "support/paint_counter.h"
#include "support/pointer.h"
#include "support/shown_cursor.h"
#include "support/view_pixels.h"
#include "view/surface_view.h"

namespace {

class SurfaceViewTest : public testing::Test
{
protected:
    SurfaceViewTest()
        : m_pFrame(new wxFrame(nullptr, wxID_ANY, "Lobara", wxDefaultPosition, wxSize(400, 300))),
          m_view(*new CSurfaceView(m_pFrame, wxID_ANY, m_settings))
    {
        m_pFrame->Show();
    }
    ~SurfaceViewTest() override { delete m_pFrame; }

    CLobaraSettings m_settings;
    wxFrame* m_pFrame;
    CSurfaceView& m_view;  // owned by the frame
};

}  // namespace

TEST_F(SurfaceViewTest, PaintsTheDefaultSurfaceAndRebuildsOnlyWhenTheRevisionMoves)
{
    ASSERT_TRUE(WaitFor([&] { return m_view.GetScene().GetBuiltRevision() == 0; }));
    EXPECT_EQ(m_view.GetScene().GetMesh().m_aPosQuads.GetSize(), 70080);

    // Red lobes above and below the centre, a blue belt across it, black around.
    const wxSize size = m_view.GetClientSize();
    const wxImage image = ReadViewPixels(m_view);
    const int cx = size.x / 2, cy = size.y / 2, nLobe = size.x / 5;
    EXPECT_GT(image.GetRed(cx, cy - nLobe), 2 * image.GetBlue(cx, cy - nLobe)) << "upper lobe is red";
    EXPECT_GT(image.GetRed(cx, cy + nLobe), 2 * image.GetBlue(cx, cy + nLobe)) << "lower lobe is red";
    EXPECT_GT(image.GetBlue(cx, cy), 2 * image.GetRed(cx, cy)) << "belt is blue";
    EXPECT_EQ(image.GetRed(2, 2) + image.GetGreen(2, 2) + image.GetBlue(2, 2), 0) << "background is black";

    // A settings change without a new revision is not picked up by a repaint...
    m_settings.m_nThetaDiv = 12;
    m_pFrame->Refresh(true);
    m_pFrame->Update();
    EXPECT_EQ(m_view.GetScene().GetMesh().m_aX.GetSize(), 480 * 240);
    // ...the next paint after the revision moves rebuilds from it.
    ++m_settings.m_nRevision;
    m_pFrame->Refresh(true);
    ASSERT_TRUE(WaitFor([&] { return m_view.GetScene().GetBuiltRevision() == 1; }));
    EXPECT_EQ(m_view.GetScene().GetMesh().m_aX.GetSize(), 12 * 240);
}

namespace {

struct Viewpoint
{
    double from[3], to[3];
};

Viewpoint CurrentViewpoint()
{
    Viewpoint v{};
    EXPECT_TRUE(GetViewpoint(&v.from[0], &v.from[1], &v.from[2], &v.to[0], &v.to[1], &v.to[2]));
    return v;
}

void ExpectPointNear(const double* actual, double x, double y, double z)
{
    // GL keeps the modelview in single precision.
    EXPECT_NEAR(actual[0], x, 1e-5);
    EXPECT_NEAR(actual[1], y, 1e-5);
    EXPECT_NEAR(actual[2], z, 1e-5);
}

constexpr double kDegree = kPi / 180.0;

}  // namespace

TEST_F(SurfaceViewTest, RealDragsTurnPanAndZoomTheCamera)
{
    ASSERT_TRUE(WaitFor([&] { return m_view.GetScene().GetBuiltRevision() == 0; }));
    CPointer pointer(m_view);

    // Left drag 50 pixels to the right: 20 degrees about To, at the same distance.
    pointer.MoveTo(100, 100);
    pointer.Down(wxMOUSE_BTN_LEFT);
    EXPECT_TRUE(m_view.HasCapture());
    pointer.MoveTo(150, 100);
    pointer.Up(wxMOUSE_BTN_LEFT);
    EXPECT_FALSE(m_view.HasCapture());
    Viewpoint v = CurrentViewpoint();
    ExpectPointNear(v.to, 0, 0, 0);
    ExpectPointNear(v.from, -std::sin(20 * kDegree), -std::cos(20 * kDegree), 0);

    // Both buttons, 20 right and 10 down: From and To move alike, parallel to the image.
    SetViewpoint(0, -1, 0, 0, 0, 0);
    pointer.MoveTo(100, 100);
    pointer.Down(wxMOUSE_BTN_LEFT);
    pointer.Down(wxMOUSE_BTN_RIGHT);
    pointer.MoveTo(120, 110);
    pointer.Up(wxMOUSE_BTN_LEFT);
    EXPECT_TRUE(m_view.HasCapture()) << "the right button still holds the capture";
    pointer.Up(wxMOUSE_BTN_RIGHT);
    EXPECT_FALSE(m_view.HasCapture());
    v = CurrentViewpoint();
    ExpectPointNear(v.to, -0.1, 0, 0.05);
    ExpectPointNear(v.from, -0.1, -1, 0.05);

    // Right drag of a quarter width to the right zooms by 1.5: From comes to To + (From - To) / 1.5.
    SetViewpoint(0, -1, 0, 0, 0, 0);
    const int nWidth = m_view.GetClientSize().x;
    pointer.MoveTo(10, 100);
    pointer.Down(wxMOUSE_BTN_RIGHT);
    pointer.MoveTo(10 + nWidth / 4, 100);
    pointer.Up(wxMOUSE_BTN_RIGHT);
    const double f = 2.0 * (nWidth / 4) / nWidth + 1;
    ExpectPointNear(CurrentViewpoint().from, 0, -1 / f, 0);
}

TEST_F(SurfaceViewTest, NoSequenceOfButtonsLeavesTheMouseCapturedIdle)
{
    ASSERT_TRUE(WaitFor([&] { return m_view.GetScene().GetBuiltRevision() == 0; }));
    CPointer pointer(m_view);
    pointer.MoveTo(100, 100);

    // A double click's second press starts nothing.
    pointer.DoubleClick();
    EXPECT_EQ(m_view.GetDragState().m_bLeftDown, 0);
    EXPECT_FALSE(m_view.HasCapture());

    // Another window takes the mouse mid-drag: the drag goes on until the release.
    pointer.Down(wxMOUSE_BTN_LEFT);
    wxMouseCaptureLostEvent lost(m_view.GetId());
    m_view.GetEventHandler()->ProcessEvent(lost);
    EXPECT_EQ(m_view.GetDragState().m_bLeftDown, 1);
    pointer.Down(wxMOUSE_BTN_RIGHT);
    pointer.Up(wxMOUSE_BTN_LEFT);
    pointer.Up(wxMOUSE_BTN_RIGHT);
    EXPECT_EQ(m_view.GetDragState().m_bRightDown, 0);
    EXPECT_FALSE(m_view.HasCapture());

    // Moves with no button held change nothing.
    SetViewpoint(0, -1, 0, 0, 0, 0);
    pointer.MoveTo(150, 50);
    ExpectPointNear(CurrentViewpoint().from, 0, -1, 0);
}

// The pointer over the view is the standard arrow, whose hotspot is its tip at the top left,
// not what a window without a cursor of its own shows: on a bare X server, an X with its
// hotspot in the middle.
TEST_F(SurfaceViewTest, ThePointerOverTheViewIsTheArrow)
{
    ASSERT_TRUE(WaitFor([&] { return m_view.GetScene().GetBuiltRevision() == 0; }));
    CPointer(m_view).MoveTo(m_view.GetClientSize().x / 2, m_view.GetClientSize().y / 2);
    ShownCursor cursor;
    EXPECT_TRUE(WaitFor(
        [&] {
            return GetShownCursor(cursor) && cursor.hotspot.x < cursor.size.x / 4 &&
                   cursor.hotspot.y < cursor.size.y / 4;
        },
        1000))
        << "hotspot " << cursor.hotspot.x << "," << cursor.hotspot.y << " of " << cursor.size.x << "x"
        << cursor.size.y;
}

namespace {

// Memory of the process in pages it alone holds: its heap and mappings, and shared memory such
// as the window's image buffers; bytes.
int64_t PrivateMemory()
{
    std::ifstream status("/proc/self/status");
    int64_t nKilobytes = 0;
    for (std::string strLine; std::getline(status, strLine);)
        if (strLine.rfind("RssAnon:", 0) == 0 || strLine.rfind("RssShmem:", 0) == 0)
            nKilobytes += std::stoll(strLine.substr(strLine.find(':') + 1));
    return nKilobytes * 1024;
}

}  // namespace

// With the heap tuned as the viewer tunes it, a window made large and then small again gives
// the memory of its large picture's buffers back to the system.
TEST_F(SurfaceViewTest, AWindowMadeSmallAgainGivesItsBuffersMemoryBack)
{
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "AddressSanitizer's allocator holds freed memory in quarantine";
#endif
    TuneHeapForDrawing();
    ASSERT_TRUE(WaitFor([&] { return m_view.GetScene().GetBuiltRevision() == 0; }));
    const auto paintAt = [&](const wxSize& size) {
        const CPaintCounter counter(m_view);
        m_pFrame->SetClientSize(size);
        ASSERT_TRUE(WaitFor([&] { return m_view.GetViewportSize() == size && counter.m_nPaints > 0; }));
    };
    const wxSize small = m_pFrame->GetClientSize();
    const int64_t nBefore = PrivateMemory();
    // Each buffer of this picture is just under 32 MB, a size the tuned heap keeps.
    paintAt(wxSize(2800, 2700));
    EXPECT_GT(PrivateMemory(), nBefore + 50'000'000) << "the large picture's buffers";
    paintAt(small);
    EXPECT_LT(PrivateMemory(), nBefore + 10'000'000);
}
