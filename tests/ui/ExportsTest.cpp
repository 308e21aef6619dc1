// The month's printout, the file menu's print and export commands and the
// chart's image file, with every dialog scripted.
#include "UiTestSupport.h"
#include "ui/Exports.h"
#include "ui/MonthPrint.h"

using namespace tamber;
using namespace tamber::ui;

using namespace tamber::test;

// The shared scripted dialogs, with the export questions answered as well.
class TExportPrompts : public TScriptedPrompts {
public:
    QStringList ExportNames;            // answers of the export save dialogs; none left = cancelled
    std::optional<TDateSpan> Span;      // answer of the span dialog
    std::optional<TDateSpan> Proposed;  // what the span dialog proposed
    QString PrintFile;                  // where the print preview's pages go, as PDF

    QString SaveExportFileName(QWidget*, const QString&) override {
        return ExportNames.isEmpty() ? QString() : ExportNames.takeFirst();
    }
    std::optional<TDateSpan> AskExportSpan(QWidget*, const TDateSpan& proposed, QDate, QDate) override {
        Proposed = proposed;
        return Span;
    }
    void PreviewPrint(QWidget*, const std::function<void(QPagedPaintDevice&)>& paint) override {
        QPdfWriter printer(PrintFile);
        paint(printer);
    }
};

class ExportsTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    TExportPrompts prompts_;
    const QDate today_{2026, 3, 3};
    const bool havePdfText_ = !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();

    QString PathOf(const QString& name) const { return dir_.path() + QLatin1Char('/') + name; }
    // Salary +50,000 on the 10th, rent -12,000 on the 5th of every month; opening balance 10,000.
    void FillBook(TPlanBook& book, TPlanBookState& state) const {
        book.Append(CreateFrom(pkFixAccount, Flow(prMonthly, Ymd(2026, 3, 10), 12, 50000, "薪水")));
        book.Append(CreateFrom(pkFixAccount, Flow(prMonthly, Ymd(2026, 3, 5), 12, -12000, "房租")));
        state.OpeningBalance = 10000;
        state.SetCurrentDate(FromQDate(today_));
    }
    // The text of the pages of a PDF, read back by pdftotext.
    QStringList PdfPages(const QByteArray& pdf) const {
        QFile file(PathOf(QStringLiteral("read.pdf")));
        file.open(QIODevice::WriteOnly);
        file.write(pdf);
        file.close();
        QProcess process;
        process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file.fileName(), QStringLiteral("-")});
        process.waitForFinished();
        QStringList pages = QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\f'));
        pages.removeLast();  // what follows the last page's form feed
        return pages;
    }
    static QByteArray Contents(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void init() { prompts_ = TExportPrompts(); }

    void monthPrintoutHoldsTheCalendarTotalsAndTableOnPagesAsNeeded() {
        if (!havePdfText_) QSKIP("pdftotext is not installed");
        TPlanBook book;
        TPlanBookState state;
        FillBook(book, state);
        const TMonthPrintout march{FromQDate(today_), FromQDate(today_), false, QStringLiteral("plans.tbr"), today_};
        const QStringList pages = PdfPages(MonthPdf(book, state, march));
        QCOMPARE(pages.size(), 1);
        // Balances 10,000 on the 3rd and 4th, -2,000 from the 5th, 48,000 from the 10th: 1,066,000 / 29 days.
        for (const char* text : {"2026 年 3 月", "收支平衡:", "本月收入 50,000", "本月支出 -12,000", "本月平均 36,759",
                                 "房租", "plans.tbr", "第 1 頁"}) {
            QVERIFY2(pages[0].contains(QString::fromUtf8(text)), text);
        }
        for (int i = 1; i <= 40; ++i) book.Append(CreateFrom(pkFixAccount, Flow(prOnce, Ymd(2026, 3, 20), 1, -i)));
        const QStringList long_ = PdfPages(MonthPdf(book, state, march));
        QCOMPARE(long_.size(), 2);
        QVERIFY(long_[1].contains(QStringLiteral("第 2 頁")));
        QVERIFY(long_[1].contains(QStringLiteral("-40")));
    }

    void fileMenuCommandsWriteWholeFilesOrSayWhy() {
        TForm1 w({PathOf(QStringLiteral("Tamber98.ini")).toStdString(), &prompts_, [this] { return today_; }});
        FillBook(w.Book(), w.State());

        prompts_.ExportNames = {PathOf(QStringLiteral("m.pdf")), PathOf(QStringLiteral("missing/m.pdf"))};
        Trigger(&w, "ExportPdf1");
        QVERIFY(Contents(PathOf(QStringLiteral("m.pdf"))).startsWith("%PDF-"));
        Trigger(&w, "ExportPdf1");
        QCOMPARE(prompts_.Errors, QStringList(QStringLiteral("寫檔錯誤: %1 (找不到檔案或資料夾)").arg(PathOf(QStringLiteral("missing/m.pdf")))));

        prompts_.PrintFile = PathOf(QStringLiteral("printed.pdf"));
        Trigger(&w, "Print1");
        QVERIFY(Contents(prompts_.PrintFile).startsWith("%PDF-"));

        prompts_.ExportNames = {PathOf(QStringLiteral("c.ics"))};
        Trigger(&w, "ExportCalendar1");  // the span dialog cancelled: no file asked for
        QCOMPARE(prompts_.Proposed, std::optional<TDateSpan>({today_, QDate(2027, 3, 2)}));
        prompts_.Span = TDateSpan{QDate(2026, 3, 6), QDate(2026, 4, 5)};
        Trigger(&w, "ExportCalendar1");
        const QByteArray text = Contents(PathOf(QStringLiteral("c.ics")));
        QCOMPARE(text.count("BEGIN:VEVENT"), 2);  // 10 March and 5 April
        QVERIFY(text.contains("DTSTART;VALUE=DATE:20260405"));
    }

    void chartImageIsPngOrPdfByTheName() {
        TPlanBook book;
        TPlanBookState state;
        FillBook(book, state);
        TForm4 chart(
            book, state.OpeningBalance, [this] { return today_; }, &prompts_);
        chart.ShowChart();
        for (const auto& [name, head] : {std::pair{"chart.png", "\x89PNG"}, {"chart.PDF", "%PDF"}, {"missing/c.png", ""}}) {
            prompts_.ExportNames = {PathOf(QString::fromLatin1(name))};
            chart.SaveImage();
            QVERIFY2(Contents(PathOf(QString::fromLatin1(name))).startsWith(head), name);
        }
        QCOMPARE(prompts_.Errors.size(), 1);
    }

    void spanDialogKeepsTheLastDayFromTheFirstOn() {
        TExportSpanDialog dialog({today_, today_.addMonths(1)}, today_, today_.addYears(1));
        dialog.findChild<QDateEdit*>(QStringLiteral("FromDate"))->setDate(today_.addMonths(2));
        QCOMPARE(dialog.Span(), (TDateSpan{today_.addMonths(2), today_.addMonths(2)}));
    }
};

static const bool kRegistered = tamber::test::RegisterUiTest<ExportsTest>();
#include "ExportsTest.moc"
