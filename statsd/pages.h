#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace db {
class Connection;
}
namespace text {
class Query;
}

// The "/ASP/" pages of the statistics service. Each returns the reply body (an "O" reply or the
// service's error reply), or nothing when the database failed.
namespace pages {

std::optional<std::string> playerInfo(db::Connection& db, const text::Query& query, std::int64_t now);
std::optional<std::string> leaderboard(db::Connection& db, const text::Query& query, std::int64_t now);
std::optional<std::string> searchPlayers(db::Connection& db, const text::Query& query, std::int64_t now);
std::optional<std::string> awardsInfo(db::Connection& db, const text::Query& query, std::int64_t now);
std::optional<std::string> unlocksInfo(db::Connection& db, const text::Query& query, std::int64_t now);

} // namespace pages
