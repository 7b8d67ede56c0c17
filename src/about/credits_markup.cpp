#include "about/credits_markup.h"

#include <QList>

namespace {

std::optional<unsigned> parseColour(QStringView value) {
    bool ok = false;
    if (value.startsWith(u'$')) {
        // $00BBGGRR, as the colour values of the old toolkit are written.
        const uint bgr = value.mid(1).toUInt(&ok, 16);
        if (!ok)
            return std::nullopt;
        const unsigned red = bgr & 0xff, green = (bgr >> 8) & 0xff, blue = (bgr >> 16) & 0xff;
        return (red << 16) | (green << 8) | blue;
    }
    const QList<QStringView> parts = value.split(u',');
    if (parts.size() != 3)
        return std::nullopt;
    unsigned rgb = 0;
    for (const QStringView part : parts) {
        const uint component = part.trimmed().toUInt(&ok, 10);
        if (!ok || component > 255)
            return std::nullopt;
        rgb = (rgb << 8) | component;
    }
    return rgb;
}

} // namespace

CreditLine ParseCreditLine(QStringView entry) {
    CreditLine line;
    const qsizetype length = entry.size();
    qsizetype i = 0;
    while (i < length) {
        const QChar c = entry[i];
        if (c != u'<') {
            line.text += c;
            ++i;
            continue;
        }
        if (i + 1 >= length) // a lone "<" at the end shows nothing
            break;
        const QChar tag = entry[i + 1].toLower();
        if (tag == u'<') {
            line.text += u'<';
            i += 2;
        } else if (tag == u'b' || tag == u'i' || tag == u'u') {
            (tag == u'b' ? line.bold : tag == u'i' ? line.italic : line.underline) = true;
            i += 3;
        } else if (tag == u's' || tag == u'n' || tag == u'c') {
            const qsizetype close = entry.indexOf(u'>', i + 2);
            const qsizetype end = close < 0 ? length : close;
            const QStringView value = entry.sliced(i + 2, end - (i + 2));
            if (tag == u'n') {
                line.fontName = value.toString();
            } else if (tag == u's') {
                bool ok = false;
                const int size = value.trimmed().toInt(&ok, 10);
                line.pointSize = ok && size > 0 ? size : 0;
            } else if (const auto rgb = parseColour(value)) {
                line.rgb = rgb;
            }
            i = close < 0 ? length : close + 1;
        } else {
            i += 2;
        }
    }
    return line;
}
