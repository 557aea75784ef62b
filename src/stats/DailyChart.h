#pragma once

#include <QWidget>

#include "DailyCounts.h"

// The chart of impressions and clicks per day, each on its own axis. It lives in a module of
// its own with the chart library, loaded when the first statistics window opens, so the
// program's start-up never loads that library.
class DailyChart : public QWidget {
  public:
    using QWidget::QWidget;
    // Draws `series` in place of what was drawn; an empty series leaves the chart empty.
    virtual void Show(const DailySeries& series) = 0;
};

// A new chart in `parent`. Throws std::runtime_error when the chart module cannot be loaded.
DailyChart* NewDailyChart(QWidget* parent);
