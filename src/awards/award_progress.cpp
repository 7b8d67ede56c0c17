#include "awards/award_progress.h"

#include "service/protocol.h"
#include "stats/format.h"

#include <QLocale>
#include <algorithm>

namespace {

enum class Unit { Hours, Count, Ratio };

// A requirement line that is a career total: the award (and, for a badge, its level; 0 for a
// medal or ribbon), the line (1 to 4), the column compared and the goal. A ratio compares the
// column against `per` (wins against losses).
struct CareerCondition {
    const char* awardId;
    int level;
    int slot;
    const char* column;
    Unit unit;
    qint64 goal; // hours, a count, or a ratio
    const char* per = nullptr;
};

// Kit slots: 0 anti-tank, 1 assault, 2 engineer, 3 medic, 4 special ops, 5 support, 6 sniper.
// Vehicle slots: 0 armor, 1 aviator, 2 air defense, 3 helicopter, 4 transport, 6 ground defense.
// Weapon slots: 5 pistols, 9 knife, 11 explosives. The special-forces kit times are not told
// apart by the service, so those lines have no condition.
constexpr CareerCondition Conditions[] = {
    {"1031105", 2, 2, "ktm-2", Unit::Hours, 15},   {"1031105", 3, 2, "ktm-2", Unit::Hours, 100},
    {"1031109", 2, 2, "ktm-6", Unit::Hours, 15},   {"1031109", 3, 2, "ktm-6", Unit::Hours, 100},
    {"1031113", 2, 2, "ktm-3", Unit::Hours, 15},   {"1031113", 3, 2, "ktm-3", Unit::Hours, 100},
    {"1031115", 2, 2, "ktm-4", Unit::Hours, 15},   {"1031115", 3, 2, "ktm-4", Unit::Hours, 100},
    {"1031119", 2, 2, "ktm-1", Unit::Hours, 15},   {"1031119", 3, 2, "ktm-1", Unit::Hours, 100},
    {"1031120", 2, 2, "ktm-0", Unit::Hours, 15},   {"1031120", 3, 2, "ktm-0", Unit::Hours, 100},
    {"1031121", 2, 2, "ktm-5", Unit::Hours, 15},   {"1031121", 3, 2, "ktm-5", Unit::Hours, 100},
    {"1031406", 2, 2, "wkl-9", Unit::Count, 50},   {"1031406", 3, 2, "wkl-9", Unit::Count, 100},
    {"1031619", 2, 2, "wkl-5", Unit::Count, 50},   {"1031619", 3, 2, "wkl-5", Unit::Count, 500},
    {"1031923", 2, 2, "vtm-6", Unit::Hours, 10},   {"1031923", 3, 2, "vtm-6", Unit::Hours, 100},
    {"1032415", 2, 2, "wkl-11", Unit::Count, 1000}, {"1032415", 3, 2, "wkl-11", Unit::Count, 5000},
    {"1190304", 2, 2, "tcdr", Unit::Hours, 100},   {"1190304", 3, 2, "tcdr", Unit::Hours, 200},
    {"1190507", 2, 2, "ktm-2", Unit::Hours, 15},   {"1190507", 3, 2, "rpar", Unit::Count, 250},
    {"1190507", 3, 3, "ktm-2", Unit::Hours, 100},  {"1190601", 2, 2, "ktm-3", Unit::Hours, 15},
    {"1190601", 3, 2, "heal", Unit::Count, 750},   {"1190601", 3, 3, "ktm-3", Unit::Hours, 100},
    {"1191819", 2, 2, "ktm-5", Unit::Hours, 15},   {"1191819", 3, 2, "rsup", Unit::Count, 500},
    {"1191819", 3, 3, "ktm-5", Unit::Hours, 100},  {"1220104", 2, 2, "vtm-2", Unit::Hours, 10},
    {"1220104", 3, 2, "vtm-2", Unit::Hours, 100},  {"1220118", 2, 2, "vtm-0", Unit::Hours, 50},
    {"1220118", 3, 2, "vtm-0", Unit::Hours, 150},  {"1220122", 2, 2, "vtm-1", Unit::Hours, 50},
    {"1220122", 3, 2, "vtm-1", Unit::Hours, 150},  {"1220803", 2, 2, "vtm-3", Unit::Hours, 50},
    {"1220803", 3, 2, "vtm-3", Unit::Hours, 150},  {"1222016", 2, 2, "vtm-4", Unit::Hours, 50},
    {"1222016", 2, 3, "dsab", Unit::Count, 200},   {"1222016", 3, 2, "vtm-4", Unit::Hours, 150},
    {"1222016", 3, 3, "dsab", Unit::Count, 2000},
    // Medals. Army slots: 0 USA, 1 MEC, 2 China, 3 SEALs, 4 SAS, 5 Spetsnaz, 6 MEC SF, 7 rebels,
    // 8 insurgents.
    {"2020419", 0, 2, "tcdr", Unit::Hours, 100},  {"2020419", 0, 3, "tsql", Unit::Hours, 100},
    {"2020419", 0, 4, "tsqm", Unit::Hours, 100},  {"2020903", 0, 2, "time", Unit::Hours, 500},
    {"2021403", 0, 1, "abr-0", Unit::Count, 100}, {"2021403", 0, 2, "atm-0", Unit::Hours, 250},
    {"2021403", 0, 3, "awn-0", Unit::Count, 500}, {"2020719", 0, 1, "abr-1", Unit::Count, 100},
    {"2020719", 0, 2, "atm-1", Unit::Hours, 250}, {"2020719", 0, 3, "awn-1", Unit::Count, 500},
    {"2021613", 0, 1, "abr-2", Unit::Count, 100}, {"2021613", 0, 2, "atm-2", Unit::Hours, 250},
    {"2021613", 0, 3, "awn-2", Unit::Count, 500}, {"2021322", 0, 1, "time", Unit::Hours, 250},
    {"2021322", 0, 2, "dsab", Unit::Count, 5000}, {"2021322", 0, 3, "dfcp", Unit::Count, 1000},
    {"2021322", 0, 4, "twsc", Unit::Count, 30000}, {"2190303", 0, 2, "time", Unit::Hours, 250},
    {"2190303", 0, 3, "kill", Unit::Count, 25000}, {"2190303", 0, 4, "bksk", Unit::Count, 25},
    {"2190308", 0, 2, "vtm-3", Unit::Hours, 250}, {"2190308", 0, 3, "vkl-3", Unit::Count, 20000},
    {"2190309", 0, 2, "vtm-1", Unit::Hours, 200}, {"2190309", 0, 3, "vkl-1", Unit::Count, 10000},
    {"2190318", 0, 2, "vtm-0", Unit::Hours, 250}, {"2190318", 0, 3, "vkl-0", Unit::Count, 10000},
    {"2190703", 0, 2, "time", Unit::Hours, 250},  {"2191319", 0, 1, "time", Unit::Hours, 250},
    {"2191319", 0, 2, "heal", Unit::Count, 1000}, {"2191319", 0, 3, "rpar", Unit::Count, 1000},
    {"2191319", 0, 4, "rsup", Unit::Count, 1000}, {"2261913", 0, 1, "atm-3", Unit::Hours, 4500},
    {"2261919", 0, 1, "atm-4", Unit::Hours, 4500}, {"2261613", 0, 1, "atm-5", Unit::Hours, 4500},
    {"2261303", 0, 1, "atm-6", Unit::Hours, 4500}, {"2261802", 0, 1, "atm-7", Unit::Hours, 4500},
    {"2260914", 0, 1, "atm-8", Unit::Hours, 4500},
    // Ribbons. The Legion of Merit's worst death streak is left out: whether it is a least or a
    // most is not said.
    {"3150914", 0, 2, "twsc", Unit::Count, 250},  {"3190409", 0, 2, "tsqm", Unit::Hours, 10},
    {"3190409", 0, 3, "tsql", Unit::Hours, 10},   {"3190409", 0, 4, "tcdr", Unit::Hours, 10},
    {"3212201", 0, 2, "tsqm", Unit::Hours, 25},   {"3212201", 0, 3, "tsql", Unit::Hours, 25},
    {"3240301", 0, 2, "bksk", Unit::Count, 10},   {"3240703", 0, 3, "time", Unit::Hours, 50},
    {"3241213", 0, 2, "time", Unit::Hours, 200},  {"3241213", 0, 3, "bksk", Unit::Count, 10},
    {"3242303", 0, 2, "tcdr", Unit::Hours, 50},   {"3242303", 0, 3, "wins", Unit::Ratio, 3, "loss"},
    {"3261919", 0, 1, "atm-3", Unit::Hours, 25},  {"3261901", 0, 1, "atm-4", Unit::Hours, 25},
    {"3261819", 0, 1, "atm-5", Unit::Hours, 25},  {"3261319", 0, 1, "atm-6", Unit::Hours, 25},
    {"3261805", 0, 1, "atm-7", Unit::Hours, 25},  {"3260914", 0, 1, "atm-8", Unit::Hours, 25},
};

// The columns above with their positions in a reply without headers.
struct Column {
    const char* name;
    int position;
};
constexpr Column Columns[] = {
    {"ktm-0", 440}, {"ktm-1", 441}, {"ktm-2", 442}, {"ktm-3", 443}, {"ktm-4", 444}, {"ktm-5", 445},
    {"ktm-6", 446}, {"vtm-0", 369}, {"vtm-1", 370}, {"vtm-2", 371}, {"vtm-3", 372}, {"vtm-4", 373},
    {"vtm-6", 375}, {"wkl-5", 318}, {"wkl-9", 322}, {"wkl-11", 324}, {"tcdr", 280}, {"rpar", 272},
    {"heal", 269}, {"rsup", 271}, {"dsab", 275}, {"time", 248}, {"tsql", 284}, {"tsqm", 285},
    {"kill", 252}, {"bksk", 256}, {"dfcp", 268}, {"twsc", 265}, {"wins", 243}, {"loss", 244},
    {"atm-0", 404}, {"atm-1", 405}, {"atm-2", 406}, {"atm-3", 407}, {"atm-4", 408}, {"atm-5", 409},
    {"atm-6", 410}, {"atm-7", 411}, {"atm-8", 412}, {"awn-0", 413}, {"awn-1", 414}, {"awn-2", 415},
    {"abr-0", 431}, {"abr-1", 432}, {"abr-2", 433}, {"vkl-0", 376}, {"vkl-1", 377}, {"vkl-3", 379},
};

QString duration(qint64 seconds) {
    return QString::fromLatin1(FormatDuration(quint32(std::clamp<qint64>(seconds, 0, 0xFFFFFFFF))));
}

} // namespace

CareerFigures ReadCareerFigures(const ServiceReply& reply) {
    CareerFigures figures;
    const auto read = [&](const Column& column) {
        if (const QByteArray* value = reply.field(column.name, column.position))
            figures.insert(QByteArray(column.name), TokenNumber(*value));
    };
    if (!reply.holds("pid", 460))
        return figures;
    for (const Column& column : Columns)
        read(column);
    return figures;
}

namespace {

std::optional<RequirementProgress> progressOf(QByteArrayView awardId, int level, int slot,
                                              const CareerFigures& figures) {
    for (const CareerCondition& c : Conditions) {
        if (awardId != c.awardId || c.level != level || c.slot != slot)
            continue;
        const auto found = figures.constFind(QByteArray(c.column));
        if (found == figures.constEnd())
            return std::nullopt;
        const qint64 have = *found;
        const QLocale locale;
        RequirementProgress progress;
        QString haveText;
        QString goalText;
        switch (c.unit) {
        case Unit::Hours:
            progress.met = have >= c.goal * 3600;
            haveText = duration(have);
            goalText = duration(c.goal * 3600);
            break;
        case Unit::Count:
            progress.met = have >= c.goal;
            haveText = locale.toString(have);
            goalText = locale.toString(c.goal);
            break;
        case Unit::Ratio: {
            const auto per = figures.constFind(QByteArray(c.per));
            if (per == figures.constEnd())
                return std::nullopt;
            // Without a loss the ratio is the wins themselves, as the tables show it.
            const double ratio = *per > 0 ? double(have) / double(*per) : double(have);
            progress.met = ratio >= double(c.goal);
            haveText = QString::fromLatin1(FormatRatio(quint32(std::clamp<qint64>(have, 0, 0xFFFFFFFF)),
                                                       quint32(std::clamp<qint64>(*per, 0, 0xFFFFFFFF))));
            goalText = QString::number(double(c.goal), 'f', 2);
            break;
        }
        }
        progress.text = progress.met ? QStringLiteral("\u2713 ") + haveText
                                     : QStringLiteral("%1 of %2").arg(haveText, goalText);
        return progress;
    }
    return std::nullopt;
}

} // namespace

std::optional<RequirementProgress> BadgeProgress(QByteArrayView badgeId, int level, int slot,
                                                 const CareerFigures& figures) {
    return level > 0 ? progressOf(badgeId, level, slot, figures) : std::nullopt;
}

std::optional<RequirementProgress> DecorationProgress(QByteArrayView awardId, int slot, const CareerFigures& figures) {
    return progressOf(awardId, 0, slot, figures);
}
