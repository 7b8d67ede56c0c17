#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace db {
class Connection;
}

// The score board as an order-statistic structure inside the database, so a player's place, the
// player at a place and the number of players cost the same for ten players or ten million.
//
// The board orders players by score, highest first, then by PID, lowest first. Two tables count
// players in nested buckets: score_tally holds, for every level L (0..15), how many players have a
// score s with s >> 4L equal to the bucket (level 0: exactly that score); tie_tally holds, within
// one score, how many players have a PID p with p >> 8L equal to the bucket (levels 1..7). A place
// is then a sum over at most 15 sibling buckets per level, and the player at a place is found by
// walking down the levels. Triggers on the players table keep both tables current on every
// insert, delete and change of a score or PID, whoever makes the change.
namespace board {

inline constexpr int ScoreLevels = 16; // 4 bits a level: the whole 64-bit range
inline constexpr int ScoreBits = 4;
inline constexpr int PidLevels = 8; // 8 bits a level; level 0 is read from the players index
inline constexpr int PidBits = 8;

// Tables, and the triggers that keep them current; both expect the players table.
std::string tablesSql();
std::string triggersSql();

// Fills the (empty) tally tables from the players table in one pass over its score index.
bool build(db::Connection& connection, std::string& error);

// SQL of an expression that is the number of players ahead of the player row p (columns p.scor,
// p.pid) on the board.
std::string aheadOfSql();
// SQL of an expression that is the number of players.
std::string sizeSql();

struct Place {
    std::int64_t score = 0;
    std::int64_t pid = 0;
};
// The player at the 1-based place on the board; nothing past its end (or on a failed query, with
// failed set).
std::optional<Place> at(db::Connection& connection, std::int64_t place, bool& failed);

} // namespace board
