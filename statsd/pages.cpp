#include "pages.h"

#include "blocks.h"
#include "board.h"
#include "catalogue.h"
#include "database.h"
#include "reply.h"
#include "text.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <string_view>
#include <vector>

namespace pages {
namespace {

using i64 = std::int64_t;
// Products of two figures can pass 64 bits in a hand-edited database.
__extension__ typedef __int128 Int128;
using catalogue::ArmyCount;
using catalogue::KitCount;
using catalogue::MapCount;
using catalogue::MapIds;
using catalogue::VehicleCount;
using catalogue::WeaponCount;

constexpr std::string_view GeneralInfoKeys =
    "per*,cmb*,twsc,cpcp,cacp,dfcp,kila,heal,rviv,rsup,rpar,tgte,dkas,dsab,cdsc,rank,cmsc,kick,kill,deth,suic,"
    "ospm,klpm,klpr,dtpr,bksk,wdsk,bbrs,tcdr,ban,dtpm,lbtl,osaa,vrk,tsql,tsqm,tlwf,mvks,vmks,mvn*,vmr*,fkit,fmap,"
    "fveh,fwea,wtm-,wkl-,wdt-,wac-,wkd-,vtm-,vkl-,vdt-,vkd-,vkr-,atm-,awn-,alo-,abr-,ktm-,kkl-,kdt-,kkd-";
constexpr std::string_view MapInfoKeys = "mtm-,mwn-,mls-";

// Longest nickname that can match anything; longer search texts are answered without a query.
constexpr std::size_t MaxSearchLength = 64;
constexpr i64 MaxSearchRows = 20;
constexpr i64 MaxBoardWindow = 1000;

// Integer columns of the players table read for the general statistics, in SELECT order.
constexpr std::array<std::string_view, 49> StoredColumns = {
    "pid",  "scor", "jond", "wins", "loss", "mode0", "mode1", "mode2", "time", "smoc",        "cmsc", "kill", "kila",
    "deth", "suic", "bksk", "wdsk", "tvcr", "topr",  "twsc",  "cpcp",  "cacp", "dfcp",        "heal", "rviv", "rsup",
    "rpar", "tgte", "dkas", "dsab", "cdsc", "rank",  "kick",  "bbrs",  "tcdr", "ban",         "lbtl", "vrk",  "tsql",
    "tsqm", "tlwf", "mvks", "vmks", "tnv",  "tgm",   "de6",   "de7",   "de8",  "unlockpoints"};

consteval std::size_t col(std::string_view name) {
    for (std::size_t i = 0; i < StoredColumns.size(); ++i) {
        if (StoredColumns[i] == name) {
            return i;
        }
    }
    throw "unknown column";
}

// ", f.w0_time, f.w0_kills, ..." for every item and figure of the block.
std::string figureColumns(const blocks::Block& block) {
    std::string sql;
    for (const int id : block.ids) {
        for (const char* figure : block.columns) {
            sql += ", f." + blocks::column(block, id, figure);
        }
    }
    return sql;
}

std::string playerQuery() {
    std::string sql = "SELECT ";
    for (const std::string_view c : StoredColumns) {
        sql.append("p.").append(c).append(", ");
    }
    sql += "p.nick, v.nick, v.rank, o.nick, o.rank";
    for (const blocks::Block* block :
         {&blocks::weapons(), &blocks::vehicles(), &blocks::armies(), &blocks::kits(), &blocks::maps()}) {
        sql += figureColumns(*block);
    }
    sql += " FROM players p LEFT JOIN figures f ON f.pid = p.pid LEFT JOIN players v ON v.pid = p.tvcr "
           "LEFT JOIN players o ON o.pid = p.topr WHERE p.pid = ?1";
    return sql;
}

std::string num(i64 value) {
    return std::to_string(value);
}

// numerator * scale / denominator with two decimals, rounded half up; 0.00 for a zero denominator. Worked in
// 128 bits: a hand-edited database can hold figures whose products pass 64 bits.
std::string decimal2(i64 numerator, i64 scale, i64 denominator) {
    if (denominator <= 0) {
        return "0.00";
    }
    const Int128 product = static_cast<Int128>(numerator) * scale;
    const bool negative = product < 0;
    const Int128 n = negative ? -product : product;
    const Int128 hundredths = (n * 200 + denominator) / (2 * static_cast<Int128>(denominator));
    // Digits from the last: the two decimals, the point, then the whole part (which may pass 64 bits).
    std::string digits;
    Int128 rest = hundredths;
    for (int i = 0; i < 3 || rest != 0; ++i) {
        if (i == 2) {
            digits += '.';
        }
        digits += static_cast<char>('0' + static_cast<int>(rest % 10));
        rest /= 10;
    }
    if (negative && hundredths != 0) {
        digits += '-';
    }
    return {digits.rbegin(), digits.rend()};
}

// "kills:deaths", reduced when both are positive ("5:0" stays as it is).
std::string killsToDeaths(i64 kills, i64 deaths) {
    if (kills > 0 && deaths > 0) {
        const i64 g = std::gcd(kills, deaths);
        kills /= g;
        deaths /= g;
    }
    return num(kills) + ":" + num(deaths);
}

i64 percent(i64 part, i64 whole) {
    return whole <= 0 ? 0
                      : static_cast<i64>((static_cast<Int128>(part) * 200 + whole) / (2 * static_cast<Int128>(whole)));
}

// Index of the first largest value: the favourite is the item played longest, the lowest id on a tie.
template <std::size_t N> std::size_t longest(const std::array<i64, N>& times) {
    return static_cast<std::size_t>(std::max_element(times.begin(), times.end()) - times.begin());
}

std::string wire(const std::string& utf8) {
    return text::toWindows1252(utf8);
}

std::optional<i64> pidOf(const text::Query& query) {
    const std::string* pid = query.find("pid");
    return pid == nullptr ? std::nullopt : text::parsePid(*pid);
}

struct Blocks {
    std::array<i64, WeaponCount> wtm{}, wkl{}, wdt{}, wfired{}, whits{};
    std::array<i64, VehicleCount> vtm{}, vkl{}, vdt{}, vkr{};
    std::array<i64, ArmyCount> atm{}, awn{}, alo{}, abr{};
    std::array<i64, KitCount> ktm{}, kkl{}, kdt{};
    std::array<i64, MapCount> mtm{}, mwn{}, mls{};
};

// Reads the block figures of a statement row from the given column on (in figureColumns order);
// the next column after them.
int readWeapons(const db::Statement& s, int c, Blocks& b) {
    for (std::size_t w = 0; w < WeaponCount; ++w) {
        b.wtm[w] = s.integer(c++);
        b.wkl[w] = s.integer(c++);
        b.wdt[w] = s.integer(c++);
        b.wfired[w] = s.integer(c++);
        b.whits[w] = s.integer(c++);
    }
    for (std::size_t v = 0; v < VehicleCount; ++v) {
        b.vtm[v] = s.integer(c++);
        b.vkl[v] = s.integer(c++);
        b.vdt[v] = s.integer(c++);
        b.vkr[v] = s.integer(c++);
    }
    for (std::size_t a = 0; a < ArmyCount; ++a) {
        b.atm[a] = s.integer(c++);
        b.awn[a] = s.integer(c++);
        b.alo[a] = s.integer(c++);
        b.abr[a] = s.integer(c++);
    }
    for (std::size_t k = 0; k < KitCount; ++k) {
        b.ktm[k] = s.integer(c++);
        b.kkl[k] = s.integer(c++);
        b.kdt[k] = s.integer(c++);
    }
    return c;
}

int readMaps(const db::Statement& s, int c, Blocks& b) {
    for (std::size_t m = 0; m < MapCount; ++m) {
        b.mtm[m] = s.integer(c++);
        b.mwn[m] = s.integer(c++);
        b.mls[m] = s.integer(c++);
    }
    return c;
}

const std::vector<std::string_view>& generalColumns() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> n = {"pid",  "nick", "scor", "jond", "wins", "loss", "mode0", "mode1", "mode2", "time",
                                      "smoc", "cmsc", "osaa", "kill", "kila", "deth", "suic",  "bksk",  "wdsk",  "tvcr",
                                      "topr", "klpm", "dtpm", "ospm", "klpr", "dtpr", "twsc",  "cpcp",  "cacp",  "dfcp",
                                      "heal", "rviv", "rsup", "rpar", "tgte", "dkas", "dsab",  "cdsc",  "rank",  "kick",
                                      "bbrs", "tcdr", "ban",  "lbtl", "vrk",  "tsql", "tsqm",  "tlwf",  "mvks",  "vmks",
                                      "mvns", "mvrs", "vmns", "vmrs", "fkit", "fmap", "fveh",  "fwea",  "tnv",   "tgm"};
        auto family = [&](const char* prefix, int count) {
            for (int i = 0; i < count; ++i) {
                n.push_back(std::string(prefix) + std::to_string(i));
            }
        };
        for (const char* p : {"wtm-", "wkl-", "wdt-", "wac-", "wkd-"}) {
            family(p, WeaponCount);
        }
        for (const char* p : {"vtm-", "vkl-", "vdt-", "vkd-", "vkr-"}) {
            family(p, VehicleCount);
        }
        for (const char* p : {"atm-", "awn-", "alo-", "abr-"}) {
            family(p, ArmyCount);
        }
        for (const char* p : {"ktm-", "kkl-", "kdt-", "kkd-"}) {
            family(p, KitCount);
        }
        for (const char* d : {"de-6", "de-7", "de-8"}) {
            n.emplace_back(d);
        }
        return n;
    }();
    static const std::vector<std::string_view> views(names.begin(), names.end());
    return views;
}

const std::vector<std::string_view>& mapColumns() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> n = {"pid", "nick"};
        for (const char* prefix : {"mtm-", "mwn-", "mls-"}) {
            for (const int id : MapIds) {
                n.push_back(std::string(prefix) + std::to_string(id));
            }
        }
        return n;
    }();
    static const std::vector<std::string_view> views(names.begin(), names.end());
    return views;
}

template <std::size_t N> void appendAll(std::vector<std::string>& out, const std::array<i64, N>& values) {
    for (const i64 v : values) {
        out.push_back(num(v));
    }
}

std::optional<std::string> generalStatistics(db::Connection& db, i64 pid, i64 now) {
    static const std::string sql = playerQuery();
    std::array<i64, StoredColumns.size()> c{};
    std::string nick, victimNick, enemyNick;
    i64 victimRank = 0, enemyRank = 0;
    Blocks b;
    {
        db::Statement s = db.prepare(sql);
        s.bind(1, pid);
        if (!s.step()) {
            return s.done() ? std::optional<std::string>(errorReply()) : std::nullopt;
        }
        for (std::size_t i = 0; i < c.size(); ++i) {
            c[i] = s.integer(static_cast<int>(i));
        }
        const int base = static_cast<int>(c.size());
        nick = s.text(base);
        victimNick = s.text(base + 1);
        victimRank = s.integer(base + 2);
        enemyNick = s.text(base + 3);
        enemyRank = s.integer(base + 4);
        readMaps(s, readWeapons(s, base + 5, b), b);
    }
    const i64 time = c[col("time")];
    const i64 rounds = c[col("wins")] + c[col("loss")];
    const i64 fired = std::accumulate(b.wfired.begin(), b.wfired.end(), i64{0});
    const i64 hits = std::accumulate(b.whits.begin(), b.whits.end(), i64{0});

    std::vector<std::string> v;
    v.reserve(generalColumns().size());
    auto stored = [&](std::size_t index) { v.push_back(num(c[index])); };
    stored(col("pid"));
    v.push_back(wire(nick));
    for (const std::size_t i : {col("scor"), col("jond"), col("wins"), col("loss"), col("mode0"), col("mode1"),
                                col("mode2"), col("time"), col("smoc"), col("cmsc")}) {
        stored(i);
    }
    v.push_back(decimal2(hits, 100, fired));
    for (const std::size_t i :
         {col("kill"), col("kila"), col("deth"), col("suic"), col("bksk"), col("wdsk"), col("tvcr"), col("topr")}) {
        stored(i);
    }
    v.push_back(decimal2(c[col("kill")], 60, time));
    v.push_back(decimal2(c[col("deth")], 60, time));
    v.push_back(decimal2(c[col("scor")], 60, time));
    v.push_back(decimal2(c[col("kill")], 1, rounds));
    v.push_back(decimal2(c[col("deth")], 1, rounds));
    for (const std::size_t i :
         {col("twsc"), col("cpcp"), col("cacp"), col("dfcp"), col("heal"), col("rviv"), col("rsup"), col("rpar"),
          col("tgte"), col("dkas"), col("dsab"), col("cdsc"), col("rank"), col("kick"), col("bbrs"), col("tcdr"),
          col("ban"),  col("lbtl"), col("vrk"),  col("tsql"), col("tsqm"), col("tlwf"), col("mvks"), col("vmks")}) {
        stored(i);
    }
    v.push_back(wire(victimNick));
    v.push_back(num(victimRank));
    v.push_back(wire(enemyNick));
    v.push_back(num(enemyRank));
    v.push_back(num(static_cast<i64>(longest(b.ktm))));
    v.push_back(num(MapIds[longest(b.mtm)]));
    v.push_back(num(static_cast<i64>(longest(b.vtm))));
    v.push_back(num(static_cast<i64>(longest(b.wtm))));
    stored(col("tnv"));
    stored(col("tgm"));

    appendAll(v, b.wtm);
    appendAll(v, b.wkl);
    appendAll(v, b.wdt);
    for (std::size_t w = 0; w < WeaponCount; ++w) {
        v.push_back(num(percent(b.whits[w], b.wfired[w])));
    }
    for (std::size_t w = 0; w < WeaponCount; ++w) {
        v.push_back(killsToDeaths(b.wkl[w], b.wdt[w]));
    }
    appendAll(v, b.vtm);
    appendAll(v, b.vkl);
    appendAll(v, b.vdt);
    for (std::size_t i = 0; i < VehicleCount; ++i) {
        v.push_back(killsToDeaths(b.vkl[i], b.vdt[i]));
    }
    appendAll(v, b.vkr);
    appendAll(v, b.atm);
    appendAll(v, b.awn);
    appendAll(v, b.alo);
    appendAll(v, b.abr);
    appendAll(v, b.ktm);
    appendAll(v, b.kkl);
    appendAll(v, b.kdt);
    for (std::size_t k = 0; k < KitCount; ++k) {
        v.push_back(killsToDeaths(b.kkl[k], b.kdt[k]));
    }
    stored(col("de6"));
    stored(col("de7"));
    stored(col("de8"));

    Reply reply;
    reply.header({"asof"}).data({num(now)});
    reply.header(generalColumns()).data(v);
    return reply.finish();
}

std::optional<std::string> mapStatistics(db::Connection& db, i64 pid, i64 now) {
    static const std::string sql = "SELECT p.nick" + figureColumns(blocks::maps()) +
                                   " FROM players p LEFT JOIN figures f ON f.pid = p.pid "
                                   "WHERE p.pid = ?1";
    std::string nick;
    Blocks b;
    {
        db::Statement s = db.prepare(sql);
        s.bind(1, pid);
        if (!s.step()) {
            return s.done() ? std::optional<std::string>(errorReply()) : std::nullopt;
        }
        nick = s.text(0);
        readMaps(s, 1, b);
    }
    std::vector<std::string> v = {num(pid), wire(nick)};
    v.reserve(2 + 3 * MapCount);
    appendAll(v, b.mtm);
    appendAll(v, b.mwn);
    appendAll(v, b.mls);
    Reply reply;
    reply.header({"asof"}).data({num(now)});
    reply.header(mapColumns()).data(v);
    return reply.finish();
}

// Whether a value given for a fixed parameter is the one this service knows (absent counts as it).
bool isAbsentOr(const std::string* value, std::string_view expected) {
    return value == nullptr || text::equalsIgnoringCase(*value, expected);
}

std::optional<i64> countParameter(const text::Query& query, std::string_view key, i64 fallback) {
    const std::string* value = query.find(key);
    return value == nullptr ? std::optional<i64>(fallback) : text::parseCount(*value);
}

std::optional<i64> playerCount(db::Connection& db) {
    static const std::string sql = "SELECT " + board::sizeSql();
    db::Statement s = db.prepare(sql);
    return s.step() ? std::optional<i64>(s.integer(0)) : std::nullopt;
}

// Players whose nickname holds every three-character piece of the text: all that can match it, a
// few more perhaps (the index folds letter case beyond ASCII); the caller's LIKE decides.
std::string trigramQuery(std::string_view utf8) {
    std::vector<std::size_t> starts; // where each character begins
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80) {
            starts.push_back(i);
        }
    }
    std::string query;
    for (std::size_t c = 0; c + 3 <= starts.size(); ++c) {
        const std::size_t end = c + 3 < starts.size() ? starts[c + 3] : utf8.size();
        const std::string_view piece = utf8.substr(starts[c], end - starts[c]);
        if (!query.empty()) {
            query += " AND ";
        }
        query += '"';
        for (const char ch : piece) {
            query += ch;
            if (ch == '"') {
                query += '"';
            }
        }
        query += '"';
    }
    return query;
}

// How far down the board a search looks first: a text that twenty of these players hold is answered
// from there.
constexpr i64 MaxBoardWalk = 2000;
// Otherwise the players the trigram index finds are ranked, when there are at most this many.
constexpr i64 MaxRankedCandidates = 20000;

std::vector<std::string_view> boardColumns() {
    return {"n", "pid", "nick", "score", "totaltime", "playerrank", "countrycode"};
}

} // namespace

namespace {

// The general-statistics key list, with or without the enrolment date ("jond") that newer clients
// ask for as well; the reply carries every column either way.
bool isGeneralInfo(std::string_view info) {
    if (info == GeneralInfoKeys)
        return true;
    constexpr std::string_view Joined = "jond,";
    for (std::size_t at = 0; (at = info.find(Joined, at)) != std::string_view::npos; at += Joined.size()) {
        if (at > 0 && info[at - 1] != ',')
            continue;
        std::string rest(info.substr(0, at));
        rest.append(info.substr(at + Joined.size()));
        return rest == GeneralInfoKeys;
    }
    return false;
}

} // namespace

std::optional<std::string> playerInfo(db::Connection& db, const text::Query& query, std::int64_t now) {
    const std::optional<i64> pid = pidOf(query);
    if (!pid) {
        return errorReply();
    }
    const std::string* info = query.find("info");
    if (info == nullptr || isGeneralInfo(*info)) {
        return generalStatistics(db, *pid, now);
    }
    if (*info == MapInfoKeys) {
        return mapStatistics(db, *pid, now);
    }
    return errorReply();
}

std::optional<std::string> leaderboard(db::Connection& db, const text::Query& query, std::int64_t now) {
    // Only the overall score board is kept; an info= list is accepted and ignored.
    if (!isAbsentOr(query.find("type"), "score") || !isAbsentOr(query.find("id"), "overall")) {
        return errorReply();
    }
    if (query.find("pid") != nullptr) {
        const std::optional<i64> pid = pidOf(query);
        if (!pid) {
            return errorReply();
        }
        static const std::string sql = "SELECT p.pid, p.nick, p.scor, p.time, p.rank, p.country, " +
                                       board::aheadOfSql() + ", " + board::sizeSql() +
                                       " FROM players p WHERE p.pid = ?1";
        db::Statement s = db.prepare(sql);
        s.bind(1, *pid);
        if (!s.step()) {
            return s.done() ? std::optional<std::string>(noRecordReply()) : std::nullopt;
        }
        Reply personal;
        personal.header({"size", "asof"}).data({num(s.integer(7)), num(now)});
        personal.header(boardColumns());
        personal.data({num(s.integer(6) + 1), num(s.integer(0)), wire(s.text(1)), num(s.integer(2)), num(s.integer(3)),
                       num(s.integer(4)), wire(s.text(5))});
        return personal.finish();
    }

    const std::optional<i64> pos = countParameter(query, "pos", 1);
    const std::optional<i64> before = countParameter(query, "before", 0);
    const std::optional<i64> after = countParameter(query, "after", 0);
    if (!pos || !before || !after || *pos < 1) {
        return errorReply();
    }
    const std::optional<i64> size = playerCount(db);
    if (!size) {
        return std::nullopt;
    }
    Reply reply;
    reply.header({"size", "asof"}).data({num(*size), num(now)});
    reply.header(boardColumns());
    const i64 first = std::max<i64>(1, *pos - std::min(*before, MaxBoardWindow));
    const i64 last = *pos + std::min(*after, MaxBoardWindow);
    bool failed = false;
    const std::optional<board::Place> start = board::at(db, first, failed);
    if (failed) {
        return std::nullopt;
    }
    if (!start) {
        return reply.finish(); // past the end of the board
    }
    // From the first player of the window on: the rest of its score, then the lower scores.
    i64 n = first;
    auto rows = [&](db::Statement& s) {
        for (; n <= last && s.step(); ++n) {
            reply.data({num(n), num(s.integer(0)), wire(s.text(1)), num(s.integer(2)), num(s.integer(3)),
                        num(s.integer(4)), wire(s.text(5))});
        }
        return s.done() || n > last;
    };
    {
        db::Statement s = db.prepare("SELECT pid, nick, scor, time, rank, country FROM players "
                                     "WHERE scor = ?1 AND pid >= ?2 ORDER BY scor DESC, pid LIMIT ?3");
        s.bind(1, start->score).bind(2, start->pid).bind(3, last - first + 1);
        if (!rows(s)) {
            return std::nullopt;
        }
    }
    if (n <= last) {
        db::Statement s = db.prepare("SELECT pid, nick, scor, time, rank, country FROM players "
                                     "WHERE scor < ?1 ORDER BY scor DESC, pid LIMIT ?2");
        s.bind(1, start->score).bind(2, last - n + 1);
        if (!rows(s)) {
            return std::nullopt;
        }
    }
    return reply.finish();
}

std::optional<std::string> searchPlayers(db::Connection& db, const text::Query& query, std::int64_t now) {
    const std::string* nick = query.find("nick");
    if (nick == nullptr || nick->empty()) {
        return errorReply();
    }
    const std::string* whereText = query.find("where");
    const std::string where = whereText == nullptr ? "a" : text::asciiLower(*whereText);
    if (where != "a" && where != "b" && where != "e" && where != "x") {
        return errorReply();
    }
    Reply reply;
    reply.header({"asof"}).data({num(now)});
    reply.header({"n", "pid", "nick", "score"});

    const bool searchable = nick->size() <= MaxSearchLength && std::none_of(nick->begin(), nick->end(), [](char c) {
                                return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
                            });
    if (!searchable) {
        return reply.finish(); // no nickname holds such text
    }
    const std::string term = text::fromWindows1252(*nick);
    std::string pattern;
    for (const char c : term) {
        if (c == '%' || c == '_' || c == '\\') {
            pattern += '\\';
        }
        pattern += c;
    }
    if (where == "a" || where == "e") {
        pattern.insert(0, "%");
    }
    if (where == "a" || where == "b") {
        pattern += '%';
    }
    // An exact match (letter case aside, as LIKE and the nickname index see it) comes first, then
    // the best scores.
    i64 n = 1;
    i64 exactPid = 0;
    {
        db::Statement s = db.prepare("SELECT pid, nick, scor FROM players WHERE nick = ?1");
        s.bind(1, std::string_view(term));
        if (s.step()) {
            exactPid = s.integer(0);
            reply.data({num(n++), num(exactPid), wire(s.text(1)), num(s.integer(2))});
        } else if (!s.done()) {
            return std::nullopt;
        }
    }
    if (where == "x") {
        return reply.finish();
    }
    // The best matches other than the exact one, by score.
    struct Row {
        i64 pid;
        std::string nick;
        i64 score;
    };
    std::vector<Row> found;
    const i64 wanted = MaxSearchRows - (n - 1);
    auto collect = [&](db::Statement& s) {
        found.clear();
        while (static_cast<i64>(found.size()) < wanted && s.step()) {
            if (s.integer(0) != exactPid) {
                found.push_back({s.integer(0), s.text(1), s.integer(2)});
            }
        }
        return s.done() || static_cast<i64>(found.size()) >= wanted;
    };
    // The best matches of a common text are near the top of the board: enough of them there, and
    // the answer is complete. (The score index holds the nicknames, so this reads no table rows.)
    {
        db::Statement s = db.prepare("SELECT pid, nick, scor FROM (SELECT pid, nick, scor FROM players INDEXED BY "
                                     "players_by_score ORDER BY scor DESC, pid LIMIT ?3) WHERE nick LIKE ?1 "
                                     "ESCAPE '\\' LIMIT ?2");
        s.bind(1, std::string_view(pattern)).bind(2, wanted + 1).bind(3, MaxBoardWalk);
        if (!collect(s)) {
            return std::nullopt;
        }
    }
    bool complete = static_cast<i64>(found.size()) >= wanted;
    const std::string pieces = trigramQuery(term);
    if (!complete && !pieces.empty()) {
        // A rarer text: the players who hold every three-character piece of it, if not too many,
        // are ranked, and LIKE decides among them.
        db::Statement count = db.prepare("SELECT count(*) FROM (SELECT 1 FROM nick_search WHERE nick_search MATCH ?1 "
                                         "LIMIT ?2)");
        count.bind(1, std::string_view(pieces)).bind(2, MaxRankedCandidates + 1);
        if (!count.step()) {
            return std::nullopt;
        }
        if (count.integer(0) <= MaxRankedCandidates) {
            db::Statement s = db.prepare(
                "SELECT pid, nick, scor FROM players WHERE pid IN (SELECT rowid FROM nick_search WHERE nick_search "
                "MATCH ?1) AND nick LIKE ?2 ESCAPE '\\' ORDER BY scor DESC, pid LIMIT ?3");
            s.bind(1, std::string_view(pieces)).bind(2, std::string_view(pattern)).bind(3, wanted + 1);
            if (!collect(s)) {
                return std::nullopt;
            }
            complete = true;
        }
    }
    if (!complete) {
        // A short text that few players hold: every nickname is read from the nickname index (no
        // table rows), and only the matches are ranked.
        db::Statement s = db.prepare("SELECT pid, nick, scor FROM players WHERE pid IN (SELECT pid FROM players "
                                     "INDEXED BY players_by_nick WHERE nick LIKE ?1 ESCAPE '\\') ORDER BY scor "
                                     "DESC, pid LIMIT ?2");
        s.bind(1, std::string_view(pattern)).bind(2, wanted + 1);
        if (!collect(s)) {
            return std::nullopt;
        }
    }
    for (const Row& row : found) {
        reply.data({num(n++), num(row.pid), wire(row.nick), num(row.score)});
    }
    return reply.finish();
}

std::optional<std::string> awardsInfo(db::Connection& db, const text::Query& query, std::int64_t now) {
    const std::optional<i64> pid = pidOf(query);
    if (!pid) {
        return errorReply();
    }
    // One row per award, or one without an award for a player who holds none.
    db::Statement s = db.prepare("SELECT a.award, a.level, a.earned, a.first FROM players p LEFT JOIN awards a "
                                 "ON a.pid = p.pid WHERE p.pid = ?1 ORDER BY a.award, a.level");
    s.bind(1, *pid);
    bool known = false;
    Reply reply;
    reply.header({"pid", "asof"}).data({num(*pid), num(now)});
    reply.header({"award", "level", "when", "first"});
    while (s.step()) {
        known = true;
        if (!s.isNull(0)) {
            reply.data({num(s.integer(0)), num(s.integer(1)), num(s.integer(2)), num(s.integer(3))});
        }
    }
    if (!s.done()) {
        return std::nullopt;
    }
    return known ? reply.finish() : errorReply();
}

std::optional<std::string> unlocksInfo(db::Connection& db, const text::Query& query, std::int64_t now) {
    const std::optional<i64> pid = pidOf(query);
    if (!pid) {
        return errorReply();
    }
    static const std::string sql = "SELECT p.nick, p.unlockpoints" + figureColumns(blocks::unlocks()) +
                                   " FROM players p LEFT JOIN figures f ON f.pid = p.pid WHERE p.pid = ?1";
    std::string nick;
    i64 points = 0;
    std::array<bool, catalogue::UnlockIds.size()> chosen{};
    {
        db::Statement s = db.prepare(sql);
        s.bind(1, *pid);
        if (!s.step()) {
            return s.done() ? std::optional<std::string>(errorReply()) : std::nullopt;
        }
        nick = s.text(0);
        points = s.integer(1);
        for (std::size_t i = 0; i < chosen.size(); ++i) {
            chosen[i] = s.integer(static_cast<int>(i) + 2) == 1;
        }
    }
    Reply reply;
    reply.header({"pid", "nick", "asof"}).data({num(*pid), wire(nick), num(now)});
    reply.header({"enlisted", "officer"}).data({num(points), "0"});
    reply.header({"id", "state"});
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        reply.data({num(catalogue::UnlockIds[i]), chosen[i] ? "s" : "n"});
    }
    return reply.finish();
}

} // namespace pages
