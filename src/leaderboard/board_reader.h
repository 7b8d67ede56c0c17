#pragma once

#include "service/service_reply.h"

#include <QByteArray>
#include <QList>
#include <optional>

// The top ten and the personal leaderboard, read from the service's overall score leaderboard.

inline constexpr int BoardRows = 10;
// Records of the top-ten reply are eight tokens apart, the first at 17; the highest read is 94.
inline constexpr int TopTenHighestPosition = 94;
inline constexpr int RecordHighestPosition = 22;

// One record as the tables show it: the time already as hh:mm:ss.
struct BoardEntry {
    QByteArray pid;
    QByteArray nickname;
    QByteArray score;
    QByteArray time;
    QByteArray country;
    bool operator==(const BoardEntry&) const = default;
};

// The records, best first, at most ten. Read by column names, a reply may hold fewer (a service
// with few players); read by positions, it must reach the tenth. Nothing when it cannot be read.
std::optional<QList<BoardEntry>> readTopTen(const ServiceReply& reply);

// The record of one player: found is false when the service has none ("$" in token 1, or a header
// without a data line). Nothing when the reply is too short for a record.
struct PersonalRecord {
    bool found = false;
    BoardEntry entry;
};
std::optional<PersonalRecord> readPersonalRecord(const ServiceReply& reply);

// One row of the personal leaderboard: unfilled, a record, or an entry the service does not know.
struct BoardRow {
    enum class State { Empty, Record, Unknown };
    State state = State::Empty;
    BoardEntry entry;
    bool operator==(const BoardRow&) const = default;
};

// The rows ranked: records by score, highest first; then the unknown entries; then the unfilled
// rows. Rows that rank equal keep their order.
QList<BoardRow> rankByScore(QList<BoardRow> rows);

// The "#" captions of the ten rows, top to bottom: "1" to "10".
QList<QByteArray> BoardCaptions();
