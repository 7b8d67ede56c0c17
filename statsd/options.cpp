#include "options.h"

#include "text.h"

const char* const UsageText =
    "usage: orvane-statsd [--listen HOST:PORT] [--db FILE] [--players N] [--update-dir DIR] [--strict-agent] "
    "[--quiet]\n"
    "                     [--threads N] [--keep-alive-seconds N] [--keep-alive-max N] [--request-timeout-ms N]\n"
    "                     [--max-connections N] [--reply-delay-ms N] [--no-reply-cache]\n"
    "  --listen HOST:PORT  address to serve on (default 127.0.0.1:28080; port 0 picks a free port)\n"
    "  --db FILE           SQLite database (default ./orvane-statsd.sqlite; seeded when new)\n"
    "  --update-dir DIR    serve /code/orvane/version.txt and the downloads orvane_v<version>.exe and\n"
    "                      orvane_v<version>-linux-<architecture> from DIR\n"
    "  --strict-agent      answer 403 to every User-Agent other than GameSpyHTTP/1.0\n"
    "  --quiet             do not log requests to stderr\n"
    "  --players N         players of the demo population a new database is seeded with (default 250; never fewer than "
    "the named ones)\n"
    "  --threads N         threads serving connections, each an event loop (default: one per core, at least 2)\n"
    "  --keep-alive-seconds N  an idle connection is closed after N seconds (default 5)\n"
    "  --keep-alive-max N  requests per connection before it is closed (default 1000)\n"
    "  --request-timeout-ms N  a request must arrive whole within N ms (default 10000)\n"
    "  --max-connections N open connections; at the cap the oldest idle one is closed (default 4096)\n"
    "  --reply-delay-ms N  hold every reply back N ms, like a slow network (default 0)\n"
    "  --no-reply-cache    build every reply anew (to measure what a page costs)\n";

namespace {

bool parseListen(const std::string& value, Options& options) {
    const std::size_t colon = value.rfind(':');
    if (colon == std::string::npos || colon == 0) {
        return false;
    }
    std::string host = value.substr(0, colon);
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
    }
    const auto port = text::parseCount(value.substr(colon + 1));
    if (host.empty() || !port || *port > 65535) {
        return false;
    }
    options.host = host;
    options.port = static_cast<int>(*port);
    return true;
}

struct NumericOption {
    const char* name;
    std::int64_t low;
    std::int64_t high;
    void (*store)(Options&, std::int64_t);
};

constexpr NumericOption NumericOptions[] = {
    {"--players", 1, 100000000, [](Options& o, std::int64_t v) { o.players = v; }},
    {"--threads", 1, 256, [](Options& o, std::int64_t v) { o.threads = static_cast<int>(v); }},
    {"--keep-alive-seconds", 1, 3600, [](Options& o, std::int64_t v) { o.keepAliveSeconds = static_cast<int>(v); }},
    {"--keep-alive-max", 1, 1000000, [](Options& o, std::int64_t v) { o.keepAliveMax = static_cast<int>(v); }},
    {"--request-timeout-ms", 1, 600000, [](Options& o, std::int64_t v) { o.requestTimeoutMs = static_cast<int>(v); }},
    {"--reply-delay-ms", 0, 600000, [](Options& o, std::int64_t v) { o.replyDelayMs = static_cast<int>(v); }},
    {"--max-connections", 1, 1000000, [](Options& o, std::int64_t v) { o.maxConnections = static_cast<int>(v); }},
};

const NumericOption* numericOption(const std::string& name) {
    for (const NumericOption& option : NumericOptions) {
        if (name == option.name) {
            return &option;
        }
    }
    return nullptr;
}

} // namespace

ParsedOptions parseOptions(const std::vector<std::string>& args) {
    Options options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--listen" && hasValue) {
            if (!parseListen(args[++i], options)) {
                return {std::nullopt, "--listen wants HOST:PORT, got \"" + args[i] + "\""};
            }
        } else if (arg == "--db" && hasValue && !args[i + 1].empty()) {
            options.database = args[++i];
        } else if (arg == "--update-dir" && hasValue && !args[i + 1].empty()) {
            options.updateDir = args[++i];
        } else if (const NumericOption* option = numericOption(arg); option != nullptr && hasValue) {
            const auto value = text::parseCount(args[++i]);
            if (!value || *value < option->low || *value > option->high) {
                return {std::nullopt, arg + " wants a number from " + std::to_string(option->low) + " to " +
                                          std::to_string(option->high) + ", got \"" + args[i] + "\""};
            }
            option->store(options, *value);
        } else if (arg == "--strict-agent") {
            options.strictAgent = true;
        } else if (arg == "--no-reply-cache") {
            options.replyCache = false;
        } else if (arg == "--quiet") {
            options.quiet = true;
        } else if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else {
            return {std::nullopt, "unknown or incomplete argument \"" + arg + "\""};
        }
    }
    return {options, {}};
}
