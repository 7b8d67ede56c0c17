#include "leaderboard/board_reader.h"

#include "service/protocol.h"
#include "stats/format.h"

#include <algorithm>

namespace {

constexpr int FirstRecord = 17;
constexpr int RecordStride = 8;
constexpr char NoRecord[] = "$";

// A record's fields from its first token (the PID); token 21 of a record, the rank, is not shown.
BoardEntry recordAt(const ReplyTokens& tokens, int first) {
    return {tokens.at(first), tokens.at(first + 1), tokens.at(first + 2),
            FormatDuration(countFromToken(tokens.at(first + 3))), tokens.at(first + 5)};
}

} // namespace

std::optional<QList<BoardEntry>> readTopTen(const ReplyTokens& tokens) {
    if (tokens.size() <= TopTenHighestPosition)
        return std::nullopt;
    QList<BoardEntry> entries;
    for (int r = 0; r < BoardRows; ++r)
        entries.append(recordAt(tokens, FirstRecord + RecordStride * r));
    return entries;
}

std::optional<PersonalRecord> readPersonalRecord(const ReplyTokens& tokens) {
    if (tokens.size() > 1 && tokens.at(1) == NoRecord)
        return PersonalRecord{};
    if (tokens.size() <= RecordHighestPosition)
        return std::nullopt;
    return PersonalRecord{true, recordAt(tokens, FirstRecord)};
}

QList<BoardRow> rankByScore(QList<BoardRow> rows) {
    const auto group = [](const BoardRow& row) {
        switch (row.state) {
        case BoardRow::State::Record:
            return 0;
        case BoardRow::State::Unknown:
            return 1;
        case BoardRow::State::Empty:
            break;
        }
        return 2;
    };
    std::stable_sort(rows.begin(), rows.end(), [&](const BoardRow& a, const BoardRow& b) {
        if (group(a) != group(b))
            return group(a) < group(b);
        return group(a) == 0 && TokenNumber(a.entry.score) > TokenNumber(b.entry.score);
    });
    return rows;
}

QList<QByteArray> BoardCaptions() {
    QList<QByteArray> captions;
    for (int i = 1; i <= BoardRows; ++i)
        captions.append(QByteArray::number(i));
    return captions;
}
