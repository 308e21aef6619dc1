#include "ui/Input.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QFocusEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>
#include <stdexcept>

#include "book/Ledger.h"
#include "model/Big5.h"
#include "ui/Accessible.h"
#include "ui/Grids.h"
#include "ui/Prompts.h"
#include "ui/QtDates.h"
#include "ui/RFEdit.h"
#include "ui/Theme.h"
#include "ui/UiTexts.h"
#include "ui/frstatus.h"

namespace tamber::ui {
namespace {

const QString kCaption = QStringLiteral("計劃編輯");
const QString kDigits = QStringLiteral("[0..9]");
const QString kSignedDigits = QStringLiteral("[0..9,-]");
const QString kRateChars = QStringLiteral("[0..9,.]");
const QString kAnyChars = QStringLiteral("[]");

const QString kOpeningHint1 = QStringLiteral("請於空白計劃各欄位輸入後, 按下「新增」按鈕, 即新增完成");
const QString kOpeningHint2 = QStringLiteral("欲更改某計劃時, 請先於右邊列出的計劃勾選, 更改完, 別忘了按下「異動」按鈕");
const QString kPeriodCountHint1 = QStringLiteral("若設定為標會時, 此欄代表會期( 含起會 )。當設定為定存時, 頭尾都算一期");
const QString kPeriodCountHint2 = QStringLiteral("例如定存九個月, 期數為 10");
const QString kMonthDaysHint = QStringLiteral("輸入日期, 例如 10, 20");
const QString kCompoundAmountHint = QStringLiteral("零存金額或是整存金額");
const QString kLoanAmountHint = QStringLiteral("貸款金額");
const QString kAboveBaseHint = QStringLiteral("請累加得標以前之會期，超過底標的部份");
const QString kClubHeadHint = QStringLiteral("會首的設定方式: 預估(實際)得標期次=1");

constexpr int kLeftPanelWidth = 329;
constexpr int kStatusBarHeight = 37;
constexpr int kGridDataRows = 4;    // data rows the plans grid always has
constexpr int kPreviewRows = 1000;  // periods the preview lists at most

// The locale's short date format with the year in four digits, so the picker can hold any year.
QString PickerDateFormat(const QLocale& locale) {
    QString format = locale.dateFormat(QLocale::ShortFormat);
    if (!format.contains(QStringLiteral("yyyy"))) format.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    return format;
}

char DecimalSeparatorOf(const QLocale& locale) {
    const QString point = locale.decimalPoint();
    return point.size() == 1 && point[0].unicode() < 0x80 ? static_cast<char>(point[0].unicode()) : '.';
}

std::string Text(const QLineEdit* edit) {
    return edit->text().toStdString();
}

void SetText(QLineEdit* edit, const std::string& text) {
    edit->setText(QString::fromStdString(text));
}

// The item whose text the selector shows, or -1: typing into the selector's text leaves no item chosen.
int ChosenIndex(const QComboBox* box) {
    return box->findText(box->currentText());
}

QLabel* MakeLabel(QWidget* parent, const QString& text, const QString& name = QString()) {
    auto* label = new QLabel(text, parent);
    if (!name.isEmpty()) label->setObjectName(name);
    return label;
}

QRadioButton* MakeRadio(QWidget* parent, const QString& name, const QString& text) {
    auto* radio = new QRadioButton(text, parent);
    radio->setObjectName(name);
    return radio;
}

void KeepPlaceWhenHidden(QWidget* widget) {
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

// Label in column 0 and its Field in column 1 of Row; the field is named after the label.
void AddLabelled(QGridLayout* layout, int row, QLabel* label, QWidget* field) {
    layout->addWidget(label, row, 0);
    layout->addWidget(field, row, 1);
    NameAfterLabel(field, label);
}

QComboBox* MakeSelector(QWidget* parent, const QString& name, const QStringList& items) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(items);
    box->setCurrentIndex(-1);
    return box;
}

// A small calculator: a case, a display and three rows of keys.
QIcon CalculatorGlyph() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(kCalculatorKeys);
    painter.setBrush(kCalculatorCase);
    painter.drawRect(2, 0, 11, 15);
    painter.setBrush(kCalculatorDisplay);
    painter.drawRect(4, 2, 7, 3);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kCalculatorKeys);
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) painter.drawRect(4 + column * 3, 7 + row * 3, 2, 2);
    }
    return QIcon(pixmap);
}

}  // namespace

QStringList PlanGridTexts(const TCustomPlan& plan, const QLocale& locale) {
    const TPlanRecord& rec = plan.Rec();
    QString kind = PlanKindCaption(rec.PlanKind);
    if (rec.PlanKind == pkFixAccount) kind = rec.Direction >= 1 ? QStringLiteral("固定收入") : QStringLiteral("固定支出");
    return {
        kind,
        FromBig5(DescriptionBytes(rec)),
        ShortDateText(rec.StartDate, locale),
        PeriodKindCaption(rec.PeriodKind),
        QString::number(rec.Amount),
        QString::number(rec.PeriodCount),
    };
}

TPreviewTexts PreviewTexts(const TPlanPreview& preview, int kind, const QLocale& locale) {
    const auto amount = [](int64_t value) { return QString::fromStdString(FormatMonthTotal(value)); };
    TPreviewTexts t;
    t.Rows.reserve(preview.Rows.size());
    for (const TPreviewRow& row : preview.Rows) {
        t.Rows.push_back(
            {QString::number(row.Period), ShortDateText(row.Date, locale), amount(row.Amount), amount(row.RunningTotal)});
    }
    QStringList notes;
    if (kind == pkSaving || kind == pkCompound || kind == pkLoan) {
        notes << QStringLiteral("總收入 %1　總支出 %2").arg(amount(preview.Received), amount(preview.Paid));
    }
    if (preview.PeriodCount > static_cast<int64_t>(preview.Rows.size())) {
        notes << QStringLiteral("只列出前 %1 期, 共 %2 期")
                     .arg(amount(static_cast<int64_t>(preview.Rows.size())), amount(preview.PeriodCount));
    }
    t.Notes = notes.join(QLatin1Char('\n'));
    return t;
}

QString FindCalculator() {
    for (const char* name : {"gnome-calculator", "kcalc", "galculator", "mate-calc", "qalculate-gtk", "xcalc"}) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!path.isEmpty()) return path;
    }
    return {};
}

// ---- Construction -------------------------------------------------------

TForm2::TForm2(TPlanBook& book, TPlanBookState& state, TOptions options, QWidget* parent)
    : QDialog(parent),
      Book_(book),
      State_(state),
      Options_(std::move(options)),
      Prompts_(Options_.Prompts ? Options_.Prompts : &SystemPrompts()) {
    if (!Options_.Today) throw std::invalid_argument("TForm2 needs the main window's today");
    setObjectName(QStringLiteral("TForm2"));
    setWindowTitle(kCaption);
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    resize(800, 560);
    BuildControls();
    Button3Click();
    RefreshPlanGrid();
}

TForm2::~TForm2() = default;

TRFilterEdit* TForm2::MakeEdit(QWidget* parent, const QString& name, const QString& validChars) {
    auto* edit = new TRFilterEdit(parent);
    edit->setObjectName(name);
    edit->SetValidChars(validChars);
    edit->installEventFilter(this);
    return edit;
}

void TForm2::BuildControls() {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    auto* body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(0);
    outer->addLayout(body, 1);

    // Left: the fields of one plan.
    auto* left = new QFrame(this);
    left->setObjectName(QStringLiteral("Panel1"));
    left->setFrameShape(QFrame::Panel);
    left->setFrameShadow(QFrame::Raised);
    left->setFixedWidth(kLeftPanelWidth);
    body->addWidget(left);
    auto* column = new QVBoxLayout(left);
    column->setContentsMargins(8, 8, 8, 8);
    column->setSpacing(6);

    auto* rows = new QGridLayout;
    rows->setHorizontalSpacing(6);
    rows->setVerticalSpacing(6);
    rows->setColumnStretch(1, 1);
    column->addLayout(rows);

    QLabel* label7 = MakeLabel(left, QStringLiteral("計 劃 類 別"), QStringLiteral("Label7"));
    rows->addWidget(label7, 0, 0);
    auto* kindRow = new QHBoxLayout;
    kindRow->setSpacing(4);
    ComboBox2_ = MakeSelector(left, QStringLiteral("ComboBox2"), PlanKindCaptions());
    NameAfterLabel(ComboBox2_, label7);
    ComboBox2_->installEventFilter(this);
    kindRow->addWidget(ComboBox2_, 1);
    SpeedButton1_ = new QToolButton(left);
    SpeedButton1_->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1_->setIcon(CalculatorGlyph());
    SpeedButton1_->setAutoRaise(true);
    SpeedButton1_->setFocusPolicy(Qt::NoFocus);
    kindRow->addWidget(SpeedButton1_);
    rows->addLayout(kindRow, 0, 1, 1, 2);

    QLabel* label5 = MakeLabel(left, QStringLiteral("敘述／用途"), QStringLiteral("Label5"));
    rows->addWidget(label5, 1, 0);
    RFilterEdit12_ = MakeEdit(left, QStringLiteral("RFilterEdit12"), kAnyChars);
    NameAfterLabel(RFilterEdit12_, label5);
    rows->addWidget(RFilterEdit12_, 1, 1, 1, 2);

    QLabel* label3 = MakeLabel(left, QStringLiteral("起始日期"), QStringLiteral("Label3"));
    rows->addWidget(label3, 2, 0);
    DateEdit1_ = new QDateEdit(left);
    DateEdit1_->setObjectName(QStringLiteral("DateEdit1"));
    NameAfterLabel(DateEdit1_, label3);
    DateEdit1_->setCalendarPopup(true);
    DateEdit1_->setDisplayFormat(PickerDateFormat(QLocale()));
    DateEdit1_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    rows->addWidget(DateEdit1_, 2, 1);

    // The period row: the selector, and right of it the interval box or the days-of-month box in one place.
    QLabel* label1 = MakeLabel(left, QStringLiteral("期        別"), QStringLiteral("Label1"));
    rows->addWidget(label1, 3, 0);
    ComboBox1_ = MakeSelector(left, QStringLiteral("ComboBox1"), PeriodKindCaptions());
    NameAfterLabel(ComboBox1_, label1);
    ComboBox1_->setMaxVisibleItems(10);
    rows->addWidget(ComboBox1_, 3, 1);
    // A fixed width, so the selectors keep their size whichever box is shown.
    auto* besideBox = new QWidget(left);
    besideBox->setFixedWidth(112);
    auto* beside = new QGridLayout(besideBox);
    beside->setContentsMargins(0, 0, 0, 0);
    Panel2_ = new QFrame(besideBox);
    Panel2_->setObjectName(QStringLiteral("Panel2"));
    auto* intervalRow = new QHBoxLayout(Panel2_);
    intervalRow->setContentsMargins(0, 0, 0, 0);
    intervalRow->setSpacing(4);
    QLabel* label6 = MakeLabel(Panel2_, QStringLiteral("間隔天數"), QStringLiteral("Label6"));
    intervalRow->addWidget(label6);
    RFilterEdit2_ = MakeEdit(Panel2_, QStringLiteral("RFilterEdit2"), kDigits);
    NameAfterLabel(RFilterEdit2_, label6);
    RFilterEdit2_->setFixedWidth(48);
    intervalRow->addWidget(RFilterEdit2_);
    beside->addWidget(Panel2_, 0, 0, Qt::AlignLeft);
    Panel3_ = new QFrame(besideBox);
    Panel3_->setObjectName(QStringLiteral("Panel3"));
    auto* daysRow = new QHBoxLayout(Panel3_);
    daysRow->setContentsMargins(0, 0, 0, 0);
    daysRow->setSpacing(4);
    RFilterEdit3_ = MakeEdit(Panel3_, QStringLiteral("RFilterEdit3"), kDigits);
    RFilterEdit4_ = MakeEdit(Panel3_, QStringLiteral("RFilterEdit4"), kDigits);
    RFilterEdit5_ = MakeEdit(Panel3_, QStringLiteral("RFilterEdit5"), kDigits);
    int nth = 0;
    for (TRFilterEdit* day : {RFilterEdit3_, RFilterEdit4_, RFilterEdit5_}) {
        day->setFixedWidth(32);
        day->setMaxLength(2);
        day->setAccessibleName(QStringLiteral("第 %1 個日期").arg(++nth));
        daysRow->addWidget(day);
    }
    beside->addWidget(Panel3_, 0, 0, Qt::AlignLeft);
    rows->addWidget(besideBox, 3, 2);

    Label2_ = MakeLabel(left, QStringLiteral("期        數"), QStringLiteral("Label2"));
    rows->addWidget(Label2_, 4, 0);
    RFilterEdit1_ = MakeEdit(left, QStringLiteral("RFilterEdit1"), kDigits);
    NameAfterLabel(RFilterEdit1_, Label2_);
    rows->addWidget(RFilterEdit1_, 4, 1);
    Label16_ = MakeLabel(left, QStringLiteral("(含首尾)"), QStringLiteral("Label16"));
    rows->addWidget(Label16_, 4, 2);

    // The kind's own fields, one page per kind in kind order.
    Notebook1_ = new QStackedWidget(left);
    Notebook1_->setObjectName(QStringLiteral("Notebook1"));
    Notebook1_->setFrameShape(QFrame::StyledPanel);
    Notebook1_->addWidget(BuildFixAccountPage());
    Notebook1_->addWidget(BuildCollectPage());
    Notebook1_->addWidget(BuildRatePage(pkSaving, QStringLiteral("Saving"),
                                        {{RadioButton1_, QStringLiteral("RadioButton1"), mtMonthlyInterest},
                                         {RadioButton4_, QStringLiteral("RadioButton4"), mtInterestAtEnd}},
                                        {RFilterEdit14_, QStringLiteral("RFilterEdit14")},
                                        {RFilterEdit13_, QStringLiteral("RFilterEdit13")}));
    Notebook1_->addWidget(BuildRatePage(pkCompound, QStringLiteral("Compound"),
                                        {{RadioButton7_, QStringLiteral("RadioButton7"), mtLumpSumInOut},
                                         {RadioButton8_, QStringLiteral("RadioButton8"), mtInstalmentsIn},
                                         {RadioButton9_, QStringLiteral("RadioButton9"), mtMonthlyInterest}},
                                        {RFilterEdit16_, QStringLiteral("RFilterEdit16")},
                                        {RFilterEdit15_, QStringLiteral("RFilterEdit15")}));
    Notebook1_->addWidget(BuildRatePage(pkLoan, QStringLiteral("Loan"),
                                        {{RadioButton10_, QStringLiteral("RadioButton10"), mtEqualInstalments},
                                         {RadioButton11_, QStringLiteral("RadioButton11"), mtEqualPrincipal}},
                                        {RFilterEdit18_, QStringLiteral("RFilterEdit18")},
                                        {RFilterEdit17_, QStringLiteral("RFilterEdit17")}));
    // Fields that come and go keep their place, and every page has one
    // height, so that the buttons below stay where they are.
    for (QWidget* w : std::initializer_list<QWidget*>{Label2_, RFilterEdit1_, Label16_, Panel2_, Panel3_, RFilterEdit5_, Label17_,
                                                      RFilterEdit11_}) {
        KeepPlaceWhenHidden(w);
    }
    Notebook1_->setFixedHeight(Notebook1_->sizeHint().height());
    column->addWidget(Notebook1_);

    auto* buttons = new QGridLayout;
    buttons->setSpacing(6);
    const auto addButton = [&](const QString& name, const QString& text, int row, int col, void (TForm2::*handler)()) {
        auto* button = new QPushButton(text, left);
        button->setObjectName(name);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, handler);
        buttons->addWidget(button, row, col);
        return button;
    };
    addButton(QStringLiteral("Button3"), QStringLiteral("清成空白"), 0, 0, &TForm2::Button3Click);
    addButton(QStringLiteral("Button1"), QStringLiteral("新增"), 0, 1, &TForm2::Button1Click);
    addButton(QStringLiteral("Button2"), QStringLiteral("刪除"), 0, 2, &TForm2::Button2Click)
        ->setToolTip(QStringLiteral("請先點選右側計劃"));
    addButton(QStringLiteral("Button5"), QStringLiteral("異動"), 1, 0, &TForm2::Button5Click);
    addButton(QStringLiteral("Button6"), QStringLiteral("清過時計劃"), 1, 1, &TForm2::Button6Click);
    addButton(QStringLiteral("Button4"), QStringLiteral("回主畫面"), 1, 2, &TForm2::Button4Click);
    column->addLayout(buttons);
    column->addStretch(1);

    // Right: every plan of the book.
    StringGrid1_ = MakeGrid(this, QStringLiteral("StringGrid1"), kGridDataRows,
                            {QStringLiteral("類別"), QStringLiteral("敘述"), QStringLiteral("起始日"), QStringLiteral("週期"),
                             QStringLiteral("金額"), QStringLiteral("期數")},
                            {KindNameSamples(),
                             {DescriptionSample()},
                             ShortDateSamples(QLocale()),
                             PeriodKindCaptions(),
                             {PlainAmountSample()},
                             {PeriodNumberSample()}});
    StringGrid1_->setAccessibleName(QStringLiteral("計劃列表"));
    StringGrid1_->horizontalHeader()->setSectionsMovable(true);
    // Below it, the schedule of the plan in the fields.
    auto* right = new QVBoxLayout;
    right->setContentsMargins(0, 0, 0, 0);
    right->setSpacing(4);
    right->addWidget(StringGrid1_, 3);
    right->addWidget(BuildPreview(), 2);
    body->addLayout(right, 1);

    // Bottom: the two hint lines.
    FriendlyStatusBar1_ = new TFriendlyStatusBar(this);
    FriendlyStatusBar1_->setObjectName(QStringLiteral("FriendlyStatusBar1"));
    FriendlyStatusBar1_->setFixedHeight(kStatusBarHeight);
    FriendlyStatusBar1_->setSizeGripEnabled(false);
    auto* hints = new QWidget(FriendlyStatusBar1_);
    auto* hintLines = new QVBoxLayout(hints);
    hintLines->setContentsMargins(2, 0, 2, 0);
    hintLines->setSpacing(0);
    Label8_ = MakeLabel(hints, QString(), QStringLiteral("Label8"));
    Label18_ = MakeLabel(hints, QString(), QStringLiteral("Label18"));
    for (QLabel* line : {Label8_, Label18_}) {
        line->setWordWrap(true);
        hintLines->addWidget(line);
    }
    FriendlyStatusBar1_->addWidget(hints, 1);
    outer->addWidget(FriendlyStatusBar1_);

    connect(ComboBox2_, &QComboBox::currentIndexChanged, this, &TForm2::ComboBox2Change);
    connect(ComboBox2_, &QComboBox::editTextChanged, this, &TForm2::ComboBox2Change);
    connect(ComboBox1_, &QComboBox::currentIndexChanged, this, &TForm2::ComboBox1Change);
    connect(ComboBox1_, &QComboBox::editTextChanged, this, &TForm2::ComboBox1Change);
    connect(SpeedButton1_, &QToolButton::clicked, this, &TForm2::SpeedButton1Click);
    connect(StringGrid1_, &QTableWidget::cellClicked, this, &TForm2::StringGrid1Click);
    connect(StringGrid1_, &QTableWidget::currentCellChanged, this, [this] {
        if (!Refreshing_) StringGrid1Click();
    });
    // Any change of a field redraws the preview once the typing pauses.
    PreviewTimer_ = new QTimer(this);
    PreviewTimer_->setSingleShot(true);
    PreviewTimer_->setInterval(150);
    connect(PreviewTimer_, &QTimer::timeout, this, &TForm2::UpdatePreview);
    const auto later = [this] { PreviewTimer_->start(); };
    for (QLineEdit* edit : left->findChildren<QLineEdit*>()) connect(edit, &QLineEdit::textChanged, this, later);
    for (QRadioButton* radio : left->findChildren<QRadioButton*>()) connect(radio, &QRadioButton::toggled, this, later);
    connect(ComboBox2_, &QComboBox::currentIndexChanged, this, later);
    connect(ComboBox1_, &QComboBox::currentIndexChanged, this, later);
    connect(DateEdit1_, &QDateEdit::dateChanged, this, later);
    ComboBox2_->setFocus();
}

QWidget* TForm2::BuildPreview() {
    auto* box = new QGroupBox(QStringLiteral("期次預覽"), this);
    box->setObjectName(QStringLiteral("PreviewBox"));
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(4, 4, 4, 4);
    PreviewGrid_ = MakeGrid(
        box, QStringLiteral("PreviewGrid"), 0,
        {QStringLiteral("期次"), QStringLiteral("日期"), QStringLiteral("金額"), QStringLiteral("累計")},
        {{PeriodNumberSample()}, ShortDateSamples(QLocale()), {GroupedAmountSample()}, {GroupedAmountSample(kPreviewRows)}});
    PreviewGrid_->setAccessibleName(box->title());
    layout->addWidget(PreviewGrid_, 1);
    // Two lines high whatever they say, so that the pane keeps its size.
    PreviewNotes_ = MakeLabel(box, QString(), QStringLiteral("PreviewNotes"));
    PreviewNotes_->setFixedHeight(2 * PreviewNotes_->fontMetrics().lineSpacing());
    PreviewNotes_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    layout->addWidget(PreviewNotes_);
    return box;
}

void TForm2::UpdatePreview() {
    PreviewTimer_->stop();
    const std::optional<TPlanPreview> preview = PreviewPlan(Fields(), kPreviewRows);
    const TPreviewTexts t = preview ? PreviewTexts(*preview, KindIndex(), QLocale()) : TPreviewTexts{};
    PreviewGrid_->setUpdatesEnabled(false);
    PreviewGrid_->clearContents();
    PreviewGrid_->setRowCount(static_cast<int>(t.Rows.size()));
    for (int r = 0; r < static_cast<int>(t.Rows.size()); ++r) {
        const QStringList& texts = t.Rows[static_cast<std::size_t>(r)];
        for (int c = 0; c < 4; ++c) {
            auto* item = new QTableWidgetItem(texts[c]);
            item->setTextAlignment((c == 1 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
            PreviewGrid_->setItem(r, c, item);
        }
    }
    PreviewGrid_->setUpdatesEnabled(true);
    PreviewNotes_->setText(t.Notes);
}

QWidget* TForm2::BuildFixAccountPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("FixAccount"));
    auto* layout = new QGridLayout(page);
    RadioButton2_ = MakeRadio(page, QStringLiteral("RadioButton2"), QStringLiteral("收入"));
    RadioButton3_ = MakeRadio(page, QStringLiteral("RadioButton3"), QStringLiteral("支出"));
    RadioButton2_->setChecked(true);
    layout->addWidget(RadioButton2_, 0, 0);
    layout->addWidget(RadioButton3_, 0, 1);
    RFilterEdit6_ = MakeEdit(page, QStringLiteral("RFilterEdit6"), kDigits);
    AddLabelled(layout, 1, MakeLabel(page, QStringLiteral("金    額")), RFilterEdit6_);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(2, 1);
    return page;
}

QWidget* TForm2::BuildCollectPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("Collect"));
    auto* layout = new QGridLayout(page);
    RadioButton5_ = MakeRadio(page, QStringLiteral("RadioButton5"), QStringLiteral("內標"));
    RadioButton6_ = MakeRadio(page, QStringLiteral("RadioButton6"), QStringLiteral("外標"));
    RadioButton6_->setChecked(true);
    auto* bidding = new QHBoxLayout;
    bidding->addWidget(RadioButton5_);
    bidding->addWidget(RadioButton6_);
    bidding->addStretch(1);
    layout->addLayout(bidding, 0, 0, 1, 2);
    RFilterEdit7_ = MakeEdit(page, QStringLiteral("RFilterEdit7"), kDigits);
    RFilterEdit8_ = MakeEdit(page, QStringLiteral("RFilterEdit8"), kDigits);
    RFilterEdit9_ = MakeEdit(page, QStringLiteral("RFilterEdit9"), kDigits);
    RFilterEdit10_ = MakeEdit(page, QStringLiteral("RFilterEdit10"), kDigits);
    RFilterEdit11_ = MakeEdit(page, QStringLiteral("RFilterEdit11"), kDigits);
    Label17_ = MakeLabel(page, QStringLiteral("超過底標總金額"), QStringLiteral("Label17"));
    AddLabelled(layout, 1, MakeLabel(page, QStringLiteral("金        額")), RFilterEdit7_);
    AddLabelled(layout, 2, MakeLabel(page, QStringLiteral("底        標")), RFilterEdit8_);
    AddLabelled(layout, 3, MakeLabel(page, QStringLiteral("預估（實際）得標金額")), RFilterEdit9_);
    AddLabelled(layout, 4, MakeLabel(page, QStringLiteral("預估（實際）得標期次")), RFilterEdit10_);
    AddLabelled(layout, 5, Label17_, RFilterEdit11_);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(6, 1);
    connect(RadioButton5_, &QRadioButton::clicked, this, &TForm2::RadioButton6Click);
    connect(RadioButton6_, &QRadioButton::clicked, this, &TForm2::RadioButton6Click);
    return page;
}

QWidget* TForm2::BuildRatePage(int kind, const QString& name, std::initializer_list<TMethodRadio> methods, TNamedEdit amount,
                               TNamedEdit rate) {
    auto* page = new QWidget;
    page->setObjectName(name);
    auto* layout = new QGridLayout(page);
    auto* column = new QVBoxLayout;
    auto* group = new QButtonGroup(layout);
    for (const TMethodRadio& method : methods) {
        method.Radio = MakeRadio(page, method.Name, MethodCaption(kind, method.Method));
        column->addWidget(method.Radio);
        group->addButton(method.Radio);
    }
    methods.begin()->Radio->setChecked(true);
    layout->addLayout(column, 0, 0, 1, 3);
    amount.Edit = MakeEdit(page, amount.Name, kSignedDigits);
    rate.Edit = MakeEdit(page, rate.Name, kRateChars);
    AddLabelled(layout, 1, MakeLabel(page, QStringLiteral("金  額")), amount.Edit);
    AddLabelled(layout, 2, MakeLabel(page, QStringLiteral("年利率")), rate.Edit);
    layout->addWidget(MakeLabel(page, QStringLiteral("%")), 2, 2);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(3, 1);
    return page;
}

// ---- Fields ---------------------------------------------------------------

int TForm2::KindIndex() const {
    return ChosenIndex(ComboBox2_);
}

int TForm2::PeriodIndex() const {
    return ChosenIndex(ComboBox1_);
}

void TForm2::SetStartDate(TDate date) {
    const QDate d = ToQDate(date);
    if (d.isValid()) DateEdit1_->setDate(d);
}

TPlanFields TForm2::Fields() const {
    TPlanFields f;
    f.KindIndex = KindIndex();
    f.PeriodIndex = PeriodIndex();
    f.PeriodCount = Text(RFilterEdit1_);
    f.Description = Text(RFilterEdit12_);
    f.StartDate = FromQDate(DateEdit1_->date());
    f.IntervalDays = Text(RFilterEdit2_);
    f.MonthDays = {Text(RFilterEdit3_), Text(RFilterEdit4_), Text(RFilterEdit5_)};
    f.DecimalSeparator = DecimalSeparatorOf(QLocale());
    f.FixAmount = Text(RFilterEdit6_);
    f.Income = RadioButton2_->isChecked();
    f.ClubAmount = Text(RFilterEdit7_);
    f.BaseBid = Text(RFilterEdit8_);
    f.WinningBid = Text(RFilterEdit9_);
    f.WinningPeriod = Text(RFilterEdit10_);
    f.AboveBaseTotal = Text(RFilterEdit11_);
    f.InnerBidding = RadioButton5_->isChecked();
    f.SavingAmount = Text(RFilterEdit14_);
    f.SavingRate = Text(RFilterEdit13_);
    f.MonthlyInterest = RadioButton1_->isChecked();
    f.CompoundAmount = Text(RFilterEdit16_);
    f.CompoundRate = Text(RFilterEdit15_);
    f.LumpSumInOut = RadioButton7_->isChecked();
    f.InstalmentsIn = RadioButton8_->isChecked();
    f.LoanAmount = Text(RFilterEdit18_);
    f.LoanRate = Text(RFilterEdit17_);
    f.EqualInstalments = RadioButton10_->isChecked();
    return f;
}

void TForm2::SetFields(const TPlanFields& f) {
    {
        // Putting a plan into the fields is no choice of the user's: the kind does not reset the period here.
        const QSignalBlocker kindBlocker(ComboBox2_);
        const QSignalBlocker periodBlocker(ComboBox1_);
        ComboBox2_->setCurrentIndex(f.KindIndex);
        ComboBox1_->setCurrentIndex(f.PeriodIndex);
    }
    if (f.KindIndex >= 0 && f.KindIndex < Notebook1_->count()) Notebook1_->setCurrentIndex(f.KindIndex);
    SetText(RFilterEdit1_, f.PeriodCount);
    SetText(RFilterEdit12_, f.Description);
    SetStartDate(f.StartDate);
    SetText(RFilterEdit2_, f.IntervalDays);
    SetText(RFilterEdit3_, f.MonthDays[0]);
    SetText(RFilterEdit4_, f.MonthDays[1]);
    SetText(RFilterEdit5_, f.MonthDays[2]);
    SetText(RFilterEdit6_, f.FixAmount);
    (f.Income ? RadioButton2_ : RadioButton3_)->setChecked(true);
    SetText(RFilterEdit7_, f.ClubAmount);
    SetText(RFilterEdit8_, f.BaseBid);
    SetText(RFilterEdit9_, f.WinningBid);
    SetText(RFilterEdit10_, f.WinningPeriod);
    SetText(RFilterEdit11_, f.AboveBaseTotal);
    (f.InnerBidding ? RadioButton5_ : RadioButton6_)->setChecked(true);
    SetText(RFilterEdit14_, f.SavingAmount);
    SetText(RFilterEdit13_, f.SavingRate);
    (f.MonthlyInterest ? RadioButton1_ : RadioButton4_)->setChecked(true);
    SetText(RFilterEdit16_, f.CompoundAmount);
    SetText(RFilterEdit15_, f.CompoundRate);
    (f.LumpSumInOut ? RadioButton7_ : f.InstalmentsIn ? RadioButton8_ : RadioButton9_)->setChecked(true);
    SetText(RFilterEdit18_, f.LoanAmount);
    SetText(RFilterEdit17_, f.LoanRate);
    (f.EqualInstalments ? RadioButton10_ : RadioButton11_)->setChecked(true);
    RadioButton6Click();
    ApplyPeriodVisibility();
}

// ---- Events ---------------------------------------------------------------

void TForm2::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormActivate();
}

void TForm2::FormActivate() {
    // Maximised; the geometry also fills the screen where no window manager maximises.
    if (const QScreen* shownOn = screen()) setGeometry(shownOn->availableGeometry());
    setWindowState(windowState() | Qt::WindowMaximized);
    Button3Click();
    RefreshPlanGrid();
    SetHints(kOpeningHint1, kOpeningHint2);
    ComboBox2_->setFocus();
}

void TForm2::ComboBox2Change() {
    const int kind = KindIndex();
    if (kind < 0) return;
    Notebook1_->setCurrentIndex(kind);
    if (kind == pkSaving || kind == pkCompound || kind == pkLoan) ComboBox1_->setCurrentIndex(prMonthly);
    ApplyPeriodVisibility();
}

void TForm2::ComboBox1Change() {
    ApplyPeriodVisibility();
}

void TForm2::ApplyPeriodVisibility() {
    const int p = PeriodIndex();
    Panel2_->setVisible(p == prEveryNDays);
    Panel3_->setVisible(p == prTwiceMonthly || p == prThriceMonthly);
    RFilterEdit5_->setVisible(p == prThriceMonthly);
    // "僅只一次" has one period: the field and its note make no sense then.
    const bool counted = p != prOnce;
    Label2_->setVisible(counted);
    RFilterEdit1_->setVisible(counted);
    Label16_->setVisible(counted);
}

void TForm2::RadioButton6Click() {
    const bool outer = RadioButton6_->isChecked();
    Label17_->setVisible(outer);
    RFilterEdit11_->setVisible(outer);
}

bool TForm2::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::FocusIn && type != QEvent::FocusOut) return QDialog::eventFilter(watched, event);
    // Switching to another window or opening a drop-down list neither enters nor leaves a field.
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) return false;
    const bool entering = type == QEvent::FocusIn;
    if (watched == RFilterEdit1_) {
        if (entering) SetHints(kPeriodCountHint1, kPeriodCountHint2);
        else SetHints({}, {});
    } else if (watched == RFilterEdit11_) {
        if (entering) SetHints(kAboveBaseHint, {});
        else SetHints({}, {});
    } else if (watched == RFilterEdit3_ || watched == RFilterEdit4_ || watched == RFilterEdit5_) {
        if (entering) SetHint1(kMonthDaysHint);
    } else if (watched == RFilterEdit16_) {
        if (entering) SetHints(kCompoundAmountHint, {});
    } else if (watched == RFilterEdit18_) {
        if (entering) SetHints(kLoanAmountHint, {});
    } else if (watched == ComboBox2_) {
        if (!entering) SetHint1(KindIndex() == pkCollect ? kClubHeadHint : QString());
    }
    return false;
}

void TForm2::SetHints(const QString& line1, const QString& line2) {
    Label8_->setText(line1);
    Label18_->setText(line2);
}

void TForm2::SetHint1(const QString& line1) {
    Label8_->setText(line1);
}

// ---- Grid -----------------------------------------------------------------

void TForm2::RefreshPlanGrid() {
    const QScopedValueRollback<bool> refreshing(Refreshing_, true);
    const int n = Book_.Count();
    StringGrid1_->clearContents();
    StringGrid1_->setRowCount(std::max(n, kGridDataRows));
    const QLocale locale;
    for (int i = 0; i < n; ++i) {
        const QStringList texts = PlanGridTexts(Book_.Plan(i), locale);
        for (int c = 0; c < texts.size(); ++c) {
            auto* item = new QTableWidgetItem(texts[c]);
            item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
            StringGrid1_->setItem(i, c, item);
        }
    }
    // The selected plan is the highlighted row.
    if (SelectedPlan_ >= 0 && SelectedPlan_ < n) {
        StringGrid1_->setCurrentCell(SelectedPlan_, 0);
        StringGrid1_->selectRow(SelectedPlan_);
    } else {
        StringGrid1_->clearSelection();
        StringGrid1_->setCurrentCell(-1, -1);
    }
}

void TForm2::StringGrid1Click() {
    // One whole row is selected at a time: the current row is the selection's top row.
    const int row = StringGrid1_->currentRow();
    if (row < 0 || row >= Book_.Count()) return;  // a blank filler row
    SelectedPlan_ = row;
    ShowPlanInFields();
}

void TForm2::ShowPlanInFields() {
    if (SelectedPlan_ < 0 || SelectedPlan_ >= Book_.Count()) return;
    TPlanFields fields = Fields();
    PlanIntoFields(Book_.Plan(SelectedPlan_).Rec(), fields);
    SetFields(fields);
}

// ---- Commands -------------------------------------------------------------

template <class F>
void TForm2::Run(F&& command) {
    try {
        command();
    } catch (const std::exception& e) {
        Prompts_->ShowError(this, QString::fromUtf8(e.what()));
    }
}

void TForm2::Button1Click() {
    Run([this] {
        const TPlanFields fields = Fields();
        SelectedPlan_ = AddPlan(Book_, fields);
        if (fields.KindIndex == pkCollect) RadioButton6Click();
        RefreshPlanGrid();
        State_.Modified = true;
    });
}

void TForm2::Button5Click() {
    Run([this] {
        const TPlanFields fields = Fields();
        ModifyPlan(Book_, SelectedPlan_, fields);
        if (fields.KindIndex == pkCollect) RadioButton6Click();
        RefreshPlanGrid();
        State_.Modified = true;
    });
}

void TForm2::Button2Click() {
    Run([this] {
        if (SelectedPlan_ >= 0 && SelectedPlan_ < Book_.Count()) Book_.Remove(SelectedPlan_);
        SelectedPlan_ = -1;
        RefreshPlanGrid();
        State_.Modified = true;
        Button3Click();
    });
}

void TForm2::Button6Click() {
    Run([this] {
        RemoveOutdatedPlans(Book_, FromQDate(Options_.Today()));
        SelectedPlan_ = -1;
        RefreshPlanGrid();
        State_.Modified = true;
        Button3Click();
    });
}

void TForm2::Button3Click() {
    Label2_->setVisible(true);
    RFilterEdit1_->setVisible(true);
    Label16_->setVisible(true);
    Panel2_->setVisible(false);
    Panel3_->setVisible(false);
    for (TRFilterEdit* edit : {RFilterEdit1_, RFilterEdit2_, RFilterEdit3_, RFilterEdit4_, RFilterEdit5_, RFilterEdit6_,
                               RFilterEdit7_, RFilterEdit8_, RFilterEdit9_, RFilterEdit10_, RFilterEdit11_, RFilterEdit12_}) {
        edit->clear();
    }
    {
        const QSignalBlocker kindBlocker(ComboBox2_);
        const QSignalBlocker periodBlocker(ComboBox1_);
        ComboBox1_->setCurrentIndex(-1);
        ComboBox1_->clearEditText();
        ComboBox2_->setCurrentIndex(-1);
        ComboBox2_->clearEditText();
    }
    Notebook1_->setCurrentIndex(pkFixAccount);
    RadioButton1_->setChecked(true);
    RadioButton7_->setChecked(true);
    RadioButton10_->setChecked(true);
    SelectedPlan_ = -1;
    const QScopedValueRollback<bool> refreshing(Refreshing_, true);
    StringGrid1_->clearSelection();
    StringGrid1_->setCurrentCell(-1, -1);
}

void TForm2::Button4Click() {
    accept();
}

void TForm2::SpeedButton1Click() {
    // Whichever desktop calculator is installed; without one the button does nothing.
    const QString calculator = FindCalculator();
    if (!calculator.isEmpty()) QProcess::startDetached(calculator, {});
}

}  // namespace tamber::ui
