// main() for tests that need wxWidgets: one application object for the whole run, wx
// assertions turned into test failures, and nothing that opens a modal box by itself.

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/init.h>
#include <wx/log.h>

#include "support/modal_script.h"
#include "support/test_app.h"

namespace {

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
    if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit())
        return 1;
    // Log messages go to stderr, never to a message box that would wait for a click.
    delete wxLog::SetActiveTarget(new wxLogStderr());
    InstallModalScriptHook();
    const int nResult = RUN_ALL_TESTS();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return nResult;
}
