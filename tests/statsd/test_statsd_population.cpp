// The demo population of orvane-statsd as users meet it: the same file for the same size, the
// named players the same at any size, and every name docs/statsd.md lists found through the
// search page the way the program asks for it.

#include "statsd_process.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sqlite3.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const QByteArray InfoKeys =
    "per*,cmb*,twsc,cpcp,cacp,dfcp,kila,heal,rviv,rsup,rpar,tgte,dkas,dsab,cdsc,rank,cmsc,kick,kill,deth,suic,"
    "ospm,klpm,klpr,dtpr,bksk,wdsk,bbrs,tcdr,ban,dtpm,lbtl,osaa,vrk,tsql,tsqm,tlwf,mvks,vmks,mvn*,vmr*,fkit,fmap,"
    "fveh,fwea,wtm-,wkl-,wdt-,wac-,wkd-,vtm-,vkl-,vdt-,vkd-,vkr-,atm-,awn-,alo-,abr-,ktm-,kkl-,kdt-,kkd-";

// The body of a GET over HTTP/1.0 (the reply ends with the connection); empty on failure.
QByteArray fetch(quint16 port, const QByteArray& target) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd < 0 || ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        if (fd >= 0) {
            ::close(fd);
        }
        return {};
    }
    const QByteArray request = "GET " + target + " HTTP/1.0\r\nHost: 127.0.0.1\r\nUser-Agent: GameSpyHTTP/1.0\r\n\r\n";
    ::send(fd, request.constData(), size_t(request.size()), MSG_NOSIGNAL);
    QByteArray raw;
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 10000) <= 0) {
            break;
        }
        char buffer[16384];
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) {
            break;
        }
        raw.append(buffer, n);
    }
    ::close(fd);
    const qsizetype end = raw.indexOf("\r\n\r\n");
    return raw.startsWith("HTTP/1.1 200") && end >= 0 ? raw.mid(end + 4) : QByteArray();
}

// The reply with the value under every "asof" blanked: the time of the request is all that may differ.
QByteArray withoutTime(const QByteArray& body) {
    QList<QByteArray> lines = body.split('\n');
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        const QList<QByteArray> names = lines[i].split('\t');
        const qsizetype column = names.indexOf("asof");
        if (names.value(0) == "H" && column > 0) {
            QList<QByteArray> values = lines[i + 1].split('\t');
            if (column < values.size()) {
                values[column] = "";
            }
            lines[i + 1] = values.join('\t');
        }
    }
    return lines.join('\n');
}

// As the program sends a typed nickname: Windows-1252 bytes, all but A-Z a-z 0-9 - . _ ~ as %XX.
QByteArray asTheProgramSends(const QString& nick) {
    return nick.toLatin1().toPercentEncoding();
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

constexpr qint64 FirstNamed = 45000001;
constexpr qint64 LastNamed = 45000018;

} // namespace

class TestStatsdPopulation final : public QObject {
    Q_OBJECT

private slots:
    void sameSizeSameFile();
    void namedPlayersDoNotDependOnSize();
    void documentedNamesAreServed();
    void topTenOfClans();
    void changesShowAtOnce();
    void firstSchemaBroughtUpToDate();
};

void TestStatsdPopulation::sameSizeSameFile() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QByteArray files[2];
    for (int run = 0; run < 2; ++run) {
        const QString path = dir.filePath(QStringLiteral("run%1.sqlite").arg(run));
        StatsdProcess server({QStringLiteral("--players"), QStringLiteral("400"), QStringLiteral("--quiet")}, path);
        QVERIFY2(server.isReady(), qPrintable(server.errorString()));
        QVERIFY(!fetch(server.port(), "/ASP/getawardsinfo.aspx?pid=45100001").isEmpty());
        QVERIFY(server.stop());
        files[run] = readFile(path);
    }
    QVERIFY(files[0].size() > 100000);
    QVERIFY(files[0] == files[1]);
}

void TestStatsdPopulation::namedPlayersDoNotDependOnSize() {
    StatsdProcess fewest({QStringLiteral("--players"), QStringLiteral("1"), QStringLiteral("--quiet")});
    StatsdProcess more({QStringLiteral("--players"), QStringLiteral("700"), QStringLiteral("--quiet")});
    QVERIFY2(fewest.isReady(), qPrintable(fewest.errorString()));
    QVERIFY2(more.isReady(), qPrintable(more.errorString()));
    // Never fewer than the named players.
    const QByteArray size = "\nD\t" + QByteArray::number(LastNamed - FirstNamed + 1) + "\t";
    QVERIFY(fetch(fewest.port(), "/ASP/getleaderboard.aspx?type=score&id=overall").contains(size));
    for (qint64 pid = FirstNamed; pid <= LastNamed; ++pid) {
        const QByteArray id = QByteArray::number(pid);
        for (const QByteArray& target : {"/ASP/getplayerinfo.aspx?pid=" + id + "&info=" + InfoKeys,
                                         "/ASP/getplayerinfo.aspx?pid=" + id + "&info=mtm-,mwn-,mls-",
                                         "/ASP/getawardsinfo.aspx?pid=" + id, "/ASP/getunlocksinfo.aspx?pid=" + id}) {
            const QByteArray a = withoutTime(fetch(fewest.port(), target));
            QVERIFY2(a.startsWith("O\n"), target.constData());
            QVERIFY2(a == withoutTime(fetch(more.port(), target)), target.constData());
        }
    }
    // The top ten too, apart from the size of the board.
    const QByteArray top = "/ASP/getleaderboard.aspx?type=score&id=overall&after=9";
    auto rows = [](const QByteArray& body) {
        const qsizetype from = body.indexOf("\nH\tn\t");
        return body.mid(from, body.lastIndexOf('\n') - from); // without the count line, which counts the size too
    };
    QCOMPARE(rows(fetch(fewest.port(), top)), rows(fetch(more.port(), top)));
}

void TestStatsdPopulation::documentedNamesAreServed() {
    const QByteArray docs = readFile(QStringLiteral(ORVANE_FIXTURES_DIR "/../../docs/statsd.md"));
    QVERIFY(!docs.isEmpty());
    // Rows of the table of named players: | PID | `nickname` | country | ... (a | in a name is \|).
    static const QRegularExpression row(QStringLiteral("^\\| (\\d{8}) \\| `((?:[^`])+)` \\| ([A-Z]{2}) \\|"),
                                        QRegularExpression::MultilineOption);
    StatsdProcess server({QStringLiteral("--quiet")});
    QVERIFY2(server.isReady(), qPrintable(server.errorString()));
    int listed = 0;
    for (auto it = row.globalMatch(QString::fromUtf8(docs)); it.hasNext(); ++listed) {
        const QRegularExpressionMatch m = it.next();
        const QByteArray pid = m.captured(1).toLatin1();
        const QString nick = m.captured(2).replace(QLatin1String("\\|"), QLatin1String("|"));
        const QByteArray wire = nick.toLatin1();
        // Found by the exact search as the program sends it, and as typed into a contains search.
        for (const QByteArray& target : {"/ASP/searchforplayers.aspx?nick=" + asTheProgramSends(nick) + "&where=x",
                                         "/ASP/searchforplayers.aspx?nick=" + asTheProgramSends(nick) + "&where=a"}) {
            const QList<QByteArray> t = fetch(server.port(), target).replace('\n', '\t').split('\t');
            QVERIFY2(t.size() > 14 && t[12] == pid && t[13] == wire, target.constData());
        }
        const QByteArray info = fetch(server.port(), "/ASP/getplayerinfo.aspx?pid=" + pid + "&info=" + InfoKeys);
        QVERIFY2(info.split('\n').value(4).split('\t').value(2) == wire, pid.constData());
        const QList<QByteArray> record =
            fetch(server.port(), "/ASP/getleaderboard.aspx?type=score&id=overall&pid=" + pid).split('\n');
        QVERIFY2(record.value(4).split('\t').value(7) == m.captured(3).toLatin1(), pid.constData());
    }
    QVERIFY(listed >= 18);
    // A '+' that is not encoded is a '+' too.
    const QList<QByteArray> t =
        fetch(server.port(), "/ASP/searchforplayers.aspx?nick=Tom%26Jerry%20%231%20+5%25%3D&where=x")
            .replace('\n', '\t')
            .split('\t');
    QCOMPARE(t.value(12), "45000011");
}

void TestStatsdPopulation::topTenOfClans() {
    StatsdProcess server({QStringLiteral("--players"), QStringLiteral("2000"), QStringLiteral("--quiet")});
    QVERIFY2(server.isReady(), qPrintable(server.errorString()));
    const QList<QByteArray> lines =
        fetch(server.port(), "/ASP/getleaderboard.aspx?type=score&id=overall&after=9").split('\n');
    static const QRegularExpression clanTag(QStringLiteral("^[=\\[{|(~*-].*[=\\]}|)~*-] \\S"));
    QList<QByteArray> scores;
    for (const QByteArray& line : lines) {
        const QList<QByteArray> v = line.split('\t');
        if (v.value(0) == "D" && v.size() == 8) {
            QVERIFY2(clanTag.match(QString::fromLatin1(v[3])).hasMatch(), v[3].constData());
            scores << v[4];
        }
    }
    QCOMPARE(scores.size(), 10);
    QVERIFY(QSet<QByteArray>(scores.begin(), scores.end()).size() < 10); // two share a score
}

void TestStatsdPopulation::changesShowAtOnce() {
    StatsdProcess server({QStringLiteral("--quiet")});
    QVERIFY2(server.isReady(), qPrintable(server.errorString()));
    const QByteArray record = "/ASP/getleaderboard.aspx?type=score&id=overall&pid=45000002";
    const QByteArray info = "/ASP/getplayerinfo.aspx?pid=45000002&info=" + InfoKeys;
    const QByteArray search = "/ASP/searchforplayers.aspx?nick=Renamed&where=a";
    auto fields = [&](const QByteArray& target) {
        return fetch(server.port(), target).replace('\n', '\t').split('\t');
    };
    // Fetched once before, so a reply kept from before the change would show.
    const QList<QByteArray> before = fields(record);
    QVERIFY(before.size() > 22);
    QVERIFY(fields(info).size() > 400);
    QCOMPARE(fields(search).size(), 13);

    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(server.databasePath()).constData(), &db), SQLITE_OK);
    const char* change = "UPDATE players SET scor = 999999, nick = 'Renamed Sarge' WHERE pid = 45000002; "
                         "UPDATE weapons SET kills = 4321 WHERE pid = 45000002 AND id = 3;";
    QCOMPARE(sqlite3_exec(db, change, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);

    const QList<QByteArray> after = fields(record);
    QCOMPARE(after.value(16), "1"); // first of the board now
    QCOMPARE(after.value(18), "Renamed Sarge");
    QCOMPARE(after.value(19), "999999");
    const QList<QByteArray> t = fields(info);
    QCOMPARE(t.value(316), "4321"); // wkl-3
    QCOMPARE(fields(search).value(12), "45000002");
}

void TestStatsdPopulation::firstSchemaBroughtUpToDate() {
    // A file as the service's first schema made it: one row per player and item.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("old.sqlite"));
    const char* const schema =
        "CREATE TABLE meta (key TEXT PRIMARY KEY, value TEXT NOT NULL);\n"
        "CREATE TABLE players (\n"
        "    pid INTEGER PRIMARY KEY,\n"
        "    nick TEXT NOT NULL UNIQUE COLLATE NOCASE,\n"
        "    country TEXT NOT NULL,\n"
        "    scor INTEGER NOT NULL, jond INTEGER NOT NULL, wins INTEGER NOT NULL, loss INTEGER NOT NULL,\n"
        "    mode0 INTEGER NOT NULL, mode1 INTEGER NOT NULL, mode2 INTEGER NOT NULL, time INTEGER NOT NULL,\n"
        "    smoc INTEGER NOT NULL, cmsc INTEGER NOT NULL, kill INTEGER NOT NULL, kila INTEGER NOT NULL,\n"
        "    deth INTEGER NOT NULL, suic INTEGER NOT NULL, bksk INTEGER NOT NULL, wdsk INTEGER NOT NULL,\n"
        "    tvcr INTEGER NOT NULL, topr INTEGER NOT NULL, twsc INTEGER NOT NULL, cpcp INTEGER NOT NULL,\n"
        "    cacp INTEGER NOT NULL, dfcp INTEGER NOT NULL, heal INTEGER NOT NULL, rviv INTEGER NOT NULL,\n"
        "    rsup INTEGER NOT NULL, rpar INTEGER NOT NULL, tgte INTEGER NOT NULL, dkas INTEGER NOT NULL,\n"
        "    dsab INTEGER NOT NULL, cdsc INTEGER NOT NULL, rank INTEGER NOT NULL, kick INTEGER NOT NULL,\n"
        "    bbrs INTEGER NOT NULL, tcdr INTEGER NOT NULL, ban INTEGER NOT NULL, lbtl INTEGER NOT NULL,\n"
        "    vrk INTEGER NOT NULL, tsql INTEGER NOT NULL, tsqm INTEGER NOT NULL, tlwf INTEGER NOT NULL,\n"
        "    mvks INTEGER NOT NULL, vmks INTEGER NOT NULL, tnv INTEGER NOT NULL, tgm INTEGER NOT NULL,\n"
        "    de6 INTEGER NOT NULL, de7 INTEGER NOT NULL, de8 INTEGER NOT NULL,\n"
        "    unlockpoints INTEGER NOT NULL\n"
        ");\n"
        "CREATE INDEX players_by_score ON players (scor DESC, pid);\n"
        "CREATE TABLE weapons (\n"
        "    pid INTEGER NOT NULL REFERENCES players (pid), id INTEGER NOT NULL,\n"
        "    time INTEGER NOT NULL, kills INTEGER NOT NULL, deaths INTEGER NOT NULL,\n"
        "    fired INTEGER NOT NULL, hits INTEGER NOT NULL,\n"
        "    PRIMARY KEY (pid, id)) WITHOUT ROWID;\n"
        "CREATE TABLE vehicles (\n"
        "    pid INTEGER NOT NULL REFERENCES players (pid), id INTEGER NOT NULL,\n"
        "    time INTEGER NOT NULL, kills INTEGER NOT NULL, deaths INTEGER NOT NULL, roadkills INTEGER NOT NULL,\n"
        "    PRIMARY KEY (pid, id)) WITHOUT ROWID;\n"
        "CREATE TABLE armies (\n"
        "    pid INTEGER NOT NULL REFERENCES players (pid), id INTEGER NOT NULL,\n"
        "    time INTEGER NOT NULL, wins INTEGER NOT NULL, losses INTEGER NOT NULL, best INTEGER NOT NULL,\n"
        "    PRIMARY KEY (pid, id)) WITHOUT ROWID;\n"
        "CREATE TABLE kits (\n"
        "    pid INTEGER NOT NULL REFERENCES players (pid), id INTEGER NOT NULL,\n"
        "    time INTEGER NOT NULL, kills INTEGER NOT NULL, deaths INTEGER NOT NULL,\n"
        "    PRIMARY KEY (pid, id)) WITHOUT ROWID;\n"
        "CREATE TABLE maps (\n"
        "    pid INTEGER NOT NULL REFERENCES players (pid), id INTEGER NOT NULL,\n"
        "    time INTEGER NOT NULL, wins INTEGER NOT NULL, losses INTEGER NOT NULL,\n"
        "    PRIMARY KEY (pid, id)) WITHOUT ROWID;\n"
        "CREATE TABLE awards (\n"
        "    pid INTEGER NOT NULL REFERENCES players (pid), award INTEGER NOT NULL, level INTEGER NOT NULL,\n"
        "    earned INTEGER NOT NULL, first INTEGER NOT NULL,\n"
        "    PRIMARY KEY (pid, award, level)) WITHOUT ROWID;\n"
        "CREATE TABLE unlocks (\n"
        "    pid INTEGER NOT NULL REFERENCES players (pid), id INTEGER NOT NULL,\n"
        "    state TEXT NOT NULL CHECK (state IN ('s', 'n')),\n"
        "    PRIMARY KEY (pid, id)) WITHOUT ROWID;\n";
    const char* const rows =
        "INSERT INTO meta VALUES ('schema', '1');"
        "WITH RECURSIVE n(value) AS (SELECT 0 UNION ALL SELECT value + 1 FROM n WHERE value < 13) "
        "INSERT INTO players SELECT 45000001 + value, 'Old ' || value, 'DE', 1000 - value % 2, 0, 0, 0, 0, 0, 0, 3600,"
        " 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,"
        " 0, 0, 0, 1 FROM n WHERE value <= 3;"
        "WITH RECURSIVE n(value) AS (SELECT 0 UNION ALL SELECT value + 1 FROM n WHERE value < 13) "
        "INSERT INTO weapons SELECT 45000002, value, 60 * value, value, 1, 10, 5 FROM n;"
        "INSERT INTO unlocks VALUES (45000002, 44, 's');";
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
    QCOMPARE(sqlite3_exec(db, schema, nullptr, nullptr, nullptr), SQLITE_OK);
    const int filled = sqlite3_exec(db, rows, nullptr, nullptr, nullptr);
    QVERIFY2(filled == SQLITE_OK, sqlite3_errmsg(db));
    sqlite3_close(db);

    StatsdProcess server({QStringLiteral("--quiet")}, path);
    QVERIFY2(server.isReady(), qPrintable(server.errorString()));
    auto fields = [&](const QByteArray& target) {
        return fetch(server.port(), target).replace('\n', '\t').split('\t');
    };
    const QList<QByteArray> info = fields("/ASP/getplayerinfo.aspx?pid=45000002&info=" + InfoKeys);
    QCOMPARE(info.value(240), "Old 1");
    QCOMPARE(info.value(313 + 13), "13"); // wkl-13, from the old weapons rows
    QCOMPARE(info.value(299 + 2), "120"); // wtm-2
    // Scores 1000, 999, 1000, 999: the board breaks the ties by PID.
    QCOMPARE(fields("/ASP/getleaderboard.aspx?type=score&id=overall&pid=45000003").value(16), "2");
    QCOMPARE(fields("/ASP/getleaderboard.aspx?type=score&id=overall&pid=45000002").value(16), "3");
    QCOMPARE(fields("/ASP/searchforplayers.aspx?nick=Old%203&where=a").value(12), "45000004");
    const QList<QByteArray> unlocks = fields("/ASP/getunlocksinfo.aspx?pid=45000002");
    QCOMPARE(unlocks.value(19 + 3 * 3), "44");
    QCOMPARE(unlocks.value(20 + 3 * 3), "s");
    QVERIFY(server.stop());
}

QTEST_GUILESS_MAIN(TestStatsdPopulation)
#include "test_statsd_population.moc"
