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

// A record from one data line, by the block's column names; a missing column keeps the empty
// row's text.
BoardEntry recordOf(const ReplyBlock& block, const QByteArrayList& row) {
    const auto value = [&](QByteArrayView name, QByteArrayView absent) {
        const qsizetype c = block.column(name);
        return c >= 0 ? row.at(c) : absent.toByteArray();
    };
    return {value("pid", "0"), value("nick", "N/A"), value("score", "0"),
            FormatDuration(countFromToken(value("totaltime", "0"))), value("countrycode", "N/A")};
}

} // namespace

std::optional<QList<BoardEntry>> readTopTen(const ServiceReply& reply) {
    QList<BoardEntry> entries;
    if (reply.hasHeaders()) {
        const ReplyBlock* block = reply.blockWith("nick");
        if (!block)
            return std::nullopt;
        for (const QByteArrayList& row : block->rows.mid(0, BoardRows))
            entries.append(recordOf(*block, row));
        return entries;
    }
    const ReplyTokens& tokens = reply.tokens();
    if (tokens.size() <= TopTenHighestPosition)
        return std::nullopt;
    for (int r = 0; r < BoardRows; ++r)
        entries.append(recordAt(tokens, FirstRecord + RecordStride * r));
    return entries;
}

std::optional<PersonalRecord> readPersonalRecord(const ServiceReply& reply) {
    const ReplyTokens& tokens = reply.tokens();
    if (tokens.size() > 1 && tokens.at(1) == NoRecord)
        return PersonalRecord{};
    if (reply.hasHeaders()) {
        const ReplyBlock* block = reply.blockWith("nick");
        if (!block)
            return std::nullopt;
        if (block->rows.isEmpty())
            return PersonalRecord{};
        return PersonalRecord{true, recordOf(*block, block->rows.first())};
    }
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
