// orvane-statsd: the local statistics service. Serves the "/ASP/" pages of the game's statistics
// service from a SQLite database, seeded with a demo population when new.

#include "board.h"
#include "database.h"
#include "options.h"
#include "seed.h"
#include "server.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <pthread.h>
#include <signal.h>
#include <sys/resource.h>
#include <thread>

namespace {

bool seedNew(const std::string& path, std::int64_t players) {
    const auto started = std::chrono::steady_clock::now();
    std::string error;
    if (!seed::createDatabase(path, players, error)) {
        std::fprintf(stderr, "orvane-statsd: cannot seed %s: %s\n", path.c_str(), error.c_str());
        return false;
    }
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::fprintf(stderr, "orvane-statsd: %s: new database, demo population seeded in %.1f s\n", path.c_str(), seconds);
    return true;
}

bool openDatabase(const std::string& path, std::int64_t players) {
    std::string error;
    bool empty = false;
    {
        auto connection = db::Connection::open(path, error);
        if (connection == nullptr) {
            std::fprintf(stderr, "orvane-statsd: cannot open %s: %s\n", path.c_str(), error.c_str());
            return false;
        }
        if (!db::isEmpty(*connection, empty, error)) {
            std::fprintf(stderr, "orvane-statsd: cannot use %s: %s\n", path.c_str(), error.c_str());
            return false;
        }
    }
    if (empty && !seedNew(path, players)) {
        return false;
    }
    auto connection = db::Connection::open(path, error);
    if (connection == nullptr || !db::ensureSchema(*connection, error)) {
        std::fprintf(stderr, "orvane-statsd: cannot use %s: %s\n", path.c_str(), error.c_str());
        return false;
    }
    if (!connection->exec("PRAGMA journal_mode=WAL")) {
        std::fprintf(stderr, "orvane-statsd: cannot use WAL mode on %s: %s\n", path.c_str(),
                     connection->lastError().c_str());
        return false;
    }
    db::Statement count = connection->prepare("SELECT " + board::sizeSql());
    const long long size = count.step() ? static_cast<long long>(count.integer(0)) : 0;
    std::fprintf(stderr, "orvane-statsd: %s: %lld players\n", path.c_str(), size);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const ParsedOptions parsed = parseOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.options) {
        std::fprintf(stderr, "orvane-statsd: %s\n%s", parsed.error.c_str(), UsageText);
        return 2;
    }
    const Options& options = *parsed.options;
    if (options.help) {
        std::fputs(UsageText, stdout);
        return 0;
    }

    // Every open connection is a descriptor: allow as many as the system lets this process have.
    rlimit files{};
    if (::getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < files.rlim_max) {
        files.rlim_cur = files.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &files);
    }
    // A client that hangs up mid-reply must not end the service.
    ::signal(SIGPIPE, SIG_IGN);
    // INT and TERM are taken by one thread with sigwait; every thread started later inherits the mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    if (!openDatabase(options.database, options.players)) {
        return 1;
    }
    db::ConnectionPool pool(options.database);
    ServerSettings settings;
    settings.strictAgent = options.strictAgent;
    settings.quiet = options.quiet;
    settings.replyCache = options.replyCache;
    settings.limits.threads =
        options.threads > 0 ? options.threads : static_cast<int>(std::max(2u, std::thread::hardware_concurrency()));
    settings.limits.keepAliveSeconds = options.keepAliveSeconds;
    settings.limits.keepAliveMax = options.keepAliveMax;
    settings.limits.requestTimeoutMs = options.requestTimeoutMs;
    settings.limits.replyDelayMs = options.replyDelayMs;
    settings.limits.maxConnections = options.maxConnections;
    if (options.updateDir) {
        settings.updateDir = *options.updateDir;
        std::error_code ec;
        if (!std::filesystem::is_directory(*settings.updateDir, ec)) {
            // Not fatal: the folder may be filled later; until then the update files answer 404.
            std::fprintf(stderr, "orvane-statsd: update folder %s does not exist (yet)\n", options.updateDir->c_str());
        }
    }
    StatsServer server(pool, settings);
    const std::optional<int> port = server.bind(options.host, options.port);
    if (!port) {
        std::fprintf(stderr, "orvane-statsd: cannot listen on %s:%d\n", options.host.c_str(), options.port);
        return 1;
    }
    const bool ipv6 = options.host.find(':') != std::string::npos;
    std::printf("orvane-statsd: listening on %s%s%s:%d\n", ipv6 ? "[" : "", options.host.c_str(), ipv6 ? "]" : "",
                *port);
    std::fflush(stdout);

    std::thread stopper([&] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        // stop() before run() starts is kept: run() then returns at once.
        server.stop();
    });
    const bool served = server.run();
    pthread_kill(stopper.native_handle(), SIGTERM);
    stopper.join();
    return served ? 0 : 1;
}
