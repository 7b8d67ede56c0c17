#pragma once

#include "service/reply_tokens.h"
#include "stats/vocabulary.h"

#include <QByteArray>
#include <QList>
#include <array>
#include <optional>

// The Overview page's values from the general-statistics reply.

inline constexpr int OverviewHighestPosition = 296;

struct FavouriteValue {
    FavouriteCategory category;
    const FavouritePicture* picture; // nullptr: no picture for the id, the placeholder shows
    QByteArray name;                 // the picture's name, empty without a picture
};

// One value label: its object name and the text it shows.
struct LabelValue {
    const char* objectName; // "La_Globalpoints" ...
    QByteArray text;
};

struct OverviewValues {
    std::array<FavouriteValue, 4> favourites; // weapon, vehicle, kit, map
    QList<LabelValue> labels;                 // Scores, Teamwork, Combat, in the order they are written
};

// Nothing when the reply is too short for every position read; a count that is not a number
// counts as 0, a value without a format is the token as sent.
std::optional<OverviewValues> readOverview(const ReplyTokens& tokens);
