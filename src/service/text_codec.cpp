#include "service/text_codec.h"

#include <array>

namespace {

// 0x80..0x9F; the unassigned bytes map to the C1 control of the same value.
constexpr std::array<char16_t, 32> HighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char encodeUnit(char16_t unit) {
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF))
        return static_cast<char>(unit);
    for (std::size_t i = 0; i < HighControls.size(); ++i) {
        if (HighControls[i] == unit)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

} // namespace

QString FromWin1252(QByteArrayView text) {
    QString out(text.size(), Qt::Uninitialized);
    QChar* dst = out.data();
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        *dst++ = QChar(byte >= 0x80 && byte <= 0x9F ? HighControls[byte - 0x80] : char16_t(byte));
    }
    return out;
}

QByteArray ToWin1252(QStringView text) {
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (ch.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out.append('?');
            ++i;
            continue;
        }
        out.append(ch.isSurrogate() ? '?' : encodeUnit(ch.unicode()));
    }
    return out;
}
