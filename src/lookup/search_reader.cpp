#include "lookup/search_reader.h"

namespace {

constexpr qsizetype FirstPidPosition = 12;
constexpr qsizetype RowLength = 5;

bool isPid(const QByteArray& text) {
    return !text.isEmpty() && text != "$";
}

} // namespace

QList<SearchMatch> readSearchMatches(const ServiceReply& reply) {
    QList<SearchMatch> matches;
    if (reply.hasHeaders()) {
        const ReplyBlock* block = reply.blockWith("pid");
        if (!block)
            return matches;
        const qsizetype pid = block->column("pid");
        const qsizetype nick = block->column("nick");
        const qsizetype score = block->column("score");
        for (const QByteArrayList& row : block->rows) {
            if (!isPid(row[pid]))
                break;
            matches.append({row[pid], nick >= 0 ? row[nick] : QByteArray(), score >= 0 ? row[score] : QByteArray("0")});
        }
        return matches;
    }
    const ReplyTokens& tokens = reply.tokens();
    for (qsizetype at = FirstPidPosition; at < tokens.size() && isPid(tokens[at]); at += RowLength) {
        if (at > FirstPidPosition && tokens[at - 2] != "D")
            break; // the closing line, not another row
        matches.append({tokens[at], tokens.value(at + 1), tokens.value(at + 2, "0")});
    }
    return matches;
}
