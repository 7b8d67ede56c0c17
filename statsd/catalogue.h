#pragma once

#include <array>
#include <cstdint>

// Fixed vocabulary of the service: how many weapons, vehicles, armies, kits and maps a player has
// figures for, the map ids, the unlock ids and the rank ladder. Award ids live with their rules (seed.cpp).
namespace catalogue {

inline constexpr int WeaponCount = 14; // 13 is the zipline, which no one plays for long
inline constexpr int VehicleCount = 7; // 5 is a class the game barely records
inline constexpr int ArmyCount = 9;    // 0..2 the main game, 3..8 special forces
inline constexpr int KitCount = 7;
inline constexpr int FirstSpecialForcesArmy = 3;

// The map ids in the order of the maps reply.
inline constexpr std::array<int, 22> MapIds = {0,   1,   2,   3,   4,   5,   6,   100, 101, 102, 103,
                                               104, 105, 601, 300, 301, 302, 303, 304, 305, 306, 307};
inline constexpr int MapCount = static_cast<int>(MapIds.size());
// The place of a map id in MapIds; MapCount for an id that is not there.
inline constexpr std::size_t mapSlot(std::int64_t mapId) {
    std::size_t slot = 0;
    while (slot < MapIds.size() && MapIds[slot] != mapId) {
        ++slot;
    }
    return slot;
}
// Maps 300..307 belong to the special-forces content; 104 is in the list but never played.
inline constexpr bool isSpecialForcesMap(int mapId) {
    return mapId >= 300 && mapId <= 307;
}

// Unlock ids in the order of the unlocks reply; the first seven are the main game's.
inline constexpr std::array<int, 12> UnlockIds = {11, 22, 33, 44, 55, 66, 77, 88, 99, 111, 222, 333};
inline constexpr int MainGameUnlocks = 7;

// Lowest global score of each rank; a player holds the highest rank whose score he has reached.
inline constexpr std::array<std::int64_t, 13> RankScores = {0,     150,   500,   800,   2500,  5000, 8000,
                                                            20000, 30000, 40000, 50000, 55000, 60000};

inline constexpr int rankForScore(std::int64_t score) {
    int rank = 0;
    for (int r = 0; r < static_cast<int>(RankScores.size()); ++r) {
        if (score >= RankScores[r]) {
            rank = r;
        }
    }
    return rank;
}

} // namespace catalogue
