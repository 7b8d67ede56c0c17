#include "awards/award_progress.h"

#include "service/protocol.h"
#include "stats/format.h"

#include <QLocale>
#include <algorithm>

namespace {

enum class Unit { Hours, Count };

struct CareerCondition {
    const char* badgeId;
    int level;
    int slot;
    const char* column;
    Unit unit;
    qint64 goal; // hours or a count
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
    {"heal", 269}, {"rsup", 271}, {"dsab", 275},
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

std::optional<RequirementProgress> BadgeProgress(QByteArrayView badgeId, int level, int slot,
                                                 const CareerFigures& figures) {
    for (const CareerCondition& c : Conditions) {
        if (badgeId != c.badgeId || c.level != level || c.slot != slot)
            continue;
        const auto found = figures.constFind(QByteArray(c.column));
        if (found == figures.constEnd())
            return std::nullopt;
        const qint64 have = *found;
        const qint64 goal = c.unit == Unit::Hours ? c.goal * 3600 : c.goal;
        RequirementProgress progress;
        progress.met = have >= goal;
        const QLocale locale;
        const QString haveText = c.unit == Unit::Hours ? duration(have) : locale.toString(have);
        const QString goalText = c.unit == Unit::Hours ? duration(goal) : locale.toString(goal);
        progress.text = progress.met ? QStringLiteral("\u2713 ") + haveText
                                     : QStringLiteral("%1 of %2").arg(haveText, goalText);
        return progress;
    }
    return std::nullopt;
}
