#include "service/service_reply.h"

#include "service/protocol.h"

namespace {

QByteArrayList splitFields(QByteArrayView line) {
    QByteArrayList fields;
    qsizetype start = 0;
    while (true) {
        const qsizetype tab = line.indexOf('\t', start);
        if (tab < 0) {
            fields.append(line.sliced(start).toByteArray());
            return fields;
        }
        fields.append(line.sliced(start, tab - start).toByteArray());
        start = tab + 1;
    }
}

} // namespace

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
    reply.m_tokens = CutServiceReply(body);

    const qsizetype nul = body.indexOf('\0');
    const QByteArrayView text = nul < 0 ? body : body.first(nul);
    bool statusSeen = false;
    qsizetype pos = 0;
    while (pos < text.size()) {
        qsizetype end = text.indexOf('\n', pos);
        if (end < 0)
            end = text.size();
        QByteArrayView line = text.sliced(pos, end - pos);
        pos = end + 1;
        // The same line rules as the token cut: CR before LF dropped, one trailing TAB dropped,
        // empty lines skipped.
        if (line.endsWith('\r'))
            line.chop(1);
        const bool endedWithTab = line.endsWith('\t');
        if (endedWithTab)
            line.chop(1);
        if (line.isEmpty())
            continue;
        if (!statusSeen) {
            // The status line's further fields (an error number) are no data.
            statusSeen = true;
            continue;
        }
        QByteArrayList fields = splitFields(line);
        const QByteArray kind = fields.takeFirst();
        if (kind == "H") {
            reply.m_blocks.append(ReplyBlock{std::move(fields), {}});
        } else if (kind == "D") {
            if (reply.m_blocks.isEmpty())
                return std::nullopt;
            const qsizetype columns = reply.m_blocks.last().columns.size();
            // A last value that is empty leaves the line ending in the TAB the cut drops.
            if (endedWithTab && fields.size() == columns - 1)
                fields.append(QByteArray());
            if (fields.size() != columns)
                return std::nullopt;
            reply.m_blocks.last().rows.append(std::move(fields));
        } else if (kind == "$") {
            break; // the closing line: its length count, and nothing after it, is data
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
