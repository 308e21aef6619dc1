#include "ui/Main.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLockFile>
#include <QMenu>
#include <QMenuBar>
#include <QMetaMethod>
#include <QMetaObject>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "book/BookErrors.h"
#include "model/Big5.h"
#include "ui/DrawCalendar.h"
#include "ui/Exports.h"
#include "ui/Grids.h"
#include "ui/Prompts.h"
#include "ui/QtDates.h"
#include "ui/Theme.h"
#include "ui/UiTexts.h"

namespace tamber::ui {
namespace {

const QString kCaption = QStringLiteral("Tamber 98");
const QString kBlankCaption = QStringLiteral("Tamber 98 - 空白");
constexpr int kGridRows = 4;  // data rows a day or remaining-periods grid always has

void SetCell(QTableWidget* grid, int row, int column, const QString& text, Qt::Alignment align = Qt::AlignLeft) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    item->setTextAlignment(align | Qt::AlignVCenter);
    grid->setItem(row, column, item);
}

void ResetGrid(QTableWidget* grid, int rows) {
    grid->clearContents();
    grid->setRowCount(rows);
}

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text = QString()) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

}  // namespace

QString FileNamePart(const QString& path) {
    const qsizetype cut =
        std::max({path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char(':'))});
    return path.mid(cut + 1);
}

QString PlanFileLockName(const QString& path) {
    const QFileInfo file(path);
    return file.absolutePath() + QStringLiteral("/.") + file.fileName() + QStringLiteral(".lock");
}

QString DescriptionText(const TCustomPlan& plan) {
    return FromBig5(DescriptionBytes(plan.Rec()));
}

QString BookErrorText(const TPlanBook& book, const ETamberError& error) {
    const auto* planError = dynamic_cast<const EPlanError*>(&error);
    if (!planError || planError->PlanIndex() < 0 || planError->PlanIndex() >= book.Count()) {
        return QString::fromUtf8(error.what());
    }
    return QStringLiteral("第 %1 項計劃「%2」的金額無法計算: %3")
        .arg(planError->PlanIndex() + 1)
        .arg(DescriptionText(book.Plan(planError->PlanIndex())), QString::fromUtf8(error.what()));
}

TPlanDetailTexts PlanDetailTexts(const TCustomPlan& plan, const QLocale& locale) {
    const TPlanRecord& rec = plan.Rec();
    TPlanDetailTexts t;
    t.Page = rec.PlanKind < kPlanKindCount ? rec.PlanKind : kBlankDetailPage;
    t.Kind = PlanKindCaption(rec.PlanKind);
    t.Description = DescriptionText(plan);
    t.StartDate = ShortDateText(rec.StartDate, locale);
    t.PeriodCount = QString::number(rec.PeriodCount);
    t.Amount = QString::number(rec.Amount);
    switch (rec.PlanKind) {
        case pkFixAccount: t.Direction = rec.Direction > 0 ? QStringLiteral("收入") : QStringLiteral("支出"); break;
        case pkCollect:
            t.BidKind = rec.InnerBidding != 0 ? QStringLiteral("內標") : QStringLiteral("外標");
            t.BaseBid = QString::number(rec.BaseBid);
            break;
        default:
            t.Rate = QString::asprintf("%.2f", AnnualRateOf(rec));
            // The method the amounts are computed with, also for a code no choice sets.
            t.Method = MethodCaption(rec.PlanKind, EffectiveMethod(rec.PlanKind, rec.Method));
            break;
    }
    return t;
}

QString OutOfRangeText(TDate day, const QLocale& locale) {
    return QStringLiteral("結存超出範圍: %1 起").arg(ShortDateText(day, locale));
}

TLookAheadTexts LookAheadTexts(const TLookAhead& ahead, const QLocale& locale) {
    const auto amount = [](int32_t value) { return QString::fromStdString(FormatMonthTotal(value)); };
    TLookAheadTexts t;
    if (ahead.OutOfRangeFrom != 0) {
        t.Lowest = OutOfRangeText(ahead.OutOfRangeFrom, locale);
        t.LowestRed = true;
        t.LowestDay = ahead.OutOfRangeFrom;
    } else if (ahead.Lowest) {
        t.Lowest =
            QStringLiteral("最低結存 %1 (%2)").arg(amount(ahead.Lowest->Balance), ShortDateText(ahead.Lowest->Date, locale));
        t.LowestRed = ahead.Lowest->Balance < 0;
        t.LowestDay = ahead.Lowest->Date;
    }
    if (ahead.FirstBelowZero) {
        t.Overdraft = QStringLiteral("首次透支 %1").arg(ShortDateText(ahead.FirstBelowZero->Date, locale));
        t.OverdraftRed = true;
        t.OverdraftDay = ahead.FirstBelowZero->Date;
    } else if (ahead.OutOfRangeFrom == 0) {
        // Beyond a balance out of range nothing is known either way.
        t.Overdraft = QStringLiteral("35 年內不會透支");
    }
    return t;
}

std::vector<TRemainingRow> RemainingPeriodRows(const TCustomPlan& plan, int32_t period, const QLocale& locale) {
    std::vector<TRemainingRow> rows;
    // The periods that fall on a day of their own or share one: for a sound
    // plan its PeriodCount, for a once-only record of a damaged file claiming
    // many periods on its one day only the first, as the ledger counts them.
    int32_t last = 0;
    try {
        last = plan.LastPeriodNumber(plan.LastDate());
    } catch (const ETamberError&) {
        return rows;
    }
    if (period < last) rows.reserve(static_cast<std::size_t>(last - period));
    for (int32_t j = std::max(period, 0) + 1; j <= last; ++j) {
        TRemainingRow row;
        row.Period = QString::number(j);
        try {
            row.Date = ShortDateText(plan.DateOfPeriod(j), locale);
            row.Amount = QString::number(plan.PeriodAmount(j));
        } catch (const ETamberError&) {
            row.Amount = QStringLiteral("?");
        }
        rows.push_back(row);
    }
    return rows;
}

// ---- Construction -------------------------------------------------------

TForm1::TForm1(TOptions options, QWidget* parent)
    : QMainWindow(parent),
      Options_(std::move(options)),
      Prompts_(Options_.Prompts ? Options_.Prompts : &SystemPrompts()),
      Bars_(1, 1) {
    setObjectName(QStringLiteral("TForm1"));
    resize(641, 449);

    // Recent files, oldest first so that History1 ends up on top.
    const auto history = ReadSettings(Options_.SettingsFile);
    for (auto it = history.rbegin(); it != history.rend(); ++it) tamber::AddToRecentFiles(Recent_, *it);

    State_.Modified = false;
    UpdateCaption(kCaption);
    const QDate today = Today();
    State_.SetCurrentDate(FromQDate(today));
    Bars_ = TMonthBars(State_.CurrentYear, State_.CurrentMonth);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* band = new QWidget(central);
    auto* body = new QWidget(central);
    layout->addWidget(band);
    layout->addWidget(body, 1);
    setCentralWidget(central);

    BuildTopBand(band);
    BuildBody(body);
    BuildMenus();
    SyncBars();

    // On a screen taller than the design the day numbers and amounts grow.
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen && screen->availableGeometry().height() > 480) {
        auto grown = [](QFont font, int points) {
            if (font.pixelSize() > 0) {
                font.setPixelSize(font.pixelSize() + points * 4 / 3);
            } else {
                font.setPointSizeF(font.pointSizeF() + points);
            }
            return font;
        };
        Calendar_->SetDateFont(grown(Calendar_->DateFont(), 4), Calendar_->DateFontColor());
        Calendar_->SetTextFont(grown(Calendar_->TextFont(), 2), Calendar_->TextFontColor());
    }
    SelectDetailPage(kBlankDetailPage);
    ShowLookAhead();
}

TForm1::~TForm1() = default;

QDate TForm1::Today() const {
    return Options_.Today ? Options_.Today() : QDate::currentDate();
}

TDate TForm1::TodayDate() const {
    return FromQDate(Today());
}

void TForm1::BuildMenus() {
    FileMenu_ = menuBar()->addMenu(QStringLiteral("檔案"));
    FileMenu_->setObjectName(QStringLiteral("File1"));
    FileMenu_->addAction(QStringLiteral("載入"), this, &TForm1::LoadCommand)->setObjectName(QStringLiteral("Load1"));
    FileMenu_->addAction(QStringLiteral("存檔"), this, [this] { SaveCommand(); })->setObjectName(QStringLiteral("Save1"));
    FileMenu_->addAction(QStringLiteral("另存新檔"), this, [this] { SaveAsCommand(); })->setObjectName(QStringLiteral("SaveAs1"));
    FileMenu_->addSeparator();
    QAction* print = FileMenu_->addAction(QStringLiteral("列印..."), this, [this] { PrintCommand(*this, *Prompts_); });
    print->setObjectName(QStringLiteral("Print1"));
    print->setShortcut(QKeySequence::Print);
    FileMenu_->addAction(QStringLiteral("匯出 PDF..."), this, [this] { ExportPdfCommand(*this, *Prompts_); })
        ->setObjectName(QStringLiteral("ExportPdf1"));
    FileMenu_->addAction(QStringLiteral("匯出行事曆..."), this, [this] { ExportCalendarCommand(*this, *Prompts_); })
        ->setObjectName(QStringLiteral("ExportCalendar1"));
    FileMenu_->addSeparator();
    FileMenu_->addAction(QStringLiteral("清除載入的計劃"), this, &TForm1::ClearCommand)->setObjectName(QStringLiteral("Clear1"));
    QAction* exit = FileMenu_->addAction(QStringLiteral("離開"), this, &QWidget::close);
    exit->setObjectName(QStringLiteral("Exit1"));
    exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
    exit->setShortcutContext(Qt::ApplicationShortcut);
    RebuildRecentMenu();

    QMenu* edit = menuBar()->addMenu(QStringLiteral("編輯"));
    edit->setObjectName(QStringLiteral("Edit1"));
    // A command whose window is not there does nothing, and its menu shows it disabled.
    const auto received = [this](void (TForm1::*request)()) { return isSignalConnected(QMetaMethod::fromSignal(request)); };
    const auto command = [this, received](void (TForm1::*request)(), bool refresh) {
        return [this, received, request, refresh] {
            if (!received(request)) return;
            emit(this->*request)();
            if (refresh) RefreshFigures();
        };
    };
    QAction* plans = edit->addAction(QStringLiteral("計劃"), this, command(&TForm1::EditPlansRequested, true));
    plans->setObjectName(QStringLiteral("Plans1"));
    QAction* balance = edit->addAction(QStringLiteral("初始平衡"), this, command(&TForm1::AdjustBalanceRequested, true));
    balance->setObjectName(QStringLiteral("Balance1"));

    QMenu* view = menuBar()->addMenu(QStringLiteral("檢視"));
    view->setObjectName(QStringLiteral("View1"));
    WholeMonthBalance_ = view->addAction(QStringLiteral("全月平衡"));
    WholeMonthBalance_->setObjectName(QStringLiteral("WholeMonth1"));
    WholeMonthBalance_->setCheckable(true);
    connect(WholeMonthBalance_, &QAction::toggled, this, [this](bool on) { Calendar_->SetShowBalance(on); });
    QAction* chart = view->addAction(QStringLiteral("圖表"), this, command(&TForm1::ChartRequested, false));
    chart->setObjectName(QStringLiteral("Chart1"));

    QMenu* help = menuBar()->addMenu(QStringLiteral("說明"));
    help->setObjectName(QStringLiteral("Help1"));
    QAction* about = help->addAction(QStringLiteral("關於..."), this, command(&TForm1::AboutRequested, false));
    about->setObjectName(QStringLiteral("About1"));

    connect(edit, &QMenu::aboutToShow, this, [received, plans, balance] {
        plans->setEnabled(received(&TForm1::EditPlansRequested));
        balance->setEnabled(received(&TForm1::AdjustBalanceRequested));
    });
    connect(view, &QMenu::aboutToShow, this, [received, chart] { chart->setEnabled(received(&TForm1::ChartRequested)); });
    connect(help, &QMenu::aboutToShow, this, [received, about] { about->setEnabled(received(&TForm1::AboutRequested)); });
}

void TForm1::BuildTopBand(QWidget* band) {
    auto* row = new QHBoxLayout(band);
    row->setContentsMargins(0, 0, 4, 0);

    auto* left = new QFrame(band);
    left->setObjectName(QStringLiteral("Panel1"));
    left->setFixedSize(472, 49);
    left->setAutoFillBackground(true);
    QPalette bandPalette = left->palette();
    bandPalette.setColor(QPalette::Window, kBandBackground);
    bandPalette.setColor(QPalette::WindowText, kBandText);
    left->setPalette(bandPalette);

    QFont big = font();
    big.setPixelSize(30);
    big.setBold(true);
    big.setItalic(true);
    auto yellowLabel = [&](const QString& name, const QString& text, QRect geometry) {
        QLabel* label = MakeLabel(left, name, text);
        label->setFont(big);
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, kBandYearMonth);
        label->setPalette(p);
        label->setGeometry(geometry);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return label;
    };
    YearLabel_ = yellowLabel(QStringLiteral("YearLabel"), QString(), QRect(2, 2, 90, 44));
    QLabel* dash = yellowLabel(QStringLiteral("DashLabel"), QStringLiteral("─"), QRect(92, 2, 30, 44));
    dash->setAlignment(Qt::AlignCenter);
    MonthLabel_ = yellowLabel(QStringLiteral("MonthLabel"), QString(), QRect(122, 2, 44, 44));
    MonthLabel_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    MonthSlider_ = new QScrollBar(Qt::Horizontal, left);
    MonthSlider_->setObjectName(QStringLiteral("ScrollBar1"));
    MonthSlider_->setGeometry(176, 4, 292, 18);
    MonthSlider_->setRange(0, Bars_.SliderMax());
    MonthSlider_->setPageStep(TMonthBars::kSliderPageStep);

    QLabel* yearCaption = MakeLabel(left, QStringLiteral("YearCaption"), QStringLiteral("年"));
    yearCaption->setGeometry(176, 26, 16, 18);
    YearBar_ = new QScrollBar(Qt::Horizontal, left);
    YearBar_->setObjectName(QStringLiteral("ScrollBar2"));
    YearBar_->setGeometry(194, 26, 118, 18);
    YearBar_->setRange(0, TMonthBars::kYearBarMax);
    YearBar_->setPageStep(1);

    MonthBar_ = new QScrollBar(Qt::Horizontal, left);
    MonthBar_->setObjectName(QStringLiteral("ScrollBar3"));
    MonthBar_->setGeometry(320, 26, 128, 18);
    MonthBar_->setRange(0, TMonthBars::kMonthBarMax);
    MonthBar_->setPageStep(1);
    QLabel* monthCaption = MakeLabel(left, QStringLiteral("MonthCaption"), QStringLiteral("月"));
    monthCaption->setGeometry(452, 26, 16, 18);

    MonthSlider_->setAccessibleName(QStringLiteral("月份"));
    YearBar_->setAccessibleName(yearCaption->text());
    MonthBar_->setAccessibleName(monthCaption->text());
    for (QScrollBar* bar : {MonthSlider_, YearBar_, MonthBar_}) {
        // The band's colours are for its texts: its bars look like every other
        // scroll bar of the system.
        QPalette system = QApplication::palette(bar);
        system.setResolveMask(~QPalette::ResolveMask(0));
        bar->setPalette(system);
    }
    connect(MonthSlider_, &QScrollBar::valueChanged, this, &TForm1::SliderChanged);
    connect(YearBar_, &QScrollBar::valueChanged, this, &TForm1::YearBarChanged);
    connect(MonthBar_, &QScrollBar::valueChanged, this, &TForm1::MonthBarChanged);
    for (QScrollBar* bar : {MonthSlider_, YearBar_, MonthBar_}) {
        connect(bar, &QScrollBar::sliderReleased, this, &TForm1::ApplyScrolledMonth);
    }
    row->addWidget(left);

    auto* totals = new QGridLayout;
    QFont valueFont = font();
    valueFont.setItalic(true);
    auto valueLabel = [&](const QString& name) {
        QLabel* label = MakeLabel(band, name, QStringLiteral("0"));
        label->setFont(valueFont);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        // Room for the largest total of a month, and on the right for the
        // slant of the last italic digit (inside the label, which repaints it).
        label->setIndent(3);
        label->setMinimumWidth(QFontMetrics(valueFont).horizontalAdvance(GroupedAmountSample(31)) + 3);
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, kMonthTotals);
        label->setPalette(p);
        return label;
    };
    totals->addWidget(MakeLabel(band, QStringLiteral("IncomeCaption"), QStringLiteral("本月收入")), 0, 0);
    MonthIncome_ = valueLabel(QStringLiteral("IncomeLabel"));
    totals->addWidget(MonthIncome_, 0, 1);
    totals->addWidget(MakeLabel(band, QStringLiteral("ExpenseCaption"), QStringLiteral("本月支出")), 1, 0);
    MonthExpense_ = valueLabel(QStringLiteral("ExpenseLabel"));
    totals->addWidget(MonthExpense_, 1, 1);
    row->addSpacing(12);
    row->addLayout(totals);

    // The look ahead: two parts of one line, each showing its day on the
    // calendar when clicked or, with the focus, when Enter or Space is pressed.
    auto lookAheadPart = [&](const QString& name, TDate& day) {
        auto* part = new QPushButton(band);
        part->setObjectName(name);
        part->setFlat(true);
        part->setAutoDefault(true);  // Enter clicks it too
        part->setMinimumWidth(1);    // a narrow window cuts the text rather than growing
        part->setAccessibleDescription(QStringLiteral("在月曆上顯示這一天"));
        connect(part, &QPushButton::clicked, this, [this, &day] {
            if (day != 0) ShowDay(day);
        });
        row->addWidget(part);
        return part;
    };
    row->addSpacing(12);
    LowestButton_ = lookAheadPart(QStringLiteral("LowestButton"), LowestDay_);
    row->addSpacing(16);
    OverdraftButton_ = lookAheadPart(QStringLiteral("OverdraftButton"), OverdraftDay_);
    row->addStretch(1);
}

void TForm1::BuildBody(QWidget* body) {
    auto* row = new QHBoxLayout(body);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);

    Calendar_ = new TDrawCalendar(Today(), body);
    ConfigureForMainWindow(*Calendar_);
    Calendar_->setObjectName(QStringLiteral("DrawCalendar1"));
    Calendar_->setFixedWidth(472);
    Calendar_->setMinimumHeight(352);
    Calendar_->setMaximumHeight(QWIDGETSIZE_MAX);
    connect(Calendar_, &TDrawCalendar::OnChange, this, &TForm1::CalendarChanged);
    row->addWidget(Calendar_, 0, Qt::AlignLeft);

    auto* right = new QWidget(body);
    auto* column = new QVBoxLayout(right);
    column->setContentsMargins(0, 0, 0, 0);
    DayGrid_ = MakeGrid(right, QStringLiteral("StringGrid1"), kGridRows, {QStringLiteral("計劃"), QStringLiteral("金額")},
                        {{DescriptionSample()}, {PlainAmountSample()}});
    DayGrid_->setAccessibleName(QStringLiteral("當日計劃"));
    connect(DayGrid_, &QTableWidget::currentCellChanged, this, [this] { ShowPlanDetail(); });
    column->addWidget(DayGrid_, 2);

    PageControl_ = new QTabWidget(right);
    PageControl_->setObjectName(QStringLiteral("PageControl1"));
    PageControl_->addTab(BuildDetailsTab(), QStringLiteral("詳細資料"));
    auto* remaining = new QWidget(PageControl_);
    remaining->setObjectName(QStringLiteral("TabSheet2"));
    auto* remainingLayout = new QVBoxLayout(remaining);
    RemainingGrid_ = MakeGrid(remaining, QStringLiteral("StringGrid2"), kGridRows,
                              {QStringLiteral("期次"), QStringLiteral("日期"), QStringLiteral("金額")},
                              {{PeriodNumberSample()}, ShortDateSamples(QLocale()), {PlainAmountSample()}});
    RemainingGrid_->setAccessibleName(QStringLiteral("剩餘期次"));
    remainingLayout->addWidget(RemainingGrid_);
    PageControl_->addTab(remaining, QStringLiteral("剩餘期次"));
    column->addWidget(PageControl_, 3);
    row->addWidget(right, 1);
}

QWidget* TForm1::BuildDetailsTab() {
    auto* tab = new QWidget;
    tab->setObjectName(QStringLiteral("TabSheet1"));
    auto* layout = new QVBoxLayout(tab);

    KindLabel_ = MakeLabel(tab, QStringLiteral("KindLabel"));
    QFont bold = KindLabel_->font();
    bold.setBold(true);
    KindLabel_->setFont(bold);
    DescriptionLabel_ = MakeLabel(tab, QStringLiteral("DescriptionLabel"));
    DescriptionLabel_->setWordWrap(true);
    auto* heading = new QGridLayout;
    QLabel* startCaption = MakeLabel(tab, QStringLiteral("StartCaption"), QStringLiteral("起始日"));
    StartDateLabel_ = MakeLabel(tab, QStringLiteral("StartDateLabel"));
    QLabel* countCaption = MakeLabel(tab, QStringLiteral("CountCaption"), QStringLiteral("期數"));
    PeriodCountLabel_ = MakeLabel(tab, QStringLiteral("PeriodCountLabel"));
    heading->addWidget(startCaption, 0, 0);
    heading->addWidget(StartDateLabel_, 0, 1);
    heading->addWidget(countCaption, 1, 0);
    heading->addWidget(PeriodCountLabel_, 1, 1);
    heading->setColumnStretch(1, 1);
    HeadingWidgets_ = {KindLabel_, DescriptionLabel_, startCaption, StartDateLabel_, countCaption, PeriodCountLabel_};
    layout->addWidget(KindLabel_);
    layout->addWidget(DescriptionLabel_);
    layout->addLayout(heading);

    Notebook_ = new QStackedWidget(tab);
    Notebook_->setObjectName(QStringLiteral("Notebook1"));
    auto page = [&](const QString& name) {
        auto* w = new QWidget(Notebook_);
        w->setObjectName(name);
        auto* grid = new QGridLayout(w);
        grid->setContentsMargins(0, 0, 0, 0);
        // Values stand in a column of their own width beside their captions, whatever the window's width.
        grid->setColumnMinimumWidth(1, 96);
        grid->setColumnStretch(3, 1);
        Notebook_->addWidget(w);
        return grid;
    };
    auto pair = [](QGridLayout* grid, int row, const QString& caption, QLabel* value, QLabel* unit = nullptr) {
        grid->addWidget(new QLabel(caption), row, 0);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(value, row, 1);
        if (unit) grid->addWidget(unit, row, 2);
    };

    QGridLayout* fix = page(QStringLiteral("FixAccount"));
    DirectionLabel_ = MakeLabel(nullptr, QStringLiteral("DirectionLabel"));
    fix->addWidget(DirectionLabel_, 0, 0, 1, 2);
    FixAmountLabel_ = MakeLabel(nullptr, QStringLiteral("FixAmountLabel"));
    pair(fix, 1, QStringLiteral("金額"), FixAmountLabel_);
    fix->setRowStretch(2, 1);

    QGridLayout* collect = page(QStringLiteral("Collect"));
    BidKindLabel_ = MakeLabel(nullptr, QStringLiteral("BidKindLabel"));
    collect->addWidget(BidKindLabel_, 0, 0, 1, 2);
    CollectAmountLabel_ = MakeLabel(nullptr, QStringLiteral("CollectAmountLabel"));
    pair(collect, 1, QStringLiteral("金額"), CollectAmountLabel_);
    BaseBidLabel_ = MakeLabel(nullptr, QStringLiteral("BaseBidLabel"));
    pair(collect, 2, QStringLiteral("底標"), BaseBidLabel_);
    collect->setRowStretch(3, 1);

    const QString rateNames[3] = {QStringLiteral("Saving"), QStringLiteral("Compound"), QStringLiteral("Loan")};
    for (int i = 0; i < 3; ++i) {
        QGridLayout* grid = page(rateNames[i]);
        TRatePage& p = RatePages_[i];
        p.Amount = MakeLabel(nullptr, rateNames[i] + QStringLiteral("AmountLabel"));
        pair(grid, 0, QStringLiteral("金額"), p.Amount);
        p.Rate = MakeLabel(nullptr, rateNames[i] + QStringLiteral("RateLabel"));
        pair(grid, 1, QStringLiteral("年利率"), p.Rate, new QLabel(QStringLiteral("%")));
        p.Method = MakeLabel(nullptr, rateNames[i] + QStringLiteral("MethodLabel"));
        grid->addWidget(p.Method, 2, 0, 1, 3);
        grid->setRowStretch(3, 1);
    }
    auto* empty = new QWidget(Notebook_);
    empty->setObjectName(QStringLiteral("Empty"));
    Notebook_->addWidget(empty);

    layout->addWidget(Notebook_, 1);
    return tab;
}

// ---- Recent files --------------------------------------------------------

void TForm1::AddToRecentFiles(const QString& path) {
    tamber::AddToRecentFiles(Recent_, path.toStdString());
    RebuildRecentMenu();
}

void TForm1::RebuildRecentMenu() {
    // The item that was chosen may be the one being replaced: let it finish first.
    for (QAction* action : RecentActions_) {
        FileMenu_->removeAction(action);
        action->deleteLater();
    }
    RecentActions_.clear();
    if (Recent_.empty()) return;
    if (!RecentSeparator_) RecentSeparator_ = FileMenu_->addSeparator();
    for (const std::string& file : Recent_) {
        const QString path = QString::fromStdString(file);
        QAction* action = new QAction(path, FileMenu_);
        action->setObjectName(QStringLiteral("Recent%1").arg(RecentActions_.size() + 1));
        connect(action, &QAction::triggered, this, [this, path] {
            OfferToSaveChanges();
            OpenPlanFile(path);
        });
        FileMenu_->addAction(action);
        RecentActions_.push_back(action);
    }
}

// ---- File commands -------------------------------------------------------

void TForm1::UpdateCaption(const QString& caption) {
    setWindowTitle(caption);
}

bool TForm1::HasChangesToSave() const {
    // Something typed and not yet saved: a changed file, or new plans without one.
    return State_.Modified && (!State_.PlanFileName.empty() || !Book_.Empty());
}

void TForm1::OfferToSaveChanges() {
    if (!HasChangesToSave()) return;
    // When the file cannot be written (a full disk, a folder without write
    // permission), saving again from the prompt asks for another name: the
    // prompt cannot cancel what follows, and the changes would be lost.
    Prompts_->AskToSaveChanges(this, [this, failedBefore = false]() mutable {
        if (failedBefore) return SaveAsCommand();
        failedBefore = !SaveCommand();
        return !failedBefore;
    });
}

void TForm1::ReportError(const QString& message) {
    Prompts_->ShowError(this, message);
}

void TForm1::LoadCommand() {
    OfferToSaveChanges();
    const QString name = Prompts_->OpenPlanFileName(this);
    if (!name.isEmpty()) OpenPlanFile(name);
}

bool TForm1::OpenPlanFile(const QString& name) {
    if (!LoadPlanFile(name)) return false;
    AddToRecentFiles(name);
    return true;
}

bool TForm1::MayOpen(const QString& name) {
    const QString lockName = PlanFileLockName(name);
    if (Lock_ && Lock_->fileName() == lockName) return true;  // this window has it open
    QLockFile probe(lockName);
    probe.setStaleLockTime(0);
    // Free, or left behind by a copy that ended without releasing it (taken
    // over); where no lock can be made at all there is nobody to tell.
    if (probe.tryLock(0) || probe.error() != QLockFile::LockFailedError) return true;
    return Prompts_->AskOpenFileInUse(this, name);
}

void TForm1::FollowFileLock() {
    const QString lockName =
        State_.PlanFileName.empty() ? QString() : PlanFileLockName(QString::fromStdString(State_.PlanFileName));
    if (Lock_ && Lock_->fileName() == lockName) return;
    Lock_.reset();
    if (lockName.isEmpty()) return;
    auto lock = std::make_unique<QLockFile>(lockName);
    // Held as long as the window has the file, however long; only the lock
    // of a copy that is no longer running is stale.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) Lock_ = std::move(lock);
}

void TForm1::ShowLookAhead() {
    TLookAheadTexts t;
    try {
        const TLookAhead ahead = LookAhead(Book_, State_.OpeningBalance, TodayDate());
        // The balance no longer leaves 32 bits: a later overflow is told again.
        if (ahead.OutOfRangeFrom == 0) ReportedOutOfRange_ = 0;
        t = LookAheadTexts(ahead, QLocale());
    } catch (const ETamberError&) {
        // Leaves both parts empty: the month's computation tells which plan fails.
    }
    const auto show = [](QPushButton* part, const QString& text, bool red, TDate day) {
        part->setText(text);
        part->setAccessibleName(text);
        part->setVisible(!text.isEmpty());
        QPalette palette = part->palette();
        palette.setColor(QPalette::ButtonText, red ? kWarningText : part->parentWidget()->palette().color(QPalette::ButtonText));
        part->setPalette(palette);
        part->setFocusPolicy(day != 0 ? Qt::StrongFocus : Qt::NoFocus);
        part->setCursor(day != 0 ? Qt::PointingHandCursor : Qt::ArrowCursor);
        part->setToolTip(day != 0 ? part->accessibleDescription() : QString());
    };
    LowestDay_ = t.LowestDay;
    OverdraftDay_ = t.OverdraftDay;
    show(LowestButton_, t.Lowest, t.LowestRed, t.LowestDay);
    show(OverdraftButton_, t.Overdraft, t.OverdraftRed, t.OverdraftDay);
}

void TForm1::ShowDay(TDate day) {
    const TYearMonthDay ymd = DecodeDate(day);
    Bars_.YearBarMoved(ymd.Year - Bars_.CurrentYear());
    Bars_.MonthBarMoved(ymd.Month - 1);
    SyncBars();
    ApplyScrolledMonth();
    Calendar_->SetDay(ymd.Day);
    Calendar_->setFocus();
}

bool TForm1::LoadPlanFile(const QString& name) {
    if (!MayOpen(name)) return false;
    UpdateCaption(kCaption + QStringLiteral(" - ") + FileNamePart(name));
    DayShown_ = 0;  // another book: its day list starts at the top
    QString notWritten;
    TLoadOutcome outcome = TLoadOutcome::Loaded;
    try {
        outcome = tamber::LoadPlanFile(std::filesystem::path(name.toStdString()), Book_, State_, TodayDate(), CatchUp);
        if (outcome == TLoadOutcome::Declined) UpdateCaption(kBlankCaption);
    } catch (const ECatchUpNotWritten& e) {
        notWritten = QString::fromUtf8(e.what());  // told once the plans are shown
    } catch (const ETamberError& e) {
        // The book is empty and no file is associated after any failed load.
        ClearPlanBook();
        ReportError(QString::fromUtf8(e.what()));
        return false;
    }
    FollowFileLock();
    ReportedComputeError_.clear();
    ReportedOutOfRange_ = 0;
    RefreshFigures();
    if (!notWritten.isEmpty()) ReportError(notWritten);
    // The file changed while the catch-up was shown: the save asks the user how.
    if (outcome == TLoadOutcome::CaughtUpNotWritten) SaveCommand();
    return true;
}

bool TForm1::SaveCommand() {
    const std::string previous = State_.PlanFileName;
    if (State_.PlanFileName.empty()) {
        const QString name = Prompts_->SavePlanFileName(this);
        if (name.isEmpty()) return false;
        State_.PlanFileName = name.toStdString();
    }
    if (ChangedOnDisk(State_)) {
        switch (Prompts_->AskOverwriteChangedFile(this, QString::fromStdString(State_.PlanFileName))) {
            case TOverwriteAnswer::Overwrite: break;
            case TOverwriteAnswer::SaveAs: return SaveAsCommand();
            case TOverwriteAnswer::Cancel: return false;
        }
    }
    try {
        SavePlanFile(std::filesystem::path(State_.PlanFileName), Book_, State_, TodayDate());
    } catch (const ETamberError& e) {
        // A name that nothing could be written to is not kept: the next save asks again.
        State_.PlanFileName = previous;
        ReportError(QString::fromUtf8(e.what()));
        return false;
    }
    FollowFileLock();
    return true;
}

bool TForm1::SaveAsCommand() {
    const QString name = Prompts_->SavePlanFileName(this);
    if (name.isEmpty()) return false;
    const std::string previous = State_.PlanFileName;
    const QString previousCaption = windowTitle();
    State_.PlanFileName = name.toStdString();
    UpdateCaption(kCaption + QStringLiteral(" - ") + FileNamePart(name));
    if (SaveCommand()) return true;
    // Nothing was written: the window stays with the file it had, which a
    // later save (also the one the closing offers) still writes to.
    State_.PlanFileName = previous;
    UpdateCaption(previousCaption);
    return false;
}

void TForm1::ClearCommand() {
    OfferToSaveChanges();
    ClearPlanBook();
}

void TForm1::ClearPlanBook() {
    tamber::ClearPlanBook(Book_, State_);
    ReportedComputeError_.clear();
    ReportedOutOfRange_ = 0;
    UpdateCaption(kBlankCaption);
    DayShown_ = 0;
    RefreshFigures();  // an empty day list and the blank details page
    FollowFileLock();
}

// ---- The shown month and day ---------------------------------------------

void TForm1::ComputeMonth(int year, int month) {
    QString error;
    TMonthTotals totals;
    try {
        totals = tamber::ComputeMonth(Book_, State_, year, month, TodayDate(), Calendar_->MonthData());
        ReportedComputeError_.clear();
    } catch (const ETamberError& e) {
        error = BookErrorText(Book_, e);
    }
    // A month that could not be computed, or whose balance left 32 bits, shows
    // no totals rather than figures that are not the plans'.
    const bool known = error.isEmpty() && totals.OutOfRangeFrom == 0;
    MonthIncome_->setText(known ? QString::fromStdString(FormatMonthTotal(totals.Income)) : QString());
    MonthExpense_->setText(known ? QString::fromStdString(FormatMonthTotal(totals.Expense)) : QString());
    if (totals.OutOfRangeFrom != 0 && totals.OutOfRangeFrom != ReportedOutOfRange_) {
        ReportedOutOfRange_ = totals.OutOfRangeFrom;
        error = OutOfRangeText(totals.OutOfRangeFrom, QLocale());
    } else if (error.isEmpty() || error == ReportedComputeError_) {
        // Every activation recomputes the month: tell each error once, after
        // the event that found it, so the window stays usable.
        return;
    } else {
        ReportedComputeError_ = error;
    }
    QMetaObject::invokeMethod(
        this, [this, error] { ReportError(error); }, Qt::QueuedConnection);
}

void TForm1::RefreshFigures() {
    ComputeMonth(Calendar_->Year(), Calendar_->Month());
    Calendar_->update();
    ShowDayPlans(Calendar_->SelectedDate());
    ShowLookAhead();
}

void TForm1::FormActivate() {
    Bars_.LabelsFromBars();
    SyncBars();
    Calendar_->SetShowBalance(WholeMonthBalance_->isChecked());
    // The month the bars point at, also when activation comes in the middle of a drag.
    Calendar_->SetYear(Bars_.ShownYear());
    Calendar_->SetMonth(Bars_.ShownMonth());
    RefreshFigures();
}

void TForm1::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !Closing_) FormActivate();
}

void TForm1::CalendarChanged() {
    ShowDayPlans(Calendar_->SelectedDate());
}

void TForm1::ShowDayPlans(TDate date) {
    try {
        State_.DayItems = BuildDayItems(Book_, date);
    } catch (const ETamberError&) {
        State_.DayItems.clear();  // the month's computation reports the failing plan
    }
    const int n = static_cast<int>(State_.DayItems.size());
    // The same day shown again (an activation of the window) keeps the row the user picked.
    const int keptRow = date == DayShown_ ? DayGrid_->currentRow() : 0;
    DayShown_ = date;
    const QSignalBlocker blocker(DayGrid_);
    ResetGrid(DayGrid_, std::max(n, kGridRows));
    for (int r = 0; r < n; ++r) {
        const std::optional<TDayItem> item = ParseDayItem(State_.DayItems[static_cast<std::size_t>(r)]);
        if (!item || item->PlanIndex >= Book_.Count()) continue;
        const TCustomPlan& plan = Book_.Plan(item->PlanIndex);
        SetCell(DayGrid_, r, 0, DescriptionText(plan));
        QString amount;
        try {
            amount = QString::number(plan.PeriodAmount(item->Period));
        } catch (const ETamberError&) {
            amount = QStringLiteral("?");
        }
        SetCell(DayGrid_, r, 1, amount, Qt::AlignRight);
    }
    DayGrid_->setCurrentCell(keptRow > 0 && keptRow < DayGrid_->rowCount() ? keptRow : 0, 0);
    ShowPlanDetail();
}

void TForm1::ShowPlanDetail() {
    ResetGrid(RemainingGrid_, kGridRows);
    const int r = std::max(DayGrid_->currentRow(), 0);
    if (r >= static_cast<int>(State_.DayItems.size())) {
        SelectDetailPage(kBlankDetailPage);
        return;
    }
    const std::optional<TDayItem> item = ParseDayItem(State_.DayItems[static_cast<std::size_t>(r)]);
    if (!item || item->PlanIndex >= Book_.Count()) {
        SelectDetailPage(kBlankDetailPage);
        return;
    }
    const TCustomPlan& plan = Book_.Plan(item->PlanIndex);
    const QLocale locale;
    const TPlanDetailTexts t = PlanDetailTexts(plan, locale);
    SelectDetailPage(t.Page);
    KindLabel_->setText(t.Kind);
    DescriptionLabel_->setText(t.Description);
    StartDateLabel_->setText(t.StartDate);
    PeriodCountLabel_->setText(t.PeriodCount);
    switch (t.Page) {
        case pkFixAccount:
            DirectionLabel_->setText(t.Direction);
            FixAmountLabel_->setText(t.Amount);
            break;
        case pkCollect:
            BidKindLabel_->setText(t.BidKind);
            CollectAmountLabel_->setText(t.Amount);
            BaseBidLabel_->setText(t.BaseBid);
            break;
        case pkSaving:
        case pkCompound:
        case pkLoan: {
            TRatePage& p = RatePages_[t.Page - pkSaving];
            p.Amount->setText(t.Amount);
            p.Rate->setText(t.Rate);
            p.Method->setText(t.Method);
            break;
        }
        default: break;
    }
    const std::vector<TRemainingRow> rows = RemainingPeriodRows(plan, item->Period, locale);
    if (static_cast<int>(rows.size()) > kGridRows) RemainingGrid_->setRowCount(static_cast<int>(rows.size()));
    for (int j = 0; j < static_cast<int>(rows.size()); ++j) {
        const TRemainingRow& row = rows[static_cast<std::size_t>(j)];
        SetCell(RemainingGrid_, j, 0, row.Period, Qt::AlignRight);
        SetCell(RemainingGrid_, j, 1, row.Date);
        SetCell(RemainingGrid_, j, 2, row.Amount, Qt::AlignRight);
    }
}

void TForm1::SelectDetailPage(int page) {
    for (QWidget* w : HeadingWidgets_) w->setVisible(page < kBlankDetailPage);
    Notebook_->setCurrentIndex(page);
}

// ---- The bars ------------------------------------------------------------

void TForm1::SyncBars() {
    {
        // The bars' own change signals do not move the bars again.
        const QScopedValueRollback<bool> syncing(SyncingBars_, true);
        MonthSlider_->setValue(Bars_.Slider());
        YearBar_->setValue(Bars_.YearBar());
        MonthBar_->setValue(Bars_.MonthBar());
    }
    YearLabel_->setText(QString::number(Bars_.YearLabel()));
    MonthLabel_->setText(QString::number(Bars_.MonthLabel()));
}

void TForm1::SliderChanged(int value) {
    if (SyncingBars_) return;
    Bars_.SliderMoved(value);
    SyncBars();
    if (!MonthSlider_->isSliderDown()) ApplyScrolledMonth();
}

void TForm1::YearBarChanged(int value) {
    if (SyncingBars_) return;
    Bars_.YearBarMoved(value);
    SyncBars();
    if (!YearBar_->isSliderDown()) ApplyScrolledMonth();
}

void TForm1::MonthBarChanged(int value) {
    if (SyncingBars_) return;
    Bars_.MonthBarMoved(value);
    SyncBars();
    if (!MonthBar_->isSliderDown()) ApplyScrolledMonth();
}

void TForm1::ApplyScrolledMonth() {
    const int year = Bars_.ShownYear(), month = Bars_.ShownMonth();
    Calendar_->SetYear(year);
    Calendar_->SetMonth(month);
    ComputeMonth(year, month);
    Calendar_->update();
}

// ---- Closing -------------------------------------------------------------

void TForm1::closeEvent(QCloseEvent* event) {
    if (Closing_) {
        event->accept();
        return;
    }
    Closing_ = true;
    WriteSettings(Options_.SettingsFile, Recent_);
    OfferToSaveChanges();  // cannot cancel the closing
    Book_.Clear();
    State_.DayItems.clear();
    Lock_.reset();
    event->accept();
}

}  // namespace tamber::ui
