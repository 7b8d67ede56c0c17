#include "update_files.h"

namespace update_files {

namespace {

bool isPlainName(std::string_view text) {
    if (text.empty() || text.size() > 32 || text.front() == '.' || text.find("..") != std::string_view::npos) {
        return false;
    }
    for (const char c : text) {
        const bool ok = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '.' ||
                        c == '-' || c == '_';
        if (!ok) {
            return false;
        }
    }
    return true;
}

} // namespace

bool isPlainVersion(std::string_view version) {
    return isPlainName(version);
}

bool isDownloadName(std::string_view name) {
    constexpr std::string_view Prefix = "orvane_v";
    constexpr std::string_view Windows = ".exe";
    constexpr std::string_view Linux = "-linux-";
    if (!name.starts_with(Prefix)) {
        return false;
    }
    name.remove_prefix(Prefix.size());
    if (name.ends_with(Windows)) {
        return isPlainVersion(name.substr(0, name.size() - Windows.size()));
    }
    // The version may hold "-" itself; the architecture is what follows the last "-linux-".
    const std::size_t at = name.rfind(Linux);
    if (at == std::string_view::npos) {
        return false;
    }
    const std::string_view architecture = name.substr(at + Linux.size());
    return isPlainVersion(name.substr(0, at)) && isPlainName(architecture) &&
           architecture.find('.') == std::string_view::npos;
}

} // namespace update_files
