// TForm4: the trend chart window. The projected balance over a chosen
// interval as a line, the occurrences of the ticked plans as bars, a dynamic
// display that moves the interval one day on every second, and a readout of
// the point under the mouse.
#pragma once

#include <QColor>
#include <QDate>
#include <QDialog>
#include <QPointF>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>

#include "PlanBook.h"
#include "Trend.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTimer;
class QCustomPlot;
class QCPBars;
class QCPGraph;
class QCPItemText;
class QCPItemTracer;

namespace tamber::ui {

class TDayTicker;
class TPrompts;
class TRFilterEdit;

// An up-down control bound to an edit field: its buttons read the number in
// the field (their own position when the field holds none), step it by one
// within Min..Max without wrapping and write it back.
class TUpDown : public QWidget {
    Q_OBJECT
public:
    TUpDown(QLineEdit* associate, int min, int max, QWidget* parent = nullptr);

    int Position() const noexcept { return Position_; }
    // Sets the position within Min..Max and writes it into the field.
    void SetPosition(int position);
    // What the up (+1) and down (-1) buttons do.
    void StepBy(int steps);

private:
    QLineEdit* Associate_;
    int Min_, Max_;
    int Position_;
};

// Save dialog filter of the chart's image.
inline const QString kChartImageFilter = QStringLiteral("PNG 圖檔 (*.png);;PDF 文件 (*.pdf)");

// The colour a plan's bar series gets: the chart's automatic palette, taken
// in turn after the colours of the balance line and the template series.
QColor PlanSeriesColor(int planIndex);

class TForm4 : public QDialog {
    Q_OBJECT
public:
    // Charts Book (read only, which must outlive the window) from
    // OpeningBalance, the balance at the start of the day Today returns.
    // Errors go to Prompts (the real message box when null).
    TForm4(const TPlanBook& book, int32_t openingBalance, std::function<QDate()> today, TPrompts* prompts = nullptr,
           QWidget* parent = nullptr);
    ~TForm4() override;

    // "顯示圖表" shows the chart, "暫停" pauses the dynamic display.
    void Button1Click();
    // "離開": stops the dynamic display and closes the window.
    void Button2Click();
    // "存成圖檔...": the chart as it stands, as a PDF file for a name ending in
    // ".pdf", else as a PNG image; written whole or not at all.
    void SaveImage();
    // Draws the chart from the picker's date for the count and unit chosen and
    // starts the dynamic display when it is ticked. An empty count is reported
    // and leaves an empty chart; a count outside what the unit takes is
    // brought into it and shown so in the field (see ChartInterval).
    void ShowChart();
    // Back to idle with the chart kept.
    void Pause();
    // One step of the dynamic display: the interval moves one day on.
    void Timer1Timer();
    // The readout of the first series with a point under Pos (chart pixels).
    void ChartMouseMove(const QPointF& pos);

    // The chart and its series: the balance line, the template bar series and
    // plan i's bar series, in the chart's order.
    QCustomPlot* Chart() const noexcept { return Chart_; }
    QCPGraph* BalanceSeries() const noexcept { return Series1_; }
    QCPBars* TemplateSeries() const noexcept { return Series2_; }
    QCPBars* PlanSeries(int planIndex) const;
    // The charted line and the plan cursors; empty until a chart is shown and after closing.
    const std::optional<TTrendLine>& Line() const noexcept { return Line_; }
    bool Running() const;

protected:
    void done(int result) override;

private:
    void BuildChart();
    void BuildPanel(QWidget* panel);
    void AddPlans();
    void ClearReadout();
    void ClearChart();
    void ReportError(const QString& message);
    // Axis ranges after the data changed, then one replot; Queued waits for the event loop.
    void FitAxes();
    void Replot(bool queued);
    // The lowest point of the charted line marked with its value; hidden without a line.
    void MarkLowest();
    // Bar widths and how many line symbols are drawn, for the current plot area.
    void UpdateSeriesSizes();
    bool Ticked(int planIndex) const;
    TChartUnit SelectedUnit() const;

    const TPlanBook& Book_;
    int32_t OpeningBalance_;
    std::function<QDate()> Today_;
    TPrompts* Prompts_;
    std::optional<TTrendLine> Line_;

    QCustomPlot* Chart_ = nullptr;
    QCPGraph* Series1_ = nullptr;
    QCPBars* Series2_ = nullptr;
    QCPItemTracer* LowestMark_ = nullptr;
    QCPItemText* LowestLabel_ = nullptr;
    TDayTicker* Ticker_ = nullptr;
    QListWidget* CheckListBox1_ = nullptr;
    QDateEdit* DateEdit1_ = nullptr;
    TRFilterEdit* RFilterEdit1_ = nullptr;
    TUpDown* UpDown1_ = nullptr;
    QComboBox* ComboBox1_ = nullptr;
    QCheckBox* CheckBox1_ = nullptr;
    QPushButton* Button1_ = nullptr;
    QPushButton* Button2_ = nullptr;
    QLabel* Label3_ = nullptr;
    QLabel* Label4_ = nullptr;
    QLabel* Label5_ = nullptr;
    QFrame* Shape1_ = nullptr;
    QTimer* Timer1_ = nullptr;
};

}  // namespace tamber::ui
