#include "service/service_reply.h"

#include "service/protocol.h"

qsizetype ReplyBlock::column(QByteArrayView name) const {
    for (qsizetype i = 0; i < columns.size(); ++i) {
        if (columns[i] == name)
            return i;
    }
    return -1;
}

ServiceReply::ServiceReply(const ReplyTokens& tokens) : m_tokens(tokens) {}

std::optional<ServiceReply> ServiceReply::read(QByteArrayView body) {
    ServiceReply reply;
    const QList<ReplyLine> lines = ServiceReplyLines(body);
    bool closed = false;
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const ReplyLine& line = lines[n];
        reply.m_tokens.append(line.fields);
        // The status line's further fields (an error number) are no data, and nothing after the
        // closing "$" line (its length count) is either.
        if (n == 0 || closed)
            continue;
        const QByteArray& kind = line.fields.first();
        if (kind == "H") {
            reply.m_blocks.append(ReplyBlock{line.fields.mid(1), {}});
        } else if (kind == "D") {
            if (reply.m_blocks.isEmpty())
                return std::nullopt;
            QByteArrayList values = line.fields.mid(1);
            const qsizetype columns = reply.m_blocks.last().columns.size();
            // A last value that is empty leaves the line ending in the TAB the cut drops.
            if (line.endedWithTab && values.size() == columns - 1)
                values.append(QByteArray());
            if (values.size() != columns)
                return std::nullopt;
            reply.m_blocks.last().rows.append(std::move(values));
        } else if (kind == "$") {
            closed = true;
        }
        // Any other line is no part of the layout and carries nothing to read.
    }
    return reply;
}

const ReplyBlock* ServiceReply::blockWith(QByteArrayView column) const {
    for (const ReplyBlock& block : m_blocks) {
        if (block.column(column) >= 0)
            return &block;
    }
    return nullptr;
}

bool ServiceReply::holds(QByteArrayView column, qsizetype highestPosition) const {
    if (!hasHeaders())
        return m_tokens.size() > highestPosition;
    const ReplyBlock* block = blockWith(column);
    return block && !block->rows.isEmpty();
}

const QByteArray* ServiceReply::field(QByteArrayView column, qsizetype position) const {
    if (!hasHeaders())
        return position >= 0 && position < m_tokens.size() ? &m_tokens[position] : nullptr;
    const ReplyBlock* block = blockWith(column);
    if (!block || block->rows.isEmpty())
        return nullptr;
    return &block->rows.first()[block->column(column)];
}

QByteArray ServiceReply::value(QByteArrayView column, qsizetype position, QByteArrayView absent) const {
    const QByteArray* found = field(column, position);
    return found ? *found : absent.toByteArray();
}
