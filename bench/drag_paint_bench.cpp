// Painting while the user drags: the real view in a real window (run under an X display, e.g.
// xvfb-run), the left button held and the pointer moved continuously by a second thread at a
// mouse's report rate, while the program waits idle in its own event loop between events, as
// it does in real use. Each iteration is ten paints. Reports paints per second and the time from
// a motion to the end of the first paint that shows it (mean and 95th percentile).
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <benchmark/benchmark.h>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/frame.h>
#include <wx/init.h>
#include <wx/uiaction.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "bench_views.h"
#include "platform/heap_tuning.h"
#include "view/surface_view.h"

namespace {

using Clock = std::chrono::steady_clock;

// A 250 Hz mouse; the send times of its first ten minutes are kept.
constexpr auto kMotionInterval = std::chrono::milliseconds(4);
constexpr int32_t kRecordedMotions = 600 * 250;
// The loop runs on through this many paints per iteration: leaving it and entering it again
// costs round trips to the X server that real use does not make.
constexpr size_t kPaintsPerIteration = 10;

// The pointer's path: one-pixel steps through a 40 x 40 square, row by row in alternating
// directions and then back again, so the view stays near its start and each position names
// one step of every half period.
constexpr int kSide = 40;
constexpr int32_t kHalfPeriod = kSide * kSide;

wxPoint PathOffset(int32_t nStep)
{
    int32_t k = nStep % (2 * kHalfPeriod);
    if (k >= kHalfPeriod)
        k = 2 * kHalfPeriod - 1 - k;
    const int nRow = k / kSide, nColumn = k % kSide;
    return wxPoint(nRow % 2 == 0 ? nColumn : kSide - 1 - nColumn, nRow);
}

// The latest step at or before nLatest whose position is p.
int32_t StepAt(wxPoint p, int32_t nLatest)
{
    for (int32_t nStep = nLatest; nStep >= 0 && nStep > nLatest - 2 * kHalfPeriod; --nStep)
        if (PathOffset(nStep) == p)
            return nStep;
    return -1;
}

// Moves the pointer along the path on its own X connection, one step per interval until it is
// stopped, and records when each step was sent.
class CPointerMover
{
public:
    explicit CPointerMover(wxPoint origin)
        : m_origin(origin), m_aSent(kRecordedMotions), m_pDisplay(XOpenDisplay(nullptr))
    {}
    ~CPointerMover()
    {
        Stop();
        XCloseDisplay(m_pDisplay);
    }

    void Start()
    {
        m_thread = std::thread([this] { Run(); });
    }
    void Stop()
    {
        m_bStop = true;
        if (m_thread.joinable())
            m_thread.join();
    }
    int32_t GetSentCount() const { return m_nSent.load(std::memory_order_acquire); }
    Clock::time_point GetSentTime(int32_t nStep) const { return m_aSent[static_cast<size_t>(nStep)]; }

private:
    void Run()
    {
        auto next = Clock::now();
        for (int32_t nStep = 0; !m_bStop; ++nStep)
        {
            std::this_thread::sleep_until(next);
            next += kMotionInterval;
            const wxPoint p = m_origin + PathOffset(nStep);
            const bool bRecorded = nStep < kRecordedMotions;
            if (bRecorded)
                m_aSent[static_cast<size_t>(nStep)] = Clock::now();
            XTestFakeMotionEvent(m_pDisplay, -1, p.x, p.y, CurrentTime);
            XFlush(m_pDisplay);
            if (bRecorded)
                m_nSent.store(nStep + 1, std::memory_order_release);
        }
    }

    const wxPoint m_origin;
    std::vector<Clock::time_point> m_aSent;
    Display* m_pDisplay;
    std::atomic<int32_t> m_nSent{0};
    std::atomic<bool> m_bStop{false};
    std::thread m_thread;
};

// Watches the view's events from the front of its handler chain: which step each motion
// was, and when each paint ended and which step it showed. Ends the running event loop once
// the paints it waits for are done, and at the button's release.
class CDragObserver : public wxEvtHandler
{
public:
    struct Paint
    {
        Clock::time_point end;
        int32_t nShownStep;
    };

    CDragObserver(const CPointerMover& mover, wxPoint origin) : m_mover(mover), m_origin(origin) {}

    bool ProcessEvent(wxEvent& event) override
    {
        const wxEventType type = event.GetEventType();
        if (type == wxEVT_MOTION)
        {
            const wxPoint p = static_cast<wxMouseEvent&>(event).GetPosition() - m_origin;
            m_nLastStep = std::max(m_nLastStep, StepAt(p, m_mover.GetSentCount() - 1));
        }
        const bool bProcessed = wxEvtHandler::ProcessEvent(event);
        if (type == wxEVT_PAINT)
            m_aPaints.push_back(Paint{Clock::now(), m_nLastStep});
        if ((type == wxEVT_PAINT && m_aPaints.size() >= m_nPaintsToWait) || type == wxEVT_LEFT_UP)
            if (wxEventLoopBase* pLoop = wxEventLoopBase::GetActive())
                pLoop->Exit();
        return bProcessed;
    }

    std::vector<Paint> m_aPaints;
    size_t m_nPaintsToWait = 0;

private:
    const CPointerMover& m_mover;
    const wxPoint m_origin;
    int32_t m_nLastStep = -1;
};

// Mean and 95th percentile, in milliseconds, of the time from sending each step that paint
// nFirstPaint - 1 did not show to the end of the first paint that shows it (or a later step).
void ReportLatency(benchmark::State& state, const std::vector<CDragObserver::Paint>& aPaints,
                   size_t nFirstPaint, const CPointerMover& mover)
{
    std::vector<double> aMs;
    size_t nPaint = nFirstPaint;
    const int32_t nFirstStep = aPaints[nFirstPaint - 1].nShownStep + 1;
    for (int32_t nStep = std::max(nFirstStep, 0); nStep < mover.GetSentCount(); ++nStep)
    {
        while (nPaint < aPaints.size() && aPaints[nPaint].nShownStep < nStep)
            ++nPaint;
        if (nPaint == aPaints.size())
            break;
        aMs.push_back(
            std::chrono::duration<double, std::milli>(aPaints[nPaint].end - mover.GetSentTime(nStep))
                .count());
    }
    if (aMs.empty())
        return;
    double dSum = 0.0;
    for (double d : aMs)
        dSum += d;
    std::sort(aMs.begin(), aMs.end());
    state.counters["latency ms"] = dSum / static_cast<double>(aMs.size());
    state.counters["latency p95 ms"] = aMs[aMs.size() * 95 / 100];
}

// Waits in the event loop, as the program does, until nPaints more paints or a release.
void RunLoop(CDragObserver& observer, size_t nPaints)
{
    observer.m_nPaintsToWait = observer.m_aPaints.size() + nPaints;
    wxGUIEventLoop loop;
    loop.Run();
}

void DragPaint(benchmark::State& state, const BenchView& view)
{
    CLobaraSettings settings;
    settings.m_nThetaDiv = view.nThetaDiv;
    settings.m_nPhiDiv = view.nPhiDiv;
    wxFrame* pFrame = new wxFrame(nullptr, wxID_ANY, "Lobara");
    CSurfaceView* pView = new CSurfaceView(pFrame, wxID_ANY, settings);
    pFrame->SetClientSize(view.nWidth, view.nHeight);
    pFrame->Show();

    const wxPoint centre(view.nWidth / 2 - kSide / 2, view.nHeight / 2 - kSide / 2);
    CPointerMover mover(pView->ClientToScreen(centre));
    CDragObserver observer(mover, centre);
    pView->PushEventHandler(&observer);
    while (pView->GetScene().GetBuiltRevision() != 0)
        RunLoop(observer, 1);

    wxUIActionSimulator pointer;
    pointer.MouseMove(pView->ClientToScreen(centre));
    pointer.MouseDown(wxMOUSE_BTN_LEFT);
    mover.Start();
    // The first paint of the drag starts the measurement.
    RunLoop(observer, 1);
    const size_t nFirstPaint = observer.m_aPaints.size();
    for (auto _ : state)
        RunLoop(observer, kPaintsPerIteration);
    mover.Stop();
    pointer.MouseUp(wxMOUSE_BTN_LEFT);
    while (pView->HasCapture())
        RunLoop(observer, 1);

    state.counters["paints/s"] =
        benchmark::Counter(kPaintsPerIteration, benchmark::Counter::kIsIterationInvariantRate);
    ReportLatency(state, observer.m_aPaints, nFirstPaint, mover);
    pView->PopEventHandler();
    delete pFrame;
}

}  // namespace

int main(int argc, char** argv)
{
    TuneHeapForDrawing();
    benchmark::Initialize(&argc, argv);
    wxApp::SetInstance(new wxApp());
    if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit())
        return 1;
    for (const BenchView& view : kBenchViews)
        benchmark::RegisterBenchmark(view.pszName, DragPaint, view)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->MinTime(2.0);
    benchmark::RunSpecifiedBenchmarks();
    wxEntryCleanup();
    return 0;
}
