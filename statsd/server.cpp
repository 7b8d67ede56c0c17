#include "server.h"

#include "database.h"
#include "http_server.h"
#include "pages.h"
#include "reply_cache.h"
#include "text.h"
#include "update_files.h"

#include <ctime>
#include <fstream>
#include <iterator>
#include <string_view>
#include <unistd.h>

namespace {

constexpr std::string_view GameAgent = "GameSpyHTTP/1.0";
constexpr std::string_view UpdatePrefix = "/code/orvane/";
constexpr std::uintmax_t MaxUpdateFileSize = 256u * 1024u * 1024u;

using PageFunction = std::optional<std::string> (*)(db::Connection&, const text::Query&, std::int64_t);

struct PageRoute {
    std::string_view path; // lower case; request paths are compared without regard to case, as IIS does
    PageFunction build;
};

constexpr PageRoute Pages[] = {
    {"/asp/getplayerinfo.aspx", &pages::playerInfo},       {"/asp/getleaderboard.aspx", &pages::leaderboard},
    {"/asp/searchforplayers.aspx", &pages::searchPlayers}, {"/asp/getawardsinfo.aspx", &pages::awardsInfo},
    {"/asp/getunlocksinfo.aspx", &pages::unlocksInfo},
};

std::string htmlPage(int status) {
    const char* reason = http::reasonPhrase(status);
    const std::string title = std::to_string(status) + " " + reason;
    return "<!DOCTYPE html>\n<html><head><title>" + title + "</title></head><body><h1>" + title +
           "</h1><p>orvane-statsd</p></body></html>\n";
}

std::optional<std::string> readSmallFile(const std::filesystem::path& file) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec) || ec) {
        return std::nullopt;
    }
    const std::uintmax_t size = std::filesystem::file_size(file, ec);
    if (ec || size > MaxUpdateFileSize) {
        return std::nullopt;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        return std::nullopt;
    }
    return content;
}

} // namespace

class StatsServer::Http final {
public:
    Http(db::ConnectionPool& pool, ServerSettings settings)
        : m_pool(pool), m_settings(std::move(settings)),
          m_server(
              m_settings.limits, [this](const http::Request& req) { return answer(req); }, &htmlPage,
              m_settings.quiet ? http::Logger() : http::Logger(&logRequest)) {}

    http::Server& server() { return m_server; }

private:
    http::Response answer(const http::Request& req) {
        // The update files are fetched by the updater with its own agent; the check guards the pages.
        const std::string path = text::asciiLower(req.path);
        if (m_settings.strictAgent && path.starts_with("/asp/")) {
            const std::string* agent = req.header("User-Agent");
            if (agent == nullptr || *agent != GameAgent) {
                return errorResponse(403);
            }
        }
        const bool isUpdateFile = m_settings.updateDir && std::string_view(req.path).starts_with(UpdatePrefix);
        PageFunction page = nullptr;
        for (const PageRoute& route : Pages) {
            if (path == route.path) {
                page = route.build;
            }
        }
        if (!isUpdateFile && page == nullptr) {
            return errorResponse(404);
        }
        if (req.method != "GET" && req.method != "HEAD") {
            http::Response refused = errorResponse(405);
            refused.headers.emplace_back("Allow", "GET, HEAD");
            return refused;
        }
        if (isUpdateFile) {
            return serveUpdateFile(std::string_view(req.path).substr(UpdatePrefix.size()));
        }
        return servePage(page, req);
    }

    static http::Response errorResponse(int status) {
        http::Response res;
        res.status = status;
        res.contentType = "text/html";
        res.body = htmlPage(status);
        return res;
    }

    http::Response servePage(PageFunction build, const http::Request& req) {
        db::ConnectionPool::Lease connection = m_pool.acquire();
        if (!connection) {
            return errorResponse(500);
        }
        const auto now = static_cast<std::int64_t>(std::time(nullptr));
        // Pages are addressed by their lower-case path; the query is taken as sent.
        const std::string key = text::asciiLower(req.path) + "?" + std::string(text::queryOf(req.target));
        http::Response res;
        if (!m_settings.replyCache) {
            std::optional<std::string> body = build(*connection, text::Query(text::queryOf(req.target)), now);
            if (!body) {
                return errorResponse(500);
            }
            res.body = std::move(*body);
            return res;
        }
        if (std::optional<std::string> cached = m_replies.find(*connection, key, now)) {
            res.body = std::move(*cached);
            return res;
        }
        const std::uint64_t generation = m_replies.generation();
        std::optional<std::string> body = build(*connection, text::Query(text::queryOf(req.target)), now);
        if (!body) {
            return errorResponse(500);
        }
        m_replies.store(key, now, generation, *body);
        res.body = std::move(*body);
        return res;
    }

    http::Response serveUpdateFile(std::string_view name) {
        std::optional<std::string> content;
        const char* type = "application/octet-stream";
        if (name == "version.txt") {
            content = readSmallFile(*m_settings.updateDir / "version.txt");
            type = "text/plain";
        } else if (update_files::isDownloadName(name)) {
            content = readSmallFile(*m_settings.updateDir / std::string(name));
        }
        if (!content) {
            return errorResponse(404);
        }
        http::Response res;
        res.contentType = type;
        res.body = std::move(*content);
        return res;
    }

    static void logRequest(const http::Request& req, const http::Response& res) {
        std::string line = "orvane-statsd: ";
        line += req.remote.empty() ? "-" : req.remote;
        line += ' ';
        line += req.method.empty() ? "-" : text::forLog(req.method, 16);
        line += ' ';
        line += req.target.empty() ? "-" : text::forLog(req.target, 240);
        line += ' ';
        line += std::to_string(res.status);
        line += ' ';
        line += std::to_string(res.body.size());
        line += '\n';
        // One write per line keeps the lines of parallel requests apart.
        [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, line.data(), line.size());
    }

    db::ConnectionPool& m_pool;
    ServerSettings m_settings;
    ReplyCache m_replies;
    http::Server m_server;
};

StatsServer::StatsServer(db::ConnectionPool& pool, ServerSettings settings)
    : m_http(std::make_unique<Http>(pool, std::move(settings))) {}

StatsServer::~StatsServer() = default;

std::optional<int> StatsServer::bind(const std::string& host, int port) {
    return m_http->server().bind(host, port);
}

bool StatsServer::run() {
    return m_http->server().run();
}

void StatsServer::stop() {
    m_http->server().stop();
}

bool StatsServer::isRunning() const {
    return m_http->server().isRunning();
}
