#include "AdListView.h"

#include <QAccessible>

void AdListView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                             const QList<int>& roles) {
    if (topLeft != bottomRight && roles == QList<int>{Qt::CheckStateRole} &&
        !QAccessible::isActive()) {
        viewport()->update();
        return;
    }
    QTreeView::dataChanged(topLeft, bottomRight, roles);
}
