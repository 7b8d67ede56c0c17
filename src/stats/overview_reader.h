#pragma once

#include "service/service_reply.h"
#include "awards/award_progress.h"
#include "stats/player_progress.h"
#include "stats/vocabulary.h"

#include <QByteArray>
#include <QList>
#include <array>
#include <optional>

// The Overview page's values from the general-statistics reply.

inline constexpr int OverviewHighestPosition = 296;

// The favourite's name of a player who has not played yet: an em dash (Windows-1252).
inline constexpr char NoFavourite[] = "\x97";

struct FavouriteValue {
    FavouriteCategory category;
    const FavouritePicture* picture; // nullptr: no picture for the id, the placeholder shows
    QByteArray name;                 // the picture's name, empty without a picture
};

// The figures of the Scores, Teamwork and Combat groups, in the order they are shown.
enum class OverviewField {
    GlobalScore,
    TeamScore,
    CombatScore,
    CommanderScore,
    TimeCommander,
    TimeSquadLeader,
    TimeSquadMember,
    TimeLoneWolf,
    TimeTotal,
    WinsLosses,
    CapturedCp,
    CaptureAssists,
    DefendedCp,
    KillAssists,
    Heals,
    Revives,
    Resupplies,
    Repairs,
    DriverAssists,
    Accuracy,
    ScorePerMinute,
    Suicides,
    KillDeathRatio,
    KillsTotal,
    KillsPerMinute,
    KillsPerRound,
    DeathsTotal,
    DeathsPerMinute,
    DeathsPerRound,
};
inline constexpr int OverviewFieldCount = static_cast<int>(OverviewField::DeathsPerRound) + 1;

struct OverviewValues {
    std::array<FavouriteValue, 4> favourites;          // weapon, vehicle, kit, map
    std::array<QByteArray, OverviewFieldCount> fields; // by OverviewField
    PlayerFacts facts;
    CareerFigures career; // the totals the badge requirements compare

    const QByteArray& operator[](OverviewField field) const { return fields[static_cast<size_t>(field)]; }
};

// Nothing when the reply is too short for every position read; a count that is not a number
// counts as 0, a value without a format is the token as sent.
std::optional<OverviewValues> readOverview(const ServiceReply& reply);
