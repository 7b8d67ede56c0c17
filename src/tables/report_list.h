#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QTreeWidget;
class QWidget;

// One column of a report list: caption, width in pixels and whether it sorts as an integer.
struct ReportColumn {
    QString caption;
    int width;
    bool integer = false;
};

// The sort kind of each column (1 integer, otherwise text), kept on the list for the sorting.
inline constexpr int ColumnKindInteger = 1;
inline constexpr int ColumnKindText = 0;
QList<int> ColumnKind(const QTreeWidget* list);

// A read-only report list with grid lines, whole-row single selection, striped rows and a fixed
// set of rows: the first column left-aligned, all others right-aligned.
QTreeWidget* makeReportList(const QString& objectName, const QList<ReportColumn>& columns,
                            const QList<QStringList>& rows, QWidget* parent);

// Writes one cell by display position; a position outside the list is ignored.
void setCell(QTreeWidget* list, int row, int column, const QString& text);
QString cell(const QTreeWidget* list, int row, int column);
