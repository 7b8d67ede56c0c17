#include "text.h"

#include <array>
#include <charconv>

namespace text {
namespace {

// Code points of the bytes 0x80..0x9F in Windows-1252; 0 marks the five undefined codes.
constexpr std::array<char32_t, 32> HighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

char encode1252(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
        return static_cast<char>(cp);
    }
    for (std::size_t i = 0; i < HighControls.size(); ++i) {
        if (HighControls[i] != 0 && HighControls[i] == cp) {
            return static_cast<char>(0x80 + i);
        }
    }
    return '?';
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::optional<std::int64_t> parseDigits(std::string_view s, std::size_t maxDigits) {
    if (s.empty() || s.size() > maxDigits) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || end != s.data() + s.size() || s.front() == '-' || s.front() == '+') {
        return std::nullopt;
    }
    return value;
}

} // namespace

std::string toWindows1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        std::size_t length = 0;
        char32_t cp = 0;
        if (lead < 0x80) {
            length = 1;
            cp = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2;
            cp = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            cp = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            cp = lead & 0x07;
        }
        bool valid = length != 0 && i + length <= utf8.size();
        for (std::size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            valid = (next & 0xC0) == 0x80;
            cp = (cp << 6) | (next & 0x3F);
        }
        if (!valid) {
            out += '?';
            ++i;
            continue;
        }
        out += encode1252(cp);
        i += length;
    }
    return out;
}

std::string fromWindows1252(std::string_view cp1252) {
    std::string out;
    out.reserve(cp1252.size());
    for (const char c : cp1252) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            out += c;
        } else if (byte < 0xA0) {
            const char32_t cp = HighControls[byte - 0x80];
            appendUtf8(out, cp == 0 ? U'?' : cp);
        } else {
            appendUtf8(out, byte);
        }
    }
    return out;
}

std::string percentDecode(std::string_view raw) {
    std::string out;
    out.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '%' && i + 2 < raw.size() && hexValue(raw[i + 1]) >= 0 && hexValue(raw[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(raw[i + 1]) * 16 + hexValue(raw[i + 2]));
            i += 2;
        } else {
            out += raw[i];
        }
    }
    return out;
}

Query::Query(std::string_view rawQuery) {
    while (!rawQuery.empty()) {
        const std::size_t amp = rawQuery.find('&');
        const std::string_view item = rawQuery.substr(0, amp);
        rawQuery = amp == std::string_view::npos ? std::string_view() : rawQuery.substr(amp + 1);
        const std::size_t eq = item.find('=');
        const std::string_view key = item.substr(0, eq);
        if (key.empty()) {
            continue;
        }
        const std::string_view value = eq == std::string_view::npos ? std::string_view() : item.substr(eq + 1);
        m_items.emplace_back(percentDecode(key), percentDecode(value));
    }
}

const std::string* Query::find(std::string_view key) const {
    for (const auto& [k, v] : m_items) {
        if (equalsIgnoringCase(k, key)) {
            return &v;
        }
    }
    return nullptr;
}

std::string_view queryOf(std::string_view target) {
    const std::size_t mark = target.find('?');
    return mark == std::string_view::npos ? std::string_view() : target.substr(mark + 1);
}

std::optional<std::int64_t> parsePid(std::string_view text) {
    return parseDigits(text, 18);
}

std::optional<std::int64_t> parseCount(std::string_view text) {
    return parseDigits(text, 9);
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

std::string asciiLower(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        c = lowerAscii(c);
    }
    return out;
}

std::string forLog(std::string_view raw, std::size_t maxLength) {
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : raw) {
        if (out.size() >= maxLength) {
            out += "...";
            break;
        }
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x21 || byte >= 0x7F || c == '\\') {
            out += "\\x";
            out += Hex[byte >> 4];
            out += Hex[byte & 0xF];
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace text
