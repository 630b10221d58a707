// The application shell as a user meets it: the real application object, main frame, menu
// and About box on the X display.

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/menu.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include <string>
#include <vector>

#include "app/about_dialog.h"
#include "app/shell_test_support.h"
#include "support/modal_script.h"
#include "support/paint_counter.h"
#include "support/test_app.h"
#include "support/window_manager_icons.h"

wxApp* CreateTestApp()
{
    return new CLobaraApp();
}

namespace {

// Records the commands that reach the view, and lets them go on.
class CCommandRecorder : public wxEvtHandler
{
public:
    std::vector<int> m_aIds;

private:
    bool TryBefore(wxEvent& event) override
    {
        if (event.GetEventType() == wxEVT_MENU)
            m_aIds.push_back(FromWxId(event.GetId()));
        return false;
    }
};

class MainFrameTest : public testing::Test
{
protected:
    void SetUp() override { m_pFrame = FreshMainFrame(); }

    bool SendCommand(int nCommandId) { return ::SendCommand(*m_pFrame, nCommandId); }

    void ExpectDefaultsUnchanged()
    {
        const CLobaraSettings defaults;
        EXPECT_EQ(App().m_nRevision, defaults.m_nRevision);
        EXPECT_EQ(App().m_nL, defaults.m_nL);
        EXPECT_EQ(App().m_nM, defaults.m_nM);
        EXPECT_EQ(App().m_nThetaDiv, defaults.m_nThetaDiv);
        EXPECT_EQ(App().m_nPhiDiv, defaults.m_nPhiDiv);
        EXPECT_EQ(App().m_nColorScheme, defaults.m_nColorScheme);
    }

    CMainFrame* m_pFrame = nullptr;
};

}  // namespace

TEST_F(MainFrameTest, CaptionMenuAndPromptsByteForByte)
{
    EXPECT_EQ(Utf8(m_pFrame->GetTitle()), "Lobara");
    EXPECT_EQ(m_pFrame->GetStatusBar(), nullptr);
    EXPECT_EQ(m_pFrame->GetToolBar(), nullptr);

    struct Item
    {
        const char* pszCaption;
        int nId;
        const char* pszPrompt;
    };
    const struct
    {
        const char* pszCaption;
        std::vector<Item> items;
    } expected[] = {
        {"ﾌｧｲﾙ(&F)", {{"ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)", 57665, "ｱﾌﾟﾘｹｰｼｮﾝを終了し、ﾌｧｲﾙの保存を指示"}}},
        {"設定(&P)",
         {{"LとM(&L)...", 32775, "LとMを設定します"},
          {"解像度(&R)...", 32776, "解像度を設定します"},
          {"色の変更(&C)...", 32777, "色を変更します"},
          {"視点の設定(&V)...", 32778, "視点を設定します"}}},
        {"ﾍﾙﾌﾟ(&H)", {{"Lobara のﾊﾞｰｼﾞｮﾝ情報(&A)...", 57664, "ﾌﾟﾛｸﾞﾗﾑの情報、ﾊﾞｰｼﾞｮﾝそして著作権を表示"}}},
    };
    wxMenuBar* pMenuBar = m_pFrame->GetMenuBar();
    ASSERT_NE(pMenuBar, nullptr);
    ASSERT_EQ(pMenuBar->GetMenuCount(), 3u);
    for (size_t i = 0; i < 3; ++i)
    {
        EXPECT_EQ(Utf8(pMenuBar->GetMenuLabel(i)), expected[i].pszCaption);
        const wxMenuItemList& items = pMenuBar->GetMenu(i)->GetMenuItems();
        ASSERT_EQ(items.size(), expected[i].items.size());
        size_t k = 0;
        for (const wxMenuItem* pItem : items)
        {
            const Item& item = expected[i].items[k++];
            EXPECT_EQ(Utf8(pItem->GetItemLabel()), item.pszCaption);
            EXPECT_EQ(FromWxId(pItem->GetId()), item.nId);
            EXPECT_EQ(Utf8(pItem->GetHelp()), item.pszPrompt);
            EXPECT_TRUE(pItem->IsEnabled());
            EXPECT_EQ(pItem->GetKind(), wxITEM_NORMAL);
        }
    }
}

TEST_F(MainFrameTest, CommandsGoThroughTheViewToTheApplication)
{
    CCommandRecorder recorder;
    m_pFrame->m_wndView.PushEventHandler(&recorder);
    {
        const CModalScript about = CModalScript::Answer(wxID_OK);
        EXPECT_TRUE(SendCommand(ID_APP_ABOUT));
        EXPECT_EQ(about.GetCount(), 1);
        EXPECT_TRUE(about.LastWas<CAboutDialog>());
    }
    m_pFrame->m_wndView.PopEventHandler();
    EXPECT_EQ(recorder.m_aIds, std::vector<int>{ID_APP_ABOUT});
}

// The ten accelerator keys, pressed in the main window, give the standard editing and pane
// commands in the order of their table, and nothing takes those commands: nothing changes.
TEST_F(MainFrameTest, AcceleratorKeysGiveTheStandardCommandsAndDoNothing)
{
    const struct
    {
        int nKey, nModifiers, nCommandId;
    } accelerators[] = {
        {'C', wxMOD_CONTROL, 57634},        {'V', wxMOD_CONTROL, 57637},      {WXK_BACK, wxMOD_ALT, 57643},
        {WXK_DELETE, wxMOD_SHIFT, 57635},   {WXK_F6, wxMOD_NONE, 57680},      {WXK_F6, wxMOD_SHIFT, 57681},
        {WXK_INSERT, wxMOD_CONTROL, 57634}, {WXK_INSERT, wxMOD_SHIFT, 57637}, {'X', wxMOD_CONTROL, 57635},
        {'Z', wxMOD_CONTROL, 57643},
    };
    ActivateMainWindow(*m_pFrame);
    CCommandRecorder recorder;
    m_pFrame->m_wndView.PushEventHandler(&recorder);
    std::vector<int> aExpected;
    for (const auto& accelerator : accelerators)
    {
        PressKey(accelerator.nKey, accelerator.nModifiers);
        aExpected.push_back(accelerator.nCommandId);
        EXPECT_TRUE(WaitFor([&] { return recorder.m_aIds.size() == aExpected.size(); }, 1000))
            << "no command from key " << accelerator.nKey << " with modifiers " << accelerator.nModifiers;
    }
    m_pFrame->m_wndView.PopEventHandler();
    EXPECT_EQ(recorder.m_aIds, aExpected);
    for (int nId : aExpected)
        EXPECT_FALSE(SendCommand(nId)) << "a handler took " << nId;
    ExpectDefaultsUnchanged();
    double f[3], t[3];
    ASSERT_TRUE(m_pFrame->m_wndView.GetViewpoint(&f[0], &f[1], &f[2], &t[0], &t[1], &t[2]));
    EXPECT_NEAR(f[1], -1.0, 1e-6) << "the camera stays";
    EXPECT_TRUE(m_pFrame->IsShown());
    EXPECT_EQ(wxWindow::FindFocus(), &m_pFrame->m_wndView);
}

TEST_F(MainFrameTest, ViewFillsTheClientAreaAndKeepsTheFocus)
{
    for (const wxSize& size : {wxSize(500, 300), wxSize(320, 640), wxSize(801, 599)})
    {
        m_pFrame->SetClientSize(size);
        ASSERT_TRUE(WaitFor([&] {
            return m_pFrame->m_wndView.GetRect() == wxRect(m_pFrame->GetClientSize());
        })) << size.x
            << "x" << size.y;
    }
    // Another window takes the keyboard, then the main window is activated again.
    {
        wxFrame other(nullptr, wxID_ANY, "other");
        other.Show();
        other.Raise();
        EXPECT_TRUE(WaitFor([&] { return other.IsActive(); }));
    }
    ActivateMainWindow(*m_pFrame);
}

TEST_F(MainFrameTest, AboutBoxShowsTheProgramAndClosesEveryWayWithoutChangingAnything)
{
    // Each way of closing the box, from inside its real modal loop.
    const std::vector<std::function<void(wxDialog&)>> closers = {
        [](wxDialog& dialog) { Click(dialog, IDOK); },
        PressEscape,
        [](wxDialog& dialog) { dialog.Close(); },
    };
    for (size_t i = 0; i < closers.size(); ++i)
    {
        bool bChecked = false;
        const CModalScript script = CModalScript::Run([&](wxDialog& dialog) {
            EXPECT_EQ(Utf8(dialog.GetTitle()), "Lobaraのﾊﾞｰｼﾞｮﾝ情報");
            EXPECT_TRUE(dialog.IsModal());
            EXPECT_EQ(dialog.GetParent(), m_pFrame) << "owned by the main window";
            const auto& children = dialog.GetChildren();
            bool bHasIcon = false, bHasText = false;
            for (const wxWindow* pChild : children)
            {
                bHasIcon |= dynamic_cast<const wxStaticBitmap*>(pChild) != nullptr;
                if (auto* pLabel = dynamic_cast<const wxStaticText*>(pChild))
                    bHasText |= Utf8(pLabel->GetLabelText()) == "Lobara Version 1.0";
            }
            EXPECT_TRUE(bHasIcon);
            EXPECT_TRUE(bHasText);
            auto* pOk = dynamic_cast<wxButton*>(dialog.FindWindow(wxID_OK));
            ASSERT_NE(pOk, nullptr);
            EXPECT_EQ(Utf8(pOk->GetLabel()), "OK");
            ExpectCentredOver(dialog, *m_pFrame);
            bChecked = true;
            closers[i](dialog);
        });
        EXPECT_TRUE(SendCommand(ID_APP_ABOUT));
        EXPECT_EQ(script.GetCount(), 1) << "closer " << i;
        EXPECT_TRUE(bChecked);
    }
    ExpectDefaultsUnchanged();
}

// Exit closes at once; a new run's frame then opens with a client area of 800 x 600 and offers
// the window manager the program's icon at 16, 32 and 48 pixels.
TEST_F(MainFrameTest, ExitClosesAtOnceAndANewFrameOpensAt800x600WithItsIcons)
{
    // Any question would be a modal dialog, which fails the test.
    EXPECT_TRUE(SendCommand(ID_APP_EXIT));
    EXPECT_TRUE(wxTheApp->IsScheduledForDestruction(m_pFrame));
    ASSERT_TRUE(WaitFor([] { return App().GetMainFrame() == nullptr; }));

    App().OnInit();
    m_pFrame = App().GetMainFrame();
    ASSERT_NE(m_pFrame, nullptr);
    EXPECT_EQ(m_pFrame->GetClientSize(), wxSize(800, 600));
    std::vector<wxSize> aIcons;
    EXPECT_TRUE(WaitFor([&] { return !(aIcons = WindowManagerIconSizes("Lobara")).empty(); }, 2000));
    EXPECT_EQ(aIcons, (std::vector<wxSize>{{16, 16}, {32, 32}, {48, 48}}));

    m_pFrame->Close();
    ASSERT_TRUE(WaitFor([] { return App().GetMainFrame() == nullptr; }));
}

TEST_F(MainFrameTest, InvalidatingTheFrameRepaintsTheViewOnce)
{
    CPaintCounter counter(m_pFrame->m_wndView);
    WaitFor([] { return false; }, 200);
    counter.m_nPaints = 0;
    App().InvalidateMainWindow();
    WaitFor([] { return false; }, 500);
    EXPECT_EQ(counter.m_nPaints, 1);
}
