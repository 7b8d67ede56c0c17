#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

namespace db {
class Connection;
}

// Finished page replies, by request target, for the second they were made in (every reply carries
// the time of the request). Any change to the database empties it: each connection compares the
// database's data version with what it saw last before a reply is looked up.
class ReplyCache final {
public:
    // The cached reply for the target in this second, or nothing. Checks the database for changes
    // first, through the connection the reply would be built with.
    std::optional<std::string> find(db::Connection& connection, const std::string& target, std::int64_t now);
    // Keeps a reply built after find() missed, unless the database changed since that find().
    void store(const std::string& target, std::int64_t now, std::uint64_t generation, std::string body);
    // The generation find() saw; store() takes it back.
    std::uint64_t generation() const;

private:
    static constexpr std::size_t MaxEntries = 4096;
    static constexpr std::size_t MaxBody = 64 * 1024;

    mutable std::mutex m_mutex;
    std::unordered_map<std::string, std::string> m_replies;
    std::int64_t m_second = 0;
    std::uint64_t m_generation = 0;
};
