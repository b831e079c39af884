// From the command, routed by id, to the repainted view: one benchmark per render command
// with its default arguments, in a frame shown on the offscreen platform.

#include "platform/Providers.h"
#include "platform/widgets/CFrameWnd.h"
#include "platform/widgets/CWinApp.h"
#include "res/resource.h"
#include "view/CVelorineDoc.h"
#include "view/CVelorineView.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <memory>

namespace {

// The DLA question is answered OK; nothing else asks.
class AnswerOk : public MessageProvider
{
public:
    int Show(const QString &, const QString &, unsigned) override { return IDOK; }
};

// The program's window as start-up makes it, in the benchmark's working directory.
class BenchWindow
{
public:
    BenchWindow()
    {
        m_pOldMessages = SetMessageProvider(std::make_unique<AnswerOk>());
        auto pTemplate = std::make_unique<CSingleDocTemplate>(
            IDR_MAINFRAME, [] { return std::make_unique<CVelorineDoc>(); },
            [] { return std::make_unique<CFrameWnd>(); }, [] { return new CVelorineView; });
        m_pTemplate = pTemplate.get();
        m_app.AddDocTemplate(std::move(pTemplate));
        m_bOpen = m_pTemplate->OpenDocumentFile();
        if (m_bOpen) {
            m_pFrame = AfxGetMainWnd();
            m_pView = static_cast<CVelorineView *>(m_pFrame->GetActiveView());
            m_pView->setFixedSize(512, 512);
            m_pFrame->show();
            QApplication::processEvents();
        }
    }
    ~BenchWindow()
    {
        m_pTemplate->CloseAll();
        SetMessageProvider(std::move(m_pOldMessages));
    }
    BenchWindow(const BenchWindow &) = delete;
    BenchWindow &operator=(const BenchWindow &) = delete;

    bool m_bOpen = false;
    CFrameWnd *m_pFrame = nullptr;
    CVelorineView *m_pView = nullptr;

private:
    CWinApp m_app;
    CSingleDocTemplate *m_pTemplate = nullptr;
    std::unique_ptr<MessageProvider> m_pOldMessages;
};

void BM_RenderCommand(benchmark::State &state)
{
    const int nID = static_cast<int>(state.range(0));
    BenchWindow window;
    if (!window.m_bOpen) {
        state.SkipWithError("the window could not be made");
        return;
    }
    for (auto _ : state) {
        window.m_pFrame->RouteCommand(nID);
        // The leaf only invalidates; its picture is on screen after the next paint.
        window.m_pView->UpdateWindow();
    }
}

} // namespace

BENCHMARK(BM_RenderCommand)
    ->ArgName("mandelbrot")
    ->Arg(ID_MANDELBROT)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderCommand)->ArgName("julia")->Arg(ID_JULIA)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderCommand)->ArgName("martin")->Arg(ID_MARTIN)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderCommand)->ArgName("mira")->Arg(ID_MIRA)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderCommand)->ArgName("wallpaper")->Arg(ID_WALLPAPER)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderCommand)
    ->ArgName("dla")
    ->Arg(ID_DLA)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_RenderCommand)->ArgName("leaf")->Arg(ID_LEAF)->Unit(benchmark::kMillisecond);
