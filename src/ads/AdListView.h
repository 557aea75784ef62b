#pragma once

#include <QTreeView>

// The view of the ad list. Check marks change neither a row's height nor anything but what the
// view paints, and the rows open no editors in place. So a change of many rows' check marks
// alone (Select All, Clear Selection) only repaints what shows, where the tree view would
// first walk every row of the change for its height and place, which a million rows make a
// user wait for. With an assistive technology listening, it still hears of each change.
class AdListView : public QTreeView {
  public:
    using QTreeView::QTreeView;

  protected:
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles) override;
};
