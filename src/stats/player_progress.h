#pragma once

#include "service/service_reply.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QLocale>
#include <QString>
#include <QTimeZone>
#include <optional>

// How far a player is from the next rank, worked out from the general statistics and the badges
// of the awards reply.

// What the general-statistics reply says of the player beyond the shown figures.
struct PlayerFacts {
    qint64 score = 0;          // "scor"
    int rank = -1;             // "rank"; -1 when the service sends no number
    double scorePerMinute = 0; // "ospm"
    std::optional<qint64> joined;     // "jond", seconds since 1970 (UTC)
    std::optional<qint64> lastBattle; // "lbtl"
    std::optional<qint64> asOf;       // "asof": when the service took the figures
};

// A badge a rank asks for: its award id and the level needed (1 basic, 2 veteran, 3 expert).
struct BadgeNeed {
    const char* id;
    int level;
};
// The badge's name at that level, as the award catalogue has it ("Basic Knife Combat Badge").
const char* BadgeNeedName(const BadgeNeed& need);

// Badge levels held, by award id ("1031406" -> 2).
using BadgeLevels = QHash<QByteArray, int>;

struct AwardStatus;
// The badge levels the player holds, from what the awards reply said.
BadgeLevels BadgeLevelsOf(const AwardStatus& awards);

struct NextRank {
    enum class State {
        Unknown,      // the player's rank is not known
        Score,        // the next rank comes with the score: the bar and the estimate apply
        AwardedOnly,  // nothing is earned beyond: the next rank is awarded to one holder
        Highest,      // no rank above
    };
    State state = State::Unknown;
    int rank = -1; // the next rank's id
    QByteArray name;
    const char* insignia = nullptr;
    qint64 fromScore = 0;   // this rank's minimum
    qint64 toScore = 0;     // the next rank's minimum
    qint64 pointsToGo = 0;  // 0 once the score is reached
    std::optional<double> minutesToGo; // none at no score per minute
    int badgesAsked = 0; // how many badges the next rank asks for besides the score
    QList<const BadgeNeed*> missingBadges;
    QByteArray skippedAwarded; // an awarded rank passed over on the way ("Sergeant Major of the Corps")

    // The share of the way from this rank's minimum to the next, 0 to 1.
    double share() const;
};

NextRank NextRankOf(const PlayerFacts& facts, const BadgeLevels& badges);

// "about 14 h at 3.80 points a minute", "about 25 min at ...", "" without an estimate.
QString EstimateText(const NextRank& next, double scorePerMinute);

// A service time in the user's locale and time zone ("N/A" where the service sends none).
QString ServiceTimeText(const std::optional<qint64>& secondsSinceEpoch, const QLocale& locale = QLocale(),
                        const QTimeZone& zone = QTimeZone::systemTimeZone());
