#include "reply_cache.h"

#include "database.h"

std::optional<std::string> ReplyCache::find(db::Connection& connection, const std::string& target, std::int64_t now) {
    const bool changed = connection.databaseChanged();
    std::lock_guard lock(m_mutex);
    if (changed) {
        ++m_generation;
        m_replies.clear();
    }
    if (now != m_second) {
        m_second = now;
        m_replies.clear();
        return std::nullopt;
    }
    const auto it = m_replies.find(target);
    if (it == m_replies.end()) {
        return std::nullopt;
    }
    return it->second;
}

std::uint64_t ReplyCache::generation() const {
    std::lock_guard lock(m_mutex);
    return m_generation;
}

void ReplyCache::store(const std::string& target, std::int64_t now, std::uint64_t generation, std::string body) {
    if (body.size() > MaxBody) {
        return;
    }
    std::lock_guard lock(m_mutex);
    if (generation != m_generation || now != m_second) {
        return; // made from data that may have changed since, or in another second
    }
    if (m_replies.size() >= MaxEntries) {
        m_replies.clear();
    }
    m_replies.emplace(target, std::move(body));
}
