// The main window with a generated plan book: created, the file loaded, shown
// (offscreen) and painted, timed in process. Run by bench/run.
//   bench_window [benchmark options]   the timings, one window after another
//   bench_window --first FILE          prints "PLANS MS PEAK_KB" for the first
//                                      window of a fresh process, with FILE
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QEvent>
#include <QScreen>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>

#include "BenchBooks.h"
#include "ui/DrawCalendar.h"
#include "ui/Main.h"
#include "ui/Prompts.h"

namespace {

using namespace tamber;
using tamber::ui::TForm1;

// No dialog may open during a measurement: a question or an error ends the run.
class TNoPrompts : public ui::TPrompts {
public:
    QString OpenPlanFileName(QWidget*) override { return Fail("open dialog"); }
    QString SavePlanFileName(QWidget*) override { return Fail("save dialog"); }
    void ShowError(QWidget*, const QString& message) override { Fail(message.toStdString().c_str()); }
    void AskToSaveChanges(QWidget*, const std::function<bool()>&) override { Fail("unsaved changes"); }

private:
    static QString Fail(const char* what) {
        std::fprintf(stderr, "bench_window: unexpected prompt: %s\n", what);
        std::exit(1);
    }
};

// Notes the first paint of the watched widget.
class TPaintWatch : public QObject {
public:
    bool Painted = false;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) Painted = true;
        return QObject::eventFilter(watched, event);
    }
};

TNoPrompts& Prompts() {
    static TNoPrompts prompts;
    return prompts;
}

// Creates the main window, loads the plan file File, shows the window as the
// program does and returns once its calendar has been painted.
std::unique_ptr<TForm1> ShowMainWindow(const QString& file) {
    TForm1::TOptions options;
    options.SettingsFile = bench::ScratchFolder() / "settings.ini";
    options.Prompts = &Prompts();
    const TYearMonthDay today = DecodeDate(support::GeneratedBookToday());
    options.Today = [today] { return QDate(today.Year, today.Month, today.Day); };

    auto form = std::make_unique<TForm1>(options);
    TPaintWatch watch;
    form->Calendar().installEventFilter(&watch);
    if (!form->LoadPlanFile(file)) std::exit(1);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) form->setGeometry(screen->availableGeometry());
    form->showMaximized();
    QElapsedTimer waited;
    waited.start();
    while (!watch.Painted) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        if (waited.elapsed() > 10000) {
            std::fprintf(stderr, "bench_window: the calendar was never painted\n");
            std::exit(1);
        }
    }
    form->Calendar().removeEventFilter(&watch);
    return form;
}

void BM_MainWindow(benchmark::State& state) {
    const QString file = QString::fromStdString(bench::GeneratedBookFile(static_cast<int>(state.range(0))).string());
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        auto form = ShowMainWindow(file);
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(elapsed.count());
        form.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}
BENCHMARK(BM_MainWindow)->Arg(10)->Arg(100)->Arg(1000)->Arg(9999)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 3 && std::strcmp(argv[1], "--first") == 0) {
        // The clock starts before the application object: the first window
        // also pays for loading the platform plugin and the fonts.
        const auto start = std::chrono::steady_clock::now();
        int qtArgc = 1;
        QApplication app(qtArgc, argv);
        auto form = ShowMainWindow(QString::fromLocal8Bit(argv[2]));
        const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
        std::printf("%d %.1f %ld\n", form->Book().Count(), elapsed.count(), bench::ResidentSize().Peak);
        return 0;
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
