// The next rank, the play-time estimate and the service's dates, worked out from a player's figures.
#include "awards/award_reader.h"
#include "service/protocol.h"
#include "stats/overview_reader.h"
#include "stats/player_progress.h"
#include "test_files.h"

#include <QTest>

namespace {

PlayerFacts player(int rank, qint64 score, double perMinute = 2.0) {
    PlayerFacts facts;
    facts.rank = rank;
    facts.score = score;
    facts.scorePerMinute = perMinute;
    return facts;
}

// The nine combat badges at the level, as an awards reply without headers lists them.
BadgeLevels combatBadges(int level) {
    BadgeLevels levels;
    for (const char* id : {"1031406", "1031619", "1031119", "1031120", "1031109", "1031115", "1031121", "1031105",
                           "1031113"})
        levels.insert(id, level);
    return levels;
}

} // namespace

class TestProgress final : public QObject {
    Q_OBJECT

private slots:
    void nextRank_data() {
        QTest::addColumn<int>("rank");
        QTest::addColumn<qint64>("score");
        QTest::addColumn<int>("badgeLevel"); // the nine combat badges held at this level, 0 none
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("next");
        QTest::addColumn<qint64>("toGo");
        QTest::addColumn<int>("missing");
        QTest::addColumn<double>("share");
        using S = NextRank::State;
        QTest::newRow("private, nothing yet") << 0 << qint64(0) << 0 << int(S::Score) << 1 << qint64(150) << 0 << 0.0;
        QTest::newRow("just below") << 3 << qint64(2499) << 0 << int(S::Score) << 4 << qint64(1) << 0 << 0.9994;
        QTest::newRow("at the threshold") << 3 << qint64(2500) << 0 << int(S::Score) << 4 << qint64(0) << 0 << 1.0;
        QTest::newRow("above it") << 3 << qint64(9000) << 0 << int(S::Score) << 4 << qint64(0) << 0 << 1.0;
        QTest::newRow("halfway") << 13 << qint64(82500) << 0 << int(S::Score) << 14 << qint64(7500) << 0 << 0.5;
        // First Sergeant: the score of a Master Sergeant and the nine basic combat badges.
        QTest::newRow("badges lacking") << 7 << qint64(30000) << 0 << int(S::Score) << 8 << qint64(0) << 9 << 1.0;
        QTest::newRow("badges held") << 7 << qint64(30000) << 1 << int(S::Score) << 8 << qint64(0) << 0 << 1.0;
        // The generals ask for the veteran level: basic ones are not enough.
        QTest::newRow("basic for veteran") << 17 << qint64(190000) << 1 << int(S::Score) << 18 << qint64(0) << 9
                                           << 1.0;
        QTest::newRow("veteran held") << 17 << qint64(170000) << 2 << int(S::Score) << 18 << qint64(10000) << 0
                                      << 2.0 / 3.0;
        // The awarded ranks are passed over: a Sergeant Major aims at 2nd Lieutenant.
        QTest::newRow("awarded passed over") << 10 << qint64(55000) << 0 << int(S::Score) << 12 << qint64(5000) << 0
                                             << 0.5;
        QTest::newRow("held awarded rank") << 11 << qint64(58000) << 0 << int(S::Score) << 12 << qint64(2000) << 0
                                           << 0.8;
        QTest::newRow("only the awarded General above") << 20 << qint64(400000) << 0 << int(S::AwardedOnly) << -1
                                                        << qint64(0) << 0 << 0.0;
        QTest::newRow("General") << 21 << qint64(500000) << 0 << int(S::Highest) << -1 << qint64(0) << 0 << 0.0;
        QTest::newRow("rank unknown") << -1 << qint64(1000) << 0 << int(S::Unknown) << -1 << qint64(0) << 0 << 0.0;
        QTest::newRow("rank out of range") << 22 << qint64(1000) << 0 << int(S::Unknown) << -1 << qint64(0) << 0
                                           << 0.0;
    }
    void nextRank() {
        QFETCH(int, rank);
        QFETCH(qint64, score);
        QFETCH(int, badgeLevel);
        QFETCH(int, state);
        QFETCH(int, next);
        QFETCH(qint64, toGo);
        QFETCH(int, missing);
        QFETCH(double, share);
        const NextRank result = NextRankOf(player(rank, score), badgeLevel ? combatBadges(badgeLevel) : BadgeLevels{});
        QCOMPARE(int(result.state), state);
        QCOMPARE(result.rank, next);
        QCOMPARE(result.pointsToGo, toGo);
        QCOMPARE(result.missingBadges.size(), missing);
        QVERIFY2(qAbs(result.share() - share) < 0.001, qPrintable(QString::number(result.share())));
    }

    void estimate_data() {
        QTest::addColumn<qint64>("score");
        QTest::addColumn<double>("perMinute");
        QTest::addColumn<QString>("text");
        // 1st Lieutenant at 75,000: from 71,808 that is 3,192 points.
        QTest::newRow("hours") << qint64(71808) << 3.8 << "about 14 h at 3.80 points a minute";
        QTest::newRow("minutes") << qint64(74905) << 3.8 << "about 25 min at 3.80 points a minute";
        QTest::newRow("no score per minute") << qint64(71808) << 0.0 << "";
        QTest::newRow("reached") << qint64(80000) << 3.8 << "";
    }
    void estimate() {
        QFETCH(qint64, score);
        QFETCH(double, perMinute);
        QFETCH(QString, text);
        const PlayerFacts facts = player(12, score, perMinute);
        QCOMPARE(EstimateText(NextRankOf(facts, {}), perMinute), text);
    }

    // Badges by the awards reply's columns; a PID or a time elsewhere never counts as one.
    void badgeLevels() {
        const QByteArray body = "O\nH\tpid\tnick\tasof\nD\t1031406\tx\t1031619\n"
                                "H\taward\tlevel\twhen\tfirst\n"
                                "D\t1031406\t1\t1031619\t0\nD\t1031406\t2\t1700000000\t0\nD\t2051907\t3\t0\t0\n$\t9\t$";
        const auto reply = ServiceReply::read(body);
        QVERIFY(reply);
        const BadgeLevels levels = BadgeLevelsOf(readAwards(*reply));
        QCOMPARE(levels.value("1031406"), 2);
        QVERIFY(!levels.contains("1031619"));
        QVERIFY(!levels.contains("2051907")); // a medal, no rank badge
        // Without headers the id is followed by its level; the last one wins.
        const BadgeLevels scanned =
            BadgeLevelsOf(readAwards(ReplyTokens{"O", "1031406", "1", "1031406", "3", "1220118"}));
        QCOMPARE(scanned.value("1031406"), 3);
        QVERIFY(!scanned.contains("1220118"));
    }

    void dates_data() {
        QTest::addColumn<QByteArray>("jond");
        QTest::addColumn<QString>("text");
        QTest::newRow("a time") << QByteArray("1118000000") << "05/06/2005 19:33"; // 2005-06-05 19:33:20 UTC
        QTest::newRow("zero") << QByteArray("0") << "N/A";
        QTest::newRow("not a number") << QByteArray("soon") << "N/A";
    }
    void dates() {
        QFETCH(QByteArray, jond);
        QFETCH(QString, text);
        const QByteArray body = "O\nH\tasof\nD\t1717171717\nH\tpid\tnick\tscor\tjond\trank\tospm\n"
                                "D\t1\tA\t100\t" + jond + "\t0\t1.5\n$\t9\t$";
        const auto reply = AcceptReply(ReplyKind::Stats, body);
        QVERIFY(reply);
        const auto overview = readOverview(*reply);
        QVERIFY(overview);
        const PlayerFacts& facts = overview->facts;
        const QLocale british(QLocale::English, QLocale::UnitedKingdom);
        QCOMPARE(ServiceTimeText(facts.joined, british, QTimeZone::utc()), text);
        QCOMPARE(ServiceTimeText(facts.asOf, british, QTimeZone::utc()), QStringLiteral("31/05/2024 16:08"));
        // lbtl is not among the columns sent.
        QCOMPARE(ServiceTimeText(facts.lastBattle, british, QTimeZone::utc()), QStringLiteral("N/A"));
        // The same instant in another zone reads in that zone.
        QCOMPARE(ServiceTimeText(facts.asOf, british, QTimeZone("Europe/Berlin")), QStringLiteral("31/05/2024 18:08"));
        QCOMPARE(facts.score, 100);
        QCOMPARE(facts.rank, 0);
        QCOMPARE(facts.scorePerMinute, 1.5);
    }
};

QTEST_GUILESS_MAIN(TestProgress)
#include "test_progress.moc"
