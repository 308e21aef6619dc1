// The catch-up dialog in a load, its paging and item numbers, and the
// balance adjustment dialog with and without an open file. The pending list
// and the sum with its overflow are pinned by the book's catch-up tests, the
// error texts per field by BadInputTest, both dialogs from the main window's
// commands by JourneyTest.
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "ui/Main.h"
#include "book/PlanFile.h"
#include "ui/RFEdit.h"
#include "UiTestSupport.h"
#include "ui/catchup.h"
#include "ui/init.h"

using namespace tamber;
using namespace tamber::ui;
using tamber::test::Flow;

namespace {

using Bytes = QByteArray;

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

QString Text(QWidget* parent, const QString& name) { return parent->findChild<QLabel*>(name)->text(); }
TRFilterEdit* Row(QWidget* dialog, int row) { return dialog->findChild<TRFilterEdit*>(QStringLiteral("RFilterEdit%1").arg(row)); }
QPushButton* Button(QWidget* parent, const char* name) { return parent->findChild<QPushButton*>(QString::fromLatin1(name)); }

// What the rows of the shown page say: number, plan, date, amount.
QStringList ShownRows(TForm5& dialog) {
    QStringList rows;
    for (int r = 1; r <= kPendingRowsPerPage; ++r) {
        if (Row(&dialog, r)->isHidden()) continue;
        rows << QStringList{Text(&dialog, QStringLiteral("NumberLabel%1").arg(r)), Text(&dialog, QStringLiteral("PlanLabel%1").arg(r)),
                            Text(&dialog, QStringLiteral("DateLabel%1").arg(r)), Row(&dialog, r)->text()}
                    .join(QLatin1Char('|'));
    }
    return rows;
}

}  // namespace

class CatchUpTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    test::TScriptedPrompts prompts_;
    const QDate today_{2026, 3, 10};
    const TDate kToday = EncodeDate(2026, 3, 10);
    int shown_ = 0;
    std::function<void(TForm5&)> user_;  // what the user does in the catch-up dialog a load shows

    QString WriteFile(const QString& name, const Bytes& bytes) {
        QFile file(dir_.path() + QLatin1Char('/') + name);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) qFatal("cannot write %s", qPrintable(name));
        file.write(bytes);
        return file.fileName();
    }
    static Bytes ReadFile(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : Bytes();
    }

    // The main window with the catch-up dialog as its load hook.
    std::unique_ptr<TForm1> MakeWindow() {
        TForm1::TOptions options;
        options.SettingsFile = (dir_.path() + QStringLiteral("/Tamber98.ini")).toStdString();
        options.Prompts = &prompts_;
        options.Today = [this] { return today_; };
        auto w = std::make_unique<TForm1>(options);
        w->CatchUp = [this, window = w.get()](TPendingList& pending, const TPlanBookState& state) {
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

    // A daily +10 from 1 March and a one-off +50 today; the balance 1000 counts up to 7 March.
    Bytes AwayFile() const {
        return FileBytes(kToday - 3, 1000,
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
        prompts_ = test::TScriptedPrompts();
        shown_ = 0;
        user_ = nullptr;
    }

    void acceptedCatchUpRewritesOnlyTheHeader() {
        const Bytes before = AwayFile();
        const QString file = WriteFile(QStringLiteral("away.tbr"), before);
        QStringList seen;
        user_ = [&](TForm5& dialog) {
            seen = ShownRows(dialog);
            for (const char* label : {"PageLabel", "BalanceDateLabel", "LoadedBalanceLabel"}) seen << Text(&dialog, label);
            Row(&dialog, 2)->setText(QStringLiteral("15"));
            Button(&dialog, "Button3")->click();
        };
        auto w = MakeWindow();
        QVERIFY(w->LoadPlanFile(file));

        QCOMPARE(shown_, 1);
        // Yesterday's occurrence is listed; today's (the salary and the one-off) are not.
        QCOMPARE(seen, (QStringList{QStringLiteral("1|薪水|%1|10").arg(ShortDate(kToday - 2)),
                                    QStringLiteral("2|薪水|%1|10").arg(ShortDate(kToday - 1)), QStringLiteral("1 頁之 1"),
                                    ShortDate(kToday - 3), QStringLiteral("1000")}));
        QCOMPARE(w->State().OpeningBalance, 1025);
        QCOMPARE(w->Book().Count(), 2);
        const Bytes after = ReadFile(file);
        QCOMPARE(after.size(), before.size());
        QCOMPARE(after.mid(188), before.mid(188));
        QCOMPARE(after.left(188), FileBytes(kToday - 1, 1025, {}));
        QVERIFY(prompts_.Errors.isEmpty());
    }

    void acceptedCatchUpOfAFileCutShortMeanwhileStaysLoadedUntilSaved() {
        const QString file = WriteFile(QStringLiteral("away.tbr"), AwayFile());
        user_ = [&](TForm5& dialog) {
            QFile::resize(file, 100);  // cut short while the dialog is open: no header to write over
            Button(&dialog, "Button3")->click();
        };
        prompts_.OverwriteAnswers = {TOverwriteAnswer::Cancel, TOverwriteAnswer::Overwrite};
        auto w = MakeWindow();
        QVERIFY(w->LoadPlanFile(file));

        QCOMPARE(w->Book().Count(), 2);
        QCOMPARE(w->State().OpeningBalance, 1020);
        QCOMPARE(w->windowTitle(), QStringLiteral("Tamber 98 - away.tbr"));
        QCOMPARE(prompts_.OverwritesAsked, 1);
        QCOMPARE(QFileInfo(file).size(), 100);  // nothing written over it unasked
        // Closing offers to save the confirmed amounts, and saving writes them.
        prompts_.SavesFromThePrompt = 1;
        w->close();
        QCOMPARE(prompts_.SaveChangesAsked, 1);
        QCOMPARE(ReadFile(file).left(188), FileBytes(kToday - 1, 1020, {}));
    }

    void declinedCatchUpLeavesTheFileAndABlankWindow() {
        const Bytes before = AwayFile();
        const QString file = WriteFile(QStringLiteral("away.tbr"), before);
        user_ = [](TForm5& dialog) { Button(&dialog, "Button4")->click(); };
        auto w = MakeWindow();
        QVERIFY(w->LoadPlanFile(file));

        QCOMPARE(shown_, 1);
        QCOMPARE(w->Book().Count(), 0);
        QCOMPARE(w->State().OpeningBalance, 0);
        QCOMPARE(w->windowTitle(), QStringLiteral("Tamber 98 - 空白"));
        // The file is forgotten: saving asks for a name and writes nothing.
        QVERIFY(!w->SaveCommand());
        QCOMPARE(prompts_.SaveNamesAsked, 1);
        QCOMPARE(ReadFile(file), before);
    }

    void noCatchUpForAFileWrittenYesterday() {
        const Bytes before = FileBytes(kToday - 1, 1000, {Flow(prOnce, kToday - 1, 1, 50)});
        const QString file = WriteFile(QStringLiteral("recent.tbr"), before);
        auto w = MakeWindow();
        QVERIFY(w->LoadPlanFile(file));
        QCOMPARE(shown_, 0);
        QCOMPARE(ReadFile(file), before);
        QCOMPARE(w->State().OpeningBalance, 1000);
        QCOMPARE(w->windowTitle(), QStringLiteral("Tamber 98 - recent.tbr"));
    }

    void pagingKeepsEditedAmountsAndOkNamesTheWrongOne() {
        TPendingList pending = SeventeenPending();  // 17 times -30
        TForm5 dialog(pending, kToday - 18, 1000, prompts_);
        dialog.show();
        // Page label, "上頁" and "下頁" enabled, first row shown.
        const auto state = [&] {
            return QStringList{Text(&dialog, "PageLabel"), Button(&dialog, "Button1")->isEnabled() ? "<" : "",
                               Button(&dialog, "Button2")->isEnabled() ? ">" : "", ShownRows(dialog).first()};
        };
        QCOMPARE(ShownRows(dialog).size(), 8);
        QCOMPARE(state(), (QStringList{"3 頁之 1", "", ">", QStringLiteral("1|餐費|%1|-30").arg(ShortDate(kToday - 17))}));
        Row(&dialog, 3)->setText(QStringLiteral("-45"));
        Button(&dialog, "Button2")->click();
        QCOMPARE(state(), (QStringList{"3 頁之 2", "<", ">", QStringLiteral("9|餐費|%1|-30").arg(ShortDate(kToday - 9))}));
        Row(&dialog, 5)->clear();  // item 13
        Button(&dialog, "Button2")->click();
        QCOMPARE(state(), (QStringList{"3 頁之 3", "<", "", QStringLiteral("17|餐費|%1|-30").arg(ShortDate(kToday - 1))}));
        QCOMPARE(ShownRows(dialog).size(), 1);
        Button(&dialog, "Button1")->click();
        Button(&dialog, "Button1")->click();
        QCOMPARE(Row(&dialog, 3)->text(), QStringLiteral("-45"));
        QCOMPARE(pending[2].AmountText, std::string("-45"));

        // OK reads every page, not only the shown one, and names the first wrong item.
        Button(&dialog, "Button3")->click();
        Row(&dialog, 5)->clear();
        Button(&dialog, "Button3")->click();
        QCOMPARE(prompts_.Errors, (QStringList{"第 13 項金額輸入錯誤", "第 5 項金額輸入錯誤"}));
        QVERIFY(dialog.isVisible());
        QVERIFY(!dialog.NewBalance());
        Row(&dialog, 5)->setText(QStringLiteral("-30"));
        dialog.ShowPendingPage(2);
        Row(&dialog, 5)->setText(QStringLiteral("-30"));
        Button(&dialog, "Button3")->click();
        QCOMPARE(dialog.NewBalance(), std::optional<int32_t>(1000 - 16 * 30 - 45));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    void balanceAdjustmentWithAndWithoutAFile() {
        const Bytes before = FileBytes(kToday - 5, 777, {Flow(prOnce, kToday + 3, 1, 50)});
        const QString path = WriteFile(QStringLiteral("adjust.tbr"), before);
        TPlanBookState state;
        state.OpeningBalance = 777;
        state.LoadedBalance = 700;
        state.BalanceDate = kToday - 5;
        QStringList shown;
        const auto adjust = [&](const QString& typed) {  // true while the dialog stays open
            TForm3 dialog(state, [this] { return today_; }, prompts_);
            dialog.show();
            shown << Row(&dialog, 1)->text();
            Row(&dialog, 1)->setText(typed);
            Button(&dialog, "Button1")->click();
            return dialog.isVisible();
        };
        QVERIFY(!adjust(QStringLiteral("2500")));  // no file: only the balance changes
        QCOMPARE(state.OpeningBalance, 2500);
        QCOMPARE(ReadFile(path), before);

        state.PlanFileName = path.toStdString();
        QVERIFY(adjust(QString()));  // not a number: neither the balance nor the file changes
        QCOMPARE(prompts_.Errors, QStringList{QStringLiteral("'' 不是有效的整數值")});
        QCOMPARE(state.OpeningBalance, 2500);
        QCOMPARE(ReadFile(path), before);

        QVERIFY(!adjust(QStringLiteral("-300")));  // the open file's header takes the balance
        QCOMPARE(state.OpeningBalance, -300);
        const Bytes after = ReadFile(path);
        QCOMPARE(after.left(188), FileBytes(kToday - 1, -300, {}));
        QCOMPARE(after.mid(188), before.mid(188));
        QCOMPARE(shown, (QStringList{"777", "2500", "2500"}));
        QCOMPARE(state.LoadedBalance, 700);
        QCOMPARE(state.BalanceDate, kToday - 5);
        QCOMPARE(prompts_.Errors.size(), 1);
    }
};

QTEST_MAIN(CatchUpTest)
#include "CatchUpTest.moc"