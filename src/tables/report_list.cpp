#include "tables/report_list.h"

#include <QHeaderView>
#include <QTreeWidget>

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
    }
    return list;
}

void setCell(QTreeWidget* list, int row, int column, const QString& text) {
    if (QTreeWidgetItem* item = list->topLevelItem(row))
        item->setText(column, text);
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
