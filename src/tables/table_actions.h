#pragma once

#include "tables/copy_line.h"
#include "tables/table_order.h"

#include <QObject>

class QMenu;
class QTreeWidget;

// Sorting by header click for a set of tables that share one sort state: a click on one table
// decides the direction of the next click on any of them. The header of a table shows the
// column it was sorted by last and the direction.
class TableSorting final : public QObject {
    Q_OBJECT

public:
    explicit TableSorting(QObject* parent = nullptr) : QObject(parent) {}

    void attach(QTreeWidget* list);
    const SortState& state() const { return m_state; }

    // What a header click on the column does.
    void clickColumn(QTreeWidget* list, int column);
    // Marks the list as ranked by the column, highest first, without sorting its rows (its owner
    // has put them in that order).
    void markRanked(QTreeWidget* list, int column);

signals:
    void sorted(QTreeWidget* list);

private:
    SortState m_state;
};

// Moves whole rows of the list into the state's order; the selected row stays selected.
void sortRows(QTreeWidget* list, const SortState& state);

// The context menu (object name menuName) with its one item "&Copy" (actionName), which Ctrl+C
// on the list triggers too: the selected row goes to the clipboard as one line. With no row
// selected the clipboard keeps what it holds.
QMenu* addCopyMenu(QTreeWidget* list, CopyTable table, const char* menuName, const char* actionName, bool withIcon);
