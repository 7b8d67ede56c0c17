#pragma once

#include "awards/award_catalogue.h"
#include "service/service_reply.h"

#include <QByteArray>
#include <array>
#include <optional>

// What one awards reply says of the player, per award of the catalogue, in catalogue order.
struct AwardStatus {
    struct Medal {
        bool earned = false;
        // The token after the medal's id, as sent; none when the id was the reply's last token.
        std::optional<QByteArray> count;
    };
    std::array<Medal, Awards::MedalCount> medals{};
    std::array<bool, Awards::RibbonCount> ribbons{};
    // 0 to 3; a level the service names otherwise ("7", "", none at all) counts as 0.
    std::array<int, Awards::BadgeCount> badges{};
};

// A reply with headers is read by its "award" and "level" columns only. Without headers every
// token is compared whole and case-sensitively with every award id, wherever it stands. Either
// way a medal's id makes it earned and takes what follows (the level) as its count, a ribbon's id
// makes it earned, a badge's id takes what follows as its level. The last occurrence of an id
// wins. Nothing is read past the last token.
AwardStatus readAwards(const ServiceReply& reply);

// The count label's text: "x" and the count as sent for an earned medal, "x0" otherwise; an
// earned medal whose count is missing shows "x" alone rather than a number nobody sent.
QByteArray medalCountText(const AwardStatus::Medal& medal);

// One flag per unlock of the catalogue: its id with exactly "s" as its state (the "id" and
// "state" columns, or, without headers, the id followed by the state).
using UnlockStatus = std::array<bool, Awards::UnlockCount>;
UnlockStatus readUnlocks(const ServiceReply& reply);
