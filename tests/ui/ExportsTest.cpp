// The month's printout, the file menu's export commands and the chart's image file, with every dialog scripted.
#include "UiTestSupport.h"
#include "ui/Exports.h"
#include "ui/MonthPrint.h"

using namespace tamber;
using namespace tamber::ui;
using namespace tamber::test;

// The shared scripted dialogs, with the export questions answered as well.
class TExportPrompts : public TScriptedPrompts {
public:
    QStringList ExportNames;                  // answers of the export save dialogs; none left = cancelled
    std::optional<TDateSpan> Span, Proposed;  // the span dialog's answer, and what it proposed

    QString SaveExportFileName(QWidget*, const QString&) override { return ExportNames.isEmpty() ? QString() : ExportNames.takeFirst(); }
    std::optional<TDateSpan> AskExportSpan(QWidget*, const TDateSpan& proposed, QDate, QDate) override {
        Proposed = proposed;
        return Span;
    }
};

class ExportsTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    TExportPrompts prompts_;
    const QDate today_{2026, 3, 3};

    // Salary +50,000 on the 10th, rent -12,000 on the 5th of every month; opening balance 10,000.
    void FillBook(TPlanBook& book, TPlanBookState& state) const {
        book = MakeBook({Flow(prMonthly, Ymd(2026, 3, 10), 12, 50000, "薪水"), Flow(prMonthly, Ymd(2026, 3, 5), 12, -12000, "房租")});
        state.OpeningBalance = 10000;
        state.SetCurrentDate(FromQDate(today_));
    }
    // The text of the pages of a PDF, read back by pdftotext.
    static QStringList PdfPages(const QByteArray& pdf) {
        QProcess process;
        process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-"), QStringLiteral("-")});
        process.write(pdf);
        process.closeWriteChannel();
        process.waitForFinished();
        return QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    }
    QByteArray Contents(const QString& name) const {
        QFile f(dir_.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void monthPrintoutHoldsTheCalendarTotalsAndTableOnPagesAsNeeded() {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) QSKIP("pdftotext is not installed");
        TPlanBook book;
        TPlanBookState state;
        FillBook(book, state);
        const TMonthPrintout march{FromQDate(today_), FromQDate(today_), false, QStringLiteral("plans.tbr"), today_};
        const QStringList pages = PdfPages(MonthPdf(book, state, march));
        // Balances 10,000 on the 3rd and 4th, -2,000 from the 5th, 48,000 from the 10th: 1,066,000 / 29 days.
        for (const char* text : {"2026 年 3 月", "收支平衡:", "本月收入 50,000", "本月支出 -12,000", "本月平均 36,759",
                                 "房租", "plans.tbr", "第 1 頁"}) {
            QVERIFY2(pages.size() == 1 && pages[0].contains(QString::fromUtf8(text)), text);
        }
        for (int i = 1; i <= 40; ++i) book.Append(CreateFrom(pkFixAccount, Flow(prOnce, Ymd(2026, 3, 20), 1, -i)));
        const QStringList long_ = PdfPages(MonthPdf(book, state, march));
        QVERIFY(long_.size() == 2 && long_[1].contains(QStringLiteral("第 2 頁")) && long_[1].contains(QStringLiteral("-40")));
    }

    // Each command writes a whole file or says why not; the chart's image is PNG or PDF by the name's extension.
    void fileMenuCommandsWriteWholeFilesOrSayWhy() {
        TForm1 w({dir_.filePath(QStringLiteral("Tamber98.ini")).toStdString(), &prompts_, [this] { return today_; }});
        FillBook(w.Book(), w.State());
        prompts_.ExportNames = {dir_.filePath(QStringLiteral("m.pdf")), dir_.filePath(QStringLiteral("missing/m.pdf"))};
        for (int i = 0; i < 2; ++i) Trigger(&w, "ExportPdf1");
        QCOMPARE(std::pair(Contents(QStringLiteral("m.pdf")).left(5), prompts_.Errors),
                 std::pair(QByteArray("%PDF-"), QStringList(QStringLiteral("寫檔錯誤: %1 (找不到檔案或資料夾)").arg(dir_.filePath(QStringLiteral("missing/m.pdf"))))));
        prompts_.ExportNames = {dir_.filePath(QStringLiteral("c.ics"))};
        Trigger(&w, "ExportCalendar1");  // the span dialog cancelled: no file asked for
        QCOMPARE(prompts_.Proposed, std::optional<TDateSpan>({today_, QDate(2027, 3, 2)}));
        prompts_.Span = TDateSpan{QDate(2026, 3, 6), QDate(2026, 4, 5)};
        Trigger(&w, "ExportCalendar1");
        const QByteArray text = Contents(QStringLiteral("c.ics"));
        QVERIFY(text.count("BEGIN:VEVENT") == 2 && text.contains("DTSTART;VALUE=DATE:20260405"));  // 10 March and 5 April
        TForm4 chart(
            w.Book(), w.State().OpeningBalance, [this] { return today_; }, &prompts_);
        chart.ShowChart();
        for (const auto& [name, head] : {std::pair{"chart.png", "\x89PNG"}, {"chart.PDF", "%PDF"}, {"missing/c.png", ""}}) {
            prompts_.ExportNames = {dir_.filePath(QString::fromLatin1(name))};
            chart.SaveImage();
            QVERIFY2(Contents(QString::fromLatin1(name)).startsWith(head), name);
        }
        QCOMPARE(prompts_.Errors.size(), 2);
        TExportSpanDialog span({today_, today_.addMonths(1)}, today_, today_.addYears(1));  // the last day keeps from the first on
        span.findChild<QDateEdit*>(QStringLiteral("FromDate"))->setDate(today_.addMonths(2));
        QCOMPARE(span.Span(), (TDateSpan{today_.addMonths(2), today_.addMonths(2)}));
    }
};

static const bool kRegistered = tamber::test::RegisterUiTest<ExportsTest>();
#include "ExportsTest.moc"
