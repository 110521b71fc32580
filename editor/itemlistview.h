#pragma once

#include <QTreeWidget>

// The item list's widget. Its highlighted row is always its current row, the item the fields
// show and the commands act on: a click into empty space, Ctrl+click or Ctrl+Space never
// leave the current item unmarked.
class ItemListView : public QTreeWidget {
public:
    using QTreeWidget::QTreeWidget;

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override {
        if (!index.isValid())
            return QItemSelectionModel::NoUpdate;
        const QItemSelectionModel::SelectionFlags flags =
            QTreeWidget::selectionCommand(index, event);
        if (flags.testFlag(QItemSelectionModel::Deselect) ||
            flags.testFlag(QItemSelectionModel::Toggle))
            return QItemSelectionModel::NoUpdate;
        return flags;
    }
};
