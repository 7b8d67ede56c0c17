#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct Options {
    std::string host = "127.0.0.1";
    int port = 28080;
    std::string database = "orvane-statsd.sqlite";
    std::optional<std::string> updateDir;
    std::int64_t players = 250; // size of the demo population of a new database
    int threads = 0;            // 0: one per core, at least two
    int keepAliveSeconds = 5;
    int keepAliveMax = 1000;
    int requestTimeoutMs = 10000;
    int replyDelayMs = 0;
    int maxConnections = 4096;
    bool replyCache = true;
    bool strictAgent = false;
    bool quiet = false;
    bool help = false;
};

struct ParsedOptions {
    std::optional<Options> options;
    std::string error; // set when options is empty
};

ParsedOptions parseOptions(const std::vector<std::string>& args);

extern const char* const UsageText;
