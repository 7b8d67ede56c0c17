#include "server.h"

#include "database.h"
#include "pages.h"
#include "text.h"
#include "update_files.h"

#include <ctime>
#include <fstream>
#include <httplib.h>
#include <iterator>
#include <string_view>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr std::string_view GameAgent = "GameSpyHTTP/1.0";
constexpr std::string_view UpdatePrefix = "/code/orvane/";
constexpr std::uintmax_t MaxUpdateFileSize = 256u * 1024u * 1024u;
// The library listens with a backlog of 5; a burst of new connections (every request of the
// client is one) then waits for SYN retries. Widen it once the socket listens.
constexpr int ListenBacklog = 256;

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

const char* reasonPhrase(int status) {
    switch (status) {
    case 400:
        return "Bad Request";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 413:
        return "Payload Too Large";
    case 414:
        return "URI Too Long";
    case 500:
        return "Internal Server Error";
    default:
        return "Error";
    }
}

std::string htmlPage(int status) {
    const char* reason = reasonPhrase(status);
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

class StatsServer::Http final : public httplib::Server {
public:
    Http(db::ConnectionPool& pool, ServerSettings settings) : m_pool(pool), m_settings(std::move(settings)) {}

    void widenBacklog() { ::listen(svr_sock_, ListenBacklog); }

    void setUp() {
        // The library's default also sets SO_REUSEPORT, which lets a second service bind a port
        // that is in use and silently take half of its connections. Address reuse alone is enough
        // for a quick restart.
        set_socket_options([](socket_t sock) {
            const int yes = 1;
            ::setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        });
        set_read_timeout(5, 0);
        set_write_timeout(5, 0);
        set_keep_alive_timeout(2);
        set_payload_max_length(64 * 1024);

        set_pre_routing_handler([this](const httplib::Request& req, httplib::Response& res) {
            // The update files are fetched by the updater with its own agent; the check guards the pages.
            if (m_settings.strictAgent && text::asciiLower(req.path).starts_with("/asp/") &&
                req.get_header_value("User-Agent") != GameAgent) {
                res.status = 403;
                res.set_content(htmlPage(403), "text/html");
                return HandlerResponse::Handled;
            }
            return HandlerResponse::Unhandled;
        });
        Get(".*", [this](const httplib::Request& req, httplib::Response& res) { route(req, res); });
        // Every status from 400 up gets an HTML page unless the handler wrote a body of its own.
        set_error_handler(HandlerWithResponse([](const httplib::Request&, httplib::Response& res) {
            if (!res.body.empty()) {
                return HandlerResponse::Unhandled;
            }
            res.set_content(htmlPage(res.status), "text/html");
            return HandlerResponse::Handled;
        }));
        set_exception_handler([](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
            res.status = 500;
            res.set_content(htmlPage(500), "text/html");
        });
        if (!m_settings.quiet) {
            set_logger([](const httplib::Request& req, const httplib::Response& res) { logRequest(req, res); });
        }
    }

private:
    void route(const httplib::Request& req, httplib::Response& res) {
        if (m_settings.updateDir && std::string_view(req.path).starts_with(UpdatePrefix)) {
            serveUpdateFile(std::string_view(req.path).substr(UpdatePrefix.size()), res);
            return;
        }
        const std::string path = text::asciiLower(req.path);
        for (const PageRoute& route : Pages) {
            if (path == route.path) {
                servePage(route.build, req, res);
                return;
            }
        }
        res.status = 404;
    }

    void servePage(PageFunction build, const httplib::Request& req, httplib::Response& res) {
        const text::Query query(text::queryOf(req.target));
        db::ConnectionPool::Lease connection = m_pool.acquire();
        std::optional<std::string> body;
        if (connection) {
            body = build(*connection, query, static_cast<std::int64_t>(std::time(nullptr)));
        }
        if (!body) {
            res.status = 500;
            return;
        }
        res.set_content(std::move(*body), "text/plain");
    }

    void serveUpdateFile(std::string_view name, httplib::Response& res) {
        std::optional<std::string> content;
        const char* type = "application/octet-stream";
        if (name == "version.txt") {
            content = readSmallFile(*m_settings.updateDir / "version.txt");
            type = "text/plain";
        } else if (update_files::isDownloadName(name)) {
            content = readSmallFile(*m_settings.updateDir / std::string(name));
        }
        if (!content) {
            res.status = 404;
            return;
        }
        res.set_content(std::move(*content), type);
    }

    static void logRequest(const httplib::Request& req, const httplib::Response& res) {
        std::string line = "orvane-statsd: ";
        line += req.remote_addr.empty() ? "-" : req.remote_addr;
        line += ' ';
        line += text::forLog(req.method, 16);
        line += ' ';
        line += text::forLog(req.target, 240);
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
};

StatsServer::StatsServer(db::ConnectionPool& pool, ServerSettings settings)
    : m_http(std::make_unique<Http>(pool, std::move(settings))) {
    m_http->setUp();
}

StatsServer::~StatsServer() = default;

std::optional<int> StatsServer::bind(const std::string& host, int port) {
    if (port == 0) {
        const int bound = m_http->bind_to_any_port(host);
        return bound > 0 ? std::optional<int>(bound) : std::nullopt;
    }
    return m_http->bind_to_port(host, port) ? std::optional<int>(port) : std::nullopt;
}

bool StatsServer::run() {
    m_http->widenBacklog();
    m_started = true;
    return m_http->listen_after_bind();
}

void StatsServer::stop() {
    if (m_started) {
        m_http->stop();
    }
}

bool StatsServer::isRunning() const {
    return m_started && m_http->is_running();
}
