#pragma once

#include <QString>
#include <QStringList>

// The eight tables whose rows can be copied.
enum class CopyTable { Maps, Army, Kits, Vehicles, Weapons, Misc, TopTen, Board };

// One row as one line of labelled text, cells in column order as shown, with no line end. Cells
// beyond the table's columns are left out, missing ones are empty.
QString CopyLine(CopyTable table, const QStringList& cells);
