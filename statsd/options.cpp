#include "options.h"

#include "text.h"

const char* const UsageText =
    "usage: orvane-statsd [--listen HOST:PORT] [--db FILE] [--update-dir DIR] [--strict-agent] [--quiet]\n"
    "  --listen HOST:PORT  address to serve on (default 127.0.0.1:28080; port 0 picks a free port)\n"
    "  --db FILE           SQLite database (default ./orvane-statsd.sqlite; seeded when new)\n"
    "  --update-dir DIR    serve /code/orvane/version.txt and the downloads orvane_v<version>.exe and\n"
    "                      orvane_v<version>-linux-<architecture> from DIR\n"
    "  --strict-agent      answer 403 to every User-Agent other than GameSpyHTTP/1.0\n"
    "  --quiet             do not log requests to stderr\n";

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
        } else if (arg == "--strict-agent") {
            options.strictAgent = true;
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
