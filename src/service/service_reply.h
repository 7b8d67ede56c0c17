#pragma once

#include "service/reply_tokens.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QByteArrayView>
#include <QList>
#include <optional>

// One block of a reply: a header line ("H" and the column names) and the data lines under it
// ("D" and one value per column, in the header's order).
struct ReplyBlock {
    QByteArrayList columns;
    QList<QByteArrayList> rows;

    // The place of the column in the header, -1 when the block has none of that name.
    qsizetype column(QByteArrayView name) const;
};

// A reply of the statistics service, read by its own layout: a status line ("O" for a reply with
// data, "E" for an error), blocks of a header and its data lines, and a closing "$" line. Values
// are found by their column names, so a service that adds, drops or reorders columns is read
// right. A reply without any header line (one known only by its flat tokens) is read by the
// positions of the original layout instead.
class ServiceReply {
public:
    // A reply known only by its tokens: every value is found by its position.
    ServiceReply(const ReplyTokens& tokens); // NOLINT(google-explicit-constructor): readers take either

    // The reply read from its body (the cut of CutServiceReply, kept in lines). Nothing when the
    // reply is malformed: a data line before any header, or with fewer or more values than its
    // header has columns.
    static std::optional<ServiceReply> read(QByteArrayView body);

    const ReplyTokens& tokens() const { return m_tokens; }
    // The first field of the first line: "O", "E", ...; empty for an empty reply.
    QByteArray status() const { return m_tokens.value(0); }
    bool hasHeaders() const { return !m_blocks.isEmpty(); }
    const QList<ReplyBlock>& blocks() const { return m_blocks; }

    // The first block whose header has the column, nullptr when none has it.
    const ReplyBlock* blockWith(QByteArrayView column) const;

    // Whether the reply is long enough to read: with headers, a data line has the column (the one
    // every line of the wanted kind has, "pid" say); without, the tokens reach the position.
    bool holds(QByteArrayView column, qsizetype highestPosition) const;

    // A value by its column in the first data line of the first block that has the column, or,
    // in a reply without headers, the token at the position. nullptr when the reply has no such
    // value: the reader then keeps its start value, never another column's.
    const QByteArray* field(QByteArrayView column, qsizetype position) const;
    // The same, with the text to use where there is no such value.
    QByteArray value(QByteArrayView column, qsizetype position, QByteArrayView absent = "0") const;

private:
    ServiceReply() = default;

    ReplyTokens m_tokens;
    QList<ReplyBlock> m_blocks;
};
