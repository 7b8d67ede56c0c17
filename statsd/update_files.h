#pragma once

#include <string_view>

namespace update_files {

// Versions are short plain names like 0.51: no separators, no way out of the update folder.
bool isPlainVersion(std::string_view version);

// The names of the downloads the updater asks for: "orvane_v<version>.exe" for Windows and
// "orvane_v<version>-linux-<architecture>" for Linux, with a plain version and architecture.
bool isDownloadName(std::string_view name);

} // namespace update_files
