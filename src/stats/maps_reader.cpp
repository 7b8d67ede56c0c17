#include "stats/maps_reader.h"

#include "stats/format.h"
#include "stats/vocabulary.h"

std::optional<TableCells> readMaps(const ReplyTokens& tokens) {
    if (tokens.size() <= MapsHighestPosition)
        return std::nullopt;

    TableCells cells;
    cells.reserve(qsizetype(MapNames.size()));
    for (const VocabularyEntry& map : MapNames) {
        const QByteArray& wins = tokens.at(99 + map.slot);
        const QByteArray& losses = tokens.at(121 + map.slot);
        cells.append({FormatDuration(countFromToken(tokens.at(77 + map.slot))), wins, losses,
                      FormatRatio(countFromToken(wins), countFromToken(losses)), QByteArrayLiteral("n/a")});
    }
    return cells;
}
