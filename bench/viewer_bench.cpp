// SPDX-License-Identifier: GPL-3.0-or-later
// The viewer as the user meets it: from opening a report to its first page
// on screen, and a page change at fit width in a 1920 x 1080 window from the
// key press to the new picture painted, with text smoothed and as GDI draws
// it. Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise
// (xcb under Xvfb, say).
#include "app/previewwindow.h"
#include "app/thumbnailpanel.h"
#include "preview/qrpreview.h"
#include "preview/qrpreviewimage.h"
#include "printer/qrprinter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

namespace {

// The benchmark never reads or writes the user's remembered windows.
const QTemporaryDir ConfigHome;
const bool ConfigHomeSet = qputenv("XDG_CONFIG_HOME", ConfigHome.path().toLocal8Bit());

QString Sample(const char* Name)
{
    return QString(QRP_BINARY_DIR "/samples/") + Name;
}

// Counts the page picture's paints; a paint is complete once the event
// loop pass that delivered it returns.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(TQRPreviewImage* Target) : FTarget(Target) { Target->installEventFilter(this); }
    void WaitForPaint()
    {
        const int before = FPaints;
        while (FPaints == before)
            QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    // The first paint shows the empty sheet and asks for the page, which is
    // drawn on another thread and shown by the paint after it comes.
    void WaitForPage()
    {
        WaitForPaint();
        FTarget->WaitForDrawing();
        WaitForPaint();
    }

protected:
    bool eventFilter(QObject*, QEvent* Event) override
    {
        if (Event->type() == QEvent::Paint)
            ++FPaints;
        return false;
    }

private:
    TQRPreviewImage* FTarget;
    int FPaints = 0;
};

void BM_OpenToFirstPage(benchmark::State& State, const char* Name)
{
    for (auto _ : State) {
        TQRPrinter document(nullptr);
        document.Load(Sample(Name));
        auto* window = new TfrmZozEdezaPreview(nullptr, &document);
        PaintWatch watch(window->QRPreview1->PreviewImage());
        window->show();
        watch.WaitForPage();
        State.PauseTiming();
        delete window;
        QCoreApplication::processEvents();
        State.ResumeTiming();
    }
}
BENCHMARK_CAPTURE(BM_OpenToFirstPage, sample_a4, "sample-a4.qrp")->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK_CAPTURE(BM_OpenToFirstPage, sample_500, "sample-500.qrp")->Unit(benchmark::kMillisecond)->MinTime(2);

// Argument 0: text smoothed (the default); 1: "Windows görünümü (GDI)".
// The two medians' ratio is what a change of the text mode costs.
void BM_PageChangeAtFitWidth(benchmark::State& State)
{
    TQRPrinter document(nullptr);
    document.Load(Sample("sample-a4.qrp"));
    std::unique_ptr<TfrmZozEdezaPreview> window(new TfrmZozEdezaPreview(nullptr, &document));
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    window->resize(1920, 1080);
    window->show();
    QApplication::setActiveWindow(window.get());
    (void)QTest::qWaitForWindowExposed(window.get());
    window->FitWidth();
    window->QRPreview1->PreviewImage()->SetGdiText(State.range(0) != 0);
    PaintWatch watch(window->QRPreview1->PreviewImage());
    QCoreApplication::processEvents();
    bool forward = true;
    for (auto _ : State) {
        // Pages 2 to 4 of the demo report are full ruled tables of text.
        const int page = window->QRPreview1->PageNumber();
        forward = forward ? page < 4 : page <= 2;
        QTest::keyClick(window.get(), forward ? Qt::Key_PageDown : Qt::Key_PageUp);
        watch.WaitForPage();
    }
}
BENCHMARK(BM_PageChangeAtFitWidth)->ArgName("gdi")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2);

// The thumbnail panel on the 500-page sample, scrolled from top to bottom a
// screenful at a time while it fills: the longest single pass of the GUI
// thread's event loop while scrolling, and the panel's cache against its
// budget.
void BM_ThumbnailsFill500(benchmark::State& State)
{
    TQRPrinter document(nullptr);
    document.Load(Sample("sample-500.qrp"));
    std::unique_ptr<TfrmZozEdezaPreview> window(new TfrmZozEdezaPreview(nullptr, &document));
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    window->resize(1920, 1080);
    window->show();
    (void)QTest::qWaitForWindowExposed(window.get());
    double longestMs = 0;
    int peakBytes = 0;
    for (auto _ : State) {
        window->ToggleThumbnails();
        TThumbnailPanel* panel = window->Thumbnails;
        // The page itself is drawn again at its narrower width first; that
        // pass belongs to the page, not to the panel.
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
        QScrollBar* bar = panel->verticalScrollBar();
        QElapsedTimer pass;
        while (bar->value() < bar->maximum()) {
            bar->setValue(bar->value() + bar->pageStep());
            for (int i = 0; i < 20; ++i) {
                pass.start();
                QCoreApplication::processEvents();
                longestMs = std::max(longestMs, pass.nsecsElapsed() / 1e6);
            }
            peakBytes = std::max(peakBytes, panel->Model()->CachedBytes());
        }
        panel->Model()->WaitForWork();
        window->ToggleThumbnails();
    }
    State.counters["longest_pass_ms"] = longestMs;
    State.counters["peak_cache_MB"] = peakBytes / 1048576.0;
    State.counters["budget_MB"] = TThumbnailModel::CacheBudget / 1048576.0;
}
BENCHMARK(BM_ThumbnailsFill500)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace
