#include "stats/player_progress.h"

#include "awards/award_catalogue.h"
#include "awards/award_reader.h"
#include "stats/vocabulary.h"

#include <QDateTime>
#include <algorithm>
#include <array>
#include <cmath>

namespace {

// The ranks' minimum global scores and the badges some of them also ask for. Scores: the game's
// published rank table (as listed by community rank guides such as hanamoku.com/bf2/point.html).
// Badges: the game's promotion rules as quoted from its award data on the community forums (First
// Sergeant: the nine basic combat badges; Sergeant Major: the six basic vehicle badges); the two
// general ranks ask for the same badges at the veteran level. Services of today's networks may
// set their own rules; the table is what the original service used.
constexpr std::array<BadgeNeed, 9> BasicCombat{{
    {"1031406", 1},
    {"1031619", 1},
    {"1031119", 1},
    {"1031120", 1},
    {"1031109", 1},
    {"1031115", 1},
    {"1031121", 1},
    {"1031105", 1},
    {"1031113", 1},
}};
constexpr std::array<BadgeNeed, 6> BasicVehicle{{
    {"1220118", 1},
    {"1222016", 1},
    {"1220803", 1},
    {"1220122", 1},
    {"1220104", 1},
    {"1031923", 1},
}};
constexpr std::array<BadgeNeed, 9> VeteranCombat{{
    {"1031406", 2},
    {"1031619", 2},
    {"1031119", 2},
    {"1031120", 2},
    {"1031109", 2},
    {"1031115", 2},
    {"1031121", 2},
    {"1031105", 2},
    {"1031113", 2},
}};
constexpr std::array<BadgeNeed, 6> VeteranVehicle{{
    {"1220118", 2},
    {"1222016", 2},
    {"1220803", 2},
    {"1220122", 2},
    {"1220104", 2},
    {"1031923", 2},
}};

struct Rung {
    qint64 minimum;
    bool awarded; // given to one holder, never earned
    const BadgeNeed* badges;
    int badgeCount;
};

template <std::size_t N> constexpr Rung withBadges(qint64 minimum, const std::array<BadgeNeed, N>& badges) {
    return {minimum, false, badges.data(), int(N)};
}
constexpr Rung score(qint64 minimum) {
    return {minimum, false, nullptr, 0};
}
constexpr Rung Awarded{0, true, nullptr, 0};

constexpr std::array<Rung, HighestRank + 1> Ladder{{
    score(0),                            // 0 Private
    score(150),                          // 1 Private First Class
    score(500),                          // 2 Lance Corporal
    score(800),                          // 3 Corporal
    score(2500),                         // 4 Sergeant
    score(5000),                         // 5 Staff Sergeant
    score(8000),                         // 6 Gunnery Sergeant
    score(20000),                        // 7 Master Sergeant
    withBadges(20000, BasicCombat),      // 8 First Sergeant
    score(50000),                        // 9 Master Gunnery Sergeant
    withBadges(50000, BasicVehicle),     // 10 Sergeant Major
    Awarded,                             // 11 Sergeant Major of the Corps
    score(60000),                        // 12 2nd Lieutenant
    score(75000),                        // 13 1st Lieutenant
    score(90000),                        // 14 Captain
    score(115000),                       // 15 Major
    score(125000),                       // 16 Lieutenant Colonel
    score(150000),                       // 17 Colonel
    withBadges(180000, VeteranCombat),   // 18 Brigadier General
    withBadges(180000, VeteranVehicle),  // 19 Major General
    score(200000),                       // 20 Lieutenant General
    Awarded,                             // 21 General
}};

// The minimum of the player's own rank; an awarded rank counts from the rank below it.
qint64 minimumOf(int rank) {
    while (rank > 0 && Ladder[std::size_t(rank)].awarded)
        --rank;
    return Ladder[std::size_t(rank)].minimum;
}

} // namespace

BadgeLevels BadgeLevelsOf(const AwardStatus& awards) {
    BadgeLevels levels;
    for (std::size_t i = 0; i < Awards::Badges.size(); ++i) {
        if (awards.badges[i] > 0)
            levels.insert(QByteArray(Awards::Badges[i].id), awards.badges[i]);
    }
    return levels;
}

const char* BadgeNeedName(const BadgeNeed& need) {
    for (const Awards::Badge& badge : Awards::Badges) {
        if (QByteArrayView(badge.id) == need.id)
            return badge.names[std::size_t(std::clamp(need.level, 0, Awards::BadgeLevels - 1))];
    }
    return need.id;
}

double NextRank::share() const {
    if (state != State::Score)
        return 0;
    if (toScore <= fromScore)
        return 1;
    const double done = double(toScore - pointsToGo - fromScore) / double(toScore - fromScore);
    return std::clamp(done, 0.0, 1.0);
}

NextRank NextRankOf(const PlayerFacts& facts, const BadgeLevels& badges) {
    NextRank next;
    if (facts.rank < 0 || facts.rank > HighestRank)
        return next;
    int target = facts.rank + 1;
    // An awarded rank is no goal: the next rank earned is the one after it.
    while (target <= HighestRank && Ladder[std::size_t(target)].awarded) {
        next.skippedAwarded = RankNames[std::size_t(target)].name;
        ++target;
    }
    if (target > HighestRank) {
        next.state = next.skippedAwarded.isEmpty() ? NextRank::State::Highest : NextRank::State::AwardedOnly;
        return next;
    }
    const Rung& rung = Ladder[std::size_t(target)];
    next.state = NextRank::State::Score;
    next.rank = target;
    next.name = RankNames[std::size_t(target)].name;
    next.insignia = RankNames[std::size_t(target)].insignia;
    next.fromScore = minimumOf(facts.rank);
    next.toScore = rung.minimum;
    next.pointsToGo = std::max<qint64>(0, rung.minimum - facts.score);
    if (next.pointsToGo > 0 && facts.scorePerMinute > 0)
        next.minutesToGo = double(next.pointsToGo) / facts.scorePerMinute;
    next.badgesAsked = rung.badgeCount;
    for (int i = 0; i < rung.badgeCount; ++i) {
        const BadgeNeed& need = rung.badges[i];
        if (badges.value(QByteArray(need.id), 0) < need.level)
            next.missingBadges.append(&need);
    }
    return next;
}

QString EstimateText(const NextRank& next, double scorePerMinute) {
    if (!next.minutesToGo)
        return {};
    const double minutes = *next.minutesToGo;
    const QString rate = QString::number(scorePerMinute, 'f', 2);
    if (minutes < 60)
        return QStringLiteral("about %1 min at %2 points a minute").arg(std::max(1, int(std::ceil(minutes)))).arg(rate);
    return QStringLiteral("about %1 h at %2 points a minute").arg(qint64(std::llround(minutes / 60))).arg(rate);
}

QString ServiceTimeText(const std::optional<qint64>& secondsSinceEpoch, const QLocale& locale, const QTimeZone& zone) {
    if (!secondsSinceEpoch || *secondsSinceEpoch <= 0)
        return QStringLiteral("N/A");
    const QDateTime time = QDateTime::fromSecsSinceEpoch(*secondsSinceEpoch, zone);
    return locale.toString(time, QLocale::ShortFormat);
}
