#pragma once

#include "service/service_reply.h"

#include <QByteArray>
#include <optional>

// The name line, "EA Score" and country from the rank reply.

inline constexpr int RankHighestPosition = 22;

struct RankValues {
    QByteArray eaScore;   // the Overview's "EA Score"
    QByteArray country;   // misc row 1
    int rank;             // -1 when the token is no decimal integer
    QByteArray rankName;  // empty outside ranks 0 to 21
    const char* insignia; // resource path of the picture, nullptr for none
    QByteArray nameLine;  // "nick, name (pid)"
};

std::optional<RankValues> readRank(const ServiceReply& reply);
