#pragma once

#include <QStyledItemDelegate>

// Draws the thin lines between the cells of a report list, which a tree view lacks.
class GridLineDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};
