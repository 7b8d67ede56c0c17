#pragma once

#include "service/service_reply.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <optional>

// How far a player is along the award requirements that are totals over a whole career ("100h
// Total time played while Engineer", "250 repairs"). The conditions sit in a table of their own
// beside the requirement texts, which stay as they are and are never read for numbers. Round
// conditions ("IAR: ...") and notes have none.

// The career totals the conditions compare, by statistics column ("ktm-2", "rpar").
using CareerFigures = QHash<QByteArray, qint64>;

// The figures of a general-statistics reply: by column name, or, without headers, by the
// positions of the original layout. A column the service did not send is absent.
CareerFigures ReadCareerFigures(const ServiceReply& reply);

struct RequirementProgress {
    bool met = false;
    QString text; // "✓ 120:00:00", "64:18:45 of 100:00:00", "180 of 250"
};

// The progress on requirement line `slot` (1 to 3) of a badge level; none where the line is no
// career total or the service sent no figure for it.
std::optional<RequirementProgress> BadgeProgress(QByteArrayView badgeId, int level, int slot,
                                                 const CareerFigures& figures);
// The same for line `slot` (1 to 4) of a medal or a ribbon.
std::optional<RequirementProgress> DecorationProgress(QByteArrayView awardId, int slot, const CareerFigures& figures);
