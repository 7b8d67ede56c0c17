#pragma once

#include "service/reply_tokens.h"
#include "service/service_reply.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QByteArrayView>
#include <QList>
#include <optional>

// The statistics keys of the general-statistics and rank requests, sent unchanged: the enrolment
// date "jond" and the original 63 keys (317 characters in all).
extern const QByteArray InfoKeys;

// Comma-text rule: blanks are characters 1..32, double quotes with doubled quotes, NUL ends the
// text, a trailing comma gives a final empty token. Used for text the user typed.
ReplyTokens CutReply(QByteArrayView text);

// The service's own grammar: lines end at LF (a CR before it is dropped), fields are separated by
// TAB and taken unchanged, an empty line gives no token, NUL ends the text. Used for every reply.
ReplyTokens CutServiceReply(QByteArrayView body);

// One line of a reply as that grammar sees it: its fields, and whether a trailing TAB was dropped.
struct ReplyLine {
    QByteArrayList fields;
    bool endedWithTab = false;
};
// Every line of the reply that gives tokens, in order: the one walk behind CutServiceReply and
// ServiceReply::read.
QList<ReplyLine> ServiceReplyLines(QByteArrayView body);

enum class ReplyTest { GeneralStatistics, NicknameSearch, Rank, Plain };

// The character-position validity tests on the raw body: true when the body is accepted.
bool ReplyCheck(QByteArrayView body, ReplyTest test);

// The raw-data log lines of one accepted reply: the header (22 slashes, name, 24 backslashes),
// then "position  token" per token.
QList<QByteArray> LogReplyTokens(QByteArrayView logName, const ReplyTokens& tokens);

// A token read as a count: decimal digits (optionally a leading minus) within 64 bits, else 0.
qint64 TokenNumber(const QByteArray& token);

// Text as one value of a query: every byte outside A-Z, a-z, 0-9 and "-._~" percent-encoded, so
// that "&", "#", "?", "%", "+", "=" and blanks in a nickname reach the service as typed.
QByteArray EncodeQueryValue(QByteArrayView value);

// The nine requests, as full URLs ("http://" + host + path and query). The host is "host" or
// "host:port" from the configuration; a PID or nickname goes in as one query value
// (EncodeQueryValue).
namespace Requests {
QByteArray PlayerSearch(const QByteArray& host, const QByteArray& nick); // 1
QByteArray GeneralStats(const QByteArray& host, const QByteArray& pid);  // 2
QByteArray Rank(const QByteArray& host, const QByteArray& pid);          // 3
QByteArray Maps(const QByteArray& host, const QByteArray& pid);          // 4
QByteArray Awards(const QByteArray& host, const QByteArray& pid);        // 5
QByteArray Unlocks(const QByteArray& host, const QByteArray& pid);       // 6
QByteArray TopTen(const QByteArray& host);                               // 7
QByteArray BoardRecord(const QByteArray& host, const QByteArray& pid);   // 8
QByteArray BoardSearch(const QByteArray& host, const QByteArray& nick);  // 9
} // namespace Requests

// The nine reply kinds and what the one reply-handler skeleton needs to know of each.
enum class ReplyKind { Search, Stats, Rank, Maps, Awards, Unlocks, TopTen, BoardRecord, BoardSearch };
inline constexpr int ReplyKindCount = 9;

struct ReplyKindInfo {
    ReplyKind kind;
    const char* fetcherName; // "HTTPGetStringPID" ...
    ReplyTest test;
    const char* failureText;  // red status text when rejected
    bool failureShowsClose;   // rejected: hide the overall gauge, show the close button
    int progressShare;        // added to the overall progress after the reply, success or not
    const char* logName;      // nullptr: the reply is not logged
    int minTokens;            // an accepted reply with fewer tokens is handled as rejected
    const char* progressText; // status text of the fetcher's progress events
};

const ReplyKindInfo& replyKindInfo(ReplyKind kind);

// Validity test, the service's error reply ("E" first), the layout (a data line that does not
// match its header) and, for a reply read by positions, the minimum length: the reply when it may
// be read, nothing when it is to be handled as rejected.
std::optional<ServiceReply> AcceptReply(ReplyKind kind, QByteArrayView body);

// The service's answer that it has no such player or no such data: "E" as the status, whatever
// follows (an error number, an "asof"/"err" block, or all of it on one line).
bool IsErrorReply(QByteArrayView body);
