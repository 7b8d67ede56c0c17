#pragma once

#include <optional>
#include <string>
#include <vector>

struct Options {
    std::string host = "127.0.0.1";
    int port = 28080;
    std::string database = "orvane-statsd.sqlite";
    std::optional<std::string> updateDir;
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
