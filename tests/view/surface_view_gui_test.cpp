// The real view in a real window on the X display.

#include <gtest/gtest.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/frame.h>
#include <wx/image.h>

#include "support/gui_wait.h"
#include "view/surface_view.h"

namespace
{

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

    // What the screen shows over the view's client area.
    wxImage Screenshot()
    {
        const wxSize size = m_view.GetClientSize();
        wxBitmap bitmap(size);
        wxMemoryDC memory(bitmap);
        wxScreenDC screen;
        memory.Blit(0, 0, size.x, size.y, &screen, m_view.GetScreenPosition().x,
                    m_view.GetScreenPosition().y);
        memory.SelectObject(wxNullBitmap);
        return bitmap.ConvertToImage();
    }

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
    const wxImage image = Screenshot();
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
