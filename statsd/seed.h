#pragma once

#include "catalogue.h"

#include <array>
#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

namespace db {
class Connection;
}

// The demo population a new database starts with. Everything is derived from fixed seeds, so every
// new database holds the same players with the same figures.
namespace seed {

struct Weapon {
    std::int64_t time = 0, kills = 0, deaths = 0, fired = 0, hits = 0;
};
struct Vehicle {
    std::int64_t time = 0, kills = 0, deaths = 0, roadkills = 0;
};
struct Army {
    std::int64_t time = 0, wins = 0, losses = 0, best = 0;
};
struct Kit {
    std::int64_t time = 0, kills = 0, deaths = 0;
};
struct MapFigures {
    std::int64_t time = 0, wins = 0, losses = 0;
};
struct AwardRow {
    std::int32_t award = 0;
    int level = 0; // badge level, medal count, 1 for a ribbon
    std::int64_t earned = 0, first = 0;
};

// One player as stored; the field names are the statistics keys of the service.
struct Player {
    std::int64_t pid = 0;
    std::string nick; // UTF-8
    std::string country;
    std::int64_t scor = 0, jond = 0, wins = 0, loss = 0;
    std::array<std::int64_t, 3> mode{};
    std::int64_t time = 0, smoc = 0, cmsc = 0, kill = 0, kila = 0, deth = 0, suic = 0, bksk = 0, wdsk = 0;
    std::int64_t tvcr = 0, topr = 0, twsc = 0, cpcp = 0, cacp = 0, dfcp = 0, heal = 0, rviv = 0, rsup = 0;
    std::int64_t rpar = 0, tgte = 0, dkas = 0, dsab = 0, cdsc = 0, rank = 0, kick = 0, bbrs = 0, tcdr = 0;
    std::int64_t ban = 0, lbtl = 0, vrk = 0, tsql = 0, tsqm = 0, tlwf = 0, mvks = 0, vmks = 0, tnv = 0;
    std::int64_t tgm = 0;
    std::array<std::int64_t, 3> de{}; // de-6, de-7, de-8
    std::int64_t unlockPoints = 0;
    std::array<Weapon, catalogue::WeaponCount> weapons{};
    std::array<Vehicle, catalogue::VehicleCount> vehicles{};
    std::array<Army, catalogue::ArmyCount> armies{};
    std::array<Kit, catalogue::KitCount> kits{};
    std::array<MapFigures, catalogue::MapCount> maps{}; // in the order of catalogue::MapIds
    std::vector<AwardRow> awards;                       // by award id, then level
    std::array<bool, catalogue::UnlockIds.size()> unlocks{};
};

// The demo population as a stream: the named players first, then generated ones up to the total
// (never fewer than the named players). Player i is the same in a population of any size, apart
// from the opponents of generated players; the named players do not change at all.
class Population final {
public:
    explicit Population(std::int64_t total);
    std::int64_t size() const;
    // The next player, or false after the last.
    bool next(Player& player);

private:
    std::vector<Player> m_named;
    std::int64_t m_generated = 0;
    std::size_t m_next = 0;
    std::unordered_set<std::string> m_taken; // nicknames in ASCII lower case: every one is unique
};

// A new database file of the given population: seeded beside the path and moved into place when
// whole, so a start cut short leaves no half-seeded file. Two runs with the same size give files
// that are byte for byte the same.
bool createDatabase(const std::string& path, std::int64_t players, std::string& error);

// Writes the population into a database whose tables exist, a few thousand players per transaction.
bool store(db::Connection& connection, Population& population, std::string& error);

} // namespace seed
