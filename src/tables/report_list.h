#pragma once

#include "tables/table_order.h"

#include <QList>
#include <QString>
#include <QStringList>

class QTreeWidget;
class QWidget;

// One column of a report list: caption, width in pixels and how its cells compare.
struct ReportColumn {
    QString caption;
    int width;
    CellKind kind = CellKind::Text;
};

// How each column compares, kept on the list for the sorting.
QList<CellKind> ColumnKind(const QTreeWidget* list);

// A read-only report list with grid lines, whole-row single selection, striped rows and a fixed
// set of rows: the first column left-aligned, all others right-aligned.
QTreeWidget* makeReportList(const QString& objectName, const QList<ReportColumn>& columns,
                            const QList<QStringList>& rows, QWidget* parent);

// A list without headers reads each value with its row's name.
void setHeaderHidden(QTreeWidget* list, bool hidden);

// Writes one cell by display position; a position outside the list is ignored. Each cell is read
// out with its column's caption ("Score: 205200").
void setCell(QTreeWidget* list, int row, int column, const QString& text);
QString cell(const QTreeWidget* list, int row, int column);
// The texts of one row, in column order.
QStringList rowCells(const QTreeWidget* list, int row);
