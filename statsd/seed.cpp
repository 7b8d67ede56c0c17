#include "seed.h"

#include "blocks.h"
#include "database.h"
#include "text.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <numeric>

namespace seed {
namespace {

using catalogue::ArmyCount;
using catalogue::KitCount;
using catalogue::MapCount;
using catalogue::MapIds;
using catalogue::VehicleCount;
using catalogue::WeaponCount;
using i64 = std::int64_t;
// Shares are worked out as products of two figures, which can pass 64 bits.
__extension__ typedef __int128 Int128;

constexpr i64 Hour = 3600;
constexpr i64 Minute = 60;
constexpr i64 Epoch = 1119312000; // 2005-06-21, the game's release
// No generated player scores this much: the named top ten stay the top ten at any population size.
constexpr i64 GeneratedScoreCap = 95000;

// SplitMix64: small, fast and the same on every platform, unlike the standard distributions.
class Rng final {
public:
    explicit Rng(std::uint64_t seed) : m_state(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // Inclusive range.
    i64 range(i64 low, i64 high) { return low + static_cast<i64>(next() % static_cast<std::uint64_t>(high - low + 1)); }
    bool chance(int perMille) { return range(0, 999) < perMille; }

private:
    std::uint64_t m_state;
};

// Splits a total over weights in proportion, exactly: the parts always add up to the total.
// Remainders go to the largest fractions first (lowest index on a tie); with no weight at all
// everything goes to the first part.
template <std::size_t N> std::array<i64, N> split(i64 total, const std::array<i64, N>& weights) {
    std::array<i64, N> parts{};
    const i64 sum = std::accumulate(weights.begin(), weights.end(), i64{0});
    if (total <= 0) {
        return parts;
    }
    if (sum <= 0) {
        parts[0] = total;
        return parts;
    }
    std::array<i64, N> remainders{};
    i64 given = 0;
    for (std::size_t i = 0; i < N; ++i) {
        const Int128 product = static_cast<Int128>(total) * weights[i];
        parts[i] = static_cast<i64>(product / sum);
        remainders[i] = static_cast<i64>(product % sum);
        given += parts[i];
    }
    std::array<std::size_t, N> order{};
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return remainders[a] > remainders[b]; });
    for (std::size_t k = 0; given < total; ++k, ++given) {
        ++parts[order[k % N]];
    }
    return parts;
}

template <std::size_t N> std::array<i64, N> jitter(const std::array<i64, N>& weights, Rng& rng, int low, int high) {
    std::array<i64, N> out{};
    for (std::size_t i = 0; i < N; ++i) {
        out[i] = weights[i] * rng.range(low, high);
    }
    return out;
}

template <typename T, std::size_t N, typename F> std::array<i64, N> column(const std::array<T, N>& items, F field) {
    std::array<i64, N> out{};
    for (std::size_t i = 0; i < N; ++i) {
        out[i] = field(items[i]);
    }
    return out;
}

// How a player plays; the figures follow from it.
struct Profile {
    std::uint64_t seed = 0;
    i64 hours = 0;
    int killsPerMinute = 800; // per mille
    int killsPerDeath = 1000; // per mille; 0: never dies
    int winShare = 500;       // per mille of rounds
    int favKit = 1;
    int favVehicle = 0;
    int favMap = 4; // map id
    int favArmy = 0;
    int sfShare = 0; // per mille of time in special-forces armies
    int vehicleShare = 250;
    int commandShare = 30;
    i64 rounds = -1; // -1: from the time played
};

// Weapons each kit carries, with the share of the kit's time spent on each (per mille).
struct KitWeapon {
    int weapon;
    int share;
};
const std::array<std::vector<KitWeapon>, KitCount> KitWeapons = {{
    {{6, 600}, {5, 250}, {9, 150}},   // anti-tank: AT/AA, pistol, knife
    {{0, 650}, {1, 200}, {12, 150}},  // assault: rifle, grenade launcher, grenades
    {{8, 650}, {11, 250}, {9, 100}},  // engineer: shotgun, mines, knife
    {{0, 600}, {10, 300}, {12, 100}}, // medic: rifle, defibrillator, grenades
    {{2, 650}, {11, 250}, {9, 100}},  // special operations: carbine, C4, knife
    {{3, 750}, {12, 200}, {5, 50}},   // support: machine gun, grenades, pistol
    {{4, 750}, {5, 200}, {11, 50}},   // sniper: rifle, pistol, claymore
}};

// Shots per minute of use and the accuracy range (per mille) of each weapon class.
struct Ballistics {
    int shotsPerMinute;
    int accuracyLow;
    int accuracyHigh;
};
constexpr std::array<Ballistics, WeaponCount> WeaponBallistics = {{
    {40, 180, 260},
    {4, 80, 200},
    {40, 180, 260},
    {70, 120, 200},
    {6, 300, 550},
    {15, 150, 250},
    {3, 200, 400},
    {50, 170, 250},
    {12, 250, 400},
    {10, 400, 700},
    {5, 400, 800},
    {2, 300, 600},
    {3, 50, 150},
    {1, 900, 1000},
}};

i64 sfTime(const Player& p) {
    i64 t = 0;
    for (int a = catalogue::FirstSpecialForcesArmy; a < ArmyCount; ++a) {
        t += p.armies[static_cast<std::size_t>(a)].time;
    }
    return t;
}

// A figure scaled by the share of time spent in special-forces armies.
i64 sfScaled(const Player& p, i64 value) {
    return p.time == 0 ? 0 : static_cast<i64>(static_cast<Int128>(value) * sfTime(p) / p.time);
}

Player build(const Profile& profile) {
    Rng rng(profile.seed);
    Player p;
    const i64 total = profile.hours * Hour + (profile.hours > 0 ? rng.range(0, Hour - 1) : 0);
    p.time = total;

    const i64 rounds =
        profile.rounds >= 0 ? profile.rounds : (total > 0 ? std::max<i64>(1, total / rng.range(1200, 2100)) : 0);
    p.wins = rounds * profile.winShare / 1000;
    p.loss = rounds - p.wins;
    p.mode = split(rounds, std::array<i64, 3>{rng.range(800, 950), rng.range(30, 150), rng.range(0, 60)});

    // Armies: the main game's three and, for special-forces players, the six of the expansion.
    std::array<i64, ArmyCount> armyWeights{};
    for (int a = 0; a < ArmyCount; ++a) {
        const bool sf = a >= catalogue::FirstSpecialForcesArmy;
        const i64 share = sf ? profile.sfShare : 1000 - profile.sfShare;
        armyWeights[static_cast<std::size_t>(a)] = share * rng.range(2, 10) * (a == profile.favArmy ? 4 : 1);
    }
    const auto armyTimes = split(total, armyWeights);
    const auto armyWins = split(p.wins, jitter(armyTimes, rng, 70, 130));
    const auto armyLosses = split(p.loss, jitter(armyTimes, rng, 70, 130));
    for (std::size_t a = 0; a < ArmyCount; ++a) {
        p.armies[a] = {armyTimes[a], armyWins[a], armyLosses[a], 0};
    }

    // Kits.
    std::array<i64, KitCount> kitWeights{};
    for (int k = 0; k < KitCount; ++k) {
        kitWeights[static_cast<std::size_t>(k)] = k == profile.favKit ? 40 : rng.range(2, 15);
    }
    const auto kitTimes = split(total, kitWeights);

    // On foot or in a vehicle.
    const i64 vehicleTime = total * profile.vehicleShare / 1000;
    const i64 footTime = total - vehicleTime;
    std::array<i64, VehicleCount> vehicleWeights{};
    for (int v = 0; v < VehicleCount; ++v) {
        vehicleWeights[static_cast<std::size_t>(v)] = v == profile.favVehicle ? 30 : (v == 5 ? 1 : rng.range(1, 10));
    }
    const auto vehicleTimes = split(vehicleTime, vehicleWeights);

    std::array<i64, WeaponCount> weaponWeights{};
    for (std::size_t k = 0; k < KitCount; ++k) {
        for (const KitWeapon& kw : KitWeapons[k]) {
            weaponWeights[static_cast<std::size_t>(kw.weapon)] += kitTimes[k] * kw.share / 1000;
        }
    }
    weaponWeights[7] = footTime * profile.sfShare / 4000;    // submachine guns came with the expansion
    weaponWeights[13] = footTime * profile.sfShare / 400000; // and so did the zipline
    const auto weaponTimes = split(footTime, jitter(weaponWeights, rng, 80, 120));

    // Kills and deaths, on foot and in vehicles.
    const i64 kills = total * profile.killsPerMinute / (1000 * Minute);
    const i64 deaths = profile.killsPerDeath == 0 ? 0 : kills * 1000 / profile.killsPerDeath;
    p.kill = kills;
    p.deth = deaths;
    const i64 vehicleKills = std::min(kills, kills * profile.vehicleShare * rng.range(80, 160) / 100000);
    const i64 vehicleDeaths = std::min(deaths, deaths * profile.vehicleShare * rng.range(50, 100) / 100000);
    const auto weaponKills = split(kills - vehicleKills, jitter(weaponTimes, rng, 50, 150));
    const auto weaponDeaths = split(deaths - vehicleDeaths, jitter(weaponTimes, rng, 50, 150));
    const auto vehicleKillsBy = split(vehicleKills, jitter(vehicleTimes, rng, 50, 150));
    const auto vehicleDeathsBy = split(vehicleDeaths, jitter(vehicleTimes, rng, 50, 150));
    const auto kitKills = split(kills, jitter(kitTimes, rng, 50, 150));
    const auto kitDeaths = split(deaths, jitter(kitTimes, rng, 50, 150));

    for (std::size_t w = 0; w < WeaponCount; ++w) {
        const Ballistics& b = WeaponBallistics[w];
        const i64 fired = weaponTimes[w] * b.shotsPerMinute / Minute;
        const i64 hits = fired * rng.range(b.accuracyLow, b.accuracyHigh) / 1000;
        p.weapons[w] = {weaponTimes[w], weaponKills[w], weaponDeaths[w], fired, std::min(hits, fired)};
    }
    for (std::size_t v = 0; v < VehicleCount; ++v) {
        const i64 roadShare = v == 0 ? rng.range(50, 200) : (v == 4 ? rng.range(300, 700) : rng.range(0, 30));
        const i64 roadkills = vehicleKillsBy[v] * roadShare / 1000;
        p.vehicles[v] = {vehicleTimes[v], vehicleKillsBy[v], vehicleDeathsBy[v], roadkills};
        p.vrk += roadkills;
    }
    for (std::size_t k = 0; k < KitCount; ++k) {
        p.kits[k] = {kitTimes[k], kitKills[k], kitDeaths[k]};
    }

    // Roles.
    const i64 lead = rng.range(100, 350);
    const i64 member = rng.range(300, 600);
    const auto roles = split(total, std::array<i64, 4>{profile.commandShare, lead, member,
                                                       std::max<i64>(50, 1000 - profile.commandShare - lead - member)});
    p.tcdr = roles[0];
    p.tsql = roles[1];
    p.tsqm = roles[2];
    p.tlwf = roles[3];

    // Teamwork.
    p.cpcp = total * rng.range(10, 60) / (10 * Hour);
    p.cacp = p.cpcp * rng.range(50, 150) / 100;
    p.dfcp = total * rng.range(0, 30) / (10 * Hour);
    p.heal = p.kits[3].time * rng.range(10, 60) / Hour;
    p.rviv = p.kits[3].time * rng.range(5, 30) / Hour;
    p.rsup = p.kits[5].time * rng.range(10, 60) / Hour;
    p.rpar = p.kits[2].time * rng.range(10, 60) / Hour + vehicleTime * rng.range(0, 5) / Hour;
    p.tgte = vehicleTime * rng.range(0, 5) / Hour;
    p.dkas = vehicleTime * rng.range(1, 10) / Hour;
    p.dsab = vehicleTime * rng.range(2, 20) / Hour;
    p.twsc = 2 * p.cpcp + p.cacp + p.dfcp + p.heal + 2 * p.rviv + p.rsup + p.rpar + p.tgte + p.dkas + p.dsab;

    // Scores and rank.
    p.kila = kills * rng.range(10, 30) / 100;
    p.cmsc = 2 * kills + p.kila;
    p.cdsc = p.tcdr * rng.range(60, 180) / Hour;
    p.scor = p.cmsc + p.twsc + p.cdsc;
    p.rank = catalogue::rankForScore(p.scor);
    p.smoc = p.rank == 11 ? 1 : 0;

    // Conduct and streaks.
    p.suic = std::min(deaths, kills * rng.range(0, 20) / 1000); // a suicide is a death too
    p.kick = rng.chance(70) ? rng.range(1, 3) : 0;
    p.ban = p.kick >= 2 && rng.chance(300) ? 1 : 0;
    p.bksk = std::min(kills, rng.range(5, 15) + profile.killsPerMinute / 40);
    p.wdsk = std::min(deaths, rng.range(3, 20));
    p.mvks = kills == 0 ? 0 : std::min(kills, 1 + kills * rng.range(5, 30) / 1000 + rng.range(0, 20));
    p.vmks = deaths == 0 ? 0 : std::min(deaths, 1 + deaths * rng.range(5, 30) / 1000 + rng.range(0, 20));
    p.bbrs = total == 0 ? 0 : std::min(p.scor, rng.range(20, 80) + profile.killsPerMinute / 10);

    // Best round per army: the best round overall was played in the army played longest.
    const auto longest =
        static_cast<std::size_t>(std::max_element(armyTimes.begin(), armyTimes.end()) - armyTimes.begin());
    for (std::size_t a = 0; a < ArmyCount; ++a) {
        if (p.armies[a].time > 0) {
            p.armies[a].best = a == longest ? p.bbrs : p.bbrs * rng.range(450, 1000) / 1000;
        }
    }

    // Dates: a battle calendar long enough for the time played.
    p.jond = Epoch + rng.range(0, 3 * 365 * 24 * Hour);
    p.lbtl = p.jond + (total == 0 ? 0 : std::max<i64>(total * rng.range(3, 12), 24 * Hour));

    // Special-forces gadgets.
    const i64 sf = sfTime(p);
    p.tnv = sf * rng.range(50, 200) / 1000;
    p.tgm = sf * rng.range(0, 50) / 1000;
    p.de[0] = sf * rng.range(0, 40) / Hour;
    p.de[1] = sf * rng.range(0, 10) / Hour;
    p.de[2] = sf * rng.range(0, 10) / Hour;

    // Maps: 104 is never played; the expansion's maps only by special-forces players.
    std::array<i64, MapCount> mapWeights{};
    for (std::size_t m = 0; m < MapCount; ++m) {
        const int id = MapIds[m];
        const i64 share = catalogue::isSpecialForcesMap(id) ? profile.sfShare : 1000 - profile.sfShare;
        mapWeights[m] = id == 104 ? 0 : share * (id == profile.favMap ? 60 : rng.range(2, 10));
    }
    i64& favourite = mapWeights.at(catalogue::mapSlot(profile.favMap));
    favourite = std::max<i64>(favourite, 1);
    const auto mapTimes = split(total, mapWeights);
    const auto mapWins = split(p.wins, jitter(mapTimes, rng, 70, 130));
    const auto mapLosses = split(p.loss, jitter(mapTimes, rng, 70, 130));
    for (std::size_t m = 0; m < MapCount; ++m) {
        p.maps[m] = {mapTimes[m], mapWins[m], mapLosses[m]};
    }
    return p;
}

// Award rules: a badge's level, a medal's count, whether a ribbon is held.
struct BadgeRule {
    std::int32_t id;
    std::function<int(const Player&)> level;
};
struct CountRule {
    std::int32_t id;
    std::function<i64(const Player&)> count;
};

int levelOf(bool basic, bool veteran, bool expert) {
    return expert && veteran && basic ? 3 : (veteran && basic ? 2 : (basic ? 1 : 0));
}

// An award id with the kit or army it is earned with.
struct AwardFor {
    std::int32_t id;
    std::size_t slot;
};
// The main game's kit badges, and the special forces' service ribbons: other rules ask for them too.
constexpr std::array<AwardFor, 7> KitBadges = {
    {{1031105, 2}, {1031109, 6}, {1031113, 3}, {1031115, 4}, {1031119, 1}, {1031120, 0}, {1031121, 5}}};
constexpr std::array<AwardFor, 6> SfServiceRibbons = {
    {{3261919, 3}, {3261901, 4}, {3261819, 5}, {3261319, 6}, {3261805, 7}, {3260914, 8}}};

int kitBadgeLevel(const Player& p, std::size_t kit) {
    const Kit& k = p.kits[kit];
    return levelOf(k.kills >= 50, k.kills >= 500 && k.time >= 15 * Hour, k.kills >= 2000 && k.time >= 100 * Hour);
}
BadgeRule kitBadge(const AwardFor& badge) {
    return {badge.id, [kit = badge.slot](const Player& p) { return kitBadgeLevel(p, kit); }};
}
BadgeRule sfKitBadge(std::int32_t id, std::size_t kit) {
    return {id, [kit](const Player& p) {
                const i64 kills = sfScaled(p, p.kits[kit].kills);
                const i64 sf = sfTime(p);
                return levelOf(kills >= 25, kills >= 250 && sf >= 15 * Hour, kills >= 1000 && sf >= 50 * Hour);
            }};
}
BadgeRule weaponBadge(std::int32_t id, std::size_t weapon) {
    return {id, [weapon](const Player& p) {
                const i64 k = p.weapons[weapon].kills;
                return levelOf(k >= 10, k >= 100, k >= 500);
            }};
}
BadgeRule vehicleBadge(std::int32_t id, std::size_t vehicle) {
    return {id, [vehicle](const Player& p) {
                const Vehicle& v = p.vehicles[vehicle];
                return levelOf(v.kills >= 10, v.kills >= 100 && v.time >= 5 * Hour,
                               v.kills >= 500 && v.time >= 25 * Hour);
            }};
}
BadgeRule supportBadge(std::int32_t id, i64 Player::*figure, std::size_t kit) {
    return {id, [figure, kit](const Player& p) {
                const i64 n = p.*figure;
                const i64 t = p.kits[kit].time;
                return levelOf(n >= 50, n >= 500 && t >= 15 * Hour, n >= 2500 && t >= 100 * Hour);
            }};
}
BadgeRule countBadge(std::int32_t id, std::function<i64(const Player&)> figure, i64 basic, i64 veteran, i64 expert) {
    return {id, [figure = std::move(figure), basic, veteran, expert](const Player& p) {
                const i64 n = figure(p);
                return levelOf(n >= basic, n >= veteran, n >= expert);
            }};
}

const std::vector<BadgeRule>& badgeRules() {
    static const std::vector<BadgeRule> rules = {
        kitBadge(KitBadges[0]),
        kitBadge(KitBadges[1]),
        kitBadge(KitBadges[2]),
        kitBadge(KitBadges[3]),
        kitBadge(KitBadges[4]),
        kitBadge(KitBadges[5]),
        kitBadge(KitBadges[6]),
        weaponBadge(1031406, 9),
        weaponBadge(1031619, 5),
        vehicleBadge(1031923, 6),
        weaponBadge(1032415, 11),
        countBadge(
            1190304, [](const Player& p) { return p.cdsc; }, 100, 1000, 5000),
        supportBadge(1190507, &Player::rpar, 2),
        supportBadge(1190601, &Player::heal, 3),
        supportBadge(1191819, &Player::rsup, 5),
        vehicleBadge(1220104, 2),
        vehicleBadge(1220118, 0),
        vehicleBadge(1220122, 1),
        vehicleBadge(1220803, 3),
        vehicleBadge(1222016, 4),
        sfKitBadge(1261105, 2),
        sfKitBadge(1261109, 6),
        sfKitBadge(1261113, 3),
        sfKitBadge(1261115, 4),
        sfKitBadge(1261119, 1),
        sfKitBadge(1261120, 0),
        sfKitBadge(1261121, 5),
        countBadge(
            1260602, [](const Player& p) { return p.de[0]; }, 10, 1000, 3000),
        countBadge(
            1260708, [](const Player& p) { return p.de[1]; }, 10, 100, 500),
        countBadge(
            1262612, [](const Player& p) { return p.de[2]; }, 10, 100, 500),
        countBadge(
            1261422, [](const Player& p) { return p.tnv; }, Hour, 10 * Hour, 50 * Hour),
    };
    return rules;
}

bool anyKitBadgeAt(const Player& p, int level) {
    return std::any_of(KitBadges.begin(), KitBadges.end(),
                       [&](const AwardFor& badge) { return kitBadgeLevel(p, badge.slot) >= level; });
}

CountRule armyMedal(std::int32_t id, std::size_t army) {
    return {id, [army](const Player& p) {
                const Army& a = p.armies[army];
                return a.time >= 100 * Hour && a.wins >= 100 && a.best >= 100 ? a.time / (100 * Hour) : 0;
            }};
}
CountRule vehicleMedal(std::int32_t id, std::size_t vehicle) {
    return {id, [vehicle](const Player& p) {
                const Vehicle& v = p.vehicles[vehicle];
                return v.time >= 25 * Hour && v.kills >= 1000 ? v.kills / 1000 : 0;
            }};
}
CountRule sfArmyMedal(std::int32_t id, std::size_t army) {
    return {id, [army](const Player& p) {
                const i64 t = p.armies[army].time;
                return t >= 100 * Hour ? t / (100 * Hour) : 0;
            }};
}

const std::vector<CountRule>& medalRules() {
    static const std::vector<CountRule> rules = {
        {2051907, [](const Player& p) { return p.wins / 30; }},
        {2051919, [](const Player& p) { return p.wins / 25; }},
        {2051902, [](const Player& p) { return (p.wins + p.loss) / 20; }},
        {2191608, [](const Player& p) { return p.deth / 1500; }},
        {2020419,
         [](const Player& p) {
             return p.twsc >= 5000 && p.tcdr >= 20 * Hour && p.tsql >= 50 * Hour && p.tsqm >= 50 * Hour
                        ? 1 + p.twsc / 50000
                        : 0;
         }},
        {2020903,
         [](const Player& p) { return p.time >= 100 * Hour && anyKitBadgeAt(p, 1) ? p.time / (100 * Hour) : 0; }},
        {2020913,
         [](const Player& p) { return p.time >= 200 * Hour && anyKitBadgeAt(p, 2) ? p.time / (200 * Hour) : 0; }},
        {2020919,
         [](const Player& p) { return p.time >= 300 * Hour && anyKitBadgeAt(p, 3) ? p.time / (300 * Hour) : 0; }},
        armyMedal(2021403, 0),
        armyMedal(2020719, 1),
        armyMedal(2021613, 2),
        {2021322,
         [](const Player& p) {
             return p.time >= 250 * Hour && p.dsab >= 1000 && p.dfcp >= 300 && p.twsc >= 10000 ? 1 : 0;
         }},
        {2190303,
         [](const Player& p) { return p.time >= 250 * Hour && p.kill >= 15000 && p.bksk >= 25 ? p.kill / 15000 : 0; }},
        vehicleMedal(2190308, 3),
        vehicleMedal(2190309, 1),
        vehicleMedal(2190318, 0),
        {2190703,
         [](const Player& p) { return p.time >= 100 * Hour && p.kick == 0 && p.ban == 0 ? p.time / (100 * Hour) : 0; }},
        {2191319,
         [](const Player& p) {
             return p.time >= 250 * Hour && p.heal >= 1000 && p.rpar >= 1000 && p.rsup >= 1000 ? 1 : 0;
         }},
        {2260219, [](const Player& p) { return sfTime(p) >= 50 * Hour ? sfTime(p) / (50 * Hour) : 0; }},
        {2261901, [](const Player& p) { return sfTime(p) >= 100 * Hour && sfScaled(p, p.kill) >= 2000 ? 1 : 0; }},
        {2260719, [](const Player& p) { return sfTime(p) >= 200 * Hour && p.bksk >= 20 ? 1 : 0; }},
        sfArmyMedal(2261913, 3),
        sfArmyMedal(2261919, 4),
        sfArmyMedal(2261613, 5),
        sfArmyMedal(2261303, 6),
        sfArmyMedal(2261802, 7),
        sfArmyMedal(2260914, 8),
    };
    return rules;
}

CountRule vehicleRibbon(std::int32_t id, std::size_t vehicle, i64 minutes, i64 kills) {
    return {id, [=](const Player& p) {
                const Vehicle& v = p.vehicles[vehicle];
                return v.time >= minutes * Minute && v.kills >= kills ? 1 : 0;
            }};
}
CountRule sfVehicleRibbon(std::int32_t id, std::size_t vehicle, i64 minutes, i64 kills) {
    return {id, [=](const Player& p) {
                const Vehicle& v = p.vehicles[vehicle];
                return sfTime(p) > 0 && sfScaled(p, v.time) >= minutes * Minute && sfScaled(p, v.kills) >= kills ? 1
                                                                                                                 : 0;
            }};
}
CountRule sfServiceRibbon(const AwardFor& ribbon) {
    return {ribbon.id, [army = ribbon.slot](const Player& p) { return p.armies[army].time >= 25 * Hour ? 1 : 0; }};
}

const std::vector<CountRule>& ribbonRules() {
    static const std::vector<CountRule> rules = {
        {3040109, [](const Player& p) { return p.vehicles[2].kills >= 11 ? 1 : 0; }},
        {3040718, [](const Player& p) { return p.vehicles[6].kills >= 5 ? 1 : 0; }},
        {3150914, [](const Player& p) { return p.tsql >= 25 * Minute && p.twsc >= 250 ? 1 : 0; }},
        {3151920, [](const Player& p) { return p.tcdr >= 28 * Minute && p.cdsc >= 50 ? 1 : 0; }},
        vehicleRibbon(3190105, 1, 15, 19),
        vehicleRibbon(3190118, 0, 20, 19),
        {3190318, [](const Player& p) { return p.dsab >= 1 && p.dkas >= 13 && p.kill >= 5 ? 1 : 0; }},
        {3190409,
         [](const Player& p) {
             return p.twsc >= 15 && p.tsqm >= 10 * Hour && p.tsql >= 10 * Hour && p.tcdr >= 10 * Hour ? 1 : 0;
         }},
        {3190605, [](const Player& p) { return p.armies[2].time > 0 ? 1 : 0; }},
        {3191305, [](const Player& p) { return p.armies[1].time > 0 ? 1 : 0; }},
        vehicleRibbon(3190803, 3, 15, 19),
        {3211305, [](const Player& p) { return p.tsqm >= 26 * Minute && p.twsc >= 40 ? 1 : 0; }},
        {3212201, [](const Player& p) { return p.twsc >= 45 && p.tsqm >= 25 * Hour && p.tsql >= 25 * Hour ? 1 : 0; }},
        {3240102, [](const Player& p) { return p.time >= Hour ? 1 : 0; }},
        {3240301, [](const Player& p) { return p.kill >= 18 && p.bksk >= 10 ? 1 : 0; }},
        {3240703, [](const Player& p) { return p.kill >= 14 && p.kick == 0 && p.time >= 50 * Hour ? 1 : 0; }},
        {3241213,
         [](const Player& p) { return p.twsc >= 50 && p.time >= 200 * Hour && p.bksk >= 10 && p.wdsk >= 8 ? 1 : 0; }},
        {3242303,
         [](const Player& p) {
             return p.cdsc >= 45 && p.tcdr >= 50 * Hour && p.wins > 0 && p.wins >= 3 * p.loss ? 1 : 0;
         }},
        sfServiceRibbon(SfServiceRibbons[0]),
        sfServiceRibbon(SfServiceRibbons[1]),
        sfServiceRibbon(SfServiceRibbons[2]),
        sfServiceRibbon(SfServiceRibbons[3]),
        sfServiceRibbon(SfServiceRibbons[4]),
        sfServiceRibbon(SfServiceRibbons[5]),
        {3260318,
         [](const Player& p) {
             return sfTime(p) >= Hour && p.dsab >= 1 && sfScaled(p, p.dkas) >= 20 && p.kill >= 10 ? 1 : 0;
         }},
        sfVehicleRibbon(3260118, 0, 20, 22),
        sfVehicleRibbon(3260105, 1, 15, 22),
        sfVehicleRibbon(3260803, 3, 15, 22),
    };
    return rules;
}

void grantAwards(Player& p, Rng& rng) {
    const i64 span = p.lbtl - p.jond;
    for (const BadgeRule& rule : badgeRules()) {
        const int level = rule.level(p);
        for (int l = 1; l <= level; ++l) {
            const i64 when = p.jond + span * (l * 300 + rng.range(0, 99)) / 1000;
            p.awards.push_back({rule.id, l, when, when});
        }
    }
    for (const CountRule& rule : medalRules()) {
        const i64 count = rule.count(p);
        if (count > 0) {
            const i64 first = p.jond + span * rng.range(50, 500) / 1000;
            const i64 last = count > 1 ? first + (p.lbtl - first) * rng.range(300, 1000) / 1000 : first;
            p.awards.push_back({rule.id, static_cast<int>(count), last, first});
        }
    }
    for (const CountRule& rule : ribbonRules()) {
        if (rule.count(p) > 0) {
            const i64 when = p.jond + span * rng.range(20, 900) / 1000;
            p.awards.push_back({rule.id, 1, when, when});
        }
    }
    std::sort(p.awards.begin(), p.awards.end(), [](const AwardRow& a, const AwardRow& b) {
        return a.award != b.award ? a.award < b.award : a.level < b.level;
    });
}

// One main-game unlock per rank up to seven, one special-forces unlock per special-forces service
// ribbon up to five; some players keep a point unspent.
void chooseUnlocks(Player& p, Rng& rng) {
    const i64 mainEntitled = std::min<i64>(p.rank, catalogue::MainGameUnlocks);
    i64 sfRibbons = 0;
    for (const AwardFor& ribbon : SfServiceRibbons) {
        sfRibbons += std::any_of(p.awards.begin(), p.awards.end(),
                                 [&ribbon](const AwardRow& a) { return a.award == ribbon.id; });
    }
    const i64 sfEntitled =
        std::min<i64>(sfRibbons, static_cast<i64>(catalogue::UnlockIds.size()) - catalogue::MainGameUnlocks);
    const i64 mainChosen = mainEntitled > 0 && rng.chance(200) ? mainEntitled - 1 : mainEntitled;
    const i64 sfChosen = sfEntitled > 0 && rng.chance(200) ? sfEntitled - 1 : sfEntitled;

    auto pick = [&](std::size_t first, std::size_t count, i64 chosen) {
        std::vector<std::size_t> order(count);
        std::iota(order.begin(), order.end(), first);
        for (std::size_t i = count; i > 1; --i) {
            std::swap(order[i - 1], order[static_cast<std::size_t>(rng.range(0, static_cast<i64>(i) - 1))]);
        }
        for (i64 k = 0; k < chosen; ++k) {
            p.unlocks[order[static_cast<std::size_t>(k)]] = true;
        }
    };
    pick(0, catalogue::MainGameUnlocks, mainChosen);
    pick(catalogue::MainGameUnlocks, catalogue::UnlockIds.size() - catalogue::MainGameUnlocks, sfChosen);
    p.unlockPoints = (mainEntitled - mainChosen) + (sfEntitled - sfChosen);
}

// The showcase of the award and unlock pages: one named player holds every badge at every level,
// every medal and ribbon and all twelve unlocks, on top of what the rules gave him, so that each of
// the program's pictures can be seen after one lookup. Dates follow the rules' pattern.
constexpr std::int64_t ShowcasePid = 45000001;

void completeShowcase(Player& p, Rng& rng) {
    const i64 span = p.lbtl - p.jond;
    auto holds = [&p](std::int32_t id, int level) {
        return std::any_of(p.awards.begin(), p.awards.end(),
                           [&](const AwardRow& a) { return a.award == id && (level == 0 || a.level == level); });
    };
    for (const BadgeRule& rule : badgeRules()) {
        for (int l = 1; l <= 3; ++l) {
            if (!holds(rule.id, l)) {
                const i64 when = p.jond + span * (l * 300 + rng.range(0, 99)) / 1000;
                p.awards.push_back({rule.id, l, when, when});
            }
        }
    }
    for (const std::vector<CountRule>* rules : {&medalRules(), &ribbonRules()}) {
        for (const CountRule& rule : *rules) {
            if (!holds(rule.id, 0)) {
                const i64 when = p.jond + span * rng.range(20, 900) / 1000;
                p.awards.push_back({rule.id, 1, when, when});
            }
        }
    }
    std::sort(p.awards.begin(), p.awards.end(), [](const AwardRow& a, const AwardRow& b) {
        return a.award != b.award ? a.award < b.award : a.level < b.level;
    });
    p.unlocks.fill(true);
    p.unlockPoints = 0;
}

struct Named {
    std::int64_t pid;
    const char* nick;
    const char* country;
    Profile profile;
};

// The demo players named in docs/statsd.md; keep the two in step.
std::vector<Named> namedPlayers() {
    std::vector<Named> named;
    auto add = [&](std::int64_t pid, const char* nick, const char* country, Profile profile) {
        profile.seed = 0x5EED0000ULL + static_cast<std::uint64_t>(pid);
        named.push_back({pid, nick, country, profile});
    };
    add(45000001, "=DOG= Sarge", "DE",
        {.hours = 900,
         .killsPerMinute = 1300,
         .killsPerDeath = 2200,
         .winShare = 650,
         .favKit = 1,
         .favVehicle = 0,
         .favMap = 4,
         .favArmy = 0,
         .sfShare = 150,
         .vehicleShare = 300,
         .commandShare = 60});
    add(45000002, "Sarge", "US",
        {.hours = 40,
         .killsPerMinute = 600,
         .killsPerDeath = 800,
         .winShare = 450,
         .favKit = 5,
         .favVehicle = 4,
         .favMap = 1,
         .favArmy = 1,
         .vehicleShare = 150});
    add(45000003, "[SAS] Nightshade", "GB",
        {.hours = 600,
         .killsPerMinute = 1000,
         .killsPerDeath = 1600,
         .winShare = 560,
         .favKit = 4,
         .favVehicle = 3,
         .favMap = 302,
         .favArmy = 4,
         .sfShare = 800,
         .vehicleShare = 200,
         .commandShare = 20});
    add(45000004, "FreshRecruit", "CA", {.hours = 0, .rounds = 0});
    // Twelve rounds won, none lost, never killed.
    add(45000005, "Flawless", "SE",
        {.hours = 6,
         .killsPerMinute = 500,
         .killsPerDeath = 0,
         .winShare = 1000,
         .favKit = 6,
         .favVehicle = 2,
         .favMap = 0,
         .favArmy = 2,
         .vehicleShare = 100,
         .commandShare = 0,
         .rounds = 12});
    add(45000006, "WakeIslander", "US",
        {.hours = 120,
         .killsPerMinute = 700,
         .killsPerDeath = 1100,
         .winShare = 520,
         .favKit = 0,
         .favVehicle = 6,
         .favMap = 601,
         .favArmy = 2,
         .vehicleShare = 350});
    // Same profile and seed: the same score, so the leaderboard has to break a tie.
    const Profile twin{.seed = 0x7715,
                       .hours = 300,
                       .killsPerMinute = 900,
                       .killsPerDeath = 1200,
                       .winShare = 540,
                       .favKit = 3,
                       .favVehicle = 1,
                       .favMap = 101,
                       .favArmy = 2};
    named.push_back({45000007, "TwinPeak", "NO", twin});
    named.push_back({45000008, "TwinValley", "NO", twin});
    add(45000009, "J\u00fcrgen", "AT",
        {.hours = 200,
         .killsPerMinute = 850,
         .killsPerDeath = 1000,
         .winShare = 500,
         .favKit = 2,
         .favVehicle = 0,
         .favMap = 103,
         .favArmy = 0,
         .vehicleShare = 250});
    add(45000010, "|CMD| Overlord", "NL",
        {.hours = 700,
         .killsPerMinute = 500,
         .killsPerDeath = 900,
         .winShare = 700,
         .favKit = 2,
         .favVehicle = 4,
         .favMap = 2,
         .favArmy = 1,
         .vehicleShare = 200,
         .commandShare = 400});
    // Characters that mean something in a query string: found only when the client encodes them.
    add(45000011, "Tom&Jerry #1 +5%=", "FR",
        {.hours = 80,
         .killsPerMinute = 750,
         .killsPerDeath = 1050,
         .winShare = 480,
         .favKit = 1,
         .favVehicle = 2,
         .favMap = 5,
         .favArmy = 1,
         .vehicleShare = 200});
    // The rest of the top ten, clan tags and blanks throughout.
    add(45000012, "[77th] Iron Duke", "GB",
        {.hours = 850,
         .killsPerMinute = 1150,
         .killsPerDeath = 1900,
         .winShare = 600,
         .favKit = 5,
         .favVehicle = 0,
         .favMap = 3,
         .favArmy = 1,
         .vehicleShare = 250,
         .commandShare = 40});
    add(45000013, "{KILL} Big Bertha", "DE",
        {.hours = 800,
         .killsPerMinute = 1200,
         .killsPerDeath = 1700,
         .winShare = 580,
         .favKit = 0,
         .favVehicle = 1,
         .favMap = 6,
         .favArmy = 0,
         .vehicleShare = 450});
    add(45000014, "-=TK=- Ice Man", "FI",
        {.hours = 750,
         .killsPerMinute = 1150,
         .killsPerDeath = 1500,
         .winShare = 560,
         .favKit = 6,
         .favVehicle = 2,
         .favMap = 100,
         .favArmy = 2,
         .vehicleShare = 150});
    add(45000015, "|BF| Old Guard", "NL",
        {.hours = 950,
         .killsPerMinute = 950,
         .killsPerDeath = 1300,
         .winShare = 620,
         .favKit = 3,
         .favVehicle = 4,
         .favMap = 2,
         .favArmy = 1,
         .vehicleShare = 200,
         .commandShare = 80});
    add(45000016, "(AoD) Night Owl", "US",
        {.hours = 700,
         .killsPerMinute = 1250,
         .killsPerDeath = 2000,
         .winShare = 570,
         .favKit = 4,
         .favVehicle = 3,
         .favMap = 302,
         .favArmy = 5,
         .sfShare = 400,
         .vehicleShare = 200});
    // Same profile and seed again, this time inside the top ten.
    const Profile hammer{.seed = 0xA4711,
                         .hours = 720,
                         .killsPerMinute = 1100,
                         .killsPerDeath = 1400,
                         .winShare = 550,
                         .favKit = 1,
                         .favVehicle = 0,
                         .favMap = 4,
                         .favArmy = 0,
                         .vehicleShare = 300};
    named.push_back({45000017, "*EoD* Hammer Time", "PL", hammer});
    named.push_back({45000018, "*EoD* Anvil Time", "PL", hammer});
    return named;
}

const std::vector<const char*> ClanTags = {"=DOG= ", "[SAS]", "-=TK=-",  "{KILL} ", "|BF| ",
                                           "(AoD)",  "~ST~ ", "[77th] ", "*EoD* "};
const std::vector<const char*> Names = {
    "Wolf",  "Viper",   "Ghost",  "Hawk",   "Reaper", "Falcon",  "Cobra",    "Tank",     "Blaze",   "Raven",
    "Storm", "Shadow",  "Bravo",  "Echo",   "Delta",  "Hunter",  "Ranger",   "Maverick", "Gunny",   "Sparky",
    "Dusty", "Rusty",   "Ace",    "Bullet", "Havoc",  "Phantom", "Saber",    "Titan",    "Nomad",   "Outlaw",
    "Rogue", "Spectre", "Jackal", "Badger", "Moose",  "Grizzly", "Kodiak",   "Mongoose", "Hammer",  "Anvil",
    "Pilot", "Medic",   "Sapper", "Tracer", "Flak",   "Recon",   "Longshot", "Boomer",   "Chopper", "Scout"};
const std::vector<const char*> Words = {"Rider", "Actual", "Six", "One", "Leader", "Lead", "Jr", "King", "Nine"};
const std::vector<const char*> Countries = {"US", "DE", "GB", "FR", "CA", "AU", "NL", "SE", "NO", "DK", "FI", "PL",
                                            "RU", "ES", "IT", "BE", "AT", "CH", "CZ", "BR", "PT", "IE", "NZ", "HU"};

std::string generatedNick(Rng& rng) {
    const std::string name = Names[static_cast<std::size_t>(rng.range(0, static_cast<i64>(Names.size()) - 1))];
    switch (rng.range(0, 5)) {
    case 0:
    case 1:
        return std::string(ClanTags[static_cast<std::size_t>(rng.range(0, static_cast<i64>(ClanTags.size()) - 1))]) +
               name;
    case 2:
        return name + std::to_string(rng.range(1, 99));
    case 3:
        return name + " " + Words[static_cast<std::size_t>(rng.range(0, static_cast<i64>(Words.size()) - 1))];
    case 4:
        return "Sgt " + name;
    default:
        return name + "_" + std::to_string(rng.range(100, 999));
    }
}

Profile generatedProfile(Rng& rng) {
    Profile profile;
    profile.seed = rng.next();
    const i64 u = rng.range(0, 999);
    // Most accounts of a network are casual (up to 50 hours); one in seven plays for hundreds.
    profile.hours = rng.chance(150) ? 1 + u * u * u / 1000000 : 1 + u * u / 20000;
    profile.killsPerMinute = static_cast<int>(rng.range(300, 1000));
    profile.killsPerDeath = static_cast<int>(rng.range(500, 2200));
    profile.winShare = static_cast<int>(rng.range(350, 700));
    profile.favKit = static_cast<int>(rng.range(0, KitCount - 1));
    static constexpr std::array<int, 6> Vehicles = {0, 1, 2, 3, 4, 6};
    profile.favVehicle = Vehicles[static_cast<std::size_t>(rng.range(0, 5))];
    profile.sfShare = rng.chance(250) ? static_cast<int>(rng.range(100, 600)) : 0;
    std::vector<int> maps;
    for (const int id : MapIds) {
        if (id != 104 && (profile.sfShare > 0 || !catalogue::isSpecialForcesMap(id))) {
            maps.push_back(id);
        }
    }
    profile.favMap = maps[static_cast<std::size_t>(rng.range(0, static_cast<i64>(maps.size()) - 1))];
    profile.favArmy = static_cast<int>(rng.range(0, 2));
    profile.vehicleShare = static_cast<int>(rng.range(50, 600));
    profile.commandShare = rng.chance(300) ? static_cast<int>(rng.range(20, 200)) : static_cast<int>(rng.range(0, 10));
    return profile;
}

void clearUnlinked(Player& p) {
    if (p.tvcr == 0) {
        p.mvks = 0;
    }
    if (p.topr == 0) {
        p.vmks = 0;
    }
}

// The named players' opponents are named players too: what they show does not depend on how many
// players are generated.
void linkNamed(std::vector<Player>& players) {
    Rng rng(0x0FA1E5EEDULL);
    auto other = [&](std::size_t self, auto qualifies) -> std::int64_t {
        std::vector<std::size_t> from;
        for (std::size_t i = 0; i < players.size(); ++i) {
            if (i != self && qualifies(players[i])) {
                from.push_back(i);
            }
        }
        if (from.empty()) {
            return 0;
        }
        return players[from[static_cast<std::size_t>(rng.range(0, static_cast<i64>(from.size()) - 1))]].pid;
    };
    for (std::size_t i = 0; i < players.size(); ++i) {
        Player& p = players[i];
        p.tvcr = p.kill > 0 ? other(i, [](const Player& q) { return q.deth > 0; }) : 0;
        p.topr = p.deth > 0 ? other(i, [](const Player& q) { return q.kill > 0; }) : 0;
        clearUnlinked(p);
    }
}

std::int64_t generatedPid(i64 index) {
    return 45100001 + index * 137;
}

void finish(Player& p) {
    Rng awardRng(static_cast<std::uint64_t>(p.pid) * 0x9E3779B97F4A7C15ULL);
    grantAwards(p, awardRng);
    chooseUnlocks(p, awardRng);
    if (p.pid == ShowcasePid) {
        completeShowcase(p, awardRng);
    }
}

} // namespace

Population::Population(std::int64_t total) {
    for (const Named& named : namedPlayers()) {
        Player p = build(named.profile);
        p.pid = named.pid;
        p.nick = named.nick;
        p.country = named.country;
        m_taken.insert(text::asciiLower(p.nick));
        m_named.push_back(std::move(p));
    }
    linkNamed(m_named);
    for (Player& p : m_named) {
        finish(p);
    }
    m_generated = std::max<std::int64_t>(0, total - static_cast<std::int64_t>(m_named.size()));
}

std::int64_t Population::size() const {
    return static_cast<std::int64_t>(m_named.size()) + m_generated;
}

bool Population::next(Player& p) {
    if (m_next < m_named.size()) {
        p = m_named[m_next++];
        return true;
    }
    const i64 index = static_cast<i64>(m_next - m_named.size());
    if (index >= m_generated) {
        return false;
    }
    ++m_next;
    // Every generated player has a generator of its own: player i is the same in a population of
    // any size (apart from whom it meets in battle).
    Rng rng(0x0FA1E5EEDULL ^ (static_cast<std::uint64_t>(index + 1) * 0xD1B54A32D192ED03ULL));
    rng.next();
    Profile profile = generatedProfile(rng);
    p = build(profile);
    while (p.scor >= GeneratedScoreCap) {
        profile.hours = std::max<i64>(1, profile.hours / 2);
        p = build(profile);
    }
    p.pid = generatedPid(index);
    std::string nick = generatedNick(rng);
    while (!m_taken.insert(text::asciiLower(nick)).second) {
        nick += std::to_string(rng.range(0, 9));
    }
    p.nick = std::move(nick);
    p.country = Countries[static_cast<std::size_t>(rng.range(0, static_cast<i64>(Countries.size()) - 1))];
    // Opponents among the other generated players, all of whom have kills and deaths.
    auto other = [&]() -> std::int64_t {
        if (m_generated < 2) {
            return 0;
        }
        i64 k = rng.range(0, m_generated - 2);
        if (k >= index) {
            ++k;
        }
        return generatedPid(k);
    };
    p.tvcr = p.kill > 0 ? other() : 0;
    p.topr = p.deth > 0 ? other() : 0;
    clearUnlinked(p);
    finish(p);
    return true;
}

namespace {

// "INSERT INTO table (columns) VALUES (?, ...), (?, ...)" for the given number of rows.
std::string insertSql(std::string_view table, std::string_view columns, int perRow, int rows) {
    std::string sql = "INSERT INTO ";
    sql.append(table).append(" (").append(columns).append(") VALUES ");
    for (int r = 0; r < rows; ++r) {
        sql += r == 0 ? "(" : ", (";
        for (int c = 0; c < perRow; ++c) {
            sql += c == 0 ? "?" : ", ?";
        }
        sql += ')';
    }
    return sql;
}

// Binds values one after the other.
class Binder final {
public:
    explicit Binder(db::Statement& statement) : m_statement(statement) {}
    Binder& operator()(i64 value) {
        m_statement.bind(++m_index, value);
        return *this;
    }
    Binder& operator()(std::string_view value) {
        m_statement.bind(++m_index, value);
        return *this;
    }

private:
    db::Statement& m_statement;
    int m_index = 0;
};

} // namespace

bool store(db::Connection& connection, Population& population, std::string& error) {
    constexpr i64 PlayersPerTransaction = 5000;
    db::Statement insertPlayer = connection.prepare(
        "INSERT INTO players (pid, nick, country, scor, jond, wins, loss, mode0, mode1, mode2, time, smoc, cmsc, "
        "kill, kila, deth, suic, bksk, wdsk, tvcr, topr, twsc, cpcp, cacp, dfcp, heal, rviv, rsup, rpar, tgte, "
        "dkas, dsab, cdsc, rank, kick, bbrs, tcdr, ban, lbtl, vrk, tsql, tsqm, tlwf, mvks, vmks, tnv, tgm, de6, "
        "de7, de8, unlockpoints) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, "
        "?17, ?18, ?19, ?20, ?21, ?22, ?23, ?24, ?25, ?26, ?27, ?28, ?29, ?30, ?31, ?32, ?33, ?34, ?35, ?36, ?37, "
        "?38, ?39, ?40, ?41, ?42, ?43, ?44, ?45, ?46, ?47, ?48, ?49, ?50, ?51)");
    // Every per-item figure of a player is one row of figures, its columns in blocks order.
    std::string figureColumns = "pid";
    int figureCount = 1;
    for (const blocks::Block& block : blocks::all()) {
        for (const int id : block.ids) {
            for (const char* figure : block.columns) {
                figureColumns += ", " + blocks::column(block, id, figure);
                ++figureCount;
            }
        }
    }
    db::Statement insertFigures = connection.prepare(insertSql("figures", figureColumns, figureCount, 1));
    // Awards in batches of up to this many rows.
    constexpr int AwardBatch = 16;
    std::vector<db::Statement> insertAwards;
    for (int rows = 1; rows <= AwardBatch; ++rows) {
        insertAwards.push_back(connection.prepare(insertSql("awards", "pid, award, level, earned, first", 5, rows)));
    }
    bool ok = insertPlayer && insertFigures &&
              std::all_of(insertAwards.begin(), insertAwards.end(),
                          [](const db::Statement& s) { return static_cast<bool>(s); });
    auto run = [&](db::Statement& statement) {
        statement.step();
        ok = ok && statement.done();
        statement.reset();
    };

    Player p;
    i64 stored = 0;
    ok = ok && connection.exec("BEGIN");
    while (ok && population.next(p)) {
        const std::array<i64, 48> figures = {
            p.scor, p.jond, p.wins, p.loss, p.mode[0], p.mode[1], p.mode[2], p.time,        p.smoc, p.cmsc,
            p.kill, p.kila, p.deth, p.suic, p.bksk,    p.wdsk,    p.tvcr,    p.topr,        p.twsc, p.cpcp,
            p.cacp, p.dfcp, p.heal, p.rviv, p.rsup,    p.rpar,    p.tgte,    p.dkas,        p.dsab, p.cdsc,
            p.rank, p.kick, p.bbrs, p.tcdr, p.ban,     p.lbtl,    p.vrk,     p.tsql,        p.tsqm, p.tlwf,
            p.mvks, p.vmks, p.tnv,  p.tgm,  p.de[0],   p.de[1],   p.de[2],   p.unlockPoints};
        insertPlayer.bind(1, p.pid).bind(2, std::string_view(p.nick)).bind(3, std::string_view(p.country));
        for (std::size_t i = 0; i < figures.size(); ++i) {
            insertPlayer.bind(static_cast<int>(i) + 4, figures[i]);
        }
        run(insertPlayer);
        {
            Binder bind(insertFigures);
            bind(p.pid);
            for (const Weapon& x : p.weapons) {
                bind(x.time)(x.kills)(x.deaths)(x.fired)(x.hits);
            }
            for (const Vehicle& x : p.vehicles) {
                bind(x.time)(x.kills)(x.deaths)(x.roadkills);
            }
            for (const Army& x : p.armies) {
                bind(x.time)(x.wins)(x.losses)(x.best);
            }
            for (const Kit& x : p.kits) {
                bind(x.time)(x.kills)(x.deaths);
            }
            for (const MapFigures& x : p.maps) {
                bind(x.time)(x.wins)(x.losses);
            }
            for (const bool chosen : p.unlocks) {
                bind(i64{chosen ? 1 : 0});
            }
            run(insertFigures);
        }
        for (std::size_t first = 0; first < p.awards.size(); first += AwardBatch) {
            const std::size_t rows = std::min<std::size_t>(AwardBatch, p.awards.size() - first);
            db::Statement& statement = insertAwards[rows - 1];
            Binder bind(statement);
            for (std::size_t i = first; i < first + rows; ++i) {
                const AwardRow& x = p.awards[i];
                bind(p.pid)(static_cast<i64>(x.award))(static_cast<i64>(x.level))(x.earned)(x.first);
            }
            run(statement);
        }
        if (ok && ++stored % PlayersPerTransaction == 0) {
            ok = connection.exec("COMMIT") && connection.exec("BEGIN");
        }
    }
    ok = ok && connection.exec("COMMIT");
    if (!ok) {
        error = connection.lastError();
        connection.exec("ROLLBACK");
    }
    return ok;
}

bool createDatabase(const std::string& path, std::int64_t players, std::string& error) {
    const std::string temporary = path + ".seeding";
    std::error_code ec;
    std::filesystem::remove(temporary, ec);
    bool ok = false;
    {
        auto connection = db::Connection::open(temporary, error);
        if (connection == nullptr) {
            return false;
        }
        // Nothing is at stake until the file is whole: no journal, no waiting for the disk, and no
        // checks of references that are right by construction.
        ok = connection->exec("PRAGMA journal_mode=OFF") && connection->exec("PRAGMA synchronous=OFF") &&
             connection->exec("PRAGMA cache_size=-65536") && connection->exec("PRAGMA foreign_keys=OFF");
        if (!ok) {
            error = connection->lastError();
        }
        Population population(players);
        ok = ok && db::createTables(*connection, error) && store(*connection, population, error) &&
             db::finishSchema(*connection, error);
        // Readers in parallel with each other and with a writer; the setting stays with the file.
        if (ok && !connection->exec("PRAGMA journal_mode=WAL")) {
            error = connection->lastError();
            ok = false;
        }
    }
    if (ok) {
        std::filesystem::rename(temporary, path, ec);
        if (ec) {
            error = ec.message();
            ok = false;
        }
    }
    if (!ok) {
        std::filesystem::remove(temporary, ec);
    }
    return ok;
}

} // namespace seed
