#include "stats/maps_reader.h"

#include "stats/format.h"
#include "stats/vocabulary.h"

namespace {

// The service's map ids by slot; a map's columns are "mtm-" + its id, in a reply without headers
// its values are at the family's first position + the slot.
constexpr int MapIdsBySlot[] = {0,   1,   2,   3,   4,   5,   6,   100, 101, 102, 103,
                                104, 105, 601, 300, 301, 302, 303, 304, 305, 306, 307};

} // namespace

std::optional<TableCells> readMaps(const ServiceReply& reply) {
    if (!reply.holds("pid", MapsHighestPosition))
        return std::nullopt;

    const auto at = [&reply](const char* prefix, int position, int slot) {
        return reply.value(QByteArray(prefix) + QByteArray::number(MapIdsBySlot[slot]), position + slot);
    };
    TableCells cells;
    cells.reserve(qsizetype(MapNames.size()));
    for (const VocabularyEntry& map : MapNames) {
        const QByteArray wins = at("mwn-", 99, map.slot);
        const QByteArray losses = at("mls-", 121, map.slot);
        cells.append({FormatDuration(countFromToken(at("mtm-", 77, map.slot))), wins, losses,
                      FormatRatio(countFromToken(wins), countFromToken(losses)), QByteArrayLiteral("n/a")});
    }
    return cells;
}
