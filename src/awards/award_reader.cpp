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

AwardStatus readAwards(const ReplyTokens& tokens) {
    AwardStatus status;
    const QHash<QByteArray, IdEntry>& ids = awardIds();
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        const auto found = ids.constFind(tokens[i]);
        if (found == ids.constEnd())
            continue;
        const QByteArray* next = i + 1 < tokens.size() ? &tokens[i + 1] : nullptr;
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
    }
    return status;
}

QByteArray medalCountText(const AwardStatus::Medal& medal) {
    if (!medal.earned)
        return "x0";
    return "x" + medal.count.value_or(QByteArray());
}

UnlockStatus readUnlocks(const ReplyTokens& tokens) {
    UnlockStatus status{};
    for (qsizetype i = 0; i + 1 < tokens.size(); ++i) {
        if (tokens[i + 1] != "s")
            continue;
        for (int u = 0; u < Awards::UnlockCount; ++u)
            if (tokens[i] == Awards::Unlocks[std::size_t(u)].id)
                status[std::size_t(u)] = true;
    }
    return status;
}
