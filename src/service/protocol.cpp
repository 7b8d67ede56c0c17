#include "service/protocol.h"

#include <array>
#include <limits>

const QByteArray InfoKeys = QByteArrayLiteral(
    "jond,per*,cmb*,twsc,cpcp,cacp,dfcp,kila,heal,rviv,rsup,rpar,tgte,dkas,dsab,cdsc,rank,cmsc,kick,kill,deth,suic,"
    "ospm,klpm,klpr,dtpr,bksk,wdsk,bbrs,tcdr,ban,dtpm,lbtl,osaa,vrk,tsql,tsqm,tlwf,mvks,vmks,mvn*,vmr*,fkit,fmap,"
    "fveh,fwea,wtm-,wkl-,wdt-,wac-,wkd-,vtm-,vkl-,vdt-,vkd-,vkr-,atm-,awn-,alo-,abr-,ktm-,kkl-,kdt-,kkd-");

namespace {

// The text ends at its first NUL, as a C string would.
QByteArrayView untilNul(QByteArrayView text) {
    const qsizetype nul = text.indexOf('\0');
    return nul < 0 ? text : text.first(nul);
}

bool isBlank(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 1 && u <= 32;
}

} // namespace

ReplyTokens CutReply(QByteArrayView input) {
    const QByteArrayView text = untilNul(input);
    const qsizetype n = text.size();
    ReplyTokens tokens;
    qsizetype i = 0;
    const auto skipBlanks = [&] {
        while (i < n && isBlank(text[i]))
            ++i;
    };

    skipBlanks();
    while (i < n) {
        QByteArray token;
        if (text[i] == '"') {
            ++i;
            while (i < n) {
                if (text[i] == '"') {
                    if (i + 1 < n && text[i + 1] == '"') {
                        token.append('"');
                        i += 2;
                        continue;
                    }
                    ++i; // closing quote
                    break;
                }
                token.append(text[i++]);
            }
        } else {
            const qsizetype start = i;
            while (i < n && !isBlank(text[i]) && text[i] != ',')
                ++i;
            token = text.sliced(start, i - start).toByteArray();
        }
        tokens.append(token);
        skipBlanks();
        if (i < n && text[i] == ',') {
            if (i == n - 1)
                tokens.append(QByteArray());
            ++i;
            skipBlanks();
        }
    }
    return tokens;
}

// An empty field between two TABs is one empty token; a TAB that ends a line only closes the
// field before it, so "E\t107\t\n" gives two tokens. The end of the text ends a line like LF.
QList<ReplyLine> ServiceReplyLines(QByteArrayView input) {
    const QByteArrayView text = untilNul(input);
    QList<ReplyLine> lines;
    qsizetype pos = 0;
    while (pos < text.size()) {
        qsizetype end = text.indexOf('\n', pos);
        if (end < 0)
            end = text.size();
        QByteArrayView line = text.sliced(pos, end - pos);
        pos = end + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        ReplyLine cut;
        cut.endedWithTab = line.endsWith('\t');
        if (cut.endedWithTab)
            line.chop(1);
        else if (line.isEmpty())
            continue;
        qsizetype start = 0;
        while (true) {
            const qsizetype tab = line.indexOf('\t', start);
            if (tab < 0) {
                cut.fields.append(line.sliced(start).toByteArray());
                break;
            }
            cut.fields.append(line.sliced(start, tab - start).toByteArray());
            start = tab + 1;
        }
        lines.append(std::move(cut));
    }
    return lines;
}

ReplyTokens CutServiceReply(QByteArrayView input) {
    ReplyTokens tokens;
    for (const ReplyLine& line : ServiceReplyLines(input))
        tokens.append(line.fields);
    return tokens;
}

bool ReplyCheck(QByteArrayView body, ReplyTest test) {
    const auto at = [&](qsizetype i, QByteArrayView set) { return i < body.size() && set.contains(body[i]); };
    switch (test) {
    case ReplyTest::GeneralStatistics:
        return !(at(0, "<\r$") || at(1, "$"));
    case ReplyTest::NicknameSearch:
        return !(at(0, "#$") || at(1, "<#$") || at(11, "$"));
    case ReplyTest::Rank:
        return !(at(0, "<$") || at(1, "$") || at(2, "$"));
    case ReplyTest::Plain:
        return !(at(0, "<") || at(1, "$"));
    }
    return false;
}

QList<QByteArray> LogReplyTokens(QByteArrayView logName, const ReplyTokens& tokens) {
    QList<QByteArray> lines;
    lines.reserve(tokens.size() + 1);
    lines.append(QByteArray(22, '/').append(logName).append(QByteArray(24, '\\')));
    for (qsizetype i = 0; i < tokens.size(); ++i)
        lines.append(QByteArray::number(i) + "  " + tokens[i]);
    return lines;
}

qint64 TokenNumber(const QByteArray& token) {
    const bool negative = token.startsWith('-');
    const QByteArrayView digits = QByteArrayView(token).sliced(negative ? 1 : 0);
    if (digits.isEmpty())
        return 0;
    // Accumulate the magnitude unsigned so that the most negative value still fits.
    const quint64 limit =
        negative ? quint64(std::numeric_limits<qint64>::max()) + 1 : quint64(std::numeric_limits<qint64>::max());
    quint64 value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return 0;
        const auto digit = quint64(c - '0');
        if (value > (limit - digit) / 10)
            return 0;
        value = value * 10 + digit;
    }
    if (negative)
        return value == limit ? std::numeric_limits<qint64>::min() : -qint64(value);
    return qint64(value);
}

QByteArray EncodeQueryValue(QByteArrayView value) {
    static constexpr char hex[] = "0123456789ABCDEF";
    QByteArray out;
    out.reserve(value.size());
    for (const char ch : value) {
        const auto c = static_cast<unsigned char>(ch);
        const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                                c == '-' || c == '.' || c == '_' || c == '~';
        if (unreserved) {
            out += ch;
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 0x0F];
        }
    }
    return out;
}

namespace Requests {
namespace {
QByteArray url(const QByteArray& host, const char* pathAndQuery) {
    return QByteArray("http://").append(host).append(pathAndQuery);
}
} // namespace

QByteArray PlayerSearch(const QByteArray& host, const QByteArray& nick) {
    return url(host, "/ASP/searchforplayers.aspx?where=a&nick=") + EncodeQueryValue(nick);
}
QByteArray GeneralStats(const QByteArray& host, const QByteArray& pid) {
    return url(host, "/ASP/getplayerinfo.aspx?pid=") + EncodeQueryValue(pid) + "&info=" + InfoKeys;
}
QByteArray Rank(const QByteArray& host, const QByteArray& pid) {
    return url(host, "/ASP/getleaderboard.aspx?type=score&id=overall&pid=") + EncodeQueryValue(pid) + "&info=" +
           InfoKeys;
}
QByteArray Maps(const QByteArray& host, const QByteArray& pid) {
    return url(host, "/ASP/getplayerinfo.aspx?pid=") + EncodeQueryValue(pid) + "&info=mtm-,mwn-,mls-";
}
QByteArray Awards(const QByteArray& host, const QByteArray& pid) {
    return url(host, "/ASP/getawardsinfo.aspx?pid=") + EncodeQueryValue(pid);
}
QByteArray Unlocks(const QByteArray& host, const QByteArray& pid) {
    return url(host, "/ASP/getunlocksinfo.aspx?pid=") + EncodeQueryValue(pid);
}
QByteArray TopTen(const QByteArray& host) {
    return url(host, "/ASP/getleaderboard.aspx?type=score&id=overall&after=9");
}
QByteArray BoardRecord(const QByteArray& host, const QByteArray& pid) {
    return url(host, "/ASP/getleaderboard.aspx?pid=") + EncodeQueryValue(pid) + "&type=score&id=overall";
}
QByteArray BoardSearch(const QByteArray& host, const QByteArray& nick) {
    return PlayerSearch(host, nick); // the same search, made for a leaderboard entry
}
} // namespace Requests

namespace {

// minTokens is one more than the highest position the kind's reader needs. Awards and unlocks
// scan whatever tokens there are; the personal record needs token 1 for its "$" test, its reader
// checks the record positions itself.
constexpr std::array<ReplyKindInfo, ReplyKindCount> KindTable = {{
    {ReplyKind::Search, "HTTPGetStringPID", ReplyTest::NicknameSearch, "Fehler", true, 0, nullptr, 13,
     "Receiving Data (PID)..."},
    {ReplyKind::Stats, "HTTPGetString", ReplyTest::GeneralStatistics, "Error: Nickname does not exist", true, 20,
     "Stats", 461, "Receiving Data..."},
    {ReplyKind::Rank, "HTTPGetStringRank", ReplyTest::Rank, "Error: Unknown rank", false, 20, "Ranks", 23,
     "Receiving Data (Rank)..."},
    {ReplyKind::Maps, "HTTPGetStringMaps", ReplyTest::Plain, "Error", false, 20, "Maps", 143,
     "Receiving Data (Data)..."},
    // The awards fetcher shows the same progress text as the player search.
    {ReplyKind::Awards, "HTTPGetStringAwards", ReplyTest::Plain, "Error", false, 20, "Awards", 0,
     "Receiving Data (PID)..."},
    {ReplyKind::Unlocks, "HTTPGetStringUnlocks", ReplyTest::Plain, "Error", false, 20, "Unlocks", 0,
     "Receiving Data (Unlocks)..."},
    {ReplyKind::TopTen, "HTTPGetStringTopTen", ReplyTest::Plain, "Error", false, 0, "Top Ten", 95,
     "Receiving Data (Top Ten)..."},
    {ReplyKind::BoardRecord, "HTTPGetStringpa", ReplyTest::Plain, "Error", false, 0, "Personal Leaderboard", 2,
     "Receiving Data (Pers. Leadb. Data)..."},
    {ReplyKind::BoardSearch, "HTTPGetStringpapid", ReplyTest::NicknameSearch, "Error", true, 0, nullptr, 13,
     "Receiving Data (Pers. Leadb. PID)..."},
}};

constexpr bool tableInEnumOrder() {
    for (std::size_t i = 0; i < KindTable.size(); ++i) {
        if (static_cast<std::size_t>(KindTable[i].kind) != i)
            return false;
    }
    return true;
}
static_assert(tableInEnumOrder(), "KindTable rows must follow the order of ReplyKind");

} // namespace

const ReplyKindInfo& replyKindInfo(ReplyKind kind) {
    const auto index = static_cast<std::size_t>(kind);
    return KindTable[index < KindTable.size() ? index : 0];
}

namespace {

// The kinds whose readers find their values by column name; the others still count positions and
// need the minimum length whatever the layout.
bool readsByColumn(ReplyKind kind) {
    switch (kind) {
    case ReplyKind::Search:
    case ReplyKind::Stats:
    case ReplyKind::Rank:
    case ReplyKind::Maps:
    case ReplyKind::TopTen:
    case ReplyKind::BoardRecord:
    case ReplyKind::BoardSearch:
        return true;
    default:
        return false;
    }
}

} // namespace

bool IsErrorReply(QByteArrayView body) {
    qsizetype end = 0;
    while (end < body.size() && body[end] != '\t' && body[end] != '\r' && body[end] != '\n' && body[end] != '\0')
        ++end;
    return body.first(end) == "E";
}

std::optional<ServiceReply> AcceptReply(ReplyKind kind, QByteArrayView body) {
    const ReplyKindInfo& info = replyKindInfo(kind);
    if (!ReplyCheck(body, info.test))
        return std::nullopt;
    std::optional<ServiceReply> reply = ServiceReply::read(body);
    if (!reply)
        return std::nullopt;
    // The service's error reply ("E", the error number, then the closing line) passes the
    // character tests but carries no data.
    if (reply->status() == "E")
        return std::nullopt;
    if ((!reply->hasHeaders() || !readsByColumn(kind)) && reply->tokens().size() < info.minTokens)
        return std::nullopt;
    return reply;
}
