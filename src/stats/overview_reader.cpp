#include "stats/overview_reader.h"

#include "stats/format.h"

namespace {

struct FavouriteSource {
    FavouriteCategory category;
    int position;
};

constexpr FavouriteSource favouriteSources[] = {
    {FavouriteCategory::Weapon, 296},
    {FavouriteCategory::Vehicle, 295},
    {FavouriteCategory::Kit, 293},
    {FavouriteCategory::Map, 294},
};

} // namespace

std::optional<OverviewValues> readOverview(const ReplyTokens& tokens) {
    if (tokens.size() <= OverviewHighestPosition)
        return std::nullopt;

    const auto at = [&tokens](int position) -> const QByteArray& { return tokens.at(position); };
    const auto duration = [&](int position) { return FormatDuration(countFromToken(at(position))); };
    const auto ratio = [&](int num, int den) { return FormatRatio(countFromToken(at(num)), countFromToken(at(den))); };
    const auto pair = [&](int first, int second) { return at(first) + " / " + at(second); };

    OverviewValues values;
    for (std::size_t i = 0; i < values.favourites.size(); ++i) {
        const FavouriteSource& source = favouriteSources[i];
        const FavouritePicture* picture = findFavourite(source.category, at(source.position));
        values.favourites[i] = {source.category, picture, picture ? QByteArray(picture->name) : QByteArray()};
    }

    values.labels = {
        {"La_Globalpoints", at(241)},
        {"La_Teampoints", at(265)},
        {"La_Combatpoints", at(250)},
        {"La_Commanderpoints", at(276)},
        {"La_timecommander", duration(280)},
        {"La_timesleader", duration(284)},
        {"La_timesmember", duration(285)},
        {"La_timelone", duration(286)},
        {"La_timetotal", duration(248)},
        {"La_Winslosses", pair(243, 244) + " (" + ratio(243, 244) + ")"},
        {"La_captcp", at(266)},
        {"La_captass", at(267)},
        {"La_captdef", at(268)},
        {"La_killass", at(253)},
        {"La_heal", at(269)},
        {"La_revive", at(270)},
        {"La_support", at(271)},
        {"La_repair", at(272)},
        {"La_driver", at(275)},
        {"La_accuracy", at(251) + "%"},
        {"La_SPM", at(262)},
        {"La_suicides", at(255)},
        {"La_kdratio", ratio(252, 254)},
        {"La_killstotal", pair(252, 256)},
        {"La_killsmin", at(260)},
        {"La_killsround", at(263)},
        {"La_deathstotal", pair(254, 257)},
        {"La_deathsmin", at(261)},
        {"La_deathsround", at(264)},
    };
    return values;
}
