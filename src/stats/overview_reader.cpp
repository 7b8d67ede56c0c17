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

    using F = OverviewField;
    const auto set = [&values](F field, QByteArray text) {
        values.fields[static_cast<size_t>(field)] = std::move(text);
    };
    set(F::GlobalScore, at(241));
    set(F::TeamScore, at(265));
    set(F::CombatScore, at(250));
    set(F::CommanderScore, at(276));
    set(F::TimeCommander, duration(280));
    set(F::TimeSquadLeader, duration(284));
    set(F::TimeSquadMember, duration(285));
    set(F::TimeLoneWolf, duration(286));
    set(F::TimeTotal, duration(248));
    set(F::WinsLosses, pair(243, 244) + " (" + ratio(243, 244) + ")");
    set(F::CapturedCp, at(266));
    set(F::CaptureAssists, at(267));
    set(F::DefendedCp, at(268));
    set(F::KillAssists, at(253));
    set(F::Heals, at(269));
    set(F::Revives, at(270));
    set(F::Resupplies, at(271));
    set(F::Repairs, at(272));
    set(F::DriverAssists, at(275));
    set(F::Accuracy, at(251) + "%");
    set(F::ScorePerMinute, at(262));
    set(F::Suicides, at(255));
    set(F::KillDeathRatio, ratio(252, 254));
    set(F::KillsTotal, pair(252, 256));
    set(F::KillsPerMinute, at(260));
    set(F::KillsPerRound, at(263));
    set(F::DeathsTotal, pair(254, 257));
    set(F::DeathsPerMinute, at(261));
    set(F::DeathsPerRound, at(264));
    return values;
}
