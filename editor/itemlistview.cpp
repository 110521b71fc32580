#include "itemlistview.h"

#include <QDropEvent>

ItemListView::ItemListView(QWidget* parent) : QTreeWidget(parent) {
    setDragEnabled(true);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::InternalMove);
    setDefaultDropAction(Qt::MoveAction);
}

QItemSelectionModel::SelectionFlags ItemListView::selectionCommand(const QModelIndex& index,
                                                                   const QEvent* event) const {
    if (!index.isValid())
        return QItemSelectionModel::NoUpdate;
    const QItemSelectionModel::SelectionFlags flags = QTreeWidget::selectionCommand(index, event);
    if (flags.testFlag(QItemSelectionModel::Deselect) ||
        flags.testFlag(QItemSelectionModel::Toggle))
        return QItemSelectionModel::NoUpdate;
    return flags;
}

int ItemListView::dropRow(const QPoint& pos, int from) const {
    const QModelIndex at = indexAt(pos);
    // Below the last item is the end of the list; on an item, its upper half is before it.
    int before = topLevelItemCount();
    if (at.isValid()) {
        const QRect r = visualRect(at);
        before = at.row() + (pos.y() >= r.center().y() ? 1 : 0);
    }
    return before > from ? before - 1 : before;
}

void ItemListView::dropCurrentAt(const QPoint& pos) {
    const int from = currentIndex().isValid() ? currentIndex().row() : -1;
    if (from < 0 || !m_onMove)
        return;
    const int to = dropRow(pos, from);
    if (to != from)
        m_onMove(from, to);
}

void ItemListView::dropEvent(QDropEvent* event) {
    // The widget itself moves nothing: the drag ends as if ignored, and the list follows the
    // document's move.
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
    stopAutoScroll();
    setState(NoState);
    viewport()->update();
    if (event->source() == this)
        dropCurrentAt(event->position().toPoint());
}
