// Paint rate while dragging: the real view in a real window (run under an X display, e.g.
// xvfb-run), the real pointer held down and moved a pixel at a time; each iteration is one
// drag step and the paint it causes.
#include <benchmark/benchmark.h>
#include <wx/app.h>
#include <wx/frame.h>
#include <wx/init.h>
#include <wx/uiaction.h>

#include <functional>

#include "view/surface_view.h"

namespace {

class CPaintCounter : public wxEvtHandler
{
public:
    int m_nPaints = 0;

private:
    bool TryBefore(wxEvent& event) override
    {
        m_nPaints += event.GetEventType() == wxEVT_PAINT;
        return false;
    }
};

void PumpUntil(const std::function<bool()>& bDone)
{
    while (!bDone())
        wxTheApp->Yield(true);
}

void DragStep(benchmark::State& state, int nWidth, int nHeight)
{
    CLobaraSettings settings;
    wxFrame* pFrame = new wxFrame(nullptr, wxID_ANY, "Lobara");
    CSurfaceView* pView = new CSurfaceView(pFrame, wxID_ANY, settings);
    pFrame->SetClientSize(nWidth, nHeight);
    pFrame->Show();
    CPaintCounter counter;
    pView->PushEventHandler(&counter);
    PumpUntil([&] { return pView->GetScene().GetBuiltRevision() == 0; });

    wxUIActionSimulator pointer;
    const wxPoint centre = pView->ClientToScreen(wxPoint(nWidth / 2, nHeight / 2));
    pointer.MouseMove(centre);
    pointer.MouseDown(wxMOUSE_BTN_LEFT);
    int nStep = 0;
    for (auto _ : state)
    {
        const int nPaints = counter.m_nPaints;
        pointer.MouseMove(centre + wxPoint(++nStep % 2, 0));
        PumpUntil([&] { return counter.m_nPaints > nPaints; });
    }
    pointer.MouseUp(wxMOUSE_BTN_LEFT);
    PumpUntil([&] { return !pView->HasCapture(); });
    state.counters["paints/s"] = benchmark::Counter(1.0, benchmark::Counter::kIsIterationInvariantRate);
    pView->PopEventHandler();
    delete pFrame;
}

}  // namespace

BENCHMARK_CAPTURE(DragStep, default_surface_800x600, 800, 600)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    wxApp::SetInstance(new wxApp());
    if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit())
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    wxEntryCleanup();
    return 0;
}
