#pragma once

#include "service/service_reply.h"

#include <QByteArray>
#include <QList>

// One player a nickname search found.
struct SearchMatch {
    QByteArray pid;
    QByteArray nick;
    QByteArray score;
};

// Every player of a search reply, in the service's order: by the "pid", "nick" and "score"
// columns, or, without headers, from token 12 on in steps of five ("D", n, pid, nick, score).
// A "$" where a PID belongs ends the list.
QList<SearchMatch> readSearchMatches(const ServiceReply& reply);
