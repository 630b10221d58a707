// The four settings dialogs driven for real from the menu commands, inside their modal loops.

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/image.h>
#include <wx/radiobut.h>
#include <wx/statbmp.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include <limits>
#include <string>
#include <vector>

#include "app/shell_test_support.h"
#include "dialogs/color_scheme_dialog.h"
#include "dialogs/degree_order_dialog.h"
#include "dialogs/resolution_dialog.h"
#include "dialogs/viewpoint_dialog.h"
#include "platform/command_ids.h"
#include "resources/dialog_template.h"
#include "support/gui_wait.h"
#include "support/modal_script.h"
#include "support/pointer.h"
#include "support/view_pixels.h"

namespace {

wxTextCtrl& Edit(wxDialog& dialog, int nId)
{
    auto* pEdit = dynamic_cast<wxTextCtrl*>(dialog.FindWindow(ToWxId(nId)));
    EXPECT_NE(pEdit, nullptr) << "edit " << nId;
    return *pEdit;
}

// A message box as the user sees it, dismissed with OK: an icon beside the text (GTK 3's native
// message dialog draws none) and OK as its one button.
void ExpectIconAndOnlyOk(wxDialog& box)
{
    int nIcons = 0, nButtons = 0;
    for (const wxWindow* pChild : box.GetChildren())
    {
        if (const auto* pIcon = dynamic_cast<const wxStaticBitmap*>(pChild))
            nIcons += pIcon->GetBitmap().IsOk() && pIcon->GetSize().x >= 16;
        nButtons += dynamic_cast<const wxButton*>(pChild) != nullptr;
    }
    EXPECT_EQ(nIcons, 1);
    EXPECT_EQ(nButtons, 1);
    ASSERT_NE(box.FindWindow(wxID_OK), nullptr);
    Click(box, IDOK);
}

// The size GTK needs for a radio button with this label in this dialog: that of a button made
// there without a size, in a group of its own, and destroyed again.
wxSize RadioButtonNeeds(wxDialog& dialog, const wxString& strLabel)
{
    auto* pProbe =
        new wxRadioButton(&dialog, wxID_ANY, strLabel, wxDefaultPosition, wxDefaultSize, wxRB_GROUP);
    const wxSize size = pProbe->GetBestSize();
    pProbe->Destroy();
    return size;
}

class SettingsDialogTest : public testing::Test
{
protected:
    void SetUp() override { m_pFrame = FreshMainFrame(); }

    CSurfaceView& View() { return m_pFrame->m_wndView; }

    void Command(int nCommandId) { SendCommand(*m_pFrame, nCommandId); }

    // Runs the command; act sees its dialog in the modal loop and must end it.
    template <typename Dialog>
    void RunDialog(int nCommandId, const std::function<void(Dialog&)>& act)
    {
        const CModalScript script = CModalScript::Run([&](wxDialog& dialog) {
            auto* pDialog = dynamic_cast<Dialog*>(&dialog);
            ASSERT_NE(pDialog, nullptr);
            act(*pDialog);
        });
        Command(nCommandId);
        EXPECT_EQ(script.GetCount(), 1);
    }

    // What the view shows once it has painted the current settings.
    wxImage Screenshot()
    {
        WaitFor([&] { return View().GetScene().GetBuiltRevision() == App().m_nRevision; });
        return ReadViewPixels(View());
    }

    CMainFrame* m_pFrame = nullptr;
};

}  // namespace

// Each settings dialog opened from its menu keys as a user does, against its layout written out
// here: the caption, the client area, and every control in template order with its id, the text
// it shows (an edit field the value it was given) and its place and size in dialog units of the
// dialog's font. Places and sizes must match to the pixel: a dialog unit is under two pixels
// here, so a pixel of slack would let a coordinate change by one unit unseen. The dialog is
// centred over the main window, and while it runs a drag on the main window's view and the main
// window's menu keys change nothing.
TEST_F(SettingsDialogTest, DialogsOpenFromTheMenuKeysAsLaidOutCentredAndModal)
{
    struct Control
    {
        int nId;
        int x, y, cx, cy;
        const char* pszText;
    };
    const struct
    {
        int nMenuKey, nTemplateId;
        const char* pszCaption;
        int cx, cy;
        std::vector<Control> controls;
    } layouts[] = {
        {'l',
         101,
         "LとMの設定",
         187,
         57,
         {{1, 130, 5, 50, 14, "OK"},
          {2, 130, 22, 50, 14, "ｷｬﾝｾﾙ"},
          {65535, 10, 21, 15, 10, "L ="},
          {1001, 26, 15, 25, 15, "2"},
          {65535, 70, 21, 15, 10, "M ="},
          {1002, 86, 15, 25, 15, "0"}}},
        {'r',
         102,
         "解像度の設定",
         187,
         57,
         {{1, 130, 7, 50, 14, "OK"},
          {2, 130, 24, 50, 14, "ｷｬﾝｾﾙ"},
          {65535, 10, 15, 35, 10, "θ方向"},
          {65535, 10, 35, 35, 10, "φ方向"},
          {1003, 50, 10, 40, 15, "480"},
          {1004, 50, 30, 40, 15, "240"}}},
        {'c',
         130,
         "色の指定",
         279,
         91,
         {{1, 220, 15, 50, 14, "OK"},
          {2, 220, 32, 50, 14, "ｷｬﾝｾﾙ"},
          {1005, 10, 10, 30, 10, "赤青"},
          {1006, 10, 25, 30, 10, "黄水"},
          {1007, 10, 40, 30, 10, "緑紫"},
          {1008, 60, 10, 30, 10, "灰色"},
          {1009, 60, 25, 40, 10, "パステル"},
          {1011, 105, 10, 35, 10, "白黒"},
          {1012, 105, 25, 40, 10, "黒"}}},
        {'v',
         131,
         "視点の設定",
         269,
         107,
         {{1, 160, 75, 50, 14, "OK"},
          {2, 210, 75, 50, 14, "ｷｬﾝｾﾙ"},
          {65535, 10, 15, 20, 10, "From"},
          {65535, 10, 40, 15, 10, "To"},
          {1013, 35, 15, 75, 15, "0.000"},
          {1014, 110, 15, 75, 15, "-1.000"},
          {1015, 185, 15, 75, 15, "0.000"},
          {1016, 35, 40, 75, 15, "0.000"},
          {1017, 110, 40, 75, 15, "0.000"},
          {1018, 185, 40, 75, 15, "0.000"}}},
    };
    for (const auto& layout : layouts)
    {
        const CModalScript script = CModalScript::Run([&](wxDialog& dialog) {
            SCOPED_TRACE(layout.pszCaption);
            EXPECT_EQ(Utf8(dialog.GetTitle()), layout.pszCaption);
            EXPECT_EQ(dialog.GetClientSize(), dialog.ConvertDialogToPixels(wxSize(layout.cx, layout.cy)))
                << "client area";
            const wxWindowList& children = dialog.GetChildren();
            ASSERT_EQ(children.size(), layout.controls.size());
            // The template as the program holds it, for the numbers that leave nothing on the
            // screen: a radio button laid out smaller than GTK draws one.
            const DialogTemplate* pTemplate = FindDialogTemplate(layout.nTemplateId);
            ASSERT_NE(pTemplate, nullptr);
            ASSERT_EQ(pTemplate->controls.size(), layout.controls.size());
            auto itChild = children.begin();
            auto itHeld = pTemplate->controls.begin();
            for (const Control& expected : layout.controls)
            {
                const wxWindow* pChild = *itChild++;
                const ControlTemplate& held = *itHeld++;
                EXPECT_EQ(wxRect(held.x, held.y, held.cx, held.cy),
                          wxRect(expected.x, expected.y, expected.cx, expected.cy))
                    << expected.pszText << ": as the template holds it";
                EXPECT_EQ(FromWxId(pChild->GetId()), expected.nId) << expected.pszText;
                if (const auto* pEdit = dynamic_cast<const wxTextCtrl*>(pChild))
                {
                    EXPECT_EQ(Utf8(pEdit->GetValue()), expected.pszText);
                }
                else
                {
                    const auto* pControl = dynamic_cast<const wxControl*>(pChild);
                    ASSERT_NE(pControl, nullptr) << expected.pszText;
                    EXPECT_EQ(Utf8(pControl->GetLabelText()), expected.pszText);
                }
                EXPECT_EQ(pChild->GetPosition(),
                          dialog.ConvertDialogToPixels(wxPoint(expected.x, expected.y)))
                    << expected.pszText << ": position";
                // GTK cannot draw a radio button smaller than its indicator and label: one laid
                // out smaller is as large as GTK needs.
                wxSize size = dialog.ConvertDialogToPixels(wxSize(expected.cx, expected.cy));
                if (dynamic_cast<const wxRadioButton*>(pChild) != nullptr)
                    size.IncTo(RadioButtonNeeds(dialog, wxString::FromUTF8(expected.pszText)));
                EXPECT_EQ(pChild->GetSize(), size) << expected.pszText << ": size";
            }
            ExpectCentredOver(dialog, *m_pFrame);

            // The main window takes no input: a left drag on its view (clear of the dialog) turns
            // nothing, and with the main window brought to the front its menu keys open nothing
            // (a second dialog would fail the test as unexpected).
            CPointer pointer(View());
            pointer.MoveTo(20, 20);
            pointer.Down(wxMOUSE_BTN_LEFT);
            pointer.MoveTo(70, 20);
            pointer.Up(wxMOUSE_BTN_LEFT);
            m_pFrame->Raise();
            WaitFor([&] { return m_pFrame->IsActive(); }, 1000);
            PressKey('p', wxMOD_ALT);
            PressKey('l');
            double f[3], t[3];
            ASSERT_TRUE(View().GetViewpoint(&f[0], &f[1], &f[2], &t[0], &t[1], &t[2]));
            EXPECT_NEAR(f[0], 0.0, 1e-6) << "the drag turned the camera";
            EXPECT_TRUE(dialog.IsModal());
            dialog.Raise();
            PressEscape(dialog);
        });
        ActivateMainWindow(*m_pFrame);
        PressKey('p', wxMOD_ALT);
        PressKey(layout.nMenuKey);
        EXPECT_TRUE(WaitFor([&] { return script.GetLastReturnCode() != wxID_NONE; }))
            << layout.pszCaption << " did not open";
        EXPECT_EQ(script.GetLastReturnCode(), wxID_CANCEL) << layout.pszCaption;
    }
    EXPECT_EQ(App().m_nRevision, 0);
}

TEST_F(SettingsDialogTest, DegreeOrderOkAppliesEvenUnchanged)
{
    RunDialog<CDegreeOrderDialog>(ID_SETTINGS_LM, [&](CDegreeOrderDialog& dialog) { Click(dialog, IDOK); });
    EXPECT_EQ(App().m_nRevision, 1);
    EXPECT_EQ(App().m_nL, 2);
    EXPECT_TRUE(WaitFor([&] { return View().GetScene().GetBuiltRevision() == 1; })) << "the view rebuilt";
}

// Every template dialog driven from the keyboard as a user does: the first tab stop holds the
// focus at open, Tab and Shift+Tab visit the tab stops in template order and wrap around,
// Escape cancels at open and after moving around, and Enter on OK applies.
TEST_F(SettingsDialogTest, KeyboardFocusTabEscapeAndEnter)
{
    const struct
    {
        int nCommand;
        std::vector<int> aTabStops;
        int32_t nRevisionAfterOk;
    } dialogs[] = {
        {ID_SETTINGS_LM, {IDOK, IDCANCEL, IDC_EDIT_L, IDC_EDIT_M}, 1},
        {ID_SETTINGS_RESOLUTION, {IDOK, IDCANCEL, IDC_EDIT_THETA, IDC_EDIT_PHI}, 2},
        {ID_SETTINGS_COLOR, {IDOK, IDCANCEL}, 3},
        {ID_SETTINGS_VIEWPOINT,
         {IDOK, IDCANCEL, IDC_EDIT_FROM_X, IDC_EDIT_FROM_Y, IDC_EDIT_FROM_Z, IDC_EDIT_TO_X, IDC_EDIT_TO_Y,
          IDC_EDIT_TO_Z},
         3},
        {ID_APP_ABOUT, {IDOK}, 3},
    };
    for (const auto& expected : dialogs)
    {
        const std::vector<int>& stops = expected.aTabStops;
        const size_t nStops = stops.size();
        auto focusIs = [](wxDialog& dialog, int nId) {
            return WaitFor([&] { return wxWindow::FindFocus() == dialog.FindWindow(ToWxId(nId)); }, 1000);
        };
        const std::function<void(wxDialog&)> aActs[] = {
            [&](wxDialog& dialog) {
                ASSERT_TRUE(focusIs(dialog, stops[0])) << "at open";
                for (size_t i = 1; i <= nStops; ++i)
                {
                    PressKey(WXK_TAB);
                    ASSERT_TRUE(focusIs(dialog, stops[i % nStops])) << "Tab " << i;
                }
                for (size_t i = 1; i <= nStops; ++i)
                {
                    PressKey(WXK_TAB, wxMOD_SHIFT);
                    ASSERT_TRUE(focusIs(dialog, stops[nStops - i])) << "Shift+Tab " << i;
                }
                PressKey(WXK_TAB, wxMOD_SHIFT);
                PressEscape(dialog);
            },
            [&](wxDialog& dialog) {
                ASSERT_TRUE(focusIs(dialog, stops[0]));
                PressEscape(dialog);
            },
            [&](wxDialog& dialog) {
                ASSERT_TRUE(focusIs(dialog, stops[0]));
                PressKey(WXK_RETURN);
                EXPECT_TRUE(WaitFor([&] { return !dialog.IsModal(); }, 2000));
            },
        };
        const int aResults[] = {wxID_CANCEL, wxID_CANCEL, wxID_OK};
        for (size_t k = 0; k < 3; ++k)
        {
            const CModalScript script = CModalScript::Run(aActs[k]);
            Command(expected.nCommand);
            EXPECT_EQ(script.GetLastReturnCode(), aResults[k]) << expected.nCommand << " run " << k;
        }
        EXPECT_EQ(App().m_nRevision, expected.nRevisionAfterOk) << expected.nCommand;
    }
}

TEST_F(SettingsDialogTest, TypedValuesAreAppliedAndDrawn)
{
    RunDialog<CDegreeOrderDialog>(ID_SETTINGS_LM, [&](CDegreeOrderDialog& dialog) {
        wxTextCtrl& edit = Edit(dialog, IDC_EDIT_L);
        ASSERT_TRUE(WaitFor([&] { return wxWindow::FindFocus() == dialog.FindWindow(wxID_OK); }, 1000));
        PressKey(WXK_TAB);
        PressKey(WXK_TAB);
        ASSERT_TRUE(WaitFor([&] { return wxWindow::FindFocus() == &edit; }, 1000));
        wxUIActionSimulator keyboard;
        keyboard.Text(" 0 ");
        WaitFor([&] { return Utf8(edit.GetValue()) == " 0 "; }, 1000);
        EXPECT_EQ(Utf8(edit.GetValue()), " 0 ");
        Click(dialog, IDOK);
    });
    EXPECT_EQ(App().m_nL, 0);
    // l = 0 is one disc of the positive colour in the middle, black around it.
    const wxImage image = Screenshot();
    const int cx = image.GetWidth() / 2, cy = image.GetHeight() / 2;
    EXPECT_GT(image.GetRed(cx - 5, cy + 5), 2 * image.GetBlue(cx - 5, cy + 5));
    EXPECT_EQ(image.GetRed(cx, cy / 4) + image.GetGreen(cx, cy / 4) + image.GetBlue(cx, cy / 4), 0);
}

TEST_F(SettingsDialogTest, CancelEscapeAndTheCloseBoxChangeNothing)
{
    const std::function<void(wxDialog&)> cancels[] = {
        [](wxDialog& dialog) { Click(dialog, IDCANCEL); },
        PressEscape,
        [](wxDialog& dialog) { dialog.Close(); },
    };
    for (const auto& cancel : cancels)
    {
        RunDialog<CResolutionDialog>(ID_SETTINGS_RESOLUTION, [&](CResolutionDialog& dialog) {
            Edit(dialog, IDC_EDIT_THETA).ChangeValue("16");
            cancel(dialog);
        });
        RunDialog<CColorSchemeDialog>(ID_SETTINGS_COLOR, [&](CColorSchemeDialog& dialog) {
            dynamic_cast<wxRadioButton*>(dialog.FindWindow(IDC_RADIO_BLACK))->SetValue(true);
            cancel(dialog);
        });
        RunDialog<CViewpointDialog>(ID_SETTINGS_VIEWPOINT, [&](CViewpointDialog& dialog) {
            Edit(dialog, IDC_EDIT_FROM_X).ChangeValue("5");
            cancel(dialog);
        });
    }
    EXPECT_EQ(App().m_nRevision, 0);
    EXPECT_EQ(App().m_nThetaDiv, 480);
    EXPECT_EQ(App().m_nColorScheme, 0);
    double f[3], t[3];
    View().GetViewpoint(&f[0], &f[1], &f[2], &t[0], &t[1], &t[2]);
    EXPECT_NEAR(f[0], 0.0, 1e-6);
}

TEST_F(SettingsDialogTest, InvalidFieldsShowOneMessageAndKeepTheDialogOpen)
{
    RunDialog<CResolutionDialog>(ID_SETTINGS_RESOLUTION, [&](CResolutionDialog& dialog) {
        Edit(dialog, IDC_EDIT_THETA).ChangeValue("1.5");
        Edit(dialog, IDC_EDIT_PHI).ChangeValue("abc");
        {
            const CModalScript message = CModalScript::Run(ExpectIconAndOnlyOk);
            Click(dialog, IDOK);
            EXPECT_EQ(message.GetCount(), 1) << "one message for two bad fields";
            EXPECT_EQ(Utf8(message.GetLastMessage()), "整数を入力してください。");
            EXPECT_EQ(Utf8(message.GetLastCaption()), "Lobara");
            EXPECT_EQ(message.GetLastParent(), &dialog);
            EXPECT_TRUE(message.GetLastMessageStyle() & wxICON_EXCLAMATION);
            EXPECT_TRUE(message.GetLastMessageStyle() & wxOK);
        }
        // The phi field is read first although it stands below: it gets the focus, all selected.
        wxTextCtrl& phi = Edit(dialog, IDC_EDIT_PHI);
        EXPECT_TRUE(WaitFor([&] { return wxWindow::FindFocus() == &phi; }, 1000));
        long nFrom = -1, nTo = -1;
        phi.GetSelection(&nFrom, &nTo);
        EXPECT_EQ(nFrom, 0);
        EXPECT_EQ(nTo, 3);
        EXPECT_TRUE(dialog.IsShown()) << "the dialog stays open";
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(App().m_nRevision, 0);
    EXPECT_EQ(App().m_nPhiDiv, 240);
    EXPECT_EQ(App().m_nThetaDiv, 480);
}

TEST_F(SettingsDialogTest, ResolutionFieldsGoToTheirOwnSettings)
{
    RunDialog<CResolutionDialog>(ID_SETTINGS_RESOLUTION, [&](CResolutionDialog& dialog) {
        Edit(dialog, IDC_EDIT_THETA).ChangeValue("31");
        Edit(dialog, IDC_EDIT_PHI).ChangeValue("-7");
        Click(dialog, IDOK);
    });
    EXPECT_EQ(App().m_nThetaDiv, 31);
    EXPECT_EQ(App().m_nPhiDiv, -7);  // stored unchanged; the surface is then empty
    EXPECT_TRUE(WaitFor([&] { return View().GetScene().GetBuiltRevision() == 1; }));
    EXPECT_EQ(View().GetScene().GetMesh().m_aX.GetSize(), 0);
}

TEST_F(SettingsDialogTest, AbsurdDegreeIsStoredReportedAndTheSurfaceStays)
{
    const int32_t nPositive = View().GetScene().GetMesh().m_aPosQuads.GetSize();
    const CModalScript report = CModalScript::Run(ExpectIconAndOnlyOk);
    RunDialog<CDegreeOrderDialog>(ID_SETTINGS_LM, [&](CDegreeOrderDialog& dialog) {
        Edit(dialog, IDC_EDIT_L).ChangeValue("99999999999");
        Click(dialog, IDOK);
    });
    EXPECT_EQ(App().m_nL, std::numeric_limits<int32_t>::max());
    EXPECT_EQ(App().m_nRevision, 1);
    EXPECT_EQ(report.GetCount(), 1);
    EXPECT_EQ(Utf8(report.GetLastCaption()), "Lobara");
    EXPECT_EQ(report.GetLastParent(), m_pFrame);
    // The view tries the build, keeps its surface, and stays responsive.
    WaitFor([] { return false; }, 300);
    EXPECT_EQ(View().GetScene().GetMesh().m_aPosQuads.GetSize(), nPositive);
    EXPECT_EQ(View().GetScene().GetBuiltRevision(), 0);
}

// A scheme is chosen by clicking its radio button with the pointer.
TEST_F(SettingsDialogTest, ColorSchemePositionsAndReopening)
{
    const auto clickRadio = [](wxDialog& dialog, int nId) {
        auto* pRadio = dynamic_cast<wxRadioButton*>(dialog.FindWindow(nId));
        ASSERT_NE(pRadio, nullptr);
        CPointer pointer(*pRadio);
        pointer.MoveTo(pRadio->GetSize().y / 2, pRadio->GetSize().y / 2);  // on its indicator
        pointer.Click();
        EXPECT_TRUE(pRadio->GetValue()) << Utf8(pRadio->GetLabel()) << " is selected";
    };
    RunDialog<CColorSchemeDialog>(ID_SETTINGS_COLOR, [&](CColorSchemeDialog& dialog) {
        EXPECT_TRUE(dynamic_cast<wxRadioButton*>(dialog.FindWindow(IDC_RADIO_RED_BLUE))->GetValue());
        clickRadio(dialog, IDC_RADIO_WHITE_BLACK);
        Click(dialog, IDOK);
    });
    EXPECT_EQ(App().m_nColorScheme, 5);

    RunDialog<CColorSchemeDialog>(ID_SETTINGS_COLOR, [&](CColorSchemeDialog& dialog) {
        EXPECT_TRUE(dynamic_cast<wxRadioButton*>(dialog.FindWindow(IDC_RADIO_WHITE_BLACK))->GetValue())
            << "the scheme last applied";
        clickRadio(dialog, IDC_RADIO_BLACK);
        Click(dialog, IDOK);
    });
    EXPECT_EQ(App().m_nColorScheme, 6);
    EXPECT_EQ(App().m_nRevision, 2);

    // Scheme 6 leaves only dark grey: apart from the lights' tinted highlights, no lit pixel
    // of the view has a hue.
    const wxImage image = Screenshot();
    int nLit = 0, nColoured = 0;
    for (int y = 0; y < image.GetHeight(); y += 3)
    {
        for (int x = 0; x < image.GetWidth(); x += 3)
        {
            const int r = image.GetRed(x, y), g = image.GetGreen(x, y), b = image.GetBlue(x, y);
            nLit += r + g + b > 0;
            nColoured += std::max({r, g, b}) - std::min({r, g, b}) > 20;
        }
    }
    EXPECT_GT(nLit, 100);
    EXPECT_LT(nColoured, nLit / 20);
}

// Typed coordinates are read as far as they form a number: "nan" is no number and reads as 0.
TEST_F(SettingsDialogTest, ViewpointShowsThreeDecimalsAndReappliesThem)
{
    RunDialog<CViewpointDialog>(ID_SETTINGS_VIEWPOINT, [&](CViewpointDialog& dialog) {
        Edit(dialog, IDC_EDIT_FROM_X).ChangeValue("1.23456");
        Edit(dialog, IDC_EDIT_FROM_Y).ChangeValue("nan");
        Edit(dialog, IDC_EDIT_FROM_Z).ChangeValue("  -2e-1xyz");
        Click(dialog, IDOK);
    });
    double f[3], t[3];
    ASSERT_TRUE(View().GetViewpoint(&f[0], &f[1], &f[2], &t[0], &t[1], &t[2]));
    EXPECT_NEAR(f[0], 1.23456, 1e-5);
    EXPECT_NEAR(f[1], 0.0, 1e-5);
    EXPECT_NEAR(f[2], -0.2, 1e-5);
    EXPECT_EQ(App().m_nRevision, 0) << "the camera is no setting";

    // OK without editing re-applies what was shown: the camera rounded to three decimals.
    RunDialog<CViewpointDialog>(ID_SETTINGS_VIEWPOINT, [&](CViewpointDialog& dialog) {
        EXPECT_EQ(Utf8(Edit(dialog, IDC_EDIT_FROM_X).GetValue()), "1.235");
        Click(dialog, IDOK);
    });
    ASSERT_TRUE(View().GetViewpoint(&f[0], &f[1], &f[2], &t[0], &t[1], &t[2]));
    EXPECT_NEAR(f[0], 1.235, 1e-5);
}

TEST_F(SettingsDialogTest, ViewpointsThatPlaceNoCameraLeaveIt)
{
    for (const char* pszText : {"nan", "1e400", "0"})
    {
        RunDialog<CViewpointDialog>(ID_SETTINGS_VIEWPOINT, [&](CViewpointDialog& dialog) {
            // "nan" reads as 0 and "0" is 0: From = To. "1e400" is infinite.
            for (int i = 0; i < 6; ++i)
                Edit(dialog, IDC_EDIT_FROM_X + i).ChangeValue(i == 1 ? pszText : "0");
            Click(dialog, IDOK);
        });
        double f[3], t[3];
        ASSERT_TRUE(View().GetViewpoint(&f[0], &f[1], &f[2], &t[0], &t[1], &t[2])) << pszText;
        EXPECT_NEAR(f[1], -1.0, 1e-6) << pszText << ": the camera stays";
    }
}
