#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Text at the borders of the service: the database holds UTF-8, the wire carries Windows-1252,
// query values arrive percent-encoded.
namespace text {

// UTF-8 to Windows-1252; invalid sequences and characters without a Windows-1252 code become '?'.
std::string toWindows1252(std::string_view utf8);

// Windows-1252 to UTF-8; the five undefined codes of Windows-1252 become '?'.
std::string fromWindows1252(std::string_view cp1252);

// Percent-decoding of one query component. A '+' stays a '+': the client percent-encodes blanks
// and sends everything else as typed, so a '+' is part of a nickname. Broken escapes stay as they are.
std::string percentDecode(std::string_view raw);

// The raw query of a request target ("a=1&b=2"), split at '&' and at the first '=' of each item.
// Keys and values are percent-decoded; items without a key are dropped.
class Query final {
public:
    explicit Query(std::string_view rawQuery);

    // First value of the key, compared without regard to ASCII letter case (as the ASP pages do).
    const std::string* find(std::string_view key) const;

private:
    std::vector<std::pair<std::string, std::string>> m_items;
};

// The query part of a request target: everything after the first '?', or empty.
std::string_view queryOf(std::string_view target);

// A player id: 1 to 18 decimal digits and nothing else (no sign, no blanks).
std::optional<std::int64_t> parsePid(std::string_view text);

// A small non-negative count: 1 to 9 decimal digits.
std::optional<std::int64_t> parseCount(std::string_view text);

bool equalsIgnoringCase(std::string_view a, std::string_view b);
std::string asciiLower(std::string_view s);

// Printable, single-line rendering of untrusted bytes for the request log.
std::string forLog(std::string_view raw, std::size_t maxLength);

} // namespace text
