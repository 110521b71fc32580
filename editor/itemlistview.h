#pragma once

#include <QTreeWidget>

#include <functional>

// The item list's widget. Its highlighted row is always its current row, the item the fields
// show and the commands act on: a click into empty space, Ctrl+click or Ctrl+Space never
// leave the current item unmarked. An item dragged within the list is not moved by the widget:
// the move is handed to the document, which the list then follows.
class ItemListView : public QTreeWidget {
public:
    explicit ItemListView(QWidget* parent = nullptr);

    // Called with the current row and the row the dragged item is to stand at.
    using MoveHandler = std::function<void(int from, int to)>;
    void setMoveHandler(MoveHandler handler) { m_onMove = std::move(handler); }

    // The row an item dropped at pos (in the viewport) ends at, when it comes from `from`.
    int dropRow(const QPoint& pos, int from) const;
    // What a drop of the current item at pos (in the viewport) does.
    void dropCurrentAt(const QPoint& pos);

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;
    void dropEvent(QDropEvent* event) override;

private:
    MoveHandler m_onMove;
};
