#include "tables/table_order.h"

#include <algorithm>
#include <compare>
#include <numeric>
#include <optional>

namespace {

int sign(std::strong_ordering order) {
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}

int sign(std::partial_ordering order) {
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}

// Digits with an optional minus, within 64 bits; anything else is 0.
qint64 integerValue(QStringView text) {
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok, 10);
    return ok ? value : 0;
}

std::optional<qint64> durationValue(QStringView text) {
    const QList<QStringView> parts = text.trimmed().split(QLatin1Char(':'));
    if (parts.size() != 3)
        return std::nullopt;
    qint64 seconds = 0;
    for (const QStringView part : parts) {
        bool ok = false;
        const qint64 value = part.toLongLong(&ok, 10);
        if (!ok || value < 0 || part.startsWith(QLatin1Char('+')) || value > (qint64(1) << 40))
            return std::nullopt;
        seconds = seconds * 60 + value;
    }
    return seconds;
}

std::optional<double> decimalValue(QStringView text) {
    QString digits = text.trimmed().toString();
    if (digits.endsWith(QLatin1Char('%')))
        digits.chop(1);
    digits.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = digits.toDouble(&ok);
    if (!ok || value != value)
        return std::nullopt;
    return value;
}

// A cell without a value sorts below every value.
template <typename T> int compareValues(const std::optional<T>& a, const std::optional<T>& b) {
    if (!a || !b)
        return int(a.has_value()) - int(b.has_value());
    return sign(*a <=> *b);
}

int compareText(QStringView a, QStringView b) {
    const auto fold = [](QChar c) {
        const char16_t u = c.unicode();
        return u >= u'a' && u <= u'z' ? char16_t(u - 32) : u;
    };
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const int difference = int(fold(a[i])) - int(fold(b[i]));
        if (difference != 0)
            return difference;
    }
    return sign(a.size() <=> b.size());
}

} // namespace

void SortState::click(int column) {
    sortColumn = column;
    descending = sortColumn == lastSortColumn ? !descending : false;
    lastSortColumn = sortColumn;
}

void SortState::rankBy(int column) {
    sortColumn = column;
    descending = true;
}

int CompareCells(QStringView a, QStringView b, CellKind kind) {
    switch (kind) {
    case CellKind::Integer:
        return sign(integerValue(a) <=> integerValue(b));
    case CellKind::Duration:
        return compareValues(durationValue(a), durationValue(b));
    case CellKind::Decimal:
        return compareValues(decimalValue(a), decimalValue(b));
    case CellKind::Text:
        break;
    }
    return compareText(a, b);
}

QList<int> SortedOrder(const QList<QStringList>& rows, const SortState& state, const QList<CellKind>& kinds) {
    QList<int> order(rows.size());
    std::iota(order.begin(), order.end(), 0);
    const int column = state.sortColumn;
    const CellKind kind = kinds.value(column, CellKind::Text);
    std::stable_sort(order.begin(), order.end(), [&](int left, int right) {
        const QString a = rows[left].value(column);
        const QString b = rows[right].value(column);
        const int result = state.descending ? CompareCells(b, a, kind) : CompareCells(a, b, kind);
        return result < 0;
    });
    return order;
}
