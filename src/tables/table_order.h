#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

// How a column's cells compare. Integer: decimal value, a cell that is not a number counts as 0.
// Duration ("hh:mm:ss", hours unbounded) and Decimal (a ratio or a percentage, either decimal
// separator) by their value, a cell without one ("n/a") below every value. Text: letters a to z
// as their capitals, every other character by its code.
enum class CellKind { Text, Integer, Duration, Decimal };

// Shared by every sortable table: a click on one table decides the direction of the next click
// on any of them.
struct SortState {
    int sortColumn = 0;     // the column sorted by last
    int lastSortColumn = 0; // the column of the previous header click
    bool descending = false;

    // A header click: the same column index as the previous click turns the direction round,
    // another column sorts ascending.
    void click(int column);
    // The personal leaderboard's ranking: by score, highest first; the click history stays.
    void rankBy(int column);
    bool operator==(const SortState&) const = default;
};

// Negative when a comes first in ascending order, 0 when equal, positive otherwise.
int CompareCells(QStringView a, QStringView b, CellKind kind);

// The order of the rows (indices into rows) sorted by the state's column in its direction;
// rows that compare equal keep their order. A row without the column counts as an empty cell.
QList<int> SortedOrder(const QList<QStringList>& rows, const SortState& state, const QList<CellKind>& kinds);
