// tamber98-monkey: random user actions on the main window, offscreen, on a
// generated plan book in a scratch folder, for a given time or number of
// actions. Clicks anywhere in the window on top, keys (digits, letters,
// Chinese text, editing and moving keys), menu commands, scroll bar moves,
// opening and closing every window and the program itself, loading and
// saving; now and then another program changes, removes or locks a plan
// file. Every question is answered at random through the prompt seam and
// every file dialog points into the scratch folder.
//
// After each action: every plan file in the folder loads, no half-written
// file is left, and when no other window is open the calendar shows what
// ComputeMonth gives for its month. A watchdog ends a run whose window stops
// answering; any failure prints the seed, the number of actions and the last
// actions, so that the run can be repeated (--seed, --actions).
//
//   tamber98-monkey [--seed N] [--seconds N] [--actions N]
//   tamber98-monkey --regressions     the fixed seeds of the normal test run
//
// MONKEY_SEED and MONKEY_SECONDS stand in for --seed and --seconds (a seed
// from the clock and 300 seconds when neither is given).
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLockFile>
#include <QMenu>
#include <QPdfWriter>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <deque>
#include <fstream>
#include <map>
#include <mutex>
#include <thread>

#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#endif

#include "BookGenerator.h"
#include "DrawCalendar.h"
#include "Ledger.h"
#include "Main.h"
#include "PlanFile.h"
#include "Prompts.h"
#include "QtDates.h"
#include "RFEdit.h"
#include "Wiring.h"

namespace {

using namespace tamber;
using Clock = std::chrono::steady_clock;

const QDate kToday(2026, 3, 10);
constexpr int kWatchdogSeconds = 60;
constexpr std::size_t kLoggedActions = 25;

// Fixed seeds that the normal test run replays for a few seconds, each with
// its number of actions; a seed that finds a fault joins them once the fault
// is mended, with the number of actions that reached it.
struct TRegression {
    uint64_t Seed;
    long Actions;
};
constexpr TRegression kRegressions[] = {
    {1, 150},
    {2, 150},
    {3, 150},
};

// ---- What a failure prints -------------------------------------------------

struct TFlightLog {
    std::atomic<uint64_t> Seed{0};
    std::atomic<long> Actions{0};
    std::atomic<int64_t> Beat{0};  // when the window last made progress, in ms of Clock
    std::mutex Mutex;
    std::deque<std::string> Last;
    char Ready[16384] = {};  // the report, ready for a signal handler

    std::string Report() {
        std::lock_guard lock(Mutex);
        std::string text = "monkey: seed " + std::to_string(Seed) + ", action " + std::to_string(Actions) +
                           "\nmonkey: the last actions, the newest last:\n";
        for (const std::string& line : Last) text += "  " + line + "\n";
        return text;
    }
    void Add(std::string line) {
        {
            std::lock_guard lock(Mutex);
            Last.push_back(std::to_string(Actions) + ": " + std::move(line));
            if (Last.size() > kLoggedActions) Last.pop_front();
        }
        const std::string text = Report();
        std::snprintf(Ready, sizeof Ready, "%s", text.c_str());
    }
};
TFlightLog gLog;

void Note(const QString& line) { gLog.Add(line.toStdString()); }

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "monkey: FAULT: %s\n%s", what.c_str(), gLog.Report().c_str());
    std::fflush(stderr);
    std::_Exit(1);
}

extern "C" void PrintOnDeath() {
    (void)!write(2, gLog.Ready, std::strlen(gLog.Ready));
}

extern "C" void OnSignal(int signal) {
    PrintOnDeath();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void Watchdog(const std::atomic<bool>& stop) {
    while (!stop) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        const int64_t now = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count();
        if (gLog.Beat != 0 && now - gLog.Beat > kWatchdogSeconds * 1000) {
            std::fprintf(stderr, "monkey: FAULT: the window made no progress for %d s\n%s", kWatchdogSeconds,
                         gLog.Report().c_str());
            std::signal(SIGABRT, SIG_DFL);
            std::abort();
        }
    }
}

// Errors that escape an event are shown in a box by the program; anything
// else escaping is a fault.
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

// ---- The user's answers ----------------------------------------------------

class TMonkeyPrompts final : public ui::TPrompts {
public:
    TMonkeyPrompts(support::TBookRandom& random, QString folder) : Random_(random), Folder_(std::move(folder)) {}

    QString OpenPlanFileName(QWidget*) override {
        QStringList names = QDir(Folder_).entryList({QStringLiteral("*.tbr")}, QDir::Files);
        names << QStringLiteral("missing.tbr") << QStringLiteral("folder.tbr");
        return FileAnswer(QStringLiteral("open"), names);
    }
    QString SavePlanFileName(QWidget*) override {
        return FileAnswer(QStringLiteral("save"), {QStringLiteral("book.tbr"), QStringLiteral("plans-1.tbr"),
                                                   QStringLiteral("plans-2.tbr"), QStringLiteral("folder.tbr"),
                                                   QStringLiteral("gone/plans.tbr")});
    }
    void ShowError(QWidget*, const QString& message) override { Note(QStringLiteral("error box: ") + message); }
    void AskToSaveChanges(QWidget*, const std::function<bool()>& save) override {
        int presses = Random_.Between(0, 2);
        Note(QStringLiteral("unsaved changes: 存檔 up to %1 times").arg(presses));
        while (presses-- > 0 && !save()) {
        }
    }
    ui::TOverwriteAnswer AskOverwriteChangedFile(QWidget*, const QString& path) override {
        const int answer = Random_.Between(0, 2);
        Note(QStringLiteral("changed on disk %1: answer %2").arg(path).arg(answer));
        return ui::TOverwriteAnswer(answer);
    }
    bool AskOpenFileInUse(QWidget*, const QString& path) override {
        const bool open = Random_.Chance(50);
        Note(QStringLiteral("open in another copy %1: %2").arg(path).arg(open));
        return open;
    }
    QString SaveExportFileName(QWidget*, const QString& filter) override {
        const QString extension = filter.section(QLatin1Char('.'), 1, 1).section(QLatin1Char(')'), 0, 0);
        return FileAnswer(QStringLiteral("export"), {QStringLiteral("export.") + extension, QStringLiteral("folder.tbr")});
    }
    std::optional<ui::TDateSpan> AskExportSpan(QWidget*, const ui::TDateSpan& proposed, QDate, QDate) override {
        const bool cancel = Random_.Chance(30);
        Note(QStringLiteral("export span: %1").arg(cancel ? QStringLiteral("cancelled") : QStringLiteral("as proposed")));
        if (cancel) return std::nullopt;
        return proposed;
    }
    void PreviewPrint(QWidget*, const std::function<void(QPagedPaintDevice&)>& paint) override {
        Note(QStringLiteral("print preview"));
        QPdfWriter pdf(Folder_ + QStringLiteral("/print.pdf"));
        paint(pdf);
    }

private:
    QString FileAnswer(const QString& dialog, const QStringList& names) {
        QString name;
        if (!Random_.Chance(15)) name = Folder_ + QLatin1Char('/') + names[Random_.Between(0, int(names.size()) - 1)];
        Note(dialog + QStringLiteral(" dialog: ") + (name.isEmpty() ? QStringLiteral("cancelled") : name));
        return name;
    }

    support::TBookRandom& Random_;
    QString Folder_;
};

// ---- The monkey ------------------------------------------------------------

QString Describe(const QWidget* w) {
    QString path;
    for (; w; w = w->parentWidget()) {
        const QString name = w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
        path = path.isEmpty() ? name : name + QLatin1Char('/') + path;
    }
    return path;
}

class TMonkey {
public:
    TMonkey(uint64_t seed, Clock::duration budget, long maxActions)
        : Random_(seed), Prompts_(Random_, Dir_.path()), End_(Clock::now() + budget), MaxActions_(maxActions) {
        gLog.Seed = seed;
        gLog.Actions = 0;
        // The editor's calculator button would start a program of the system.
        qputenv("PATH", Dir_.path().toLocal8Bit());
        ui::TRFilterEdit::SetRequiredFieldPrompt(
            [](QWidget*, const QString& message) { Note(QStringLiteral("required field: ") + message); });
        WriteBook(Path(QStringLiteral("book.tbr")), Random_.Between(1, 80));
        std::ofstream(Path(QStringLiteral("damaged.tbr")).toStdString()) << "not a plan file";
        QDir(Dir_.path()).mkdir(QStringLiteral("folder.tbr"));
    }

    // Runs until the time or the actions are spent; the number of actions.
    long Run() {
        OpenMainWindow();
        QTimer::singleShot(0, &Context_, [this] { Step(); });
        // As if named on the command line; its catch-up runs the steps.
        if (Random_.Chance(50)) {
            QTimer::singleShot(0, &Context_, [this] { Main_->OpenPlanFile(Path(QStringLiteral("book.tbr"))); });
        }
        QApplication::exec();
        return gLog.Actions;
    }

private:
    QString Path(const QString& name) const { return Dir_.path() + QLatin1Char('/') + name; }

    // A generated book of Count plans whose balance date is 20 days back, so that a load catches up.
    void WriteBook(const QString& name, int count) {
        const TDate today = ui::FromQDate(kToday);
        TPlanBook book = support::GeneratePlanBook(count, today, Random_.Next());
        TPlanBookState state;
        state.OpeningBalance = Random_.Between(-100000, 1000000);
        SavePlanFile(name.toStdString(), book, state, today - 19);
    }

    void OpenMainWindow() {
        ui::TForm1::TOptions options;
        options.SettingsFile = Path(QStringLiteral("Tamber98.ini")).toStdString();
        options.Prompts = &Prompts_;
        options.Today = [] { return kToday; };
        Main_ = std::make_unique<ui::TForm1>(options);
        ui::WireWindows(*Main_, Prompts_);
        Main_->resize(1000, 720);
        Main_->show();
        Main_->activateWindow();
        // A user acts once the window is up; its activation computes the month.
        Opening_ = true;
        if (!QTest::qWaitForWindowActive(Main_.get())) Fail("the main window does not become active");
        Opening_ = false;
    }

    void Step() {
        if (Opening_) {  // the window that is opening takes its events first
            QTimer::singleShot(0, &Context_, [this] { Step(); });
            return;
        }
        gLog.Beat = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count();
        QWidget* modal = QApplication::activeModalWidget();
        QWidget* popup = QApplication::activePopupWidget();
        // Inside an action that runs another window's event loop (which may
        // be ending), the main window is only looked at and used.
        const bool topLevel = Depth_ == 0 && !modal && !popup;
        const bool over = Clock::now() >= End_ || gLog.Actions >= MaxActions_;
        if (over && topLevel) return Finish();
        // The next step first: this one may run another window's event loop.
        QTimer::singleShot(0, &Context_, [this] { Step(); });
        CheckFiles();
        if (over) {
            if (popup) popup->close();
            if (modal) QTest::keyClick(modal, Qt::Key_Escape);
            if (modal && modal->isVisible()) modal->close();
            return;
        }
        if (topLevel) {
            if (!Main_->isVisible()) {  // closed by a key or the menu: the program starts again
                Note(QStringLiteral("the program starts again"));
                Main_.reset();
                OpenMainWindow();
            }
            CheckCalendar();
        }
        ++gLog.Actions;
        ++Depth_;
        Act(popup ? popup : modal ? modal : Main_.get(), topLevel);
        --Depth_;
    }

    void Act(QWidget* window, bool topLevel) {
        const int roll = Random_.Between(0, 99);
        if (roll < 30) {
            Click(window);
        } else if (roll < 55) {
            Type(window);
        } else if (roll < 66) {
            Scroll(window);
        } else if (roll < 86 && topLevel) {
            Command();
        } else if (roll < 92 && (window != Main_.get() || topLevel)) {
            Close(window);
        } else if (roll < 96) {
            ChangeFilesOnDisk();
        } else {
            const QSize size(Random_.Between(300, 1400), Random_.Between(200, 1000));
            Note(QStringLiteral("resize %1 to %2x%3").arg(Describe(window)).arg(size.width()).arg(size.height()));
            window->resize(size);
        }
    }

    void Click(QWidget* window) {
        const QPoint at(Random_.Between(0, std::max(window->width() - 1, 0)), Random_.Between(0, std::max(window->height() - 1, 0)));
        QWidget* target = window->childAt(at);
        if (!target) target = window;
        const QPoint local = target->mapFrom(window, at);
        const int kind = Random_.Between(0, 19);
        const Qt::MouseButton button = kind == 0 ? Qt::RightButton : Qt::LeftButton;
        Note(QStringLiteral("%1 %2 at %3,%4")
                 .arg(kind == 1 ? QStringLiteral("double-click") : kind == 0 ? QStringLiteral("right-click") : QStringLiteral("click"))
                 .arg(Describe(target)).arg(local.x()).arg(local.y()));
        if (kind == 1) {
            QTest::mouseDClick(target, button, {}, local);
        } else {
            QTest::mouseClick(target, button, {}, local);
        }
    }

    void Type(QWidget* window) {
        QWidget* target = QApplication::focusWidget();
        if (!target || target->window() != window) target = window;
        static const Qt::Key kKeys[] = {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape, Qt::Key_Tab, Qt::Key_Backtab,
                                        Qt::Key_Up, Qt::Key_Down, Qt::Key_Left, Qt::Key_Right, Qt::Key_Home,
                                        Qt::Key_End, Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Backspace,
                                        Qt::Key_Delete, Qt::Key_Space, Qt::Key_F4};
        static const char* const kTexts[] = {"0", "7", "12", "1,000", "-500", "99999999999", "a", "Z", "x1", ".", ","};
        static const char* const kChinese[] = {"房租", "薪水", "會錢", "貸款", "一"};
        const int kind = Random_.Between(0, 9);
        if (kind < 4) {
            const Qt::Key key = kKeys[Random_.Between(0, int(std::size(kKeys)) - 1)];
            const Qt::KeyboardModifiers modifiers = Random_.Chance(10) ? Qt::ShiftModifier : Qt::NoModifier;
            Note(QStringLiteral("key %1%2 to %3").arg(modifiers ? "Shift+" : "").arg(QKeySequence(key).toString()).arg(Describe(target)));
            QTest::keyClick(target, key, modifiers);
        } else if (kind < 7) {
            const QString text = QString::fromUtf8(kTexts[Random_.Between(0, int(std::size(kTexts)) - 1)]);
            Note(QStringLiteral("type '%1' to %2").arg(text, Describe(target)));
            QTest::keyClicks(target, text);
        } else if (kind < 9) {
            const QString text = QString::fromUtf8(kChinese[Random_.Between(0, int(std::size(kChinese)) - 1)]);
            Note(QStringLiteral("enter '%1' to %2").arg(text, Describe(target)));
            if (Random_.Chance(50)) {
                QInputMethodEvent event;  // from an input method
                event.setCommitString(text);
                QApplication::sendEvent(target, &event);
            } else {
                for (const QChar c : text) {
                    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
                    QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
                    QApplication::sendEvent(target, &press);
                    QApplication::sendEvent(target, &release);
                }
            }
        } else {
            static const QKeyCombination kShortcuts[] = {Qt::CTRL | Qt::Key_A, Qt::CTRL | Qt::Key_C, Qt::CTRL | Qt::Key_V,
                                                         Qt::CTRL | Qt::Key_Z, Qt::ALT | Qt::Key_F, Qt::CTRL | Qt::Key_X};
            const QKeyCombination shortcut = kShortcuts[Random_.Between(0, int(std::size(kShortcuts)) - 1)];
            Note(QStringLiteral("key %1 to %2").arg(QKeySequence(shortcut).toString(), Describe(target)));
            QTest::keyClick(target, shortcut.key(), shortcut.keyboardModifiers());
        }
    }

    void Scroll(QWidget* window) {
        QList<QScrollBar*> bars;
        for (QScrollBar* bar : window->findChildren<QScrollBar*>()) {
            if (bar->isVisible() && bar->isEnabled()) bars << bar;
        }
        if (bars.isEmpty()) return Click(window);
        QScrollBar* bar = bars[Random_.Between(0, int(bars.size()) - 1)];
        const int value = Random_.Between(bar->minimum(), bar->maximum());
        switch (Random_.Between(0, 2)) {
            case 0:
                Note(QStringLiteral("scroll %1 to %2").arg(Describe(bar)).arg(value));
                bar->setValue(value);
                break;
            case 1: {
                const auto action = QAbstractSlider::SliderAction(Random_.Between(1, 6));
                Note(QStringLiteral("scroll %1 by action %2").arg(Describe(bar)).arg(action));
                bar->triggerAction(action);
                break;
            }
            default:
                Note(QStringLiteral("drag %1 to %2").arg(Describe(bar)).arg(value));
                bar->setSliderDown(true);
                bar->setSliderPosition(value);
                bar->setSliderDown(false);
                break;
        }
    }

    void Command() {
        QList<QAction*> actions;
        for (QMenu* menu : Main_->findChildren<QMenu*>()) {
            for (QAction* action : menu->actions()) {
                if (!action->isSeparator() && !action->menu()) actions << action;
            }
        }
        QAction* action = actions[Random_.Between(0, int(actions.size()) - 1)];
        Note(QStringLiteral("menu %1 (%2)").arg(action->text(), action->objectName()));
        action->trigger();
    }

    void Close(QWidget* window) {
        Note(QStringLiteral("close %1").arg(Describe(window)));
        if (window != Main_.get()) {
            // The catch-up dialog has no close box: it ends by its buttons or Escape.
            if (window->objectName() == QLatin1String("TForm5") || Random_.Chance(50)) {
                QTest::keyClick(window, Qt::Key_Escape);
            } else {
                window->close();
            }
            return;
        }
        Main_->close();
        Main_.reset();
        OpenMainWindow();
    }

    // What other programs do to the folder meanwhile.
    void ChangeFilesOnDisk() {
        const QStringList files = QDir(Dir_.path()).entryList({QStringLiteral("*.tbr")}, QDir::Files);
        if (files.isEmpty()) return;
        const QString name = files[Random_.Between(0, int(files.size()) - 1)];
        const QString path = Path(name);
        const std::filesystem::path file = path.toStdString();
        const QString lock = ui::PlanFileLockName(path);
        switch (Random_.Between(0, 5)) {
            case 0:
                Note(QStringLiteral("another copy saves %1").arg(name));
                WriteBook(path, Random_.Between(0, 40));
                break;
            case 1: {
                Note(QStringLiteral("a sync tool changes %1 keeping its size and time").arg(name));
                const auto time = std::filesystem::last_write_time(file);
                std::fstream out(file, std::ios::in | std::ios::out | std::ios::binary);
                out.seekp(24);
                out.put(static_cast<char>(Random_.Between(0, 255)));
                out.close();
                std::filesystem::last_write_time(file, time);
                break;
            }
            case 2:
                Note(QStringLiteral("%1 is removed").arg(name));
                std::filesystem::remove(file);
                break;
            case 3:
                if (ForeignLocks_.count(lock)) {
                    Note(QStringLiteral("another copy closes %1").arg(name));
                    ForeignLocks_.erase(lock);
                } else {
                    Note(QStringLiteral("another copy opens %1").arg(name));
                    auto held = std::make_unique<QLockFile>(lock);
                    if (held->tryLock(0)) ForeignLocks_[lock] = std::move(held);
                }
                break;
            case 4: {
                Note(QStringLiteral("a copy that crashed left the lock of %1").arg(name));
                if (!QFile::exists(lock)) std::ofstream(lock.toStdString()) << "2147483000\ntamber98\n\n";
                break;
            }
            default:
                if (name != QLatin1String("damaged.tbr") && name != QLatin1String("plans-3.tbr")) {
                    Note(QStringLiteral("%1 is copied to plans-3.tbr").arg(name));
                    std::filesystem::copy_file(file, Path(QStringLiteral("plans-3.tbr")).toStdString(),
                                               std::filesystem::copy_options::overwrite_existing);
                }
                break;
        }
    }

    // ---- Checks ----

    void CheckFiles() {
        for (const QFileInfo& entry : QDir(Dir_.path()).entryInfoList(QDir::Files | QDir::Hidden)) {
            if (entry.fileName().endsWith(QLatin1String(".tmp"))) {
                Fail("a half-written file was left behind: " + entry.fileName().toStdString());
            }
            if (entry.suffix() != QLatin1String("tbr") || entry.fileName() == QLatin1String("damaged.tbr")) continue;
            TPlanBook book;
            try {
                ReadPlanFile(entry.filePath().toStdString(), book);
            } catch (const ETamberError& e) {
                Fail("the plan file " + entry.fileName().toStdString() + " does not load: " + e.what());
            }
        }
    }

    void CheckCalendar() {
        const ui::TDrawCalendar& calendar = Main_->Calendar();
        const TCalendarMonth& shown = calendar.MonthData();
        TCalendarMonth expected = shown;
        TPlanBookState state = Main_->State();
        QString income = QStringLiteral("0"), expense = QStringLiteral("0");
        try {
            const TMonthTotals totals =
                ComputeMonth(Main_->Book(), state, calendar.Year(), calendar.Month(), ui::FromQDate(kToday), expected);
            income = QString::fromStdString(FormatMonthTotal(totals.Income));
            expense = QString::fromStdString(FormatMonthTotal(totals.Expense));
        } catch (const ETamberError&) {
            // The ledger leaves every amount 0; the labels read 0.
        }
        // The colour of a balance of 0 is not seen: its line is empty.
        const auto differs = [](const TDayCell& a, const TDayCell& b) {
            return a.Income != b.Income || a.Expense != b.Expense || a.Balance != b.Balance ||
                   (a.Balance != 0 && a.BalanceColor != b.BalanceColor);
        };
        std::string what;
        if (shown.Year() != calendar.Year() || shown.Month() != calendar.Month()) what = "the cells are laid out for another month";
        for (int row = 1; row < TCalendarMonth::kRows && what.empty(); ++row) {
            for (int column = 0; column < TCalendarMonth::kColumns; ++column) {
                const int day = shown.CellDay(row, column);
                const TDayCell& a = shown.Cell({row, column});
                const TDayCell& b = expected.Cell({row, column});
                if (day > 0 && differs(a, b)) {
                    what = "day " + std::to_string(day) + " shows " + std::to_string(a.Income) + ", " +
                           std::to_string(a.Expense) + ", " + std::to_string(a.Balance) + " (colour " +
                           std::to_string(a.BalanceColor) + ") instead of " + std::to_string(b.Income) + ", " +
                           std::to_string(b.Expense) + ", " + std::to_string(b.Balance) + " (colour " +
                           std::to_string(b.BalanceColor) + ")";
                    break;
                }
            }
        }
        if (what.empty() && shown.MonthAverageBalance != expected.MonthAverageBalance) what = "the month's average differs";
        if (what.empty() && (Main_->findChild<QLabel*>(QStringLiteral("IncomeLabel"))->text() != income ||
                             Main_->findChild<QLabel*>(QStringLiteral("ExpenseLabel"))->text() != expense)) {
            what = "the month's totals differ";
        }
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

long Number(const char* text, const char* what) {
    char* end = nullptr;
    const long value = text ? std::strtol(text, &end, 10) : -1;
    if (!text || *end != '\0' || value < 0) {
        std::fprintf(stderr, "tamber98-monkey: %s needs a whole number\n", what);
        std::exit(2);
    }
    return value;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const char* seedText = std::getenv("MONKEY_SEED");
    const char* secondsText = std::getenv("MONKEY_SECONDS");
    long actions = LONG_MAX;
    bool regressions = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (arg == "--regressions") {
            regressions = true;
            continue;
        }
        if (arg == "--seed") seedText = value;
        else if (arg == "--seconds") secondsText = value;
        else if (arg == "--actions") actions = Number(value, "--actions");
        else {
            std::fprintf(stderr, "usage: tamber98-monkey [--seed N] [--seconds N] [--actions N] | --regressions\n");
            return 2;
        }
        ++i;
    }
    const uint64_t seed = seedText && *seedText ? static_cast<uint64_t>(Number(seedText, "the seed"))
                                                : static_cast<uint64_t>(Clock::now().time_since_epoch().count() % 1000000007);
    const long seconds = secondsText && *secondsText ? Number(secondsText, "the time") : 300;

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
        std::printf("monkey: seed %llu\n", static_cast<unsigned long long>(s));
        std::fflush(stdout);
        const auto start = Clock::now();
        const long done = TMonkey(s, budget, count).Run();
        std::printf("monkey: seed %llu: %ld actions in %.0f s, no fault found\n", static_cast<unsigned long long>(s), done,
                    std::chrono::duration<double>(Clock::now() - start).count());
        std::fflush(stdout);
    };
    if (regressions) {
        for (const TRegression& r : kRegressions) run(r.Seed, std::chrono::hours(1), r.Actions);
    } else {
        run(seed, std::chrono::seconds(seconds), actions);
    }
    stop = true;
    watchdog.join();
    return 0;
}
