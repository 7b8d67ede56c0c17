#include "stats/rank_reader.h"

#include "stats/vocabulary.h"

namespace {

// A rank that is not a plain decimal number names no rank (rather than counting as "Private").
int rankNumber(const QByteArray& token) {
    if (token.isEmpty() || token.size() > 9)
        return -1;
    int n = 0;
    for (char c : token) {
        if (c < '0' || c > '9')
            return -1;
        n = n * 10 + (c - '0');
    }
    return n;
}

} // namespace

std::optional<RankValues> readRank(const ServiceReply& reply) {
    if (!reply.holds("pid", RankHighestPosition))
        return std::nullopt;

    RankValues values;
    values.eaScore = reply.value("n", 16);
    values.country = reply.value("countrycode", 22, "");
    values.rank = rankNumber(reply.value("playerrank", 21, ""));
    values.insignia = nullptr;
    if (values.rank >= 0 && values.rank <= HighestRank) {
        const RankEntry& entry = RankNames[std::size_t(values.rank)];
        values.rankName = entry.name;
        values.insignia = entry.insignia;
    }
    values.nameLine = reply.value("nick", 18, "") + ", " + values.rankName + " (" + reply.value("pid", 17, "") + ")";
    return values;
}
