#include "awards/award_reader.h"

#include <QHash>

namespace {

struct IdEntry {
    Awards::Kind kind;
    int index;
};

// All award ids at once, so that each token is looked up once rather than compared 86 times.
const QHash<QByteArray, IdEntry>& awardIds() {
    static const QHash<QByteArray, IdEntry> ids = [] {
        QHash<QByteArray, IdEntry> map;
        for (int i = 0; i < Awards::BadgeCount; ++i)
            map.insert(QByteArray(Awards::Badges[std::size_t(i)].id), {Awards::Kind::Badge, i});
        for (int i = 0; i < Awards::MedalCount; ++i)
            map.insert(QByteArray(Awards::Medals[std::size_t(i)].id), {Awards::Kind::Medal, i});
        for (int i = 0; i < Awards::RibbonCount; ++i)
            map.insert(QByteArray(Awards::Ribbons[std::size_t(i)].id), {Awards::Kind::Ribbon, i});
        return map;
    }();
    return ids;
}

int badgeLevel(const QByteArray* token) {
    if (!token || token->size() != 1)
        return 0;
    const char c = token->at(0);
    return c >= '0' && c <= '3' ? c - '0' : 0;
}

} // namespace

AwardStatus readAwards(const ServiceReply& reply) {
    AwardStatus status;
    const QHash<QByteArray, IdEntry>& ids = awardIds();
    // One award id and what follows it: the medal's count, the badge's level.
    const auto take = [&](const QByteArray& id, const QByteArray* next) {
        const auto found = ids.constFind(id);
        if (found == ids.constEnd())
            return;
        const std::size_t index = std::size_t(found->index);
        switch (found->kind) {
        case Awards::Kind::Medal:
            status.medals[index].earned = true;
            status.medals[index].count = next ? std::optional<QByteArray>(*next) : std::nullopt;
            break;
        case Awards::Kind::Ribbon:
            status.ribbons[index] = true;
            break;
        case Awards::Kind::Badge:
            status.badges[index] = badgeLevel(next);
            break;
        }
    };
    if (reply.hasHeaders()) {
        // Only the award and level columns are read: a PID or a time elsewhere is never an award.
        if (const ReplyBlock* block = reply.blockWith("award")) {
            const qsizetype award = block->column("award");
            const qsizetype level = block->column("level");
            for (const QByteArrayList& row : block->rows)
                take(row[award], level >= 0 ? &row[level] : nullptr);
        }
        return status;
    }
    const ReplyTokens& tokens = reply.tokens();
    for (qsizetype i = 0; i < tokens.size(); ++i)
        take(tokens[i], i + 1 < tokens.size() ? &tokens[i + 1] : nullptr);
    return status;
}

QByteArray medalCountText(const AwardStatus::Medal& medal) {
    if (!medal.earned)
        return "x0";
    return "x" + medal.count.value_or(QByteArray());
}

UnlockStatus readUnlocks(const ServiceReply& reply) {
    UnlockStatus status{};
    const auto take = [&status](const QByteArray& id, const QByteArray& state) {
        if (state != "s")
            return;
        for (int u = 0; u < Awards::UnlockCount; ++u)
            if (id == Awards::Unlocks[std::size_t(u)].id)
                status[std::size_t(u)] = true;
    };
    if (reply.hasHeaders()) {
        // Only the id and state columns are read.
        if (const ReplyBlock* block = reply.blockWith("state")) {
            const qsizetype id = block->column("id");
            const qsizetype state = block->column("state");
            for (const QByteArrayList& row : block->rows) {
                if (id >= 0)
                    take(row[id], row[state]);
            }
        }
        return status;
    }
    const ReplyTokens& tokens = reply.tokens();
    for (qsizetype i = 0; i + 1 < tokens.size(); ++i)
        take(tokens[i], tokens[i + 1]);
    return status;
}
