#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>


#include "Big5.h"
#include "DrawCalendar.h"
#include "Main.h"
#include "PlanFile.h"
#include "Prompts.h"
#include "RFEdit.h"
#include "catchup.h"
#include "init.h"

using namespace tamber;
using namespace tamber::ui;

namespace {

class TScriptedPrompts : public TPrompts {
public:
    QStringList Errors;
    int SaveNamesAsked = 0;

    QString OpenPlanFileName(QWidget*) override { return {}; }
    QString SavePlanFileName(QWidget*) override {
        ++SaveNamesAsked;
        return {};
    }
    void ShowError(QWidget*, const QString& message) override { Errors << message; }
    void AskToSaveChanges(QWidget*, const std::function<bool()>&) override {}
};

using Bytes = QByteArray;

// A fixed flow: Amount (signed) every IntervalDays days, or once.
TPlanRecord Flow(int periodKind, TDate start, int count, int32_t amount, const char* description) {
    TPlanRecord rec = ZeroPlanRecord();
    rec.PeriodKind = static_cast<uint8_t>(periodKind);
    rec.StartDate = start;
    rec.PeriodCount = count;
    rec.IntervalDays = 1;
    rec.Amount = amount < 0 ? -amount : amount;
    rec.Direction = amount < 0 ? -1 : 1;
    SetDescriptionBytes(rec, Utf8ToBig5(description).Bytes);
    return rec;
}

// The bytes of a plan file as an earlier run wrote them.
Bytes FileBytes(TDate balanceDate, int32_t balance, const std::vector<TPlanRecord>& records) {
    Bytes bytes;
    const auto add = [&bytes](const TRecordBytes& r) {
        bytes.append(reinterpret_cast<const char*>(r.data()), static_cast<qsizetype>(r.size()));
    };
    add(HeaderToBytes({balanceDate, balance}));
    for (const TPlanRecord& rec : records) add(RecordToBytes(rec));
    return bytes;
}

QString ShortDate(TDate date) {
    const TYearMonthDay d = DecodeDate(date);
    return QLocale().toString(QDate(d.Year, d.Month, d.Day), QLocale::ShortFormat);
}

QString Text(QWidget* parent, const QString& name) {
    if (auto* label = parent->findChild<QLabel*>(name)) return label->text();
    return parent->findChild<QLineEdit*>(name)->text();
}

void Click(QWidget* parent, const QString& name) { parent->findChild<QPushButton*>(name)->click(); }

// What the rows of the shown page say: number, plan, date, amount.
QStringList ShownRows(TForm5& dialog) {
    QStringList rows;
    for (int r = 1; r <= kPendingRowsPerPage; ++r) {
        const QString n = QString::number(r);
        auto* edit = dialog.findChild<TRFilterEdit*>(QStringLiteral("RFilterEdit") + n);
        if (edit->isHidden()) continue;
        rows << QStringList{Text(&dialog, QStringLiteral("NumberLabel") + n),
                            Text(&dialog, QStringLiteral("PlanLabel") + n),
                            Text(&dialog, QStringLiteral("DateLabel") + n), edit->text()}
                    .join(QLatin1Char('|'));
    }
    return rows;
}

}  // namespace

class CatchUpTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    TScriptedPrompts prompts_;
    const QDate today_{2026, 3, 10};
    const TDate kToday = EncodeDate(2026, 3, 10);
    int shown_ = 0;
    // What the user does in the catch-up dialog when a load shows it.
    std::function<void(TForm5&)> user_;

    QString PathOf(const QString& name) const { return dir_.path() + QLatin1Char('/') + name; }

    QString WriteFile(const QString& name, const Bytes& bytes) {
        QFile file(PathOf(name));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) qFatal("cannot write %s", qPrintable(name));
        file.write(bytes);
        return PathOf(name);
    }
    Bytes ReadFile(const QString& path) const {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : Bytes();
    }

    // The main window with the catch-up dialog as its load hook.
    std::unique_ptr<TForm1> MakeWindow() {
        TForm1::TOptions options;
        options.SettingsFile = PathOf(QStringLiteral("Tamber98.ini")).toStdString();
        options.Prompts = &prompts_;
        options.Today = [this] { return today_; };
        auto w = std::make_unique<TForm1>(options);
        TForm1* window = w.get();
        w->CatchUp = [this, window](TPendingList& pending, const TPlanBookState& state) {
            ++shown_;
            QTimer::singleShot(0, this, [this] {
                auto* dialog = qobject_cast<TForm5*>(QApplication::activeModalWidget());
                QVERIFY(dialog);
                if (user_) user_(*dialog);
                if (dialog->isVisible()) dialog->reject();  // never leave the test waiting
            });
            return ShowCatchUp(pending, state, prompts_, window);
        };
        return w;
    }

    // A daily salary of +10 from 1 March and a one-off of +50 today; the
    // file's balance 1000 counts everything up to 7 March.
    Bytes AwayFile() const {
        return FileBytes(
            kToday - 3, 1000,
            {Flow(prEveryNDays, EncodeDate(2026, 3, 1), 30, 10, "薪水"), Flow(prOnce, kToday, 1, 50, "獎金")});
    }

    // 17 occurrences of -30 due from 17 days ago to yesterday.
    TPendingList SeventeenPending() const {
        TPlanBook book;
        book.Append(CreateFrom(Flow(prEveryNDays, kToday - 17, 40, -30, "餐費")));
        return BuildPendingList(book, kToday - 18, kToday);
    }

private slots:
    void init() {
        prompts_ = TScriptedPrompts();
        shown_ = 0;
        user_ = nullptr;
    }

    void acceptedCatchUpRewritesOnlyTheHeader() {
        const Bytes before = AwayFile();
        const QString file = WriteFile(QStringLiteral("away.tbr"), before);
        QStringList rows;
        QString pageLabel, balanceDate, loadedBalance;
        user_ = [&](TForm5& dialog) {
            rows = ShownRows(dialog);
            pageLabel = Text(&dialog, QStringLiteral("PageLabel"));
            balanceDate = Text(&dialog, QStringLiteral("BalanceDateLabel"));
            loadedBalance = Text(&dialog, QStringLiteral("LoadedBalanceLabel"));
            dialog.findChild<TRFilterEdit*>(QStringLiteral("RFilterEdit2"))->setText(QStringLiteral("15"));
            Click(&dialog, QStringLiteral("Button3"));
        };
        auto w = MakeWindow();
        QVERIFY(w->LoadPlanFile(file));

        QCOMPARE(shown_, 1);
        // Yesterday's occurrence is listed; today's (the salary and the one-off) are not.
        QCOMPARE(rows, (QStringList{QStringLiteral("1|薪水|%1|10").arg(ShortDate(kToday - 2)),
                                    QStringLiteral("2|薪水|%1|10").arg(ShortDate(kToday - 1))}));
        QCOMPARE(pageLabel, QStringLiteral("1 頁之 1"));
        QCOMPARE(balanceDate, ShortDate(kToday - 3));
        QCOMPARE(loadedBalance, QStringLiteral("1000"));

        QCOMPARE(w->State().OpeningBalance, 1025);
        QVERIFY(w->State().CatchUpAccepted);
        QCOMPARE(w->Book().Count(), 2);
        QCOMPARE(w->windowTitle(), QStringLiteral("Tamber 98 - away.tbr"));
        const Bytes after = ReadFile(file);
        QCOMPARE(after.size(), before.size());
        QCOMPARE(after.mid(188), before.mid(188));
        QCOMPARE(after.left(188), FileBytes(kToday - 1, 1025, {}));
        // The calendar starts today from the new balance: 1025 + 10 + 50.
        const auto& month = w->Calendar().MonthData();
        QCOMPARE(month.Cell(month.DayToCell(10)).Balance, 1085);
        QVERIFY(prompts_.Errors.isEmpty());
    }

    void declinedCatchUpLeavesTheFileAndABlankWindow() {
        const Bytes before = AwayFile();
        const QString file = WriteFile(QStringLiteral("away.tbr"), before);
        user_ = [](TForm5& dialog) { Click(&dialog, QStringLiteral("Button4")); };
        auto w = MakeWindow();
        QVERIFY(w->LoadPlanFile(file));

        QCOMPARE(shown_, 1);
        QCOMPARE(ReadFile(file), before);
        QCOMPARE(w->Book().Count(), 0);
        QCOMPARE(w->State().OpeningBalance, 0);
        QVERIFY(!w->State().CatchUpAccepted);
        QVERIFY(w->State().PlanFileName.empty());
        QCOMPARE(w->windowTitle(), QStringLiteral("Tamber 98 - 空白"));
        // The file is forgotten: saving asks for a name.
        QVERIFY(!w->SaveCommand());
        QCOMPARE(prompts_.SaveNamesAsked, 1);
        QCOMPARE(ReadFile(file), before);
    }

    void noCatchUpWithoutPendingOccurrences_data() {
        QTest::addColumn<double>("balanceDate");
        QTest::addColumn<bool>("plans");
        QTest::addColumn<double>("planDate");  // a one-off of +50
        QTest::newRow("written yesterday") << kToday - 1 << true << kToday - 1;
        QTest::newRow("written today") << kToday << true << kToday - 1;
        QTest::newRow("away, but due only today") << kToday - 3 << true << kToday;
        QTest::newRow("away, but due on the balance date") << kToday - 3 << true << kToday - 3;
        QTest::newRow("away with an empty book") << kToday - 3 << false << 0.0;
    }
    void noCatchUpWithoutPendingOccurrences() {
        QFETCH(double, balanceDate);
        QFETCH(bool, plans);
        QFETCH(double, planDate);
        std::vector<TPlanRecord> records;
        if (plans) records.push_back(Flow(prOnce, planDate, 1, 50, "獎金"));
        const Bytes before = FileBytes(balanceDate, 1000, records);
        const QString file = WriteFile(QStringLiteral("recent.tbr"), before);
        auto w = MakeWindow();
        QVERIFY(w->LoadPlanFile(file));
        QCOMPARE(shown_, 0);
        QCOMPARE(ReadFile(file), before);
        QCOMPARE(w->Book().Count(), plans ? 1 : 0);
        QCOMPARE(w->State().OpeningBalance, 1000);
        QCOMPARE(w->State().BalanceDate, balanceDate);
        QCOMPARE(w->windowTitle(), QStringLiteral("Tamber 98 - recent.tbr"));
    }

    void pagingKeepsEditedAmounts() {
        TPendingList pending = SeventeenPending();
        QCOMPARE(pending.size(), std::size_t{17});
        TForm5 dialog(pending, kToday - 18, 1000, prompts_);
        const auto page = [&] { return Text(&dialog, QStringLiteral("PageLabel")); };
        const auto enabled = [&](const char* name) {
            return dialog.findChild<QPushButton*>(QString::fromLatin1(name))->isEnabled();
        };

        QCOMPARE(page(), QStringLiteral("3 頁之 1"));
        QCOMPARE(ShownRows(dialog).size(), 8);
        QVERIFY(!enabled("Button1"));
        QVERIFY(enabled("Button2"));
        dialog.findChild<TRFilterEdit*>(QStringLiteral("RFilterEdit3"))->setText(QStringLiteral("-45"));

        Click(&dialog, QStringLiteral("Button2"));
        QCOMPARE(page(), QStringLiteral("3 頁之 2"));
        QVERIFY(enabled("Button1"));
        QVERIFY(enabled("Button2"));
        QCOMPARE(ShownRows(dialog).first(), QStringLiteral("9|餐費|%1|-30").arg(ShortDate(kToday - 9)));

        Click(&dialog, QStringLiteral("Button2"));
        QCOMPARE(page(), QStringLiteral("3 頁之 3"));
        QVERIFY(enabled("Button1"));
        QVERIFY(!enabled("Button2"));
        QCOMPARE(ShownRows(dialog), QStringList{QStringLiteral("17|餐費|%1|-30").arg(ShortDate(kToday - 1))});

        Click(&dialog, QStringLiteral("Button1"));
        Click(&dialog, QStringLiteral("Button1"));
        QCOMPARE(page(), QStringLiteral("3 頁之 1"));
        QCOMPARE(Text(&dialog, QStringLiteral("RFilterEdit3")), QStringLiteral("-45"));
        QCOMPARE(pending[2].AmountText, std::string("-45"));
        QCOMPARE(pending[10].AmountText, std::string("-30"));  // rows of other pages keep theirs

        Click(&dialog, QStringLiteral("Button3"));
        QVERIFY(dialog.NewBalance());
        QCOMPARE(*dialog.NewBalance(), 1000 - 16 * 30 - 45);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    void okNamesTheWrongAmount_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("row 5 emptied") << 1 << 5 << QString() << QStringLiteral("第 5 項金額輸入錯誤");
        QTest::newRow("a lone minus sign") << 1 << 1 << QStringLiteral("-") << QStringLiteral("第 1 項金額輸入錯誤");
        QTest::newRow("row 5 of page 2 is item 13") << 2 << 5 << QString() << QStringLiteral("第 13 項金額輸入錯誤");
        QTest::newRow("an amount beyond 32 bits")
            << 1 << 2 << QStringLiteral("2147483648") << QStringLiteral("第 2 項金額輸入錯誤");
        QTest::newRow("a balance beyond 32 bits")
            << 2 << 1 << QStringLiteral("2147483600") << QStringLiteral("第 9 項金額輸入錯誤");
    }
    void okNamesTheWrongAmount() {
        QFETCH(int, page);
        QFETCH(int, row);
        QFETCH(QString, text);
        QFETCH(QString, message);
        TPendingList pending = SeventeenPending();
        TForm5 dialog(pending, kToday - 18, 1000, prompts_);
        dialog.show();
        dialog.ShowPendingPage(page);
        dialog.findChild<TRFilterEdit*>(QStringLiteral("RFilterEdit%1").arg(row))->setText(text);
        dialog.ShowPendingPage(1);  // the OK reads every page, not only the shown one
        Click(&dialog, QStringLiteral("Button3"));
        QCOMPARE(prompts_.Errors, QStringList{message});
        QVERIFY(dialog.isVisible());
        QVERIFY(!dialog.NewBalance());
    }

    void balanceAdjustment_data() {
        QTest::addColumn<QString>("file");  // "none", "open" or "gone"
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("balance");    // OpeningBalance afterwards
        QTest::addColumn<QString>("error");  // the start of the error shown, or nothing
        QTest::newRow("no file: only the balance changes")
            << QStringLiteral("none") << QStringLiteral("2500") << 2500 << QString();
        QTest::newRow("open file: its header takes the balance")
            << QStringLiteral("open") << QStringLiteral("-300") << -300 << QString();
        QTest::newRow("empty text changes nothing")
            << QStringLiteral("open") << QStringLiteral("") << 777 << QStringLiteral("'' 不是有效的整數值");
        QTest::newRow("a lone minus changes nothing")
            << QStringLiteral("open") << QStringLiteral("-") << 777 << QStringLiteral("'-' 不是有效的整數值");
        QTest::newRow("beyond 32 bits changes nothing") << QStringLiteral("open") << QStringLiteral("2147483648") << 777
                                                        << QStringLiteral("'2147483648' 不是有效的整數值");
        QTest::newRow("a file gone meanwhile is told")
            << QStringLiteral("gone") << QStringLiteral("40") << 40 << QStringLiteral("寫檔錯誤");
    }
    void balanceAdjustment() {
        QFETCH(QString, file);
        QFETCH(QString, text);
        QFETCH(int, balance);
        QFETCH(QString, error);
        const Bytes before = FileBytes(kToday - 5, 777, {Flow(prOnce, kToday + 3, 1, 50, "獎金")});
        const QString path = WriteFile(QStringLiteral("adjust.tbr"), before);
        if (file == QLatin1String("gone")) QFile::remove(path);
        TPlanBookState state;
        state.OpeningBalance = 777;
        state.LoadedBalance = 700;
        state.BalanceDate = kToday - 5;
        if (file != QLatin1String("none")) state.PlanFileName = path.toStdString();

        TForm3 dialog(
            state, [this] { return today_; }, prompts_);
        dialog.show();
        auto* edit = dialog.findChild<TRFilterEdit*>(QStringLiteral("RFilterEdit1"));
        QCOMPARE(edit->text(), QStringLiteral("777"));
        edit->setText(text);
        Click(&dialog, QStringLiteral("Button1"));

        QCOMPARE(state.OpeningBalance, balance);
        QCOMPARE(state.LoadedBalance, 700);
        QCOMPARE(state.BalanceDate, kToday - 5);
        QCOMPARE(dialog.isVisible(), !error.isEmpty());
        if (error.isEmpty()) {
            QVERIFY(prompts_.Errors.isEmpty());
        } else {
            QCOMPARE(prompts_.Errors.size(), 1);
            QVERIFY2(prompts_.Errors[0].startsWith(error), qPrintable(prompts_.Errors[0]));
        }
        if (file == QLatin1String("gone")) {
            QVERIFY(!QFile::exists(path));
        } else if (file == QLatin1String("open") && error.isEmpty()) {
            const Bytes after = ReadFile(path);
            QCOMPARE(after.left(188), FileBytes(kToday - 1, balance, {}));
            QCOMPARE(after.mid(188), before.mid(188));
        } else {
            QCOMPARE(ReadFile(path), before);
        }
    }

    void balanceAdjustmentFromTheMenu() {
        // The dialog lives with the main window and shows the balance anew
        // each time; the month follows the new balance.
        auto w = MakeWindow();
        TForm3 dialog(
            w->State(), [&w] { return w->Today(); }, prompts_, w.get());
        w->AdjustBalance = [&dialog] { dialog.exec(); };
        QAction* menuItem = w->findChild<QAction*>(QStringLiteral("Balance1"));
        QString shownFirst;
        for (const char* typed : {"1200", "-80"}) {
            QTimer::singleShot(0, this, [&, typed] {
                auto* edit = dialog.findChild<TRFilterEdit*>(QStringLiteral("RFilterEdit1"));
                if (shownFirst.isEmpty()) shownFirst = edit->text();
                edit->setText(QString::fromLatin1(typed));
                Click(&dialog, QStringLiteral("Button1"));
            });
            menuItem->trigger();
        }
        QCOMPARE(shownFirst, QStringLiteral("0"));
        QCOMPARE(w->State().OpeningBalance, -80);
        const auto& month = w->Calendar().MonthData();
        QCOMPARE(month.Cell(month.DayToCell(today_.day())).Balance, -80);
        QVERIFY(prompts_.Errors.isEmpty());
    }
};

QTEST_MAIN(CatchUpTest)
#include "CatchUpTest.moc"
