#include "tables/table_actions.h"

#include "tables/report_list.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
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

namespace {

// Ctrl+C on a list is its copy item: the view would otherwise copy the current cell on its own.
class CopyKey final : public QObject {
public:
    CopyKey(QAction* copy, QObject* parent) : QObject(parent), m_copy(copy) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->matches(QKeySequence::Copy)) {
                if (event->type() == QEvent::KeyPress)
                    m_copy->trigger();
                event->accept();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QAction* m_copy;
};

} // namespace

QMenu* addCopyMenu(QTreeWidget* list, CopyTable table, const char* menuName, const char* actionName, bool withIcon) {
    auto* menu = new QMenu(list);
    menu->setObjectName(QLatin1String(menuName));
    auto* copy = new QAction(QStringLiteral("&Copy"), list);
    copy->setObjectName(QLatin1String(actionName));
    if (withIcon)
        copy->setIcon(QIcon(QStringLiteral(":/art/menu/copy.png")));
    // Shown in the menu; the key itself is taken by the filter below, on the list only.
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    QObject::connect(copy, &QAction::triggered, list, [list, table] {
        for (int r = 0; r < list->topLevelItemCount(); ++r)
            if (list->topLevelItem(r)->isSelected())
                QGuiApplication::clipboard()->setText(CopyLine(table, rowCells(list, r)));
    });
    list->installEventFilter(new CopyKey(copy, list));
    menu->addAction(copy);
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(list, &QWidget::customContextMenuRequested, menu,
                     [list, menu](const QPoint& at) { menu->popup(list->viewport()->mapToGlobal(at)); });
    return menu;
}
