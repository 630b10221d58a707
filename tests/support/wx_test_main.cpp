// main() for tests that need wxWidgets: one application object for the whole run, wx
// assertions turned into test failures, and nothing that opens a modal box by itself.
// Without a display the program runs no test and exits with kSkipped.

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/init.h>
#include <wx/log.h>

#include <iostream>

#include "support/modal_script.h"
#include "support/test_app.h"

namespace {

constexpr int kSkipped = 77;  // CTest's SKIP_RETURN_CODE for the GUI tests

void FailOnAssert(const wxString& strFile, int nLine, const wxString& strFunction,
                  const wxString& strCondition, const wxString& strMessage)
{
    ADD_FAILURE_AT(strFile.utf8_str(), nLine) << "wx assertion in " << strFunction.utf8_str() << ": "
                                              << strCondition.utf8_str() << " " << strMessage.utf8_str();
}

}  // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    wxSetAssertHandler(FailOnAssert);
    wxApp::SetInstance(CreateTestApp());
    if (!wxEntryStart(argc, argv))
    {
        std::cerr << "no X display to run the GUI tests on (DISPLAY is unset or unreachable): skipped\n";
        return kSkipped;
    }
    // Log messages go to stderr, never to a message box that would wait for a click.
    delete wxLog::SetActiveTarget(new wxLogStderr());
    InstallModalScriptHook();
    if (!wxTheApp->CallOnInit())
        return 1;
    const int nResult = RUN_ALL_TESTS();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return nResult;
}
