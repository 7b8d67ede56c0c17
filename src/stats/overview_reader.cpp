#include "stats/overview_reader.h"

#include "service/protocol.h"
#include "stats/format.h"

#include <algorithm>

namespace {

struct FavouriteSource {
    FavouriteCategory category;
    const char* column;
    int position; // in a reply without headers
};

constexpr FavouriteSource favouriteSources[] = {
    {FavouriteCategory::Weapon, "fwea", 296},
    {FavouriteCategory::Vehicle, "fveh", 295},
    {FavouriteCategory::Kit, "fkit", 293},
    {FavouriteCategory::Map, "fmap", 294},
};

} // namespace

std::optional<OverviewValues> readOverview(const ServiceReply& reply) {
    if (!reply.holds("pid", OverviewHighestPosition))
        return std::nullopt;

    // Each value by its column, at its position in a reply without headers.
    struct Column {
        const char* name;
        int position;
    };
    const auto at = [&reply](Column c) { return reply.value(c.name, c.position); };
    const auto duration = [&](Column c) { return FormatDuration(countFromToken(at(c))); };
    const auto ratio = [&](Column num, Column den) {
        return FormatRatio(countFromToken(at(num)), countFromToken(at(den)));
    };
    const auto pair = [&](Column first, Column second) { return at(first) + " / " + at(second); };

    OverviewValues values;
    // A player who has not played yet has no favourites: the service's ids then just name the
    // first entry of each table.
    const bool played = countFromToken(at({"time", 248})) > 0;
    for (std::size_t i = 0; i < values.favourites.size(); ++i) {
        const FavouriteSource& source = favouriteSources[i];
        if (!played) {
            values.favourites[i] = {source.category, nullptr, QByteArray(NoFavourite)};
            continue;
        }
        const FavouritePicture* picture = findFavourite(source.category, reply.value(source.column, source.position, ""));
        values.favourites[i] = {source.category, picture, picture ? QByteArray(picture->name) : QByteArray()};
    }

    using F = OverviewField;
    const auto set = [&values](F field, QByteArray text) {
        values.fields[static_cast<size_t>(field)] = std::move(text);
    };
    set(F::GlobalScore, at({"scor", 241}));
    set(F::TeamScore, at({"twsc", 265}));
    set(F::CombatScore, at({"cmsc", 250}));
    set(F::CommanderScore, at({"cdsc", 276}));
    set(F::TimeCommander, duration({"tcdr", 280}));
    set(F::TimeSquadLeader, duration({"tsql", 284}));
    set(F::TimeSquadMember, duration({"tsqm", 285}));
    set(F::TimeLoneWolf, duration({"tlwf", 286}));
    set(F::TimeTotal, duration({"time", 248}));
    set(F::WinsLosses, pair({"wins", 243}, {"loss", 244}) + " (" + ratio({"wins", 243}, {"loss", 244}) + ")");
    set(F::CapturedCp, at({"cpcp", 266}));
    set(F::CaptureAssists, at({"cacp", 267}));
    set(F::DefendedCp, at({"dfcp", 268}));
    set(F::KillAssists, at({"kila", 253}));
    set(F::Heals, at({"heal", 269}));
    set(F::Revives, at({"rviv", 270}));
    set(F::Resupplies, at({"rsup", 271}));
    set(F::Repairs, at({"rpar", 272}));
    set(F::DriverAssists, at({"dsab", 275}));
    set(F::Accuracy, at({"osaa", 251}) + "%");
    set(F::ScorePerMinute, at({"ospm", 262}));
    set(F::Suicides, at({"suic", 255}));
    set(F::KillDeathRatio, ratio({"kill", 252}, {"deth", 254}));
    set(F::KillsTotal, pair({"kill", 252}, {"bksk", 256}));
    set(F::KillsPerMinute, at({"klpm", 260}));
    set(F::KillsPerRound, at({"klpr", 263}));
    set(F::DeathsTotal, pair({"deth", 254}, {"wdsk", 257}));
    set(F::DeathsPerMinute, at({"dtpm", 261}));
    set(F::DeathsPerRound, at({"dtpr", 264}));

    PlayerFacts& facts = values.facts;
    const auto time = [&reply](const char* column, int position) -> std::optional<qint64> {
        const QByteArray* found = reply.field(column, position);
        const qint64 seconds = found ? TokenNumber(*found) : 0;
        return seconds > 0 ? std::optional<qint64>(seconds) : std::nullopt;
    };
    facts.score = TokenNumber(at({"scor", 241}));
    const QByteArray* rank = reply.field("rank", 277);
    bool rankOk = false;
    const int rankId = rank ? rank->toInt(&rankOk) : -1;
    facts.rank = rankOk && rankId >= 0 ? rankId : -1;
    facts.scorePerMinute = std::max(0.0, at({"ospm", 262}).toDouble());
    facts.joined = time("jond", 242);
    facts.lastBattle = time("lbtl", 282);
    facts.asOf = time("asof", 4);
    values.career = ReadCareerFigures(reply);
    return values;
}
