// The catch-up, balance and unsaved-changes dialogs, the system's dialogs, the windows behind the main window's commands.
#include "UiTestSupport.h"
#include "ui/About.h"
#include "ui/Updated.h"
#include "ui/Wiring.h"
#include "ui/catchup.h"
#include "ui/init.h"

using namespace tamber;
using namespace tamber::ui;
using namespace tamber::test;

namespace {

const TDate kToday = Ymd(2026, 3, 10);

// The shown page: its label, page buttons enabled, first row (number, plan, date, amount) and how many rows it shows.
QString Page(TForm5& dialog) {
    const QList<TRFilterEdit*> edits = dialog.findChildren<TRFilterEdit*>();
    QStringList first;
    for (const char* column : {"NumberLabel1", "PlanLabel1", "DateLabel1", "RFilterEdit1"}) first << Text(&dialog, column);
    const auto shown = std::count_if(edits.begin(), edits.end(), [](QWidget* e) { return !e->isHidden(); });
    const QString back = Get(&dialog, "Button1")->isEnabled() ? "<" : "", next = Get(&dialog, "Button2")->isEnabled() ? ">" : "";
    return QStringLiteral("%1 %2%3 %4 %5").arg(Text(&dialog, "PageLabel"), back, next, first.join('|')).arg(shown);
}

// Does Act in the modal window of type T that Command opens, once it is shown; closes it should Act leave it open.
template <class T>
void InModal(const std::function<void()>& command, const std::function<void(T&)>& act) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* modal = qobject_cast<T*>(QApplication::activeModalWidget());
        if (modal) act(*modal);
        seen = modal != nullptr;
        if (modal && modal->isVisible()) modal->close();
    });
    command();
    QVERIFY2(seen, T::staticMetaObject.className());
}

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    TScriptedPrompts prompts_;

private slots:
    void init() { prompts_ = TScriptedPrompts(); }

    void catchUpPagesKeepEditsAndOkNamesTheWrongItem() {
        TPendingList pending = BuildPendingList(MakeBook({Flow(prEveryNDays, kToday - 17, 40, -30, "餐費")}), kToday - 18, kToday);
        TForm5 dialog(pending, kToday - 18, 1000, prompts_);
        dialog.show();
        QCOMPARE(std::pair(Text(&dialog, "BalanceDateLabel") + Text(&dialog, "LoadedBalanceLabel"), Page(dialog)),
                 std::pair(ShortDate(kToday - 18) + "1000", "3 頁之 1 > 1|餐費|" + ShortDate(kToday - 17) + "|-30 8"));
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QTest::keyClick(Get(&dialog, "RFilterEdit1"), Qt::Key_Return);  // Return moves to the next amount and presses nothing
        QVERIFY(Get(&dialog, "RFilterEdit2")->hasFocus() && dialog.isVisible());
        Get<TRFilterEdit>(&dialog, "RFilterEdit3")->setText(QStringLiteral("-45"));
        Click(&dialog, "Button2");
        QCOMPARE(Page(dialog), "3 頁之 2 <> 9|餐費|" + ShortDate(kToday - 9) + "|-30 8");
        Get<TRFilterEdit>(&dialog, "RFilterEdit5")->clear();  // item 13
        Click(&dialog, "Button2");
        QCOMPARE(Page(dialog), "3 頁之 3 < 17|餐費|" + ShortDate(kToday - 1) + "|-30 1");
        Click(&dialog, "Button3");  // OK reads every page, not only the shown one
        QCOMPARE(std::tuple(prompts_.Errors, dialog.isVisible(), dialog.NewBalance()), std::tuple(QStringList{"第 13 項金額輸入錯誤"}, true, std::optional<int32_t>()));
        pending[12].AmountText = "-30";
        Click(&dialog, "Button3");
        QCOMPARE(std::pair(dialog.NewBalance(), dialog.result()), std::pair(std::optional<int32_t>(1000 - 16 * 30 - 45), int(QDialog::Accepted)));
    }

    void balanceAdjustmentWithAndWithoutAFile() {
        const QString path = dir_.filePath(QStringLiteral("adjust.tbr"));
        const Bytes before = FileBytes(kToday - 5, 777, {Once(kToday + 3, 50)});
        WriteBytes(path.toStdString(), before);
        TPlanBookState state;                            // a fresh window's balance: 0
        const auto adjust = [&](const QString& typed) {  // true while the dialog stays open
            TForm3 dialog(
                state, [] { return QDate(2026, 3, 10); }, prompts_);
            dialog.show();
            Get<TRFilterEdit>(&dialog, "RFilterEdit1")->setText(typed);
            Click(&dialog, "Button1");
            return dialog.isVisible();
        };
        QVERIFY(!adjust(QStringLiteral("2500")));  // no file: only the balance changes
        state.PlanFileName = path.toStdString();
        state.FileStamp = StampFile(state.PlanFileName);  // as loaded
        QVERIFY(adjust(QStringLiteral("--5")));           // not a number: neither the balance nor the file changes
        QCOMPARE(std::pair(state.OpeningBalance, ReadBytes(path.toStdString())), std::pair(2500, before));
        QVERIFY(!adjust(QStringLiteral("-300")));                                                                                                         // the open file's header takes the balance
        QCOMPARE(std::pair(ReadBytes(path.toStdString()), ChangedOnDisk(state)), std::pair(FileBytes(kToday - 1, -300, {Once(kToday + 3, 50)}), false));  // a header of ours
        state.PlanFileName = dir_.filePath(QStringLiteral("gone/x.tbr")).toStdString();
        QVERIFY(adjust(QStringLiteral("9")));  // the file cannot be written: said at once, and kept to be saved
        QCOMPARE(std::tuple(state.OpeningBalance, state.Modified, prompts_.Errors.first(), prompts_.Errors.last().left(6)),
                 std::tuple(9, true, QStringLiteral("'--5' 不是有效的整數值"), QStringLiteral("寫檔錯誤: ")));
    }

    void unsavedChangesPromptSavesOrLeaves() {
        int saves = 0;
        TForm6 prompt([&] { return ++saves > 1; });
        prompt.show();
        Click(&prompt, "Button1");  // the save failed: the prompt stays
        QVERIFY(prompt.isVisible());
        QTest::keyClick(&prompt, Qt::Key_Return);  // "存檔" is the default button
        QCOMPARE(std::tuple(prompt.isVisible(), prompt.result(), saves, prompt.windowTitle()), std::tuple(false, int(QDialog::Accepted), 2, QStringLiteral("警訊")));
        prompt.show();
        Click(&prompt, "Button2");  // "離開" closes without saving
        QCOMPARE(std::tuple(prompt.isVisible(), prompt.result(), saves), std::tuple(false, int(QDialog::Rejected), 2));
        InModal<TForm6>([] { SystemPrompts().AskToSaveChanges(nullptr, [] { return true; }); }, [](TForm6& p) { Click(&p, "Button1"); });
    }

    // A plan file named without its extension gets ".tbr"; errors come in a message box.
    void theSystemsDialogsBehindThePrompts() {
        QString name;
        InModal<QFileDialog>([&] { name = SystemPrompts().SavePlanFileName(nullptr); }, [&](QFileDialog& d) {
            QCOMPARE(d.nameFilters(), (QStringList{"計劃檔 (*.tbr)", "所有檔案 (*.*)"}));
            d.selectFile(dir_.filePath(QStringLiteral("picked")));
            static_cast<QDialog&>(d).accept(); });
        QCOMPARE(name, dir_.filePath(QStringLiteral("picked.tbr")));
        InModal<QMessageBox>([] { SystemPrompts().ShowError(nullptr, QStringLiteral("讀檔錯誤")); }, [](QMessageBox& box) { QCOMPARE(box.text() + box.windowTitle(), QStringLiteral("讀檔錯誤Tamber 98")); });
    }

    // The program's windows behind the main window's commands, and the catch-up a load shows.
    void theWiredWindowsOpenFromTheCommands() {
        TForm1 w({dir_.filePath(QStringLiteral("Tamber98.ini")).toStdString(), &prompts_, [] { return QDate(2026, 3, 10); }});
        WireWindows(w, prompts_);
        w.Calendar().SetDay(20);
        InModal<TForm2>([&] { Trigger(&w, "Plans1"); }, [](TForm2& editor) {
            QCOMPARE(Get<QDateEdit>(&editor, "DateEdit1")->date(), QDate(2026, 3, 20));
            Get<QComboBox>(&editor, "ComboBox2")->setCurrentIndex(pkFixAccount);
            Get<QComboBox>(&editor, "ComboBox1")->setCurrentIndex(prEveryNDays);
            for (const auto& [field, text] : {std::pair("RFilterEdit1", "100"), {"RFilterEdit2", "1"}, {"RFilterEdit6", "10"}}) Type(&editor, field, text);
            Click(&editor, "Button1"); });
        QCOMPARE(std::pair(w.Book().Count(), w.Calendar().MonthData().Cell(w.Calendar().DayToCell(21)).Balance), std::pair(1, 20));
        InModal<TForm4>([&] { Trigger(&w, "Chart1"); }, [](TForm4& chart) {
            Get<QDateEdit>(&chart, "DateEdit1")->setDate(QDate(2026, 3, 20));
            Click(&chart, "Button1");
            QCOMPARE(chart.Line()->Points().back(), (TBalancePoint{Ymd(2026, 4, 18), 30 * 10})); });
        const QString file = dir_.filePath(QStringLiteral("away.tbr"));  // a daily +10 from 1 March, the balance counting up to 7 March
        const TPlanRecord salary = Flow(prEveryNDays, Ymd(2026, 3, 1), 30, 10, "薪水");
        WriteBytes(file.toStdString(), FileBytes(kToday - 3, 1000, {salary}));
        InModal<TForm5>([&] { w.LoadPlanFile(file); }, [&](TForm5& dialog) {
            Get<TRFilterEdit>(&dialog, "RFilterEdit2")->setText(QStringLiteral("15"));
            Click(&dialog, "Button3"); });
        QCOMPARE(std::tuple(w.windowTitle(), w.Book().Count(), w.State().OpeningBalance, ReadBytes(file.toStdString())),
                 std::tuple(QStringLiteral("Tamber 98 - away.tbr"), 1, 1025, FileBytes(kToday - 1, 1025, {salary})));
    }
};

static const bool kRegistered = tamber::test::RegisterUiTest<DialogsTest>();
#include "DialogsTest.moc"
