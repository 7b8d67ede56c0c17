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

// The ranks a score alone earns, with their lowest global score; the ranks that also ask for
// badges (8, 10, 18, 19) and the two awarded ones (11, 21) are left out. A player holds the
// highest of them whose score he has reached.
struct ScoreRank {
    int rank;
    std::int64_t minimum;
};
inline constexpr std::array<ScoreRank, 16> ScoreRanks = {{{0, 0},
                                                          {1, 150},
                                                          {2, 500},
                                                          {3, 800},
                                                          {4, 2500},
                                                          {5, 5000},
                                                          {6, 8000},
                                                          {7, 20000},
                                                          {9, 50000},
                                                          {12, 60000},
                                                          {13, 75000},
                                                          {14, 90000},
                                                          {15, 115000},
                                                          {16, 125000},
                                                          {17, 150000},
                                                          {20, 200000}}};

inline constexpr int rankForScore(std::int64_t score) {
    int rank = 0;
    for (const ScoreRank& step : ScoreRanks) {
        if (score >= step.minimum) {
            rank = step.rank;
        }
    }
    return rank;
}

} // namespace catalogue
