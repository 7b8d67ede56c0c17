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

std::optional<RankValues> readRank(const ReplyTokens& tokens) {
    if (tokens.size() <= RankHighestPosition)
        return std::nullopt;

    RankValues values;
    values.eaScore = tokens.at(16);
    values.country = tokens.at(22);
    values.rank = rankNumber(tokens.at(21));
    values.insignia = nullptr;
    if (values.rank >= 0 && values.rank <= HighestRank) {
        const RankEntry& entry = RankNames[std::size_t(values.rank)];
        values.rankName = entry.name;
        values.insignia = entry.insignia;
    }
    values.nameLine = tokens.at(18) + ", " + values.rankName + " (" + tokens.at(17) + ")";
    return values;
}
