#include "stats/data_reader.h"

#include "stats/format.h"
#include "stats/vocabulary.h"

namespace {

// First position of each block of values; a row's value is at block start + the row's slot.
struct Blocks {
    int time, first, second, last; // last < 0: the table has no fifth column of its own
};

template <std::size_t N>
TableCells readTable(const ReplyTokens& tokens, const std::array<VocabularyEntry, N>& rows, Blocks blocks,
                     const char* lastSuffix = "") {
    TableCells cells;
    cells.reserve(qsizetype(N));
    for (const VocabularyEntry& row : rows) {
        const QByteArray& first = tokens.at(blocks.first + row.slot);
        const QByteArray& second = tokens.at(blocks.second + row.slot);
        QByteArrayList line{FormatDuration(countFromToken(tokens.at(blocks.time + row.slot))), first, second,
                            FormatRatio(countFromToken(first), countFromToken(second))};
        if (blocks.last >= 0)
            line.append(tokens.at(blocks.last + row.slot) + lastSuffix);
        cells.append(line);
    }
    return cells;
}

} // namespace

std::optional<DataValues> readDataTables(const ReplyTokens& tokens) {
    if (tokens.size() <= DataHighestPosition)
        return std::nullopt;

    DataValues values;
    values.army = readTable(tokens, ArmyNames, {404, 413, 422, 431});
    values.kits = readTable(tokens, KitNames, {440, 447, 454, -1});
    values.weapons = readTable(tokens, WeaponNames, {299, 313, 327, 341}, "%");
    values.vehicles = readTable(tokens, VehicleNames, {369, 376, 383, 397});
    values.misc = {
        {0, tokens.at(239)},
        {5, tokens.at(289) + " (" + tokens.at(287) + ")"},
        {6, tokens.at(291) + " (" + tokens.at(288) + ")"},
        {7, tokens.at(278) + " / " + tokens.at(281)},
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
