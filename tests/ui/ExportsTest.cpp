// The month's printout and PDF, the file menu's print and export commands
// and the chart's image file, with every dialog scripted.
#include <QAction>
#include <QDateEdit>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "ChartUnit.h"
#include "Exports.h"
#include "Main.h"
#include "MonthPrint.h"
#include "QtDates.h"
#include "UiTestSupport.h"

using namespace tamber;
using namespace tamber::ui;

using test::Day;
using test::Flow;

// The shared scripted dialogs, with the export questions answered as well.
class TExportPrompts : public test::TScriptedPrompts {
public:
    QStringList ExportNames;           // answers of the export save dialogs; none left = cancelled
    std::optional<TDateSpan> Span;     // answer of the span dialog
    std::optional<TDateSpan> Proposed; // what the span dialog proposed
    QString PrintFile;                 // where the print preview's pages go, as PDF

    QString SaveExportFileName(QWidget*, const QString&) override {
        return ExportNames.isEmpty() ? QString() : ExportNames.takeFirst();
    }
    std::optional<TDateSpan> AskExportSpan(QWidget*, const TDateSpan& proposed, QDate, QDate) override {
        Proposed = proposed;
        return Span;
    }
    void PreviewPrint(QWidget*, const std::function<void(QPrinter*)>& paint) override {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(PrintFile);
        paint(&printer);
    }
};

class ExportsTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    TExportPrompts prompts_;
    const QDate today_{2026, 3, 3};

    QString PathOf(const QString& name) const { return dir_.path() + QLatin1Char('/') + name; }

    // Salary +50,000 on the 10th, rent -12,000 on the 5th, from today on; opening balance 10,000.
    void FillBook(TPlanBook& book, TPlanBookState& state) const {
        book.Append(CreateFrom(pkFixAccount, Flow(prMonthly, Day(2026, 3, 10), 12, 50000, "薪水")));
        book.Append(CreateFrom(pkFixAccount, Flow(prMonthly, Day(2026, 3, 5), 12, -12000, "房租")));
        state.OpeningBalance = 10000;
        state.SetCurrentDate(FromQDate(today_));
    }
    TMonthPrintout March() const {
        return {.SelectedDate = FromQDate(today_), .Today = FromQDate(today_), .FileName = QStringLiteral("plans.tbr"),
                .PrintDate = today_};
    }
    // The PDF's text page by page; skips the test where pdftotext is missing.
    static QStringList PdfPages(const QString& file) {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) return {};
        QProcess process;
        process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
        process.waitForFinished();
        QStringList pages = QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\f'));
        pages.removeLast();  // after the last page's form feed
        return pages;
    }
    static QByteArray Head(const QString& file, int bytes) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.read(bytes) : QByteArray();
    }

private slots:
    void init() { prompts_ = TExportPrompts(); }

    void monthPdfIsOnePageWithTheCalendarTotalsAndFooter() {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) QSKIP("pdftotext is not installed");
        TPlanBook book;
        TPlanBookState state;
        FillBook(book, state);
        QFile file(PathOf(QStringLiteral("march.pdf")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(MonthPdf(book, state, March()));
        file.close();
        const QStringList pages = PdfPages(file.fileName());
        QCOMPARE(pages.size(), 1);
        // Balances 10,000 on the 3rd and 4th, -2,000 on the 5th to 9th, 48,000 from the 10th: 1,066,000 / 29.
        for (const char* text : {"本月收入", "50,000", "本月支出", "-12,000", "36,759", "收支平衡:", "2026 年 3 月",
                                 "薪水", "房租", "plans.tbr", "第 1 頁"}) {
            QVERIFY2(pages[0].contains(QString::fromUtf8(text)), text);
        }
    }

    void aLongTableGoesOnOntoFurtherPages() {
        TPlanBook book;
        TPlanBookState state;
        FillBook(book, state);
        for (int i = 1; i <= 70; ++i) {
            book.Append(CreateFrom(pkFixAccount, Flow(prOnce, Day(2026, 3, 20), 1, -i, qPrintable(QStringLiteral("項目%1").arg(i)))));
        }
        prompts_.PrintFile = PathOf(QStringLiteral("long.pdf"));
        int pages = 0;
        prompts_.PreviewPrint(nullptr, [&](QPrinter* printer) { pages = PrintMonth(*printer, book, state, March()); });
        QVERIFY(pages > 1);
        const QStringList text = PdfPages(prompts_.PrintFile);
        if (text.isEmpty()) QSKIP("pdftotext is not installed");
        QCOMPARE(text.size(), pages);
        QVERIFY(text.last().contains(QStringLiteral("項目70")));
        QVERIFY(text.last().contains(QStringLiteral("第 %1 頁").arg(pages)));
    }

    void fileMenuCommandsWriteWholeFilesOrSayWhy() {
        TForm1::TOptions options;
        options.SettingsFile = PathOf(QStringLiteral("Tamber98.ini")).toStdString();
        options.Prompts = &prompts_;
        options.Today = [this] { return today_; };
        TForm1 w(options);
        FillBook(w.Book(), w.State());
        const auto run = [&](const char* command) { w.findChild<QAction*>(QString::fromLatin1(command))->trigger(); };

        prompts_.ExportNames = {PathOf(QStringLiteral("m.pdf"))};
        run("ExportPdf1");
        QCOMPARE(Head(PathOf(QStringLiteral("m.pdf")), 5), QByteArray("%PDF-"));

        prompts_.PrintFile = PathOf(QStringLiteral("printed.pdf"));
        run("Print1");
        QCOMPARE(Head(prompts_.PrintFile, 5), QByteArray("%PDF-"));

        prompts_.ExportNames = {PathOf(QStringLiteral("never.ics"))};
        run("ExportCalendar1");  // the span dialog cancelled
        QCOMPARE(prompts_.Proposed, std::optional<TDateSpan>(TDateSpan{today_, QDate(2027, 3, 2)}));
        QCOMPARE(prompts_.ExportNames.size(), 1);

        prompts_.Span = TDateSpan{QDate(2026, 3, 6), QDate(2026, 4, 5)};
        prompts_.ExportNames = {PathOf(QStringLiteral("c.ics"))};
        run("ExportCalendar1");
        const QByteArray ics = Head(PathOf(QStringLiteral("c.ics")), 100000);
        QVERIFY(ics.startsWith("BEGIN:VCALENDAR"));
        QCOMPARE(ics.count("BEGIN:VEVENT"), 2);  // 10 March and 5 April
        QVERIFY(ics.contains("DTSTART;VALUE=DATE:20260405"));

        prompts_.ExportNames = {PathOf(QStringLiteral("missing/m.pdf"))};
        run("ExportPdf1");
        QCOMPARE(prompts_.Errors.size(), 1);
        QVERIFY(prompts_.Errors[0].startsWith(QStringLiteral("寫檔錯誤: ") + PathOf(QStringLiteral("missing/m.pdf"))));
    }

    void chartImageIsPngOrPdfByTheName() {
        TPlanBook book;
        TPlanBookState state;
        FillBook(book, state);
        TForm4 chart(book, state.OpeningBalance, [this] { return today_; }, &prompts_);
        chart.ShowChart();
        struct Case { const char* what; const char* name; QByteArray head; };
        const Case cases[] = {
            {"PNG", "chart.png", "\x89PNG"},
            {"PDF by its extension", "chart.PDF", "%PDF"},
            {"an unwritable name", "missing/chart.png", ""},
        };
        for (const Case& c : cases) {
            prompts_.ExportNames = {PathOf(QString::fromLatin1(c.name))};
            chart.SaveImage();
            QVERIFY2(Head(PathOf(QString::fromLatin1(c.name)), 4) == c.head, c.what);
        }
        QCOMPARE(prompts_.Errors.size(), 1);
        QVERIFY(prompts_.Errors[0].startsWith(QStringLiteral("寫檔錯誤: ")));
    }

    void spanDialogKeepsTheLastDayFromTheFirstOn() {
        TExportSpanDialog dialog({today_, today_.addMonths(1)}, today_, today_.addYears(1));
        dialog.findChild<QDateEdit*>(QStringLiteral("FromDate"))->setDate(today_.addMonths(2));
        QCOMPARE(dialog.Span(), (TDateSpan{today_.addMonths(2), today_.addMonths(2)}));
    }
};

QTEST_MAIN(ExportsTest)
#include "ExportsTest.moc"
