#include "stats/format.h"

#include "service/protocol.h"
#include "service/text_codec.h"

#include <limits>

namespace {

void appendTwoDigits(QByteArray& out, quint64 n) {
    if (n < 10)
        out += '0';
    out += QByteArray::number(n);
}

// The separator in the program's 8-bit code page; one it cannot write falls back to a point.
QByteArray decimalSeparator(const QLocale& locale) {
    const QString point = locale.decimalPoint();
    const QByteArray encoded = ToWin1252(point);
    if (encoded.size() != 1 || (encoded == "?" && point != u"?"))
        return QByteArrayLiteral(".");
    return encoded;
}

} // namespace

QByteArray FormatDuration(quint32 seconds) {
    const quint32 hours = seconds / 3600;
    const quint32 rest = seconds % 3600;
    QByteArray out;
    appendTwoDigits(out, hours);
    out += ':';
    appendTwoDigits(out, rest / 60);
    out += ':';
    appendTwoDigits(out, rest % 60);
    return out;
}

QByteArray FormatRatio(quint32 numerator, quint32 denominator, const QLocale& locale) {
    // Exact integer arithmetic: the hundredths of n/d, rounded half to even. For 32-bit counts
    // this matches the extended-precision rounding the results are defined by, on every compiler.
    quint64 hundredths;
    if (denominator == 0) {
        hundredths = quint64(numerator) * 100;
    } else {
        const quint64 scaled = quint64(numerator) * 100;
        hundredths = scaled / denominator;
        const quint64 twiceRest = (scaled % denominator) * 2;
        if (twiceRest > denominator || (twiceRest == denominator && (hundredths & 1) != 0))
            ++hundredths;
    }
    QByteArray out = QByteArray::number(hundredths / 100);
    out += decimalSeparator(locale);
    appendTwoDigits(out, hundredths % 100);
    return out;
}

quint32 countFromToken(const QByteArray& token) {
    const qint64 n = TokenNumber(token);
    if (n < 0 || n > qint64(std::numeric_limits<quint32>::max()))
        return 0;
    return quint32(n);
}
