#include "tables/table_actions.h"

#include "tables/report_list.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenu>
#include <QTreeWidget>

void TableSorting::attach(QTreeWidget* list) {
    QHeaderView* header = list->header();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(false);
    connect(header, &QHeaderView::sectionClicked, this, [this, list](int column) { clickColumn(list, column); });
}

void TableSorting::clickColumn(QTreeWidget* list, int column) {
    m_state.click(column);
    sortRows(list, m_state);
    emit sorted(list);
}

void TableSorting::markRanked(QTreeWidget* list, int column) {
    m_state.rankBy(column);
    list->header()->setSortIndicatorShown(true);
    list->header()->setSortIndicator(column, Qt::DescendingOrder);
}

void sortRows(QTreeWidget* list, const SortState& state) {
    QList<QStringList> rows;
    for (int r = 0; r < list->topLevelItemCount(); ++r)
        rows.append(rowCells(list, r));
    const QList<int> order = SortedOrder(rows, state, ColumnKind(list));

    QTreeWidgetItem* current = list->currentItem();
    const QList<QTreeWidgetItem*> selected = list->selectedItems();
    list->setUpdatesEnabled(false);
    QList<QTreeWidgetItem*> items;
    while (list->topLevelItemCount() > 0)
        items.append(list->takeTopLevelItem(0));
    for (const int i : order)
        list->addTopLevelItem(items[i]);
    if (current)
        list->setCurrentItem(current, 0, QItemSelectionModel::NoUpdate);
    for (QTreeWidgetItem* item : selected)
        item->setSelected(true);
    // The header's own click handling may have turned the indicator already; this is the truth.
    list->header()->setSortIndicatorShown(true);
    list->header()->setSortIndicator(state.sortColumn, state.descending ? Qt::DescendingOrder : Qt::AscendingOrder);
    list->setUpdatesEnabled(true);
}

QMenu* addCopyMenu(QTreeWidget* list, CopyTable table, const char* menuName, const char* actionName, bool withIcon) {
    auto* menu = new QMenu(list);
    menu->setObjectName(QLatin1String(menuName));
    auto* copy = new QAction(QStringLiteral("&Copy"), list);
    copy->setObjectName(QLatin1String(actionName));
    if (withIcon)
        copy->setIcon(QIcon(QStringLiteral(":/art/menu/copy.png")));
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(copy, &QAction::triggered, list, [list, table] {
        for (int r = 0; r < list->topLevelItemCount(); ++r)
            if (list->topLevelItem(r)->isSelected())
                QGuiApplication::clipboard()->setText(CopyLine(table, rowCells(list, r)));
    });
    list->addAction(copy);
    menu->addAction(copy);
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(list, &QWidget::customContextMenuRequested, menu,
                     [list, menu](const QPoint& at) { menu->popup(list->viewport()->mapToGlobal(at)); });
    return menu;
}
