// tamber98-monkey: random user actions on the main window, offscreen, on a generated plan book in a scratch folder,
// while other programs change, remove or lock its plan files (`make monkey` in the README). After each action every
// plan file loads, no half-written file is left, and the calendar shows what ComputeMonth gives. MONKEY_SEED,
// MONKEY_ACTIONS and MONKEY_SECONDS (300) set a run; --regressions replays the normal test run's fixed seeds.
#include <QtTest>
#include <QtWidgets>

#include <atomic>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <deque>
#include <fstream>
#include <map>
#include <thread>

#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#endif

#include "BookGenerator.h"
#include "book/Ledger.h"
#include "book/PlanFile.h"
#include "ui/DrawCalendar.h"
#include "ui/Main.h"
#include "ui/Prompts.h"
#include "ui/QtDates.h"
#include "ui/RFEdit.h"
#include "ui/Wiring.h"

namespace {

using namespace tamber;
using Clock = std::chrono::steady_clock;

const QDate kToday(2026, 3, 10);
constexpr int kWatchdogSeconds = 60;
// Seeds the normal test run replays with their number of actions; a seed that found a fault joins them.
constexpr std::pair<uint64_t, long> kRegressions[] = {{1, 150}, {2, 150}, {3, 150}, {91, 150}};

int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count();
}

// The last actions and the report a failure prints, kept ready for a signal handler and the watchdog.
struct TFlightLog {
    std::atomic<uint64_t> Seed{0};
    std::atomic<long> Actions{0};
    std::atomic<int64_t> Beat{0};  // when the window last made progress
    std::deque<std::string> Last;
    char Report[16384] = {};
};
TFlightLog gLog;

void Note(const QString& line) {
    gLog.Last.push_back(std::to_string(gLog.Actions) + ": " + line.toStdString());
    if (gLog.Last.size() > 25) gLog.Last.pop_front();
    std::string text = "monkey: seed " + std::to_string(gLog.Seed) + ", action " + std::to_string(gLog.Actions) +
                       "\nmonkey: the last actions, the newest last:\n";
    for (const std::string& last : gLog.Last) text += "  " + last + "\n";
    std::snprintf(gLog.Report, sizeof gLog.Report, "%s", text.c_str());
}

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "monkey: FAULT: %s\n%s", what.c_str(), gLog.Report);
    std::fflush(stderr);
    std::_Exit(1);
}
extern "C" void PrintOnDeath() {
    (void)!write(2, gLog.Report, std::strlen(gLog.Report));
}
extern "C" void OnSignal(int signal) {
    PrintOnDeath();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void Watchdog(const std::atomic<bool>& stop) {
    while (!stop) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        if (gLog.Beat != 0 && NowMs() - gLog.Beat > kWatchdogSeconds * 1000) {
            std::fprintf(stderr, "monkey: FAULT: the window made no progress for %d s\n%s", kWatchdogSeconds, gLog.Report);
            std::signal(SIGABRT, SIG_DFL);
            std::abort();
        }
    }
}

// The program shows its own errors escaping an event in a box; anything else escaping is a fault.
class TMonkeyApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const ETamberError& e) {
            Note(QStringLiteral("error box: ") + QString::fromUtf8(e.what()));
        } catch (const std::exception& e) {
            Fail(std::string("an exception escaped to the event loop: ") + e.what());
        }
        return false;
    }
};

template <class List>
auto Pick(support::TBookRandom& random, const List& list) -> decltype(*std::begin(list)) {
    return *(std::begin(list) + random.Between(0, int(std::size(list)) - 1));
}

// The user's answers.
class TMonkeyPrompts final : public ui::TPrompts {
public:
    TMonkeyPrompts(support::TBookRandom& random, QString folder)
        : Random_(random), Folder_(std::move(folder)) {}

    QString OpenPlanFileName(QWidget*) override {
        return File("open", QDir(Folder_).entryList({"*.tbr"}, QDir::Files) << "missing.tbr"
                                                                            << "folder.tbr");
    }
    QString SavePlanFileName(QWidget*) override {
        return File("save", {"book.tbr", "plans-1.tbr", "plans-2.tbr", "folder.tbr", "gone/plans.tbr"});
    }
    void ShowError(QWidget*, const QString& message) override { Note(QStringLiteral("error box: ") + message); }
    void AskToSaveChanges(QWidget*, const std::function<bool()>& save) override {
        for (int presses = Answer("unsaved changes: 存檔 pressed up to this many times", 2); presses-- > 0 && !save();) continue;
    }
    ui::TOverwriteAnswer AskOverwriteChangedFile(QWidget*, const QString& path) override {
        return ui::TOverwriteAnswer(Answer("changed on disk " + path + ": answer", 2));
    }
    bool AskOpenFileInUse(QWidget*, const QString& path) override { return Answer("open in another copy " + path, 1) == 1; }
    QString SaveExportFileName(QWidget*, const QString& filter) override {
        return File("export", {"export." + filter.section('.', 1, 1).section(')', 0, 0), "folder.tbr"});
    }
    std::optional<ui::TDateSpan> AskExportSpan(QWidget*, const ui::TDateSpan& proposed, QDate, QDate) override {
        return Answer("export span as proposed", 2) ? std::optional(proposed) : std::nullopt;
    }
    void PreviewPrint(QWidget*, const std::function<void(QPagedPaintDevice&)>& paint) override {
        Note(QStringLiteral("print preview"));
        QPdfWriter pdf(Folder_ + QStringLiteral("/print.pdf"));
        paint(pdf);
    }

private:
    // A random answer from 0 to Last to Question.
    int Answer(const QString& question, int last) {
        const int answer = Random_.Between(0, last);
        Note(question + QStringLiteral(": %1").arg(answer));
        return answer;
    }
    QString File(const char* dialog, const QStringList& names) {
        const QString name = Random_.Chance(15) ? QString() : Folder_ + '/' + Pick(Random_, names);
        Note(QString::fromLatin1(dialog) + QStringLiteral(" dialog: ") + (name.isEmpty() ? QStringLiteral("cancelled") : name));
        return name;
    }

    support::TBookRandom& Random_;
    QString Folder_;
};

QString Describe(const QWidget* w) {  // the object names from the window down
    const QString name = w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
    return w->parentWidget() ? Describe(w->parentWidget()) + '/' + name : name;
}

class TMonkey {
public:
    TMonkey(uint64_t seed, Clock::duration budget, long maxActions)
        : Random_(seed), Prompts_(Random_, Dir_.path()), End_(Clock::now() + budget), MaxActions_(maxActions) {
        gLog.Seed = seed;
        gLog.Actions = 0;
        gLog.Last.clear();
        qputenv("PATH", Dir_.path().toLocal8Bit());  // the editor's calculator button would start a system program
        ui::TRFilterEdit::SetRequiredFieldPrompt([](QWidget*, const QString& m) { Note(QStringLiteral("required field: ") + m); });
        WriteBook(Path("book.tbr"), Random_.Between(1, 80));
        std::ofstream(Path("damaged.tbr").toStdString()) << "not a plan file";
        QDir(Dir_.path()).mkdir(QStringLiteral("folder.tbr"));
    }

    // Runs until the time or the actions are spent; the number of actions.
    long Run() {
        OpenMainWindow();
        // As if named on the command line, before any action: its catch-up runs the steps. Were a first action to
        // restart the program, the load would run inside the new window's opening, where no step may act.
        if (Random_.Chance(50)) QTimer::singleShot(0, &Context_, [this] { Main_->OpenPlanFile(Path("book.tbr")); });
        QTimer::singleShot(0, &Context_, [this] { Step(); });
        QApplication::exec();
        return gLog.Actions;
    }

private:
    QString Path(const QString& name) const { return Dir_.path() + '/' + name; }

    // A generated book whose balance date is 20 days back, so that a load catches up.
    void WriteBook(const QString& name, int count) {
        const TDate today = ui::FromQDate(kToday);
        TPlanBookState state;
        state.OpeningBalance = Random_.Between(-100000, 1000000);
        SavePlanFile(name.toStdString(), support::GeneratePlanBook(count, today, Random_.Next()), state, today - 19);
    }

    // The main window closed, and the program started again.
    void Restart(const QString& how) {
        Note(how + QStringLiteral(": the program starts again"));
        if (Main_->isVisible()) Main_->close();  // one closed by a key or the menu is not asked twice
        Main_.reset();
        OpenMainWindow();
    }
    void OpenMainWindow() {
        Main_ = std::make_unique<ui::TForm1>(ui::TForm1::TOptions{Path("Tamber98.ini").toStdString(), &Prompts_, [] { return kToday; }});
        ui::WireWindows(*Main_, Prompts_);
        Main_->resize(1000, 720);
        Main_->show();
        Main_->activateWindow();
        Opening_ = true;  // a user acts once the window is up; its activation computes the month
        if (!QTest::qWaitForWindowActive(Main_.get())) Fail("the main window does not become active");
        Opening_ = false;
    }

    void Step() {
        if (Opening_) return (void)QTimer::singleShot(0, &Context_, [this] { Step(); });
        gLog.Beat = NowMs();
        QWidget* modal = QApplication::activeModalWidget();
        QWidget* popup = QApplication::activePopupWidget();
        // Inside an action running another window's event loop the main window is only looked at and used.
        const bool topLevel = Depth_ == 0 && !modal && !popup;
        const bool over = Clock::now() >= End_ || gLog.Actions >= MaxActions_;
        if (over && topLevel) return Finish();
        QTimer::singleShot(0, &Context_, [this] { Step(); });  // first: this step may run another event loop
        CheckFiles();
        if (over) {
            if (popup) popup->close();
            if (modal) QTest::keyClick(modal, Qt::Key_Escape);
            if (modal && modal->isVisible()) modal->close();
            return;
        }
        if (topLevel) {
            if (!Main_->isVisible()) Restart(QStringLiteral("closed by a key or the menu"));
            CheckCalendar();
        }
        ++gLog.Actions;
        ++Depth_;
        QWidget* window = popup ? popup : modal ? modal
                                                : Main_.get();
        // Each action with its chance in a hundred; those a window cannot take fall through to the next.
        const std::tuple<int, bool, void (TMonkey::*)(QWidget*)> kActions[] = {
            {30, true, &TMonkey::Click},
            {55, true, &TMonkey::Type},
            {66, true, &TMonkey::Scroll},
            {86, topLevel, &TMonkey::Command},
            {92, window != Main_.get() || topLevel, &TMonkey::Close},
            {96, true, &TMonkey::ChangeFilesOnDisk},
            {100, true, &TMonkey::Resize},
        };
        const int roll = Random_.Between(0, 99);
        const auto& [upto, can, act] = *std::find_if(std::begin(kActions), std::end(kActions), [&](const auto& a) { return roll < std::get<0>(a) && std::get<1>(a); });
        (this->*act)(window);
        --Depth_;
    }

    void Click(QWidget* window) {
        const QPoint at(Random_.Between(0, std::max(window->width() - 1, 0)), Random_.Between(0, std::max(window->height() - 1, 0)));
        QWidget* target = window->childAt(at) ? window->childAt(at) : window;
        const QPoint local = target->mapFrom(window, at);
        const int kind = Random_.Between(0, 19);  // 0 a right click, 1 a double click
        const char* what = kind == 1 ? "double-click" : kind == 0 ? "right-click"
                                                                  : "click";
        Note(QStringLiteral("%1 %2 at %3,%4").arg(what, Describe(target)).arg(local.x()).arg(local.y()));
        const Qt::MouseButton button = kind == 0 ? Qt::RightButton : Qt::LeftButton;
        if (kind == 1) QTest::mouseDClick(target, button, {}, local);
        else QTest::mouseClick(target, button, {}, local);
    }

    void Type(QWidget* window) {
        QWidget* target = QApplication::focusWidget();
        if (!target || target->window() != window) target = window;
        static const QKeyCombination kKeys[] = {
            Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape, Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Up, Qt::Key_Down,
            Qt::Key_Left, Qt::Key_Right, Qt::Key_Home, Qt::Key_End, Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Backspace,
            Qt::Key_Delete, Qt::Key_Space, Qt::Key_F4, Qt::SHIFT | Qt::Key_Tab, Qt::SHIFT | Qt::Key_Down};
        static const QKeyCombination kShortcuts[] = {Qt::CTRL | Qt::Key_A, Qt::CTRL | Qt::Key_C, Qt::CTRL | Qt::Key_V,
                                                     Qt::CTRL | Qt::Key_Z, Qt::ALT | Qt::Key_F, Qt::CTRL | Qt::Key_X};
        static const char* const kTexts[] = {"0", "7", "12", "1,000", "-500", "99999999999", "a", "Z", "x1", ".", ","};
        static const char* const kChinese[] = {"房租", "薪水", "會錢", "貸款", "一"};
        const int kind = Random_.Between(0, 9);
        if (kind < 4 || kind == 9) {
            const QKeyCombination key = kind < 4 ? Pick(Random_, kKeys) : Pick(Random_, kShortcuts);
            Note(QStringLiteral("key %1 to %2").arg(QKeySequence(key).toString(), Describe(target)));
            QTest::keyClick(target, key.key(), key.keyboardModifiers());
        } else if (kind < 7) {
            const QString text = QString::fromUtf8(Pick(Random_, kTexts));
            Note(QStringLiteral("type '%1' to %2").arg(text, Describe(target)));
            QTest::keyClicks(target, text);
        } else {  // as an input method commits it
            QInputMethodEvent event;
            event.setCommitString(QString::fromUtf8(Pick(Random_, kChinese)));
            Note(QStringLiteral("enter '%1' to %2").arg(event.commitString(), Describe(target)));
            QApplication::sendEvent(target, &event);
        }
    }

    // Sets a bar, steps it or drags its slider.
    void Scroll(QWidget* window) {
        QList<QScrollBar*> bars = window->findChildren<QScrollBar*>();
        bars.removeIf([](const QScrollBar* bar) { return !bar->isVisible() || !bar->isEnabled(); });
        if (bars.isEmpty()) return Click(window);
        QScrollBar* bar = Pick(Random_, bars);
        const int value = Random_.Between(bar->minimum(), bar->maximum()), how = Random_.Between(0, 2);
        const auto action = QAbstractSlider::SliderAction(Random_.Between(1, 6));
        Note(QStringLiteral("scroll %1: %2").arg(Describe(bar), how == 1 ? QStringLiteral("action %1").arg(action) : QStringLiteral("%1 to %2").arg(how ? "drag" : "set").arg(value)));
        if (how == 1) return (void)bar->triggerAction(action);
        bar->setSliderDown(how == 2);
        bar->setSliderPosition(value);
        bar->setSliderDown(false);
    }

    void Command(QWidget*) {
        QList<QAction*> actions;
        for (QMenu* menu : Main_->findChildren<QMenu*>()) {
            for (QAction* action : menu->actions()) {
                if (!action->isSeparator() && !action->menu()) actions << action;
            }
        }
        QAction* action = Pick(Random_, actions);
        Note(QStringLiteral("menu %1 (%2)").arg(action->text(), action->objectName()));
        action->trigger();
    }

    void Close(QWidget* window) {
        Note(QStringLiteral("close %1").arg(Describe(window)));
        if (window == Main_.get()) return Restart(QStringLiteral("closed"));
        // The catch-up dialog has no close box: it ends by its buttons or Escape.
        if (window->objectName() == QLatin1String("TForm5") || Random_.Chance(50)) QTest::keyClick(window, Qt::Key_Escape);
        else window->close();
    }

    void Resize(QWidget* window) {
        const QSize size(Random_.Between(300, 1400), Random_.Between(200, 1000));
        Note(QStringLiteral("resize %1 to %2x%3").arg(Describe(window)).arg(size.width()).arg(size.height()));
        window->resize(size);
    }

    // What other programs do to the folder meanwhile.
    void ChangeFilesOnDisk(QWidget*) {
        const QStringList files = QDir(Dir_.path()).entryList({"*.tbr"}, QDir::Files);
        if (files.isEmpty()) return;
        const QString name = Pick(Random_, files), path = Path(name), lock = ui::PlanFileLockName(path);
        const std::filesystem::path file = path.toStdString();
        switch (Random_.Between(0, 4)) {
            case 0:
                Note(QStringLiteral("another copy saves %1").arg(name));
                return WriteBook(path, Random_.Between(0, 40));
            case 1: {
                Note(QStringLiteral("a sync tool changes %1 keeping its size and time").arg(name));
                const auto time = std::filesystem::last_write_time(file);
                std::fstream(file, std::ios::in | std::ios::out | std::ios::binary).seekp(24).put(char(Random_.Between(0, 255)));
                return std::filesystem::last_write_time(file, time);
            }
            case 2:
                Note(QStringLiteral("%1 is removed").arg(name));
                return (void)std::filesystem::remove(file);
            case 3:
                Note(QStringLiteral("another copy %1 %2").arg(ForeignLocks_.count(lock) ? "closes" : "opens", name));
                if (ForeignLocks_.erase(lock) == 0) {
                    auto held = std::make_unique<QLockFile>(lock);
                    if (held->tryLock(0)) ForeignLocks_[lock] = std::move(held);
                }
                return;
            default:
                Note(QStringLiteral("a copy that crashed left the lock of %1").arg(name));
                if (!QFile::exists(lock)) std::ofstream(lock.toStdString()) << "2147483000\ntamber98\n\n";
        }
    }

    // Every plan file in the folder loads; no half-written file is left.
    void CheckFiles() {
        for (const QFileInfo& entry : QDir(Dir_.path()).entryInfoList(QDir::Files | QDir::Hidden)) {
            const std::string name = entry.fileName().toStdString();
            if (entry.fileName().endsWith(QLatin1String(".tmp"))) Fail("a half-written file was left behind: " + name);
            if (entry.suffix() != QLatin1String("tbr") || name == "damaged.tbr") continue;
            try {
                TPlanBook book;
                ReadPlanFile(entry.filePath().toStdString(), book);
            } catch (const ETamberError& e) {
                Fail("the plan file " + name + " does not load: " + e.what());
            }
        }
    }

    // The calendar's cells, average and totals are what ComputeMonth gives for its month.
    void CheckCalendar() {
        const ui::TDrawCalendar& calendar = Main_->Calendar();
        const TCalendarMonth& shown = calendar.MonthData();
        TCalendarMonth expected = shown;
        TPlanBookState state = Main_->State();
        QString totals;  // a plan that cannot be computed leaves the totals blank
        try {
            const TMonthTotals t = ComputeMonth(Main_->Book(), state, calendar.Year(), calendar.Month(), ui::FromQDate(kToday), expected);
            totals = QString::fromStdString(FormatMonthTotal(t.Income) + FormatMonthTotal(t.Expense));
        } catch (const ETamberError&) {
        }
        const auto figures = [](const TDayCell& c) {  // the colour of a balance of 0 is not seen: its line is empty
            return std::to_string(c.Income) + ", " + std::to_string(c.Expense) + ", " + std::to_string(c.Balance) +
                   " (colour " + std::to_string(c.Balance ? c.BalanceColor : 0) + ")";
        };
        std::string what;
        if (shown.Year() != calendar.Year() || shown.Month() != calendar.Month()) what = "the cells are laid out for another month";
        for (int cell = TCalendarMonth::kColumns; cell < TCalendarMonth::kRows * TCalendarMonth::kColumns && what.empty(); ++cell) {
            const TCellPos at{cell / TCalendarMonth::kColumns, cell % TCalendarMonth::kColumns};
            const std::string a = figures(shown.Cell(at)), b = figures(expected.Cell(at));
            if (shown.CellDay(at.Row, at.Column) > 0 && a != b) what = "day " + std::to_string(shown.CellDay(at.Row, at.Column)) + " shows " + a + " instead of " + b;
        }
        if (what.empty() && shown.MonthAverageBalance != expected.MonthAverageBalance) what = "the month's average differs";
        const auto label = [&](const char* name) { return Main_->findChild<QLabel*>(QString::fromLatin1(name))->text(); };
        if (what.empty() && label("IncomeLabel") + label("ExpenseLabel") != totals) what = "the month's totals differ";
        if (!what.empty()) {
            Fail("the calendar of " + std::to_string(calendar.Year()) + "-" + std::to_string(calendar.Month()) +
                 " is not what ComputeMonth gives: " + what);
        }
    }

    void Finish() {
        Note(QStringLiteral("the program is closed"));
        Main_->close();
        Main_.reset();
        ForeignLocks_.clear();
        CheckFiles();
        QApplication::quit();
    }

    support::TBookRandom Random_;
    QTemporaryDir Dir_;
    TMonkeyPrompts Prompts_;
    Clock::time_point End_;
    long MaxActions_;
    QObject Context_;
    int Depth_ = 0;  // actions under way: a window they opened runs its own event loop
    bool Opening_ = false;
    std::unique_ptr<ui::TForm1> Main_;
    std::map<QString, std::unique_ptr<QLockFile>> ForeignLocks_;
};

// The whole number in the environment variable Name, or Otherwise when it is not set.
long FromEnvironment(const char* name, long otherwise) {
    const char* text = std::getenv(name);
    if (!text || !*text) return otherwise;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (*end != '\0' || value < 0) {
        std::fprintf(stderr, "tamber98-monkey: %s needs a whole number\n", name);
        std::exit(2);
    }
    return value;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const bool regressions = argc == 2 && std::strcmp(argv[1], "--regressions") == 0;
    if (argc > 1 && !regressions) return std::fprintf(stderr, "usage: tamber98-monkey [--regressions]\n"), 2;
    const auto seed = uint64_t(FromEnvironment("MONKEY_SEED", long(Clock::now().time_since_epoch().count() % 1000000007)));
    const long seconds = FromEnvironment("MONKEY_SECONDS", 300), actions = FromEnvironment("MONKEY_ACTIONS", LONG_MAX);

    std::signal(SIGABRT, OnSignal);
#if defined(__SANITIZE_ADDRESS__)
    __sanitizer_set_death_callback(PrintOnDeath);
#else
    for (int signal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL}) std::signal(signal, OnSignal);
#endif
    TMonkeyApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);  // the program is started again
    std::atomic<bool> stop{false};
    std::thread watchdog(Watchdog, std::cref(stop));
    const auto run = [](uint64_t s, Clock::duration budget, long count) {
        const auto start = Clock::now();
        const long done = TMonkey(s, budget, count).Run();
        std::printf("monkey: seed %llu: %ld actions in %.0f s, no fault found\n", static_cast<unsigned long long>(s), done,
                    std::chrono::duration<double>(Clock::now() - start).count());
        std::fflush(stdout);
    };
    if (regressions) {
        for (const auto& [s, count] : kRegressions) run(s, std::chrono::hours(1), count);
    } else {
        run(seed, std::chrono::seconds(seconds), actions);
    }
    stop = true;
    watchdog.join();
    return 0;
}
