#include "tables/copy_line.h"

#include <QList>

namespace {

// The label before each cell; labels carry their own blanks.
QList<const char*> labels(CopyTable table) {
    switch (table) {
    case CopyTable::Maps:
        return {"Map: ", " Time: ", " Wins: ", " Losses: ", " Ratio: ", " Best Round: "};
    case CopyTable::Army:
        return {"Army: ", " Time: ", " Wins: ", " Losses: ", " Ratio: ", " Best Round: "};
    case CopyTable::Kits:
        return {"Kit: ", " Time: ", " Kills: ", " Deaths: ", " Ratio: "};
    case CopyTable::Vehicles:
        return {"Vehicle: ", " Time: ", " Kills: ", " Deaths: ", " Ratio: ", " Road Kills: "};
    case CopyTable::Weapons:
        return {"Weapon: ", " Time: ", " Kills: ", " Deaths: ", " Ratio: ", " Accuracy: "};
    case CopyTable::Misc:
        return {"", ": "};
    case CopyTable::TopTen:
    case CopyTable::Board:
        return {"#: ", " Nickname: ", " PID: ", " Score: ", " Time: ", " Country: "};
    }
    return {};
}

} // namespace

QString CopyLine(CopyTable table, const QStringList& cells) {
    QString line;
    const QList<const char*> names = labels(table);
    for (qsizetype i = 0; i < names.size(); ++i)
        line += QLatin1String(names[i]) + cells.value(i);
    return line;
}
