#pragma once

#include "service/service_reply.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QList>
#include <optional>

// The Data page tables (all but the maps) from the general-statistics reply.

inline constexpr int DataHighestPosition = 460;

// Rows in vocabulary order; each row holds the cells after the name column, in column order.
using TableCells = QList<QByteArrayList>;

struct MiscValue {
    int row;
    QByteArray text;
};

struct DataValues {
    TableCells army;       // Time, Wins, Losses, Ratio, Best Round
    TableCells kits;       // Time, Kills, Deaths, Ratio
    TableCells weapons;    // Time, Kills, Deaths, Ratio, Accuracy
    TableCells vehicles;   // Time, Kills, Deaths, Ratio, Road Kills
    QList<MiscValue> misc; // rows 0, 5, 6, 7 of the misc table, in that order
};

// Nothing when the reply is too short for every position read; a count that is not a number
// counts as 0, a value without a format is the token as sent.
std::optional<DataValues> readDataTables(const ServiceReply& reply);

// The nickname of a misc "Favorite Victims" or "Worst Enemy" value ("=DOG= Sarge (12)" gives
// "=DOG= Sarge"): the value without its trailing " (count)". Empty for the unfilled "-".
QByteArray miscNickname(const QByteArray& value);
