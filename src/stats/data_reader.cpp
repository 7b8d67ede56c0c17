#include "stats/data_reader.h"

#include "stats/format.h"
#include "stats/vocabulary.h"

namespace {

// One family of columns: "wtm-" + a row's slot, or, in a reply without headers, the position of
// slot 0 + the slot.
struct Family {
    const char* prefix;
    int position;
};

// The families of one table; a table without a fifth column of its own has no last family.
struct Families {
    Family time, first, second;
    std::optional<Family> last;
};

template <std::size_t N>
TableCells readTable(const ServiceReply& reply, const std::array<VocabularyEntry, N>& rows, const Families& families,
                     const char* lastSuffix = "") {
    const auto at = [&reply](const Family& family, int slot) {
        return reply.value(QByteArray(family.prefix) + QByteArray::number(slot), family.position + slot);
    };
    TableCells cells;
    cells.reserve(qsizetype(N));
    for (const VocabularyEntry& row : rows) {
        const QByteArray first = at(families.first, row.slot);
        const QByteArray second = at(families.second, row.slot);
        QByteArrayList line{FormatDuration(countFromToken(at(families.time, row.slot))), first, second,
                            FormatRatio(countFromToken(first), countFromToken(second))};
        if (families.last)
            line.append(at(*families.last, row.slot) + lastSuffix);
        cells.append(line);
    }
    return cells;
}

} // namespace

std::optional<DataValues> readDataTables(const ServiceReply& reply) {
    if (!reply.holds("pid", DataHighestPosition))
        return std::nullopt;

    const auto at = [&reply](const char* column, int position) { return reply.value(column, position); };
    DataValues values;
    values.army = readTable(reply, ArmyNames, {{"atm-", 404}, {"awn-", 413}, {"alo-", 422}, Family{"abr-", 431}});
    values.kits = readTable(reply, KitNames, {{"ktm-", 440}, {"kkl-", 447}, {"kdt-", 454}, std::nullopt});
    values.weapons =
        readTable(reply, WeaponNames, {{"wtm-", 299}, {"wkl-", 313}, {"wdt-", 327}, Family{"wac-", 341}}, "%");
    values.vehicles = readTable(reply, VehicleNames, {{"vtm-", 369}, {"vkl-", 376}, {"vdt-", 383}, Family{"vkr-", 397}});
    values.misc = {
        {0, at("pid", 239)},
        {5, reply.value("mvns", 289, "-") + " (" + at("mvks", 287) + ")"},
        {6, reply.value("vmns", 291, "-") + " (" + at("vmks", 288) + ")"},
        {7, at("kick", 278) + " / " + at("ban", 281)},
    };
    return values;
}

QByteArray miscNickname(const QByteArray& value) {
    if (value == "-")
        return {};
    if (value.endsWith(')')) {
        const qsizetype open = value.lastIndexOf(" (");
        if (open >= 0)
            return value.left(open);
    }
    return value;
}
