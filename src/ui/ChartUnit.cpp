#include "ui/ChartUnit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <qcustomplot.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "book/Ledger.h"
#include "book/PlanFile.h"
#include "model/Big5.h"
#include "model/Errors.h"
#include "ui/Accessible.h"
#include "ui/Prompts.h"
#include "ui/QtDates.h"
#include "ui/RFEdit.h"
#include "ui/Screens.h"
#include "ui/Theme.h"

namespace tamber::ui {

// The date axis: labels "yy/M/d" from the first charted day on, every label
// step, or every so many steps as leave each label room on the axis.
class TDayTicker : public QCPAxisTicker {
public:
    explicit TDayTicker(QCPAxis* axis) : Axis_(axis) {}
    void SetLabelStep(double days) { Step_ = days; }

protected:
    double getTickStep(const QCPRange& range) override {
        constexpr int kLabelRoom = 48;  // pixels along the axis that a slanted label needs
        const double fit = std::max(1, Axis_->axisRect()->width() / kLabelRoom);
        return Step_ * std::max(1.0, std::ceil(range.size() / Step_ / fit));
    }
    QString getTickLabel(double tick, const QLocale&, QChar, int) override {
        try {
            return QString::fromStdString(AxisDateLabel(std::round(tick)));
        } catch (const ETamberError&) {
            return {};
        }
    }

private:
    QCPAxis* Axis_;
    double Step_ = 1;
};

namespace {

// Value axis ticks at whole amounts only: a narrow range never labels a
// fraction that the whole-number labels would show as a repeated number.
class TWholeTicker : public QCPAxisTicker {
protected:
    double getTickStep(const QCPRange& range) override { return std::max(1.0, QCPAxisTicker::getTickStep(range)); }
};

const QString kShowCaption = QStringLiteral("顯示圖表");
const QString kPauseCaption = QStringLiteral("暫停");
constexpr int kWall = 6;          // thickness of the left and bottom walls, pixels
constexpr double kHitRadius = 4;  // how near the pointer must come to a line point, pixels

// The count field's number, saturated at the largest 64-bit value; empty
// when the field holds no number (only digits are ever typed into it).
std::optional<int64_t> CountOf(const QString& text) {
    if (text.isEmpty()) return std::nullopt;
    int64_t count = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
        const int digit = c.unicode() - '0';
        count =
            count > (std::numeric_limits<int64_t>::max() - digit) / 10 ? std::numeric_limits<int64_t>::max() : count * 10 + digit;
    }
    return count;
}

// The walls of the plot area: a light yellow band along its left side and a
// white one along its bottom, between the area and its axes.
class TChartWalls : public QCPLayerable {
public:
    explicit TChartWalls(QCustomPlot* plot) : QCPLayerable(plot, QStringLiteral("background")) {}

protected:
    void applyDefaultAntialiasingHint(QCPPainter* painter) const override { painter->setAntialiasing(false); }
    void draw(QCPPainter* painter) override {
        const QRect area = parentPlot()->axisRect()->rect();
        painter->fillRect(QRect(area.left() - kWall, area.top(), kWall, area.height() + kWall), kChartWall);
        painter->fillRect(QRect(area.left(), area.bottom() + 1, area.width(), kWall), kChartFloor);
    }
};

void CopyBarSettings(const QCPBars& from, QCPBars& to) {
    to.setWidthType(from.widthType());
    to.setWidth(from.width());
    to.setBaseValue(from.baseValue());
    to.setStackingGap(from.stackingGap());
    to.setPen(from.pen());
    to.setBrush(from.brush());
    to.setAntialiased(from.antialiased());
    to.setAntialiasedFill(from.antialiasedFill());
}

void SetBarColor(QCPBars& bars, const QColor& color) {
    bars.setPen(QPen(color.darker(140)));
    bars.setBrush(color);
}

// Where a point of Graph lies within kHitRadius of Pos, the nearest.
std::optional<QPointF> GraphPointAt(const QCPGraph& graph, const QPointF& pos) {
    const QCPAxis* x = graph.keyAxis();
    const QCPAxis* y = graph.valueAxis();
    const auto data = graph.data();
    const double from = x->pixelToCoord(pos.x() - kHitRadius);
    const double to = x->pixelToCoord(pos.x() + kHitRadius);
    std::optional<QPointF> nearest;
    double best = kHitRadius * kHitRadius;
    for (auto it = data->findBegin(from, false); it != data->constEnd() && it->key <= to; ++it) {
        const double dx = x->coordToPixel(it->key) - pos.x();
        const double dy = y->coordToPixel(it->value) - pos.y();
        if (dx * dx + dy * dy <= best) {
            best = dx * dx + dy * dy;
            nearest = QPointF(it->key, it->value);
        }
    }
    return nearest;
}

// The bar of Bars under Pos, with two pixels of grace around thin bars.
std::optional<QPointF> BarAt(const QCPBars& bars, const QPointF& pos) {
    const QCPAxis* x = bars.keyAxis();
    const QCPAxis* y = bars.valueAxis();
    const double half = bars.width() / 2 + 2;
    const auto data = bars.data();
    const double from = x->pixelToCoord(pos.x() - half);
    const double to = x->pixelToCoord(pos.x() + half);
    for (auto it = data->findBegin(from, false); it != data->constEnd() && it->key <= to; ++it) {
        const double y0 = y->coordToPixel(bars.baseValue());
        const double y1 = y->coordToPixel(it->value);
        if (pos.y() >= std::min(y0, y1) - 2 && pos.y() <= std::max(y0, y1) + 2) return QPointF(it->key, it->value);
    }
    return std::nullopt;
}

}  // namespace

TUpDown::TUpDown(QLineEdit* associate, int min, int max, QWidget* parent)
    : QWidget(parent), Associate_(associate), Min_(min), Max_(max), Position_(min) {
    auto* up = new QToolButton(this);
    up->setObjectName(QStringLiteral("Up"));
    up->setArrowType(Qt::UpArrow);
    auto* down = new QToolButton(this);
    down->setObjectName(QStringLiteral("Down"));
    down->setArrowType(Qt::DownArrow);
    for (QToolButton* button : {up, down}) {
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
        button->setFixedWidth(16);
    }
    connect(up, &QToolButton::clicked, this, [this] { StepBy(1); });
    connect(down, &QToolButton::clicked, this, [this] { StepBy(-1); });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(up);
    layout->addWidget(down);
}

void TUpDown::SetPosition(int position) {
    Position_ = std::clamp(position, Min_, Max_);
    Associate_->setText(QString::number(Position_));
}

void TUpDown::StepBy(int steps) {
    const std::optional<int64_t> shown = CountOf(Associate_->text());
    const int64_t current = shown ? std::clamp<int64_t>(*shown, Min_, Max_) : Position_;
    SetPosition(static_cast<int>(current) + steps);
}

QColor PlanSeriesColor(int planIndex) {
    constexpr int kCount = static_cast<int>(std::size(kChartPlanColours));
    return kChartPlanColours[((planIndex % kCount) + kCount) % kCount];
}

TForm4::TForm4(const TPlanBook& book, int32_t openingBalance, std::function<QDate()> today, TPrompts* prompts, QWidget* parent)
    : QDialog(parent),
      Book_(book),
      OpeningBalance_(openingBalance),
      Today_(std::move(today)),
      Prompts_(prompts ? prompts : &SystemPrompts()) {
    setObjectName(QStringLiteral("TForm4"));
    setWindowTitle(QStringLiteral("圖表"));
    setModal(true);
    resize(614, 439);

    Chart_ = new QCustomPlot(this);
    Chart_->setObjectName(QStringLiteral("Chart1"));
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFixedHeight(104);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Chart_, 1);
    layout->addWidget(panel);
    BuildChart();
    BuildPanel(panel);

    Timer1_ = new QTimer(this);
    Timer1_->setObjectName(QStringLiteral("Timer1"));
    Timer1_->setInterval(1000);
    connect(Timer1_, &QTimer::timeout, this, &TForm4::Timer1Timer);

    ClearReadout();
    AddPlans();
    ComboBox1_->setCurrentIndex(1);

    CentreOnScreen(*this, parent);
}

TForm4::~TForm4() = default;

void TForm4::BuildChart() {
    Chart_->setAutoAddPlottableToLegend(false);
    Chart_->setMouseTracking(true);
    Chart_->setNoAntialiasingOnDrag(true);

    QLinearGradient gradient(0, 0, 0, 1);
    gradient.setCoordinateMode(QGradient::ObjectMode);
    gradient.setColorAt(0, kChartBackgroundTop);
    gradient.setColorAt(1, kChartBackgroundBottom);
    Chart_->setBackground(QBrush(gradient));
    Chart_->axisRect()->setBackground(Qt::NoBrush);

    QFont titleFont = font();
    titleFont.setBold(true);
    titleFont.setPixelSize(14);
    Chart_->plotLayout()->insertRow(0);
    Chart_->plotLayout()->addElement(0, 0, new QCPTextElement(Chart_, QStringLiteral("Tamber 98 - Trend Chart"), titleFont));
    new TChartWalls(Chart_);

    QCPAxis* x = Chart_->xAxis;
    auto ticker = QSharedPointer<TDayTicker>::create(x);
    Ticker_ = ticker.data();
    x->setTicker(ticker);
    x->setTickLabelRotation(30);
    x->setSubTicks(false);
    x->setOffset(kWall);
    x->grid()->setVisible(false);
    QCPAxis* y = Chart_->yAxis;
    y->setTicker(QSharedPointer<TWholeTicker>::create());
    y->setNumberFormat(QStringLiteral("f"));
    y->setNumberPrecision(0);
    y->setOffset(kWall);
    y->grid()->setPen(QPen(kChartGrid, 0, Qt::DotLine));
    y->grid()->setZeroLinePen(QPen(kChartZeroLine, 0));

    Series1_ = Chart_->addGraph(x, y);
    Series1_->setObjectName(QStringLiteral("Series1"));
    Series1_->setName(QStringLiteral("Balance"));
    Series1_->setPen(QPen(kChartBalanceLine));
    Series1_->setLineStyle(QCPGraph::lsLine);
    Series1_->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssTriangle, kChartBalanceLine, kChartBalanceLine, 5));

    // The lowest point of the line, a ring on the line with its value above it.
    LowestMark_ = new QCPItemTracer(Chart_);
    LowestMark_->setObjectName(QStringLiteral("LowestMark"));
    LowestMark_->setStyle(QCPItemTracer::tsCircle);
    LowestMark_->setSize(9);
    LowestMark_->setPen(QPen(kChartLowest, 2));
    LowestLabel_ = new QCPItemText(Chart_);
    LowestLabel_->setObjectName(QStringLiteral("LowestLabel"));
    LowestLabel_->position->setParentAnchor(LowestMark_->position);
    LowestLabel_->position->setCoords(0, -8);  // pixels above the ring
    LowestLabel_->setColor(kChartLowest);
    LowestLabel_->setBrush(kChartLowestBack);
    LowestLabel_->setPadding(QMargins(2, 0, 2, 0));
    LowestMark_->setVisible(false);
    LowestLabel_->setVisible(false);

    // Never charted: holds the settings every plan's bars start from.
    Series2_ = new QCPBars(x, y);
    Series2_->setObjectName(QStringLiteral("Series2"));
    Series2_->setWidthType(QCPBars::wtAbsolute);
    Series2_->setWidth(4);
    Series2_->setBaseValue(0);
    Series2_->setAntialiased(false);
    SetBarColor(*Series2_, kChartTemplateBars);

    // The legend stands beside the plot area, at its top, so that it never hides a bar.
    QCPLegend* legend = Chart_->legend;
    legend->setFont(MingFont(12));
    legend->setBrush(kChartLegendBack);
    legend->setIconSize(16, 10);
    Chart_->axisRect()->insetLayout()->take(legend);
    auto* side = new QCPLayoutGrid;
    Chart_->plotLayout()->addElement(1, 1, side);
    Chart_->plotLayout()->setColumnStretchFactor(1, 0.001);
    side->addElement(0, 0, legend);
    side->addElement(1, 0, new QCPLayoutElement(Chart_));  // takes the height the legend leaves
    side->setRowStretchFactor(0, 0.001);
    side->setMargins(QMargins(0, 10, 6, 0));
    // Room on the right for the last slanted date label.
    Chart_->axisRect()->setMinimumMargins(QMargins(0, 0, 36, 0));
    legend->setVisible(false);

    connect(Chart_, &QCustomPlot::mouseMove, this, [this](QMouseEvent* event) { ChartMouseMove(event->position()); });
    connect(Chart_, &QCustomPlot::afterLayout, this, &TForm4::UpdateSeriesSizes);
}

void TForm4::BuildPanel(QWidget* panel) {
    const QFont ming = MingFont(12);
    const QFont serif = SerifFont(13);
    const QFont readout = SerifFont(12);

    auto* group1 = new QGroupBox(QStringLiteral("勾選欲顯示的計劃"), panel);
    group1->setObjectName(QStringLiteral("GroupBox1"));
    group1->setFont(ming);
    CheckListBox1_ = new QListWidget(group1);
    CheckListBox1_->setObjectName(QStringLiteral("CheckListBox1"));
    CheckListBox1_->setUniformItemSizes(true);
    CheckListBox1_->setSelectionMode(QAbstractItemView::SingleSelection);
    CheckListBox1_->setAccessibleName(group1->title());
    auto* group1Layout = new QVBoxLayout(group1);
    group1Layout->setContentsMargins(4, 2, 4, 4);
    group1Layout->addWidget(CheckListBox1_);

    auto* group2 = new QGroupBox(QStringLiteral("顯示的區間"), panel);
    group2->setObjectName(QStringLiteral("GroupBox2"));
    group2->setFont(ming);
    auto* from = new QLabel(QStringLiteral("從"), group2);
    auto* start = new QLabel(QStringLiteral("開始"), group2);
    DateEdit1_ = new QDateEdit(group2);
    DateEdit1_->setObjectName(QStringLiteral("DateEdit1"));
    DateEdit1_->setFont(serif);
    DateEdit1_->setCalendarPopup(false);
    // The short date format, always with the full year so that no century is guessed.
    QString format = locale().dateFormat(QLocale::ShortFormat);
    if (!format.contains(QStringLiteral("yyyy"))) format.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    DateEdit1_->setDisplayFormat(format);
    // Thirty years on from the latest start still lie within the calendar.
    DateEdit1_->setDateRange(QDate(1900, 1, 1), QDate(9969, 12, 31));
    DateEdit1_->setDate(QDate(1997, 11, 1));
    RFilterEdit1_ = new TRFilterEdit(group2);
    RFilterEdit1_->setObjectName(QStringLiteral("RFilterEdit1"));
    RFilterEdit1_->setFont(serif);
    RFilterEdit1_->SetValidChars(QStringLiteral("[0..9]"));
    RFilterEdit1_->SetRequiredField(false);
    RFilterEdit1_->setFixedWidth(52);
    UpDown1_ = new TUpDown(RFilterEdit1_, 1, 7300, group2);
    UpDown1_->setObjectName(QStringLiteral("UpDown1"));
    UpDown1_->setFixedHeight(RFilterEdit1_->sizeHint().height());
    UpDown1_->SetPosition(1);
    NameAfterLabel(DateEdit1_, from);
    RFilterEdit1_->setAccessibleName(QStringLiteral("區間長度"));
    ComboBox1_ = new QComboBox(group2);
    ComboBox1_->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1_->setFont(serif);
    ComboBox1_->addItems({QStringLiteral("日"), QStringLiteral("月"), QStringLiteral("年")});
    ComboBox1_->setAccessibleName(QStringLiteral("區間單位"));
    auto* dateRow = new QHBoxLayout;
    dateRow->setSpacing(4);
    dateRow->addWidget(from);
    dateRow->addWidget(DateEdit1_, 1);
    dateRow->addWidget(start);
    auto* countRow = new QHBoxLayout;
    countRow->setSpacing(0);
    countRow->addWidget(RFilterEdit1_);
    countRow->addWidget(UpDown1_);
    countRow->addSpacing(8);
    countRow->addWidget(ComboBox1_);
    countRow->addStretch();
    auto* group2Layout = new QVBoxLayout(group2);
    group2Layout->setContentsMargins(6, 4, 6, 6);
    group2Layout->addLayout(dateRow);
    group2Layout->addLayout(countRow);

    CheckBox1_ = new QCheckBox(QStringLiteral("動態顯示"), panel);
    CheckBox1_->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1_->setFont(ming);
    Button1_ = new QPushButton(kShowCaption, panel);
    Button1_->setObjectName(QStringLiteral("Button1"));
    Button1_->setFont(ming);
    Button1_->setDefault(true);
    Button2_ = new QPushButton(QStringLiteral("離開"), panel);
    Button2_->setObjectName(QStringLiteral("Button2"));
    Button2_->setFont(ming);
    connect(Button1_, &QPushButton::clicked, this, &TForm4::Button1Click);
    connect(Button2_, &QPushButton::clicked, this, &TForm4::Button2Click);
    auto* saveImage = new QPushButton(QStringLiteral("存成圖檔..."), panel);
    saveImage->setObjectName(QStringLiteral("SaveImageButton"));
    saveImage->setFont(ming);
    connect(saveImage, &QPushButton::clicked, this, &TForm4::SaveImage);
    auto* commands = new QVBoxLayout;
    commands->setSpacing(4);
    commands->addWidget(CheckBox1_);
    commands->addWidget(Button1_);
    commands->addWidget(saveImage);
    commands->addWidget(Button2_);

    auto label = [&](const char* name) {
        auto* l = new QLabel(panel);
        l->setObjectName(QString::fromLatin1(name));
        l->setFont(readout);
        QPalette navy = l->palette();
        navy.setColor(QPalette::WindowText, kChartReadout);
        l->setPalette(navy);
        return l;
    };
    Label3_ = label("Label3");
    Label4_ = label("Label4");
    Label5_ = label("Label5");
    Shape1_ = new QFrame(panel);
    Shape1_->setObjectName(QStringLiteral("Shape1"));
    Shape1_->setFixedSize(65, 21);
    Shape1_->setFrameShape(QFrame::Box);
    Shape1_->setAutoFillBackground(true);
    auto* readoutColumn = new QVBoxLayout;
    readoutColumn->setSpacing(1);
    readoutColumn->addWidget(Label3_);
    readoutColumn->addWidget(Label4_);
    readoutColumn->addWidget(Label5_);
    readoutColumn->addWidget(Shape1_);
    readoutColumn->addStretch();

    group1->setMinimumWidth(150);
    group2->setFixedWidth(196);
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(4, 0, 4, 4);
    row->setSpacing(6);
    row->addWidget(group1, 1);
    row->addWidget(group2);
    row->addLayout(commands);
    row->addSpacing(4);
    row->addLayout(readoutColumn);
    Label3_->setFixedWidth(96);
}

void TForm4::AddPlans() {
    // Rows 12 pixels high, or as high as the style's check box needs to show whole.
    const int rowHeight = std::max(12, style()->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, CheckListBox1_) + 3);
    CheckListBox1_->setUpdatesEnabled(false);
    for (int i = 0; i < Book_.Count(); ++i) {
        const TPlanRecord& rec = Book_.Plan(i).Rec();
        auto* item = new QListWidgetItem(FromBig5(PlanChartItem(rec)), CheckListBox1_);
        item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        item->setCheckState(Qt::Unchecked);
        item->setSizeHint(QSize(0, rowHeight));

        auto* bars = new QCPBars(Chart_->xAxis, Chart_->yAxis);
        CopyBarSettings(*Series2_, *bars);
        SetBarColor(*bars, PlanSeriesColor(i));
        bars->setName(FromBig5(PlanChartTitle(rec)));
    }
    CheckListBox1_->setUpdatesEnabled(true);
}

QCPBars* TForm4::PlanSeries(int planIndex) const {
    return qobject_cast<QCPBars*>(Chart_->plottable(planIndex + 2));
}

bool TForm4::Running() const {
    return Timer1_->isActive();
}

bool TForm4::Ticked(int planIndex) const {
    const QListWidgetItem* item = CheckListBox1_->item(planIndex);
    return item && item->checkState() == Qt::Checked;
}

TChartUnit TForm4::SelectedUnit() const {
    switch (ComboBox1_->currentIndex()) {
        case 1: return TChartUnit::Months;
        case 2: return TChartUnit::Years;
        default: return TChartUnit::Days;
    }
}

void TForm4::Button1Click() {
    if (Button1_->text() == kPauseCaption) {
        Pause();
    } else {
        ShowChart();
    }
}

void TForm4::Button2Click() {
    Timer1_->stop();
    reject();
}

void TForm4::SaveImage() {
    const QString name = Prompts_->SaveExportFileName(this, kChartImageFilter);
    if (name.isEmpty()) return;
    const bool pdf = name.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive);
    try {
        ReplaceFile(name.toStdString(), [&](const std::filesystem::path& path) {
            const QString file = QString::fromStdString(path.string());
            if (!(pdf ? Chart_->savePdf(file) : Chart_->savePng(file))) throw WriteErrorFor(path);
        });
    } catch (const ETamberError& e) {
        ReportError(QString::fromUtf8(e.what()));
    }
}

void TForm4::done(int result) {
    Timer1_->stop();
    Button1_->setText(kShowCaption);
    Line_.reset();
    QDialog::done(result);
}

void TForm4::Pause() {
    Button1_->setText(kShowCaption);
    Timer1_->stop();
}

void TForm4::ClearReadout() {
    Label3_->clear();
    Label4_->clear();
    Label5_->clear();
    Shape1_->hide();
}

void TForm4::ClearChart() {
    Line_.reset();
    for (int i = 0; i < Chart_->plottableCount(); ++i) {
        QCPAbstractPlottable* series = Chart_->plottable(i);
        if (auto* graph = qobject_cast<QCPGraph*>(series)) graph->data()->clear();
        if (auto* bars = qobject_cast<QCPBars*>(series)) bars->data()->clear();
    }
    Chart_->legend->clearItems();
    Chart_->legend->setVisible(false);
}

void TForm4::ReportError(const QString& message) {
    Prompts_->ShowError(this, message);
}

void TForm4::ShowChart() {
    ClearChart();
    const QString countText = RFilterEdit1_->text();
    const std::optional<int64_t> count = CountOf(countText);
    if (!count) {
        Replot(false);
        ReportError(QStringLiteral("'%1' is not a valid integer value").arg(countText));
        return;
    }
    // A count the unit does not take is brought within it, and the field and
    // its buttons say so, so that the chart never covers another interval
    // than the one shown.
    const TChartInterval interval = ChartInterval(*count, SelectedUnit());
    if (interval.Count != *count) {
        UpDown1_->SetPosition(interval.Count);
        // The buttons stop at 7300, while up to 30 years of days are charted:
        // the field shows the count charted all the same.
        RFilterEdit1_->setText(QString::number(interval.Count));
    }
    Ticker_->SetLabelStep(interval.LabelStep);
    const TDate start = FromQDate(DateEdit1_->date());

    std::vector<std::vector<TPlanBar>> bars(static_cast<std::size_t>(Book_.Count()));
    try {
        Line_.emplace(Book_, OpeningBalance_, start, interval.DayCount, FromQDate(Today_()));
        for (int i = 0; i < Book_.Count(); ++i) {
            if (Ticked(i)) bars[static_cast<std::size_t>(i)] = PlanBars(Book_.Plan(i), i, start, interval.DayCount);
        }
    } catch (const ETamberError& e) {
        Line_.reset();
        Replot(false);
        ReportError(QString::fromUtf8(e.what()));
        return;
    }

    QVector<QCPGraphData> points;
    points.reserve(static_cast<qsizetype>(Line_->Points().size()));
    for (const TBalancePoint& p : Line_->Points()) points.append(QCPGraphData(p.Date, p.Balance));
    Series1_->data()->set(points, true);
    for (int i = 0; i < Book_.Count(); ++i) {
        if (!Ticked(i)) continue;
        QCPBars* series = PlanSeries(i);
        series->addToLegend();
        QVector<QCPBarsData> planBars;
        for (const TPlanBar& bar : bars[static_cast<std::size_t>(i)]) planBars.append(QCPBarsData(bar.Date, bar.Amount));
        series->data()->set(planBars, true);
    }
    Chart_->legend->setVisible(Chart_->legend->itemCount() > 0);
    Replot(false);

    if (CheckBox1_->isChecked()) {
        Timer1_->start();
        Button1_->setText(kPauseCaption);
    }
}

void TForm4::Timer1Timer() {
    if (!Line_) {
        Pause();
        return;
    }
    std::vector<TPlanBar> due;
    try {
        due = Line_->StepOneDay(Book_);
    } catch (const ETamberError& e) {
        // Stopped first, so that the failure is told once and not every second.
        Pause();
        ReportError(QString::fromUtf8(e.what()));
        return;
    }
    const TDate start = Line_->ChartStartDate();
    DateEdit1_->setDate(ToQDate(start));

    auto next = due.begin();
    for (int i = 0; i < Book_.Count(); ++i) {
        while (next != due.end() && next->PlanIndex < i) ++next;
        if (!Ticked(i)) continue;
        QCPBars* series = PlanSeries(i);
        const auto bars = series->data();
        if (!bars->isEmpty() && bars->constBegin()->key < start) bars->remove(bars->constBegin()->key);
        if (next != due.end() && next->PlanIndex == i) series->addData(next->Date, next->Amount);
    }
    const auto line = Series1_->data();
    if (!line->isEmpty()) line->remove(line->constBegin()->key);
    if (!Line_->Points().empty()) Series1_->addData(Line_->Points().back().Date, Line_->Points().back().Balance);
    Replot(true);
}

void TForm4::Replot(bool queued) {
    MarkLowest();
    FitAxes();
    Chart_->replot(queued ? QCustomPlot::rpQueuedReplot : QCustomPlot::rpRefreshHint);
}

void TForm4::MarkLowest() {
    const std::optional<TBalancePoint> lowest = Line_ ? LowestPoint(Line_->Points()) : std::nullopt;
    LowestMark_->setVisible(lowest.has_value());
    LowestLabel_->setVisible(lowest.has_value());
    if (!lowest) return;
    LowestMark_->position->setCoords(lowest->Date, lowest->Balance);
    LowestLabel_->setText(QStringLiteral("最低 %1").arg(QString::fromStdString(FormatMonthTotal(lowest->Balance))));
    // The label leans into the chart, so that one at either end stays whole.
    const bool leftHalf = lowest->Date - Line_->ChartStartDate() < Line_->DayCount() / 2.0;
    LowestLabel_->setPositionAlignment(Qt::AlignBottom | (leftHalf ? Qt::AlignLeft : Qt::AlignRight));
}

void TForm4::FitAxes() {
    if (!Line_ || Line_->DayCount() == 0) return;
    const TDate start = Line_->ChartStartDate();
    const QCPRange keys(start - 0.5, start + Line_->DayCount() - 0.5);
    Chart_->xAxis->setRange(keys);
    Ticker_->setTickOrigin(start);

    // The values of what lies in view; bars rise from zero, so zero is in view with them.
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    for (const TBalancePoint& p : Line_->Points()) {
        low = std::min<double>(low, p.Balance);
        high = std::max<double>(high, p.Balance);
    }
    for (int i = 0; i < Book_.Count(); ++i) {
        const auto bars = PlanSeries(i)->data();
        for (auto it = bars->findBegin(keys.lower, false); it != bars->constEnd() && it->key <= keys.upper; ++it) {
            low = std::min({low, it->value, 0.0});
            high = std::max({high, it->value, 0.0});
        }
    }
    const double margin = std::max(1.0, (high - low) * 0.05);
    Chart_->yAxis->setRange(low - margin, high + margin);
}

void TForm4::UpdateSeriesSizes() {
    // Bars: 20 % of the room each bar of the series has along the axis, kept
    // between 2 pixels (a bar of a long interval stays visible) and 12 (a lone
    // bar stays a bar); thin bars go without an outline, which would only
    // double the drawing of a long interval.
    const double room = Chart_->axisRect()->width();
    for (int i = 0; i < Book_.Count(); ++i) {
        QCPBars* series = PlanSeries(i);
        const int count = series->data()->size();
        if (count == 0) continue;
        const double width = std::round(std::clamp(0.2 * room / count, 2.0, 12.0));
        series->setWidth(width);
        series->setPen(width >= 6 ? QPen(series->brush().color().darker(140)) : QPen(Qt::NoPen));
    }
    // The line's triangles at most one every 6 pixels, so that a long
    // interval still shows a line rather than a band of symbols.
    const int points = std::max(1, Series1_->data()->size());
    Series1_->setScatterSkip(std::max(0, static_cast<int>(std::ceil(6.0 * points / std::max(1.0, room))) - 1));
}

void TForm4::ChartMouseMove(const QPointF& pos) {
    ClearReadout();
    if (!Chart_->axisRect()->rect().contains(pos.toPoint())) return;
    for (int s = 0; s < Chart_->plottableCount(); ++s) {
        QCPAbstractPlottable* series = Chart_->plottable(s);
        std::optional<QPointF> point;
        QColor color;
        if (auto* graph = qobject_cast<QCPGraph*>(series)) {
            point = GraphPointAt(*graph, pos);
            color = graph->pen().color();
        } else if (auto* bars = qobject_cast<QCPBars*>(series); bars && !bars->data()->isEmpty()) {
            point = BarAt(*bars, pos);
            color = bars->brush().color();
        }
        if (!point) continue;
        Label3_->setText(ShortDateText(point->x(), locale()));
        Label4_->setText(QString::number(static_cast<qint64>(std::trunc(point->y()))));
        Label5_->setText(series->name());
        QPalette swatch = Shape1_->palette();
        swatch.setColor(QPalette::Window, color);
        Shape1_->setPalette(swatch);
        Shape1_->show();
        return;
    }
}

}  // namespace tamber::ui
