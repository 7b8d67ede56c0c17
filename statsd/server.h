#pragma once

#include "http_server.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace db {
class ConnectionPool;
}

struct ServerSettings {
    bool strictAgent = false;
    bool quiet = false;
    bool replyCache = true;
    std::optional<std::filesystem::path> updateDir;
    http::Limits limits;
};

// The HTTP side: the "/ASP/" pages, the update files, error pages and the request log.
class StatsServer final {
public:
    StatsServer(db::ConnectionPool& pool, ServerSettings settings);
    ~StatsServer();
    StatsServer(const StatsServer&) = delete;
    StatsServer& operator=(const StatsServer&) = delete;

    // Binds the listening socket; the port actually bound (port 0 picks a free one), or nothing.
    std::optional<int> bind(const std::string& host, int port);
    // Serves until stop(); false when serving could not start.
    bool run();
    // Safe from any thread, also before run() starts (run() then returns at once).
    void stop();
    // True while run() serves.
    bool isRunning() const;

private:
    class Http;
    std::unique_ptr<Http> m_http;
};
