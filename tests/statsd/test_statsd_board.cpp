// The parts of orvane-statsd behind the pages, driven directly on a small seeded database: every
// statement the pages run uses an index, and the board's places stay right while scores change.

#include "board.h"
#include "database.h"
#include "pages.h"
#include "seed.h"
#include "text.h"

#include <QTemporaryDir>
#include <QTest>
#include <map>
#include <memory>

namespace {

using i64 = std::int64_t;

// Ordered (score desc, pid asc) the plain way, as the oracle.
std::vector<std::pair<i64, i64>> boardByCounting(db::Connection& c) {
    std::vector<std::pair<i64, i64>> rows;
    db::Statement s = c.prepare("SELECT pid, scor FROM players ORDER BY scor DESC, pid");
    while (s.step()) {
        rows.emplace_back(s.integer(0), s.integer(1));
    }
    return rows;
}

} // namespace

class TestStatsdBoard final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void everyStatementUsesAnIndex();
    void placesFollowChanges_data();
    void placesFollowChanges();

private:
    // Every place on the board and every player's place agree with counting.
    QString boardError();

    QTemporaryDir m_dir;
    std::string m_path;
    std::unique_ptr<db::Connection> m_db;
};

void TestStatsdBoard::initTestCase() {
    QVERIFY(m_dir.isValid());
    m_path = m_dir.filePath(QStringLiteral("board.sqlite")).toStdString();
    std::string error;
    QVERIFY2(seed::createDatabase(m_path, 300, error), error.c_str());
    m_db = db::Connection::open(m_path, error);
    QVERIFY2(m_db != nullptr && db::ensureSchema(*m_db, error), error.c_str());
}

void TestStatsdBoard::everyStatementUsesAnIndex() {
    std::string error;
    auto reader = db::Connection::open(m_path, error);
    QVERIFY(reader != nullptr);
    const char* const queries[][2] = {
        {"player", "pid=45000001"},
        {"player", "pid=45000003&info=mtm-,mwn-,mls-"},
        {"board", "type=score&id=overall&pid=45000007"},
        {"board", "type=score&id=overall&pos=1&after=9"},
        {"board", "type=score&id=overall&pos=150&before=5&after=5"},
        {"board", "type=score&id=overall&pos=299&after=9"},
        {"search", "nick=Sarge&where=a"},
        {"search", "nick=a&where=a"},
        {"search", "nick=zq&where=a"},
        {"search", "nick=DOG&where=b"},
        {"search", "nick=Time&where=e"},
        {"search", "nick=sarge&where=x"},
        {"awards", "pid=45000001"},
        {"unlocks", "pid=45000001"},
    };
    for (const auto& [page, raw] : queries) {
        const text::Query query(raw);
        const std::string p = page;
        const auto body = p == "player"   ? pages::playerInfo(*reader, query, 0)
                          : p == "board"  ? pages::leaderboard(*reader, query, 0)
                          : p == "search" ? pages::searchPlayers(*reader, query, 0)
                          : p == "awards" ? pages::awardsInfo(*reader, query, 0)
                                          : pages::unlocksInfo(*reader, query, 0);
        QVERIFY2(body && body->starts_with("O"), raw);
    }
    const std::vector<std::string> statements = reader->preparedSql();
    QVERIFY(statements.size() >= 8);
    QStringList scans;
    for (const std::string& sql : statements) {
        db::Statement plan = reader->prepare("EXPLAIN QUERY PLAN " + sql);
        QVERIFY2(plan, sql.c_str());
        bool any = false;
        while (plan.step()) {
            any = true;
            const QString detail = QString::fromStdString(plan.text(3));
            // A table read from end to end; reading an index in order (with a limit) is not one.
            const bool fullScan =
                detail.startsWith(QLatin1String("SCAN ")) && !detail.contains(QLatin1String("USING INDEX")) &&
                !detail.contains(QLatin1String("USING COVERING INDEX")) &&
                !detail.contains(QLatin1String("VIRTUAL TABLE INDEX")) &&
                !detail.startsWith(QLatin1String("SCAN (subquery")) && detail != QLatin1String("SCAN CONSTANT ROW");
            if (fullScan) {
                scans << detail + QStringLiteral(" in: ") + QString::fromStdString(sql).left(160);
            }
        }
        QVERIFY2(any, sql.c_str());
    }
    QVERIFY2(scans.isEmpty(), qPrintable(scans.join(QLatin1Char('\n'))));
}

QString TestStatsdBoard::boardError() {
    const auto expected = boardByCounting(*m_db);
    db::Statement size = m_db->prepare("SELECT " + board::sizeSql());
    if (!size.step() || size.integer(0) != i64(expected.size())) {
        return QStringLiteral("size %1, counted %2").arg(size.integer(0)).arg(expected.size());
    }
    std::map<i64, i64> placeOf;
    db::Statement places = m_db->prepare("SELECT p.pid, " + board::aheadOfSql() + " FROM players p");
    while (places.step()) {
        placeOf[places.integer(0)] = places.integer(1) + 1;
    }
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const i64 place = i64(i) + 1;
        const auto [pid, score] = expected[i];
        if (placeOf[pid] != place) {
            return QStringLiteral("player %1 (score %2) has place %3, counted %4")
                .arg(pid)
                .arg(score)
                .arg(placeOf[pid])
                .arg(place);
        }
        bool failed = false;
        const auto at = board::at(*m_db, place, failed);
        if (!at || at->pid != pid || at->score != score) {
            return QStringLiteral("place %1 holds %2, counted %3").arg(place).arg(at ? at->pid : -1).arg(pid);
        }
    }
    bool failed = false;
    if (board::at(*m_db, i64(expected.size()) + 1, failed) || failed) {
        return QStringLiteral("a place past the end");
    }
    return {};
}

void TestStatsdBoard::placesFollowChanges_data() {
    QTest::addColumn<QByteArray>("change");
    QTest::newRow("as seeded") << QByteArray();
    QTest::newRow("up to the top") << QByteArray("UPDATE players SET scor = 999999 WHERE pid = 45000004");
    QTest::newRow("down to the bottom") << QByteArray("UPDATE players SET scor = 0 WHERE pid = 45000001");
    QTest::newRow("tie with the twins") << QByteArray(
        "UPDATE players SET scor = (SELECT scor FROM players WHERE pid = 45000007) WHERE pid = 45000002");
    QTest::newRow("out of a tie") << QByteArray("UPDATE players SET scor = scor + 1 WHERE pid = 45000007");
    QTest::newRow("many at once into one score") << QByteArray("UPDATE players SET scor = 5000 WHERE pid % 3 = 0");
    QTest::newRow("below zero and far above")
        << QByteArray("UPDATE players SET scor = -17 WHERE pid = 45000005; "
                      "UPDATE players SET scor = 1099511627776 WHERE pid = 45000006");
    QTest::newRow("a PID changes") << QByteArray("PRAGMA foreign_keys=OFF; UPDATE players SET pid = 45000099 "
                                                 "WHERE pid = 45000008; PRAGMA foreign_keys=ON");
    QTest::newRow("a player joins") << QByteArray(
        "INSERT INTO players SELECT 45000100, 'Newcomer', country, 5000, jond, wins, loss, mode0, "
        "mode1, mode2, time, smoc, cmsc, kill, kila, deth, suic, bksk, wdsk, tvcr, topr, twsc, cpcp, "
        "cacp, dfcp, heal, rviv, rsup, rpar, tgte, dkas, dsab, cdsc, rank, kick, bbrs, tcdr, ban, "
        "lbtl, vrk, tsql, tsqm, tlwf, mvks, vmks, tnv, tgm, de6, de7, de8, unlockpoints FROM players "
        "WHERE pid = 45000002");
    QTest::newRow("players leave") << QByteArray(
        "PRAGMA foreign_keys=OFF; DELETE FROM players WHERE scor = 5000 AND pid % 2 = 0; "
        "PRAGMA foreign_keys=ON");
}

void TestStatsdBoard::placesFollowChanges() {
    // The rows build on one another: each change is made to the board as the previous ones left it.
    QFETCH(QByteArray, change);
    if (!change.isEmpty()) {
        QVERIFY2(m_db->exec(change.constData()), m_db->lastError().c_str());
    }
    const QString error = boardError();
    QVERIFY2(error.isEmpty(), qPrintable(error));
}

QTEST_GUILESS_MAIN(TestStatsdBoard)
#include "test_statsd_board.moc"
