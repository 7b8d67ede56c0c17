#include "tables/report_list.h"

#include <QHeaderView>
#include <QTreeWidget>

namespace {

// A cell is read out with its caption: "Score: 205200". Without headers (the misc table) the
// row's name is the caption of its value.
void speak(QTreeWidgetItem* item, int column) {
    const QTreeWidget* list = item->treeWidget();
    QString caption;
    if (list && !list->isHeaderHidden())
        caption = column == 0 ? QString() : list->headerItem()->text(column);
    else if (column > 0)
        caption = item->text(0);
    const QString text = item->text(column);
    item->setData(column, Qt::AccessibleTextRole, caption.isEmpty() ? text : caption + QStringLiteral(": ") + text);
}

} // namespace

QList<CellKind> ColumnKind(const QTreeWidget* list) {
    QList<CellKind> kinds;
    for (const QVariant& v : list->property("columnKinds").toList())
        kinds.append(CellKind(v.toInt()));
    return kinds;
}

QTreeWidget* makeReportList(const QString& objectName, const QList<ReportColumn>& columns,
                            const QList<QStringList>& rows, QWidget* parent) {
    auto* list = new QTreeWidget(parent);
    list->setObjectName(objectName);
    list->setAccessibleName(objectName);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAlternatingRowColors(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setColumnCount(static_cast<int>(columns.size()));

    QStringList captions;
    QVariantList kinds;
    for (const ReportColumn& c : columns) {
        captions << c.caption;
        kinds << int(c.kind);
    }
    list->setHeaderLabels(captions);
    list->setProperty("columnKinds", kinds);
    list->header()->setSectionsMovable(false);
    list->header()->setStretchLastSection(false);
    list->header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (int i = 0; i < columns.size(); ++i) {
        list->setColumnWidth(i, columns[i].width);
        list->headerItem()->setTextAlignment(i, (i == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
    }

    for (const QStringList& cells : rows) {
        auto* item = new QTreeWidgetItem(list, cells);
        for (int i = 1; i < columns.size(); ++i)
            item->setTextAlignment(i, Qt::AlignRight | Qt::AlignVCenter);
        for (int i = 0; i < columns.size(); ++i)
            speak(item, i);
    }
    return list;
}

void setCell(QTreeWidget* list, int row, int column, const QString& text) {
    if (QTreeWidgetItem* item = list->topLevelItem(row)) {
        item->setText(column, text);
        speak(item, column);
    }
}

void setHeaderHidden(QTreeWidget* list, bool hidden) {
    list->setHeaderHidden(hidden);
    for (int r = 0; r < list->topLevelItemCount(); ++r)
        for (int c = 0; c < list->columnCount(); ++c)
            speak(list->topLevelItem(r), c);
}

QString cell(const QTreeWidget* list, int row, int column) {
    const QTreeWidgetItem* item = list->topLevelItem(row);
    return item ? item->text(column) : QString();
}

QStringList rowCells(const QTreeWidget* list, int row) {
    QStringList cells;
    if (const QTreeWidgetItem* item = list->topLevelItem(row))
        for (int c = 0; c < list->columnCount(); ++c)
            cells.append(item->text(c));
    return cells;
}
