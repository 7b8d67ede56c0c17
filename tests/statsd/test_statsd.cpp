// orvane-statsd as the client meets it: the real binary on loopback, its replies read at the token
// positions the program reads, and compared with what its database holds.

#include "statsd_process.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <arpa/inet.h>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <netinet/in.h>
#include <numeric>
#include <optional>
#include <poll.h>
#include <sqlite3.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

const QByteArray InfoKeys =
    "per*,cmb*,twsc,cpcp,cacp,dfcp,kila,heal,rviv,rsup,rpar,tgte,dkas,dsab,cdsc,rank,cmsc,kick,kill,deth,suic,"
    "ospm,klpm,klpr,dtpr,bksk,wdsk,bbrs,tcdr,ban,dtpm,lbtl,osaa,vrk,tsql,tsqm,tlwf,mvks,vmks,mvn*,vmr*,fkit,fmap,"
    "fveh,fwea,wtm-,wkl-,wdt-,wac-,wkd-,vtm-,vkl-,vdt-,vkd-,vkr-,atm-,awn-,alo-,abr-,ktm-,kkl-,kdt-,kkd-";
const QByteArray ErrorBody = "E\t107\t\n$\t4\t$";
const QByteArray Agent = "GameSpyHTTP/1.0";

// The named demo players of docs/statsd.md.
constexpr qint64 DogSarge = 45000001;
constexpr qint64 Sarge = 45000002;
constexpr qint64 Nightshade = 45000003;
constexpr qint64 FreshRecruit = 45000004;
constexpr qint64 Flawless = 45000005;
constexpr qint64 TwinPeak = 45000007;
constexpr qint64 TwinValley = 45000008;
constexpr qint64 Juergen = 45000009;

// Map ids in the slot order of the maps reply.
constexpr std::array<int, 22> MapIds = {0,   1,   2,   3,   4,   5,   6,   100, 101, 102, 103,
                                        104, 105, 601, 300, 301, 302, 303, 304, 305, 306, 307};
// The ranks a score alone earns: rank and lowest score.
constexpr std::array<std::pair<int, qint64>, 16> ScoreRanks = {{{0, 0},
                                                                {1, 150},
                                                                {2, 500},
                                                                {3, 800},
                                                                {4, 2500},
                                                                {5, 5000},
                                                                {6, 8000},
                                                                {7, 20000},
                                                                {9, 50000},
                                                                {12, 60000},
                                                                {13, 75000},
                                                                {14, 90000},
                                                                {15, 115000},
                                                                {16, 125000},
                                                                {17, 150000},
                                                                {20, 200000}}};
constexpr std::array<int, 12> UnlockIds = {11, 22, 33, 44, 55, 66, 77, 88, 99, 111, 222, 333};

// The program's award catalogue: the ids its award pages look for.
const QList<int> BadgeIds = {1031105, 1031109, 1031113, 1031115, 1031119, 1031120, 1031121, 1031406,
                             1031619, 1031923, 1032415, 1190304, 1190507, 1190601, 1191819, 1220104,
                             1220118, 1220122, 1220803, 1222016, 1261105, 1261109, 1261113, 1261115,
                             1261119, 1261120, 1261121, 1260602, 1260708, 1262612, 1261422};
const QList<int> MedalIds = {2051907, 2051919, 2051902, 2191608, 2020419, 2020903, 2020913, 2020919, 2021403,
                             2020719, 2021613, 2021322, 2190303, 2190308, 2190309, 2190318, 2190703, 2191319,
                             2260219, 2261901, 2260719, 2261913, 2261919, 2261613, 2261303, 2261802, 2260914};
const QList<int> RibbonIds = {3040109, 3040718, 3150914, 3151920, 3190105, 3190118, 3190318, 3190409, 3190605, 3191305,
                              3190803, 3211305, 3212201, 3240102, 3240301, 3240703, 3241213, 3242303, 3261919, 3261901,
                              3261819, 3261319, 3261805, 3260914, 3260318, 3260118, 3260105, 3260803};

// ---- HTTP on a plain socket, so every byte of the request is ours ----

struct HttpReply {
    bool answered = false;
    int status = 0;
    QByteArray head;
    QByteArray body;

    QByteArray header(const QByteArray& name) const {
        for (const QByteArray& line : head.split('\n')) {
            const qsizetype colon = line.indexOf(':');
            if (colon > 0 && line.left(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0) {
                return line.mid(colon + 1).trimmed();
            }
        }
        return {};
    }
};

int connectTo(quint16 port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd < 0 || ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        if (fd >= 0) {
            ::close(fd);
        }
        return -1;
    }
    return fd;
}

bool sendAll(int fd, const QByteArray& bytes) {
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.constData() + sent, static_cast<size_t>(bytes.size() - sent), MSG_NOSIGNAL);
        if (n <= 0) {
            return false;
        }
        sent += n;
    }
    return true;
}

// The whole reply is in once its head and as many body bytes as its Content-Length are.
bool replyComplete(const QByteArray& raw) {
    const qsizetype end = raw.indexOf("\r\n\r\n");
    if (end < 0) {
        return false;
    }
    HttpReply head;
    head.head = raw.left(end);
    bool ok = false;
    const qsizetype length = head.header("Content-Length").toLongLong(&ok);
    return ok && raw.size() - end - 4 >= length;
}

enum class ReadUntil { Close, ContentLength };

// Sends the bytes and reads until the server closes the connection (HTTP/1.0: the reply ends there),
// or with ReadUntil::ContentLength until the reply is complete by its own length.
HttpReply exchange(quint16 port, const QByteArray& request, int timeoutMs = 10000, ReadUntil until = ReadUntil::Close) {
    HttpReply reply;
    const int fd = connectTo(port);
    if (fd < 0) {
        return reply;
    }
    sendAll(fd, request); // a server may answer and close before it read everything
    QByteArray raw;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0) {
            continue;
        }
        char buffer[16384];
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) {
            break;
        }
        raw.append(buffer, n);
        if (until == ReadUntil::ContentLength && replyComplete(raw)) {
            break;
        }
    }
    ::close(fd);
    const qsizetype end = raw.indexOf("\r\n\r\n");
    if (!raw.startsWith("HTTP/1.") || end < 0) {
        return reply;
    }
    reply.answered = true;
    reply.head = raw.left(end);
    reply.body = raw.mid(end + 4);
    reply.status = raw.mid(9, 3).toInt();
    return reply;
}

QByteArray getRequest(const QByteArray& target, const QByteArray& agent = Agent) {
    QByteArray request = "GET " + target + " HTTP/1.0\r\nHost: 127.0.0.1\r\nAccept: */*\r\n";
    if (!agent.isEmpty()) {
        request += "User-Agent: " + agent + "\r\n";
    }
    return request + "\r\n";
}

HttpReply get(quint16 port, const QByteArray& target, const QByteArray& agent = Agent) {
    return exchange(port, getRequest(target, agent));
}

// Fields separated by TAB, lines by LF.
QList<QByteArray> tokensOf(const QByteArray& body) {
    QList<QByteArray> tokens;
    for (const QByteArray& line : body.split('\n')) {
        if (!line.isEmpty()) {
            tokens += line.split('\t');
        }
    }
    return tokens;
}

// Everything the reply grammar promises; empty when the reply keeps it.
QString grammarError(const HttpReply& reply) {
    if (!reply.answered || reply.status != 200) {
        return QStringLiteral("status %1").arg(reply.status);
    }
    if (reply.header("Content-Type") != "text/plain") {
        return QStringLiteral("Content-Type %1").arg(QString::fromLatin1(reply.header("Content-Type")));
    }
    if (reply.header("Content-Length") != QByteArray::number(reply.body.size())) {
        return QStringLiteral("Content-Length %1 for %2 bytes")
            .arg(QString::fromLatin1(reply.header("Content-Length")))
            .arg(reply.body.size());
    }
    const QByteArray& body = reply.body;
    for (const char c : body) {
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n') {
            return QStringLiteral("control character %1 in the body").arg(int(c));
        }
    }
    const qsizetype lastLf = body.lastIndexOf('\n');
    const QByteArray before = body.left(lastLf + 1);
    const QByteArray last = body.mid(lastLf + 1);
    const qsizetype counted = before.size() - before.count('\t') - before.count('\n');
    if (last != "$\t" + QByteArray::number(counted) + "\t$") {
        return QStringLiteral("last line %1, expected N = %2").arg(QString::fromLatin1(last)).arg(counted);
    }
    const QList<QByteArray> lines = body.left(lastLf).split('\n');
    if (lines[0].startsWith("E\t")) {
        return lines.size() == 1 ? QString() : QStringLiteral("lines after an error line");
    }
    if (lines[0] != "O") {
        return QStringLiteral("first line %1").arg(QString::fromLatin1(lines[0]));
    }
    qsizetype columns = -1;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype fields = lines[i].count('\t');
        if (lines[i].startsWith("H\t")) {
            columns = fields;
        } else if (!lines[i].startsWith("D\t") || columns < 0) {
            return QStringLiteral("line %1 is neither H nor D under an H: %2")
                .arg(i)
                .arg(QString::fromLatin1(lines[i]));
        } else if (fields != columns) {
            return QStringLiteral("line %1 has %2 values for %3 columns").arg(i).arg(fields).arg(columns);
        }
    }
    return {};
}

// ---- The database, read directly ----

class Database final {
public:
    explicit Database(const QString& path) {
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                            nullptr) != SQLITE_OK) {
            sqlite3_close(m_db);
            m_db = nullptr;
        }
    }
    ~Database() { sqlite3_close(m_db); }
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    bool isOpen() const { return m_db != nullptr; }

    // Every row as column name -> text, as SQLite renders the values.
    QList<QHash<QByteArray, QByteArray>> rows(const char* sql, std::initializer_list<qint64> binds = {}) const {
        QList<QHash<QByteArray, QByteArray>> result;
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(m_db, sql, -1, &stmt, nullptr) != SQLITE_OK) {
            qWarning("SQL error: %s in %s", sqlite3_errmsg(m_db), sql);
            return result;
        }
        int index = 1;
        for (const qint64 value : binds) {
            sqlite3_bind_int64(stmt, index++, value);
        }
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            QHash<QByteArray, QByteArray> row;
            for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
                row.insert(sqlite3_column_name(stmt, c), QByteArray(text, sqlite3_column_bytes(stmt, c)));
            }
            result.append(row);
        }
        sqlite3_finalize(stmt);
        return result;
    }
    QHash<QByteArray, QByteArray> row(const char* sql, std::initializer_list<qint64> binds = {}) const {
        const auto all = rows(sql, binds);
        return all.isEmpty() ? QHash<QByteArray, QByteArray>() : all.first();
    }
    bool exec(const char* sql) const { return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }

private:
    sqlite3* m_db = nullptr;
};

// The database holds UTF-8, the wire Windows-1252; the demo nicknames keep to Latin-1.
QByteArray onWire(const QByteArray& utf8) {
    return QString::fromUtf8(utf8).toLatin1();
}

qint64 number(const QByteArray& token) {
    return token.toLongLong();
}

qint64 sumOf(const QList<QByteArray>& tokens, int first, int count) {
    qint64 sum = 0;
    for (int i = 0; i < count; ++i) {
        sum += number(tokens[first + i]);
    }
    return sum;
}

// Index of the first largest value among count tokens.
int longestOf(const QList<QByteArray>& tokens, int first, int count) {
    int best = 0;
    for (int i = 1; i < count; ++i) {
        if (number(tokens[first + i]) > number(tokens[first + best])) {
            best = i;
        }
    }
    return best;
}

int rankFor(qint64 score) {
    int rank = 0;
    for (const auto& [r, minimum] : ScoreRanks) {
        if (score >= minimum) {
            rank = r;
        }
    }
    return rank;
}

// "k:d" for the given counts: the same proportion, in lowest terms when both are positive.
bool isKillsToDeaths(const QByteArray& token, qint64 kills, qint64 deaths) {
    const QList<QByteArray> parts = token.split(':');
    if (parts.size() != 2) {
        return false;
    }
    const qint64 k = number(parts[0]);
    const qint64 d = number(parts[1]);
    if (kills == 0 || deaths == 0) {
        return k == kills && d == deaths;
    }
    return k * deaths == d * kills && std::gcd(k, d) == 1;
}

// Two decimals with a point, within rounding of the exact value.
bool isTwoDecimals(const QByteArray& token, double exact) {
    static const QRegularExpression pattern(QStringLiteral("^\\d+\\.\\d\\d$"));
    return pattern.match(QString::fromLatin1(token)).hasMatch() && std::abs(token.toDouble() - exact) <= 0.0051;
}

double quotient(qint64 numerator, qint64 denominator) {
    return denominator == 0 ? 0.0 : double(numerator) / double(denominator);
}

} // namespace

class TestStatsd final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void generalStatistics_data();
    void generalStatistics();
    void mapStatistics_data() { generalStatistics_data(); }
    void mapStatistics();
    void topTen();
    void personalRecord_data();
    void personalRecord();
    void leaderboardWindowAndMissingRecord();
    void search_data();
    void search();
    void awards_data() { generalStatistics_data(); }
    void awards();
    void unlocks_data() { generalStatistics_data(); }
    void unlocks();
    void errorReply_data();
    void errorReply();
    void unknownPage_data();
    void unknownPage();
    void hostileRequests_data();
    void hostileRequests();
    void clientsThatHangUp();
    void concurrentRequests();
    void populationHangsTogether();
    void awardsAndUnlocksFitThePlayer();
    void strictAgent();
    void updateFiles();
    void restartKeepsData();
    void refusesForeignFile_data();
    void refusesForeignFile();
    void refusesBusyPort();
    void cleanupTestCase();

private:
    QList<QByteArray> fetchTokens(const QByteArray& target);

    std::unique_ptr<StatsdProcess> m_server;
    std::unique_ptr<Database> m_db;
};

void TestStatsd::initTestCase() {
    m_server = std::make_unique<StatsdProcess>();
    QVERIFY2(m_server->isReady(), qPrintable(m_server->errorString()));
    m_db = std::make_unique<Database>(m_server->databasePath());
    QVERIFY(m_db->isOpen());
}

QList<QByteArray> TestStatsd::fetchTokens(const QByteArray& target) {
    const HttpReply reply = get(m_server->port(), target);
    const QString error = grammarError(reply);
    if (!error.isEmpty()) {
        qWarning("%s: %s", target.constData(), qPrintable(error));
        return {};
    }
    return tokensOf(reply.body);
}

void TestStatsd::generalStatistics_data() {
    QTest::addColumn<qint64>("pid");
    QTest::newRow("clan tag and blank") << DogSarge;
    QTest::newRow("special forces") << Nightshade;
    QTest::newRow("never played") << FreshRecruit;
    QTest::newRow("never died, never lost") << Flawless;
    QTest::newRow("Windows-1252 nickname") << Juergen;
}

void TestStatsd::generalStatistics() {
    QFETCH(qint64, pid);
    const QList<QByteArray> t =
        fetchTokens("/ASP/getplayerinfo.aspx?pid=" + QByteArray::number(pid) + "&info=" + InfoKeys);
    QCOMPARE(t.size(), 474);
    // The same list with the enrolment date asked for as well gets the same reply.
    QCOMPARE(fetchTokens("/ASP/getplayerinfo.aspx?pid=" + QByteArray::number(pid) + "&info=jond," + InfoKeys).mid(5),
             t.mid(5));
    QCOMPARE(t[0], "O");
    QCOMPARE(t[2], "asof");
    QVERIFY(std::abs(number(t[4]) - QDateTime::currentSecsSinceEpoch()) < 600);
    QCOMPARE(t[5], "H");
    QCOMPARE(t[238], "D");
    const auto p = m_db->row("SELECT * FROM players WHERE pid = ?1", {pid});
    QVERIFY(!p.isEmpty());

    // Values read as stored, at the positions the pages read them; the column name sits 233 before.
    static const std::pair<int, const char*> Stored[] = {
        {239, "pid"},   {241, "scor"}, {242, "jond"}, {243, "wins"}, {244, "loss"}, {245, "mode0"}, {246, "mode1"},
        {247, "mode2"}, {248, "time"}, {249, "smoc"}, {250, "cmsc"}, {252, "kill"}, {253, "kila"},  {254, "deth"},
        {255, "suic"},  {256, "bksk"}, {257, "wdsk"}, {258, "tvcr"}, {259, "topr"}, {265, "twsc"},  {266, "cpcp"},
        {267, "cacp"},  {268, "dfcp"}, {269, "heal"}, {270, "rviv"}, {271, "rsup"}, {272, "rpar"},  {273, "tgte"},
        {274, "dkas"},  {275, "dsab"}, {276, "cdsc"}, {277, "rank"}, {278, "kick"}, {279, "bbrs"},  {280, "tcdr"},
        {281, "ban"},   {282, "lbtl"}, {283, "vrk"},  {284, "tsql"}, {285, "tsqm"}, {286, "tlwf"},  {287, "mvks"},
        {288, "vmks"},  {297, "tnv"},  {298, "tgm"}};
    for (const auto& [position, key] : Stored) {
        QCOMPARE(t[position - 233], QByteArray(key));
        QVERIFY2(t[position] == p.value(key), qPrintable(QStringLiteral("%1 at %2").arg(key).arg(position)));
    }
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(t[235 + i], "de-" + QByteArray::number(6 + i));
        QCOMPARE(t[468 + i], p.value("de" + QByteArray::number(6 + i)));
    }
    QCOMPARE(t[7], "nick");
    QCOMPARE(t[240], onWire(p.value("nick")));

    // Figures the service works out.
    const qint64 time = number(p.value("time"));
    const qint64 rounds = number(p.value("wins")) + number(p.value("loss"));
    const auto shots = m_db->row("SELECT sum(hits) AS hits, sum(fired) AS fired FROM weapons WHERE pid = ?1", {pid});
    const std::pair<int, double> Derived[] = {
        {251, 100.0 * quotient(number(shots.value("hits")), number(shots.value("fired")))},
        {260, 60.0 * quotient(number(p.value("kill")), time)},
        {261, 60.0 * quotient(number(p.value("deth")), time)},
        {262, 60.0 * quotient(number(p.value("scor")), time)},
        {263, quotient(number(p.value("kill")), rounds)},
        {264, quotient(number(p.value("deth")), rounds)},
    };
    for (const auto& [position, exact] : Derived) {
        QVERIFY2(isTwoDecimals(t[position], exact), qPrintable(QStringLiteral("%1 at %2: %3, exact %4")
                                                                   .arg(QString::fromLatin1(t[position - 233]))
                                                                   .arg(position)
                                                                   .arg(QString::fromLatin1(t[position]))
                                                                   .arg(exact)));
    }
    const auto victim = m_db->row("SELECT nick, rank FROM players WHERE pid = ?1", {number(p.value("tvcr"))});
    const auto enemy = m_db->row("SELECT nick, rank FROM players WHERE pid = ?1", {number(p.value("topr"))});
    QCOMPARE(t[289], onWire(victim.value("nick")));
    QCOMPARE(t[290], victim.value("rank", "0"));
    QCOMPARE(t[291], onWire(enemy.value("nick")));
    QCOMPARE(t[292], enemy.value("rank", "0"));

    // Favourites: the item played longest, the lowest id on a tie.
    const std::pair<const char*, int> favourites[] = {{"kits", 293}, {"vehicles", 295}, {"weapons", 296}};
    for (const auto& [table, position] : favourites) {
        const QByteArray sql = "SELECT id FROM " + QByteArray(table) + " WHERE pid = ?1 ORDER BY time DESC, id LIMIT 1";
        QCOMPARE(t[position], m_db->row(sql.constData(), {pid}).value("id"));
    }
    qint64 longestMap = -1;
    QByteArray favouriteMap;
    for (const int id : MapIds) {
        const qint64 mapTime =
            number(m_db->row("SELECT time FROM maps WHERE pid = ?1 AND id = ?2", {pid, id}).value("time"));
        if (mapTime > longestMap) {
            longestMap = mapTime;
            favouriteMap = QByteArray::number(id);
        }
    }
    QCOMPARE(t[294], favouriteMap);

    // The per-item blocks of the Data page.
    struct Block {
        const char* prefix;
        int position;
        const char* table;
        const char* column; // nullptr: worked out below
        int count;
    };
    static const Block Blocks[] = {
        {"wtm-", 299, "weapons", "time", 14},   {"wkl-", 313, "weapons", "kills", 14},
        {"wdt-", 327, "weapons", "deaths", 14}, {"wac-", 341, "weapons", nullptr, 14},
        {"wkd-", 355, "weapons", nullptr, 14},  {"vtm-", 369, "vehicles", "time", 7},
        {"vkl-", 376, "vehicles", "kills", 7},  {"vdt-", 383, "vehicles", "deaths", 7},
        {"vkd-", 390, "vehicles", nullptr, 7},  {"vkr-", 397, "vehicles", "roadkills", 7},
        {"atm-", 404, "armies", "time", 9},     {"awn-", 413, "armies", "wins", 9},
        {"alo-", 422, "armies", "losses", 9},   {"abr-", 431, "armies", "best", 9},
        {"ktm-", 440, "kits", "time", 7},       {"kkl-", 447, "kits", "kills", 7},
        {"kdt-", 454, "kits", "deaths", 7},     {"kkd-", 461, "kits", nullptr, 7},
    };
    for (const Block& block : Blocks) {
        const QByteArray sql = "SELECT * FROM " + QByteArray(block.table) + " WHERE pid = ?1 ORDER BY id";
        const auto rows = m_db->rows(sql.constData(), {pid});
        QCOMPARE(rows.size(), block.count);
        for (int i = 0; i < block.count; ++i) {
            const int position = block.position + i;
            const QByteArray& token = t[position];
            QCOMPARE(t[position - 233], block.prefix + QByteArray::number(i));
            const auto& row = rows[i];
            if (block.column != nullptr) {
                QVERIFY2(token == row.value(block.column), qPrintable(QStringLiteral("%1%2").arg(block.prefix).arg(i)));
            } else if (QByteArray(block.prefix) == "wac-") {
                const double exact = 100.0 * quotient(number(row.value("hits")), number(row.value("fired")));
                QVERIFY2(std::abs(number(token) - exact) <= 0.5 && !token.isEmpty(),
                         qPrintable(QStringLiteral("wac-%1").arg(i)));
            } else {
                QVERIFY2(
                    isKillsToDeaths(token, number(row.value("kills")), number(row.value("deaths"))),
                    qPrintable(QStringLiteral("%1%2: %3").arg(block.prefix).arg(i).arg(QString::fromLatin1(token))));
            }
        }
    }
}

void TestStatsd::mapStatistics() {
    QFETCH(qint64, pid);
    const QList<QByteArray> t =
        fetchTokens("/ASP/getplayerinfo.aspx?pid=" + QByteArray::number(pid) + "&info=mtm-,mwn-,mls-");
    QCOMPARE(t.size(), 146);
    QCOMPARE(t[74], "D");
    QCOMPARE(t[75], QByteArray::number(pid));
    QCOMPARE(t[76], onWire(m_db->row("SELECT nick FROM players WHERE pid = ?1", {pid}).value("nick")));
    for (int slot = 0; slot < int(MapIds.size()); ++slot) {
        const auto map = m_db->row("SELECT * FROM maps WHERE pid = ?1 AND id = ?2", {pid, MapIds[slot]});
        const QByteArray id = QByteArray::number(MapIds[slot]);
        QCOMPARE(t[8 + slot], "mtm-" + id);
        QCOMPARE(t[77 + slot], map.value("time"));
        QCOMPARE(t[30 + slot], "mwn-" + id);
        QCOMPARE(t[99 + slot], map.value("wins"));
        QCOMPARE(t[52 + slot], "mls-" + id);
        QCOMPARE(t[121 + slot], map.value("losses"));
    }
}

void TestStatsd::topTen() {
    const QList<QByteArray> t = fetchTokens("/ASP/getleaderboard.aspx?type=score&id=overall&after=9");
    QCOMPARE(t.size(), 98);
    QCOMPARE(t[2], "size");
    QCOMPARE(t[5], m_db->row("SELECT count(*) AS n FROM players").value("n"));
    QCOMPARE(t.mid(7, 8),
             (QList<QByteArray>{"H", "n", "pid", "nick", "score", "totaltime", "playerrank", "countrycode"}));
    const auto best = m_db->rows("SELECT * FROM players ORDER BY scor DESC, pid LIMIT 10");
    QCOMPARE(best.size(), 10);
    for (int r = 0; r < 10; ++r) {
        QCOMPARE(t[8 * r + 15], "D");
        QCOMPARE(t[8 * r + 16], QByteArray::number(r + 1));
        QCOMPARE(t[8 * r + 17], best[r].value("pid"));
        QCOMPARE(t[8 * r + 18], onWire(best[r].value("nick")));
        QCOMPARE(t[8 * r + 19], best[r].value("scor"));
        QCOMPARE(t[8 * r + 20], best[r].value("time"));
        QCOMPARE(t[8 * r + 21], best[r].value("rank"));
        QCOMPARE(t[8 * r + 22], best[r].value("country"));
    }
}

void TestStatsd::personalRecord_data() {
    QTest::addColumn<QByteArray>("target");
    QTest::addColumn<qint64>("pid");
    // The rank line's request carries the info keys; the personal leaderboard's does not.
    QTest::newRow("rank request") << "/ASP/getleaderboard.aspx?type=score&id=overall&pid=45000002&info=" + InfoKeys
                                  << Sarge;
    QTest::newRow("board request") << QByteArray("/ASP/getleaderboard.aspx?pid=45000001&type=score&id=overall")
                                   << DogSarge;
    QTest::newRow("tie, lower pid") << QByteArray("/ASP/getleaderboard.aspx?pid=45000007&type=score&id=overall")
                                    << TwinPeak;
    QTest::newRow("tie, higher pid") << QByteArray("/ASP/getleaderboard.aspx?pid=45000008&type=score&id=overall")
                                     << TwinValley;
}

void TestStatsd::personalRecord() {
    QFETCH(QByteArray, target);
    QFETCH(qint64, pid);
    const QList<QByteArray> t = fetchTokens(target);
    QCOMPARE(t.size(), 26);
    const auto p = m_db->row("SELECT * FROM players WHERE pid = ?1", {pid});
    const qint64 ahead =
        number(m_db->row("SELECT count(*) AS n FROM players WHERE scor > ?1 OR (scor = ?1 AND pid < ?2)",
                         {number(p.value("scor")), pid})
                   .value("n"));
    QCOMPARE(t[16], QByteArray::number(ahead + 1));
    QCOMPARE(t[17], p.value("pid"));
    QCOMPARE(t[18], onWire(p.value("nick")));
    QCOMPARE(t[19], p.value("scor"));
    QCOMPARE(t[20], p.value("time"));
    QCOMPARE(t[21], p.value("rank"));
    QCOMPARE(t[22], p.value("country"));
    if (pid == TwinValley) {
        // The twins share a score; the board must still give each a place of its own.
        QCOMPARE(p.value("scor"), m_db->row("SELECT scor FROM players WHERE pid = ?1", {TwinPeak}).value("scor"));
    }
}

void TestStatsd::leaderboardWindowAndMissingRecord() {
    const QList<QByteArray> t = fetchTokens("/ASP/getleaderboard.aspx?type=score&id=overall&pos=5&before=2&after=2");
    QCOMPARE(t.size(), 15 + 5 * 8 + 3);
    const auto rows = m_db->rows("SELECT pid FROM players ORDER BY scor DESC, pid LIMIT 5 OFFSET 2");
    for (int r = 0; r < 5; ++r) {
        QCOMPARE(t[8 * r + 16], QByteArray::number(r + 3));
        QCOMPARE(t[8 * r + 17], rows[r].value("pid"));
    }
    const HttpReply none = get(m_server->port(), "/ASP/getleaderboard.aspx?pid=12345678&type=score&id=overall");
    QCOMPARE(grammarError(none), QString());
    QCOMPARE(none.body, "O\n$\t1\t$");
}

void TestStatsd::search_data() {
    QTest::addColumn<QByteArray>("nick");
    QTest::addColumn<QByteArray>("where");
    QTest::addColumn<QByteArray>("needle"); // what the rows must hold, lower case
    QTest::addColumn<qint64>("first");      // expected first pid, 0 for none
    QTest::newRow("exact match before better scores")
        << QByteArray("Sarge") << QByteArray("a") << QByteArray("sarge") << Sarge;
    QTest::newRow("letter case ignored") << QByteArray("sARGE") << QByteArray("a") << QByteArray("sarge") << Sarge;
    QTest::newRow("blank as %20, '=' in the value")
        << QByteArray("=DOG=%20Sarge") << QByteArray("x") << QByteArray("=dog= sarge") << DogSarge;
    QTest::newRow("begins with a clan tag")
        << QByteArray("=dog=") << QByteArray("b") << QByteArray("=dog=") << qint64(-1);
    QTest::newRow("ends with") << QByteArray("SARGE") << QByteArray("e") << QByteArray("sarge") << Sarge;
    QTest::newRow("Windows-1252 byte") << QByteArray("J%FCrgen") << QByteArray("x") << QByteArray("j\xfcrgen")
                                       << Juergen;
    QTest::newRow("at most twenty") << QByteArray("a") << QByteArray("a") << QByteArray("a") << qint64(-1);
    QTest::newRow("percent sign is no wildcard")
        << QByteArray("%25") << QByteArray("a") << QByteArray("%") << qint64(0);
    QTest::newRow("two letters") << QByteArray("du") << QByteArray("a") << QByteArray("du") << qint64(-1);
    QTest::newRow("two letters nobody has") << QByteArray("zq") << QByteArray("a") << QByteArray("zq") << qint64(0);
    QTest::newRow("no such player") << QByteArray("NoSuchPlayerAnywhere") << QByteArray("a")
                                    << QByteArray("nosuchplayeranywhere") << qint64(0);
    QTest::newRow("binary text") << QByteArray("%00%0A%09%FF") << QByteArray("a") << QByteArray("\n") << qint64(0);
}

void TestStatsd::search() {
    QFETCH(QByteArray, nick);
    QFETCH(QByteArray, where);
    QFETCH(QByteArray, needle);
    QFETCH(qint64, first);
    const QList<QByteArray> t = fetchTokens("/ASP/searchforplayers.aspx?where=" + where + "&nick=" + nick);
    QVERIFY(t.size() >= 13);
    QCOMPARE(t.mid(5, 5), (QList<QByteArray>{"H", "n", "pid", "nick", "score"}));

    // Expected rows from the whole table: matches, the exact one first, then by score.
    struct Candidate {
        bool exact;
        qint64 score;
        qint64 pid;
    };
    QList<Candidate> expected;
    for (const auto& p : m_db->rows("SELECT pid, nick, scor FROM players")) {
        const QByteArray name = onWire(p.value("nick")).toLower();
        const bool match = where == "a"   ? name.contains(needle)
                           : where == "b" ? name.startsWith(needle)
                           : where == "e" ? name.endsWith(needle)
                                          : name == needle;
        if (match) {
            expected.append({name == needle, number(p.value("scor")), number(p.value("pid"))});
        }
    }
    std::sort(expected.begin(), expected.end(), [](const Candidate& a, const Candidate& b) {
        return a.exact != b.exact ? a.exact : (a.score != b.score ? a.score > b.score : a.pid < b.pid);
    });
    expected = expected.mid(0, 20);
    QCOMPARE((t.size() - 13) / 5, expected.size());
    if (expected.isEmpty()) {
        QCOMPARE(t[10], "$");
        QCOMPARE(t[12], "$"); // where the program takes the PID of the first match
    }
    for (int r = 0; r < expected.size(); ++r) {
        QCOMPARE(t[10 + 5 * r], "D");
        QCOMPARE(t[11 + 5 * r], QByteArray::number(r + 1));
        QCOMPARE(t[12 + 5 * r], QByteArray::number(expected[r].pid));
        QVERIFY(t[13 + 5 * r].toLower().contains(needle));
        QCOMPARE(t[14 + 5 * r], QByteArray::number(expected[r].score));
    }
    if (first > 0) {
        QCOMPARE(t[12], QByteArray::number(first));
    }
    if (where == "a" && needle == "a") {
        QCOMPARE(expected.size(), 20); // the table holds far more
    }
}

void TestStatsd::awards() {
    QFETCH(qint64, pid);
    const QList<QByteArray> t = fetchTokens("/ASP/getawardsinfo.aspx?pid=" + QByteArray::number(pid));
    QCOMPARE(t.mid(0, 12), (QList<QByteArray>{"O", "H", "pid", "asof", "D", QByteArray::number(pid), t[6], "H", "award",
                                              "level", "when", "first"}));
    const auto rows = m_db->rows("SELECT * FROM awards WHERE pid = ?1 ORDER BY award, level", {pid});
    QCOMPARE(t.size(), 12 + 5 * rows.size() + 3);
    QHash<QByteArray, QByteArray> lastLevel;
    for (int r = 0; r < rows.size(); ++r) {
        const int at = 12 + 5 * r;
        QCOMPARE(t[at], "D");
        QCOMPARE(t[at + 1], rows[r].value("award"));
        QCOMPARE(t[at + 2], rows[r].value("level"));
        QCOMPARE(t[at + 3], rows[r].value("earned"));
        QCOMPARE(t[at + 4], rows[r].value("first"));
        lastLevel[t[at + 1]] = t[at + 2];
    }
    // The award pages take the token after the last occurrence of a badge id: the highest level.
    for (const int badge : BadgeIds) {
        const auto top =
            m_db->row("SELECT max(level) AS level FROM awards WHERE pid = ?1 AND award = ?2", {pid, badge});
        QCOMPARE(lastLevel.value(QByteArray::number(badge)), top.value("level"));
    }
    if (pid == FreshRecruit) {
        QVERIFY(rows.isEmpty());
    }
}

void TestStatsd::unlocks() {
    QFETCH(qint64, pid);
    const QList<QByteArray> t = fetchTokens("/ASP/getunlocksinfo.aspx?pid=" + QByteArray::number(pid));
    QCOMPARE(t.size(), 18 + 3 * 12 + 3);
    const auto p = m_db->row("SELECT nick, unlockpoints FROM players WHERE pid = ?1", {pid});
    QCOMPARE(t.mid(0, 5), (QList<QByteArray>{"O", "H", "pid", "nick", "asof"}));
    QCOMPARE(t[6], QByteArray::number(pid));
    QCOMPARE(t[7], onWire(p.value("nick")));
    QCOMPARE(t.mid(9, 3), (QList<QByteArray>{"H", "enlisted", "officer"}));
    QCOMPARE(t[13], p.value("unlockpoints"));
    QCOMPARE(t[14], "0");
    QCOMPARE(t.mid(15, 3), (QList<QByteArray>{"H", "id", "state"}));
    for (int i = 0; i < 12; ++i) {
        QCOMPARE(t[18 + 3 * i], "D");
        QCOMPARE(t[19 + 3 * i], QByteArray::number(UnlockIds[i]));
        QCOMPARE(t[20 + 3 * i],
                 m_db->row("SELECT state FROM unlocks WHERE pid = ?1 AND id = ?2", {pid, UnlockIds[i]}).value("state"));
    }
}

void TestStatsd::errorReply_data() {
    QTest::addColumn<QByteArray>("target");
    const QByteArray info = "&info=" + InfoKeys;
    QTest::newRow("no pid") << "/ASP/getplayerinfo.aspx?info=" + InfoKeys;
    QTest::newRow("empty pid") << "/ASP/getplayerinfo.aspx?pid=" + info;
    QTest::newRow("unknown pid") << "/ASP/getplayerinfo.aspx?pid=99999999" + info;
    QTest::newRow("nickname as pid") << "/ASP/getplayerinfo.aspx?pid=Sarge" + info;
    QTest::newRow("signed pid") << "/ASP/getplayerinfo.aspx?pid=-45000001" + info;
    QTest::newRow("pid with NUL") << "/ASP/getplayerinfo.aspx?pid=45000001%00" + info;
    QTest::newRow("overlong pid") << "/ASP/getplayerinfo.aspx?pid=" + QByteArray(4000, '4') + info;
    QTest::newRow("unknown pid, maps") << QByteArray("/ASP/getplayerinfo.aspx?pid=99999999&info=mtm-,mwn-,mls-");
    QTest::newRow("unknown info keys") << QByteArray("/ASP/getplayerinfo.aspx?pid=45000001&info=xyz-");
    QTest::newRow("the date alone") << QByteArray("/ASP/getplayerinfo.aspx?pid=45000001&info=jond,");
    QTest::newRow("awards, no pid") << QByteArray("/ASP/getawardsinfo.aspx");
    QTest::newRow("awards, unknown pid") << QByteArray("/ASP/getawardsinfo.aspx?pid=99999999");
    QTest::newRow("unlocks, unknown pid") << QByteArray("/ASP/getunlocksinfo.aspx?pid=99999999");
    QTest::newRow("search, no nick") << QByteArray("/ASP/searchforplayers.aspx?where=a");
    QTest::newRow("search, empty nick") << QByteArray("/ASP/searchforplayers.aspx?where=a&nick=");
    QTest::newRow("search, unknown where") << QByteArray("/ASP/searchforplayers.aspx?where=z&nick=Sarge");
    QTest::newRow("board, nickname as pid") << QByteArray("/ASP/getleaderboard.aspx?pid=Sarge&type=score&id=overall");
    QTest::newRow("board, unknown type") << QByteArray("/ASP/getleaderboard.aspx?type=kills&id=overall&after=9");
}

void TestStatsd::errorReply() {
    QFETCH(QByteArray, target);
    const HttpReply reply = get(m_server->port(), target);
    QCOMPARE(grammarError(reply), QString());
    QCOMPARE(reply.body, ErrorBody);
}

void TestStatsd::unknownPage_data() {
    QTest::addColumn<QByteArray>("target");
    QTest::newRow("unknown page") << QByteArray("/ASP/getclaninfo.aspx?pid=45000001");
    QTest::newRow("root") << QByteArray("/");
    QTest::newRow("page outside /ASP/") << QByteArray("/getplayerinfo.aspx?pid=45000001");
    QTest::newRow("update file without --update-dir") << QByteArray("/code/orvane/version.txt");
}

void TestStatsd::unknownPage() {
    QFETCH(QByteArray, target);
    const HttpReply reply = get(m_server->port(), target);
    QCOMPARE(reply.status, 404);
    QVERIFY(reply.header("Content-Type").startsWith("text/html"));
    QVERIFY(reply.body.contains("<html"));
}

void TestStatsd::hostileRequests_data() {
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("status"); // 0: any answer, or none
    QByteArray binary(512, '\0');
    for (int i = 0; i < binary.size(); ++i) {
        binary[i] = char((i * 37 + 11) & 0xFF);
    }
    QTest::newRow("not HTTP at all") << binary << 0;
    QTest::newRow("raw blank in the request line")
        << QByteArray("GET /ASP/searchforplayers.aspx?where=a&nick==DOG= Sarge HTTP/1.0\r\n\r\n") << 400;
    QTest::newRow("overlong target") << getRequest("/ASP/getplayerinfo.aspx?pid=" + QByteArray(20000, '9')) << 414;
    QTest::newRow("overlong header") << QByteArray("GET /ASP/getplayerinfo.aspx?pid=45000001 HTTP/1.0\r\nX-Junk: " +
                                                   QByteArray(20000, 'x') + "\r\n\r\n")
                                     << 0;
    QTest::newRow("many parameters") << getRequest("/ASP/getplayerinfo.aspx?" + QByteArray("a=1&").repeated(1500) +
                                                   "pid=45000001")
                                     << 200;
    QTest::newRow("broken escapes") << getRequest("/ASP/searchforplayers.aspx?where=a&nick=%zz%4%") << 200;
    QTest::newRow("binary escapes everywhere")
        << getRequest("/ASP/getleaderboard.aspx?%FF%00=%01&type=score&id=overall&pos=%00") << 200;
    QTest::newRow("request cut short") << QByteArray("GET /ASP/getplayerinfo.aspx?pid=450") << 0;
    QTest::newRow("body on a GET")
        << QByteArray("GET /ASP/getawardsinfo.aspx?pid=45000001 HTTP/1.0\r\nContent-Length: 100000000\r\n\r\nxx") << 0;
}

void TestStatsd::hostileRequests() {
    QFETCH(QByteArray, request);
    QFETCH(int, status);
    // The library keeps a connection open after answering a request it could not parse, so the reply
    // is read by its length; where any answer or none will do, a second is long enough to wait.
    const HttpReply reply = exchange(m_server->port(), request, status == 0 ? 1000 : 8000, ReadUntil::ContentLength);
    if (status != 0) {
        QCOMPARE(reply.status, status);
    }
    if (reply.status == 200) {
        QCOMPARE(grammarError(reply), QString());
    }
    // Whatever came in, the service keeps serving.
    const HttpReply after = get(m_server->port(), "/ASP/getawardsinfo.aspx?pid=45000001");
    QCOMPARE(grammarError(after), QString());
}

void TestStatsd::clientsThatHangUp() {
    // Clients that close, even with a reset, before the reply is written must not end the service.
    const QByteArray request = getRequest("/ASP/getplayerinfo.aspx?pid=45000001&info=" + InfoKeys);
    for (int i = 0; i < 30; ++i) {
        const int fd = connectTo(m_server->port());
        QVERIFY(fd >= 0);
        sendAll(fd, request);
        const linger reset{1, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
        ::close(fd);
    }
    QCOMPARE(grammarError(get(m_server->port(), "/ASP/getunlocksinfo.aspx?pid=45000001")), QString());
}

void TestStatsd::concurrentRequests() {
    const QList<QByteArray> targets = {
        "/ASP/getplayerinfo.aspx?pid=45000001&info=" + InfoKeys,
        "/ASP/getplayerinfo.aspx?pid=45000003&info=mtm-,mwn-,mls-",
        "/ASP/getawardsinfo.aspx?pid=45000003",
        "/ASP/getunlocksinfo.aspx?pid=45000009",
        "/ASP/searchforplayers.aspx?where=a&nick=sarge",
        "/ASP/getleaderboard.aspx?type=score&id=overall&after=9",
    };
    // The asof time is the only part that may differ between two fetches: blank the value under it.
    auto withoutTime = [](QList<QByteArray> tokens) {
        for (qsizetype i = 0; i < tokens.size(); ++i) {
            if (tokens[i] != "asof") {
                continue;
            }
            const qsizetype header = tokens.lastIndexOf("H", i);
            const qsizetype data = tokens.indexOf("D", i);
            if (header >= 0 && data >= 0 && data + (i - header) < tokens.size()) {
                tokens[data + (i - header)] = "";
            }
        }
        return tokens;
    };
    QList<QList<QByteArray>> expected;
    for (const QByteArray& target : targets) {
        expected.append(withoutTime(fetchTokens(target)));
        QVERIFY(!expected.last().isEmpty());
    }
    constexpr int Threads = 8;
    constexpr int Rounds = 12;
    std::atomic<int> failures = 0;
    std::vector<std::thread> workers;
    for (int w = 0; w < Threads; ++w) {
        workers.emplace_back([&, w] {
            for (int r = 0; r < Rounds; ++r) {
                const int k = (w + r) % int(targets.size());
                const HttpReply reply = get(m_server->port(), targets[k]);
                if (!grammarError(reply).isEmpty() || withoutTime(tokensOf(reply.body)) != expected[k]) {
                    ++failures;
                }
            }
        });
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
    QCOMPARE(failures.load(), 0);
}

void TestStatsd::populationHangsTogether() {
    const auto players = m_db->rows("SELECT pid, nick, country FROM players");
    QVERIFY(players.size() >= 200);
    QSet<QByteArray> nicks;
    bool tagWithBlank = false;
    static const QRegularExpression country(QStringLiteral("^[A-Z]{2}$"));
    static const QRegularExpression clanTag(QStringLiteral("^[=\\[{|(~*-].*[=\\]}|)~*-] ?\\S"));
    for (const auto& p : players) {
        const QByteArray nick = p.value("nick");
        QVERIFY2(!nicks.contains(nick.toLower()), nick.constData());
        nicks.insert(nick.toLower());
        tagWithBlank |= nick.contains(' ') && clanTag.match(QString::fromUtf8(nick)).hasMatch();
        QVERIFY2(country.match(QString::fromLatin1(p.value("country"))).hasMatch(), nick.constData());
    }
    QVERIFY(tagWithBlank);

    // The figures of every player, as the program reads them, add up.
    QStringList broken;
    for (const auto& p : players) {
        const QByteArray pid = p.value("pid");
        const QList<QByteArray> t = fetchTokens("/ASP/getplayerinfo.aspx?pid=" + pid + "&info=" + InfoKeys);
        const QList<QByteArray> m = fetchTokens("/ASP/getplayerinfo.aspx?pid=" + pid + "&info=mtm-,mwn-,mls-");
        if (t.size() != 474 || m.size() != 146) {
            broken << QString::fromLatin1(pid + ": reply");
            continue;
        }
        const qint64 time = number(t[248]), wins = number(t[243]), losses = number(t[244]);
        const qint64 kills = number(t[252]), deaths = number(t[254]);
        qint64 bestArmyRound = 0;
        bool roadKillsFit = true;
        for (int c = 0; c < 7; ++c) {
            roadKillsFit &= number(t[397 + c]) <= number(t[376 + c]);
        }
        for (int a = 0; a < 9; ++a) {
            bestArmyRound = std::max(bestArmyRound, number(t[431 + a]));
        }
        const std::pair<const char*, bool> rules[] = {
            {"kit times", sumOf(t, 440, 7) == time},
            {"army times", sumOf(t, 404, 9) == time},
            {"weapon and vehicle times", sumOf(t, 299, 14) + sumOf(t, 369, 7) == time},
            {"role times", number(t[280]) + number(t[284]) + number(t[285]) + number(t[286]) == time},
            {"map times", sumOf(m, 77, 22) == time},
            {"kit kills", sumOf(t, 447, 7) == kills},
            {"kit deaths", sumOf(t, 454, 7) == deaths},
            {"weapon and vehicle kills", sumOf(t, 313, 14) + sumOf(t, 376, 7) == kills},
            {"weapon and vehicle deaths", sumOf(t, 327, 14) + sumOf(t, 383, 7) == deaths},
            {"army wins", sumOf(t, 413, 9) == wins},
            {"army losses", sumOf(t, 422, 9) == losses},
            {"map wins", sumOf(m, 99, 22) == wins},
            {"map losses", sumOf(m, 121, 22) == losses},
            {"rounds by mode", number(t[245]) + number(t[246]) + number(t[247]) == wins + losses},
            {"road kills", sumOf(t, 397, 7) == number(t[283]) && roadKillsFit},
            {"score", number(t[250]) + number(t[265]) + number(t[276]) == number(t[241])},
            {"best round", bestArmyRound == number(t[279]) && number(t[279]) <= number(t[241])},
            {"rank fits score", number(t[277]) == rankFor(number(t[241]))},
            {"streaks", number(t[256]) <= kills && number(t[257]) <= deaths && number(t[255]) <= deaths},
            {"battle calendar", number(t[282]) - number(t[242]) >= time},
            {"favourite kit", number(t[293]) == longestOf(t, 440, 7)},
            {"favourite vehicle", number(t[295]) == longestOf(t, 369, 7)},
            {"favourite weapon", number(t[296]) == longestOf(t, 299, 14)},
            {"favourite map", number(t[294]) == MapIds[std::size_t(longestOf(m, 77, 22))]},
            // The program has no picture for these; a favourite must be something it can show.
            {"favourites with a picture", t[296] != "13" && t[295] != "5" && t[294] != "104"},
        };
        for (const auto& [rule, holds] : rules) {
            if (!holds) {
                broken << QString::fromLatin1(pid + ": ") + QLatin1String(rule);
            }
        }
    }
    QVERIFY2(broken.isEmpty(), qPrintable(broken.mid(0, 20).join(QStringLiteral("; "))));
}

void TestStatsd::awardsAndUnlocksFitThePlayer() {
    QStringList broken;
    for (const auto& p : m_db->rows("SELECT p.pid, p.rank, p.jond, p.lbtl, "
                                    "(SELECT sum(time) FROM armies a WHERE a.pid = p.pid AND a.id >= 3) AS sftime "
                                    "FROM players p")) {
        const qint64 pid = number(p.value("pid"));
        const auto awards = m_db->rows("SELECT * FROM awards WHERE pid = ?1 ORDER BY award, level", {pid});
        QHash<int, int> levels;
        for (const auto& a : awards) {
            const int id = int(number(a.value("award")));
            const int level = int(number(a.value("level")));
            const QString where = QStringLiteral("%1 award %2 level %3: ").arg(pid).arg(id).arg(level);
            if (BadgeIds.contains(id)) {
                if (level != levels.value(id) + 1 || level > 3) {
                    broken << where + QStringLiteral("badge levels go 1, 2, 3");
                }
                levels[id] = level;
            } else if (MedalIds.contains(id) ? level < 1 : (!RibbonIds.contains(id) || level != 1)) {
                broken << where + QStringLiteral("not in the catalogue, or a count below 1");
            }
            // Badges, medals and ribbons of the expansion have ids 126..., 226..., 326....
            if ((id / 10000) % 100 == 26 && number(p.value("sftime")) == 0) {
                broken << where + QStringLiteral("special-forces award without special-forces time");
            }
            const qint64 jond = number(p.value("jond")), lbtl = number(p.value("lbtl"));
            const qint64 first = number(a.value("first")), earned = number(a.value("earned"));
            if (!(jond <= first && first <= earned && earned <= lbtl)) {
                broken << where + QStringLiteral("dates outside the player's battles");
            }
        }
        const auto chosen = m_db->rows(
            "SELECT id FROM unlocks WHERE pid = ?1 AND state = 's' AND id IN (11, 22, 33, 44, 55, 66, 77)", {pid});
        if (chosen.size() > std::min<qint64>(number(p.value("rank")), 7)) {
            broken << QStringLiteral("%1: more unlocks than the rank gives").arg(pid);
        }
    }
    QVERIFY2(broken.isEmpty(), qPrintable(broken.mid(0, 20).join(QStringLiteral("; "))));
    QVERIFY(!m_db->rows("SELECT 1 FROM awards WHERE award = 2051907").isEmpty()); // someone holds a gold star
}

void TestStatsd::strictAgent() {
    StatsdProcess strict({QStringLiteral("--strict-agent")});
    QVERIFY2(strict.isReady(), qPrintable(strict.errorString()));
    const QByteArray target = "/ASP/getawardsinfo.aspx?pid=45000001";
    QCOMPARE(grammarError(get(strict.port(), target, Agent)), QString());
    for (const QByteArray& agent :
         {QByteArray("Mozilla/5.0"), QByteArray("gamespyhttp/1.0"), QByteArray("GameSpyHTTP/1.0 x")}) {
        const HttpReply reply = get(strict.port(), target, agent);
        QCOMPARE(reply.status, 403);
        QVERIFY(reply.header("Content-Type").startsWith("text/html"));
        QVERIFY(reply.body.contains("<html"));
    }
    QCOMPARE(get(strict.port(), target, QByteArray()).status, 403); // no User-Agent at all
}

void TestStatsd::updateFiles() {
    QTemporaryDir root;
    QVERIFY(root.isValid());
    QVERIFY(QDir(root.path()).mkdir(QStringLiteral("updates")));
    const QByteArray executable("MZ\x90\0\x03\0\0\0 not really a program", 30);
    auto write = [](const QString& path, const QByteArray& bytes) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    };
    QVERIFY(write(root.filePath(QStringLiteral("updates/version.txt")), "0.51"));
    QVERIFY(write(root.filePath(QStringLiteral("updates/orvane_v0.51.exe")), executable));
    QVERIFY(write(root.filePath(QStringLiteral("secret.exe")), "outside the folder"));
    QVERIFY(write(root.filePath(QStringLiteral("updates/notes.txt")), "not an update file"));
    // With --strict-agent too: the updater fetches with an agent of its own.
    StatsdProcess server(
        {QStringLiteral("--update-dir"), root.filePath(QStringLiteral("updates")), QStringLiteral("--strict-agent")});
    QVERIFY2(server.isReady(), qPrintable(server.errorString()));

    const HttpReply version = get(server.port(), "/code/orvane/version.txt", "Orvane HTTPGet");
    QCOMPARE(version.status, 200);
    QCOMPARE(version.body, "0.51");
    const HttpReply download = get(server.port(), "/code/orvane/orvane_v0.51.exe", "Orvane HTTPGet");
    QCOMPARE(download.status, 200);
    QCOMPARE(download.body, executable);
    QCOMPARE(download.header("Content-Length"), QByteArray::number(executable.size()));

    for (const QByteArray& target :
         {QByteArray("/code/orvane/orvane_v0.52.exe"), QByteArray("/code/orvane/notes.txt"),
          QByteArray("/code/orvane/orvane_v..%2F..%2Fsecret.exe"),
          QByteArray("/code/orvane/orvane_v%2e%2e%2fsecret.exe"), QByteArray("/code/orvane/../secret.exe"),
          QByteArray("/code/orvane/%2e%2e/secret.exe"), QByteArray("/code/orvane/orvane_v0.51.exe%00.txt"),
          QByteArray("/code/orvane/orvane_v/../../secret.exe")}) {
        const HttpReply reply = get(server.port(), target, "Orvane HTTPGet");
        QVERIFY2(reply.status == 404 || reply.status == 400, target.constData());
        QVERIFY2(!reply.body.contains("outside the folder") && !reply.body.contains("not an update file"),
                 target.constData());
    }
}

void TestStatsd::restartKeepsData() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("kept.sqlite"));
    const QByteArray target = "/ASP/getleaderboard.aspx?pid=45000002&type=score&id=overall";
    QByteArray score;
    {
        StatsdProcess first({}, path);
        QVERIFY2(first.isReady(), qPrintable(first.errorString()));
        const HttpReply reply = get(first.port(), target);
        QCOMPARE(grammarError(reply), QString());
        score = tokensOf(reply.body).value(19);
        QVERIFY(first.stop()); // a clean exit, leak checks included
    }
    {
        // Changed between runs: a reseeded database would bring the old figure back.
        Database db(path);
        QVERIFY(db.exec("UPDATE players SET scor = scor + 1000 WHERE pid = 45000002"));
    }
    StatsdProcess second({}, path);
    QVERIFY2(second.isReady(), qPrintable(second.errorString()));
    const HttpReply reply = get(second.port(), target);
    QCOMPARE(grammarError(reply), QString());
    QCOMPARE(tokensOf(reply.body).value(19), QByteArray::number(score.toLongLong() + 1000));
    QVERIFY(second.stop());
}

void TestStatsd::refusesForeignFile_data() {
    QTest::addColumn<bool>("sqlite");
    QTest::newRow("text file") << false;
    QTest::newRow("another program's database") << true;
}

void TestStatsd::refusesForeignFile() {
    QFETCH(bool, sqlite);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("notes.sqlite"));
    if (sqlite) {
        Database other(path);
        QVERIFY(other.exec("CREATE TABLE notes (line TEXT); INSERT INTO notes VALUES ('keep me')"));
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("these are my notes, not a database\n").repeated(200));
    }
    QFile before(path);
    QVERIFY(before.open(QIODevice::ReadOnly));
    const QByteArray original = before.readAll();
    before.close();

    StatsdProcess server({}, path);
    QVERIFY(!server.isReady());
    QVERIFY2(server.errorString().contains(QStringLiteral("exit code 1")), qPrintable(server.errorString()));
    QFile after(path);
    QVERIFY(after.open(QIODevice::ReadOnly));
    QVERIFY(after.readAll() == original); // left exactly as it was
}

void TestStatsd::refusesBusyPort() {
    // A second service on the port of the first must fail, not share the port and its clients.
    StatsdProcess second({QStringLiteral("--listen"), QStringLiteral("127.0.0.1:%1").arg(m_server->port())});
    QVERIFY(!second.isReady());
    QVERIFY2(second.errorString().contains(QStringLiteral("exit code 1")), qPrintable(second.errorString()));
    QCOMPARE(grammarError(get(m_server->port(), "/ASP/getawardsinfo.aspx?pid=45000001")), QString());
}

void TestStatsd::cleanupTestCase() {
    // After all of the above the shared service still ends cleanly (and, under the sanitizers, without leaks).
    QVERIFY(m_server->stop());
}

QTEST_GUILESS_MAIN(TestStatsd)
#include "test_statsd.moc"
