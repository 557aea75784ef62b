// The chart module: the one part of the program that links the chart library.
#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QLabel>
#include <QLineSeries>
#include <QMouseEvent>
#include <QTimeZone>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>

#include "DailyChart.h"

namespace {

qint64 DayMs(QDate day) { return day.startOfDay(QTimeZone::utc()).toMSecsSinceEpoch(); }

// A value axis from 0 to a round number at or above `top`.
void Fit(QValueAxis& axis, std::int64_t top) {
    axis.setRange(0, static_cast<double>(std::max<std::int64_t>(top, 1)));
    axis.applyNiceNumbers();
    axis.setLabelFormat("%.0f");
}

class ChartView : public QChartView {
  public:
    ChartView(QChart* chart, QLabel& hovered) : QChartView(chart), hovered_(hovered) {
        setMouseTracking(true);
        setRenderHint(QPainter::Antialiasing);
    }
    void SetSeries(const DailySeries& series) { series_ = series; }

  protected:
    // The day under the mouse is named with its numbers below the chart.
    void mouseMoveEvent(QMouseEvent* event) override {
        QChartView::mouseMoveEvent(event);
        QString text;
        if (!series_.days.empty() && chart()->plotArea().contains(event->position())) {
            const QPointF value = chart()->mapToValue(event->position(), chart()->series().first());
            const qint64 index = qRound64((value.x() - DayMs(series_.first)) / 86400000.0);
            if (index >= 0 && index < static_cast<qint64>(series_.days.size())) {
                const DayTotals& day = series_.days[index];
                text = QStringLiteral("%1: %2 impressions, %3 clicks")
                           .arg(series_.first.addDays(index).toString(Qt::ISODate))
                           .arg(day.impressions)
                           .arg(day.clicks);
            }
        }
        hovered_.setText(text);
    }

  private:
    QLabel& hovered_;
    DailySeries series_;
};

class ChartsDailyChart : public DailyChart {
  public:
    explicit ChartsDailyChart(QWidget* parent) : DailyChart(parent) {
        auto* chart = new QChart;
        chart->legend()->setAlignment(Qt::AlignBottom);
        impressions_->setName("Impressions");
        clicks_->setName("Clicks");
        chart->addSeries(impressions_);
        chart->addSeries(clicks_);
        days_->setFormat("MMM d");
        days_->setTickCount(8);
        impressionAxis_->setTitleText("Impressions");
        clickAxis_->setTitleText("Clicks");
        chart->addAxis(days_, Qt::AlignBottom);
        chart->addAxis(impressionAxis_, Qt::AlignLeft);
        chart->addAxis(clickAxis_, Qt::AlignRight);
        for (QLineSeries* series : {impressions_, clicks_}) series->attachAxis(days_);
        impressions_->attachAxis(impressionAxis_);
        clicks_->attachAxis(clickAxis_);
        view_ = new ChartView(chart, *hovered_);
        view_->setObjectName("chartDays");
        hovered_->setObjectName("lblHoveredDay");
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(view_, 1);
        layout->addWidget(hovered_);
    }

    void Show(const DailySeries& series) override {
        QList<QPointF> impressions, clicks;
        std::int64_t mostImpressions = 0, mostClicks = 0;
        for (std::size_t i = 0; i < series.days.size(); ++i) {
            const double x = static_cast<double>(DayMs(series.first.addDays(i)));
            const DayTotals& day = series.days[i];
            impressions.append({x, static_cast<double>(day.impressions)});
            clicks.append({x, static_cast<double>(day.clicks)});
            mostImpressions = std::max(mostImpressions, day.impressions);
            mostClicks = std::max(mostClicks, day.clicks);
        }
        impressions_->replace(impressions);
        clicks_->replace(clicks);
        if (!series.days.empty())
            days_->setRange(
                series.first.startOfDay(QTimeZone::utc()),
                series.first.addDays(series.days.size() - 1).startOfDay(QTimeZone::utc()));
        Fit(*impressionAxis_, mostImpressions);
        Fit(*clickAxis_, mostClicks);
        view_->SetSeries(series);
        hovered_->clear();
    }

  private:
    QLineSeries* impressions_ = new QLineSeries;
    QLineSeries* clicks_ = new QLineSeries;
    QDateTimeAxis* days_ = new QDateTimeAxis;
    QValueAxis* impressionAxis_ = new QValueAxis;
    QValueAxis* clickAxis_ = new QValueAxis;
    QLabel* hovered_ = new QLabel;
    ChartView* view_ = nullptr;
};

}  // namespace

extern "C" Q_DECL_EXPORT DailyChart* QuillspotNewDailyChart(QWidget* parent) {
    return new ChartsDailyChart(parent);
}
