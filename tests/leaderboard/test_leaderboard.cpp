#include "leaderboard/board_reader.h"
#include "service/protocol.h"
#include "service/service_reply.h"
#include "tables/copy_line.h"
#include "tables/table_order.h"
#include "test_files.h"

#include <QTest>

using TestFiles::fixture;

Q_DECLARE_METATYPE(CellKind)
Q_DECLARE_METATYPE(CopyTable)

namespace {

BoardRow record(const char* nick, const char* score) {
    return {BoardRow::State::Record, {"1", nick, score, "00:00:00", "DE"}};
}
BoardRow unknown(const char* nick) {
    return {BoardRow::State::Unknown, {"not found", nick, "0", "00:00:00", "N/A"}};
}
const BoardRow empty{};

QStringList nicks(const QList<BoardRow>& rows) {
    QStringList out;
    for (const BoardRow& row : rows)
        out.append(row.state == BoardRow::State::Empty ? QStringLiteral("-") : QString::fromLatin1(row.entry.nickname));
    return out;
}

} // namespace

class LeaderboardTest final : public QObject {
    Q_OBJECT

private slots:
    // By column names (the service's own layout) and by the positions of a reply known only by its
    // tokens; both readings of the same reply agree.
    void topTen_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("byPosition");
        QTest::addColumn<int>("count");
        const QByteArray topTen = fixture("getleaderboard_topten.txt");
        QTest::newRow("by columns") << topTen << false << 10;
        QTest::newRow("by positions") << topTen << true << 10;
        // Columns in another order, and a service with three players.
        QByteArray reordered = "O\nH\tsize\tasof\nD\t3\t1717171717\n"
                               "H\tcountrycode\tn\tnick\tpid\tscore\ttotaltime\n";
        reordered += "D\tUS\t1\tVortex\t45000001\t250000\t9003723\n";
        reordered += "D\tDE\t2\tKestrel\t45000002\t241000\t8703723\n";
        reordered += "D\tGB\t3\tHammer\t45000003\t232000\t0\n$\t99\t$";
        QTest::newRow("columns reordered, three players") << reordered << false << 3;
    }
    void topTen() {
        QFETCH(QByteArray, body);
        QFETCH(bool, byPosition);
        const std::optional<ServiceReply> reply = ServiceReply::read(body);
        QVERIFY(reply);
        const std::optional<QList<BoardEntry>> entries =
            byPosition ? readTopTen(ServiceReply(reply->tokens())) : readTopTen(*reply);
        QVERIFY(entries);
        QTEST(int(entries->size()), "count");
        QCOMPARE(entries->first(), (BoardEntry{"45000001", "Vortex", "250000", "2501:02:03", "US"}));
        QCOMPARE(entries->at(1), (BoardEntry{"45000002", "Kestrel", "241000", "2417:42:03", "DE"}));
        if (entries->size() == 10)
            QCOMPARE(entries->last(), (BoardEntry{"45000010", "Ironside", "169000", "1751:02:03", "FI"}));
    }

    void topTenUnreadable() {
        // By positions, one record short of ten cannot be read; nor a reply without a nickname column.
        ReplyTokens cut = CutServiceReply(fixture("getleaderboard_topten.txt"));
        cut.resize(TopTenHighestPosition);
        QVERIFY(!readTopTen(cut));
        QVERIFY(!readTopTen(*ServiceReply::read("O\nH\tpid\tscore\nD\t1\t2\n$\t9\t$")));
    }

    void personalRecord_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("byPosition");
        QTest::addColumn<bool>("readable");
        QTest::addColumn<bool>("found");
        QTest::addColumn<BoardEntry>("entry");
        const QByteArray rank = fixture("getleaderboard_rank.txt");
        const BoardEntry sarge{"43917456", "=DOG= Sarge", "48211", "651:34:38", "DE"};
        for (const bool byPosition : {false, true}) {
            const char* how = byPosition ? "by positions" : "by columns";
            QTest::addRow("record, clan tag and blank kept, %s", how) << rank << byPosition << true << true << sarge;
            QTest::addRow("no record, %s", how)
                << fixture("getleaderboard_norecord.txt") << byPosition << true << false << BoardEntry{};
            QByteArray odd = rank;
            odd.replace("\t2345678\t", "\t3723\t");
            QTest::addRow("3723 seconds, %s", how) << odd << byPosition << true << true
                                                   << BoardEntry{"43917456", "=DOG= Sarge", "48211", "01:02:03", "DE"};
            odd.replace("\t3723\t", "\tsoon\t");
            QTest::addRow("time not a number, %s", how)
                << odd << byPosition << true << true
                << BoardEntry{"43917456", "=DOG= Sarge", "48211", "00:00:00", "DE"};
        }
        QTest::newRow("header without a record line")
            << QByteArray("O\nH\tn\tpid\tnick\tscore\ttotaltime\tplayerrank\tcountrycode\n$\t9\t$") << false << true
            << false << BoardEntry{};
        QTest::newRow("cut short, by positions") << QByteArray("O\nH\tsize\tasof\nD\t5000\t1717171717\nH\tn\tpid\n")
                                                 << true << false << false << BoardEntry{};
    }
    void personalRecord() {
        QFETCH(QByteArray, body);
        QFETCH(bool, byPosition);
        QFETCH(bool, readable);
        const std::optional<ServiceReply> reply = ServiceReply::read(body);
        QVERIFY(reply);
        const std::optional<PersonalRecord> record =
            byPosition ? readPersonalRecord(ServiceReply(reply->tokens())) : readPersonalRecord(*reply);
        QCOMPARE(record.has_value(), readable);
        if (!record)
            return;
        QTEST(record->found, "found");
        QTEST(record->entry, "entry");
    }

    void ranking_data() {
        QTest::addColumn<QList<BoardRow>>("rows");
        QTest::addColumn<QStringList>("ranked");
        QTest::newRow("by score, highest first")
            << QList<BoardRow>{record("a", "5"), record("b", "48211"), record("c", "1200"), empty}
            << QStringList{"b", "c", "a", "-"};
        QTest::newRow("2 before 10 by value")
            << QList<BoardRow>{record("two", "2"), record("ten", "10")} << QStringList{"ten", "two"};
        QTest::newRow("equal scores keep list order")
            << QList<BoardRow>{record("first", "700"), record("high", "900"), record("second", "700")}
            << QStringList{"high", "first", "second"};
        QTest::newRow("unknown below every record, even a score of 0")
            << QList<BoardRow>{empty, unknown("ghost"), record("new", "0"), record("old", "12")}
            << QStringList{"old", "new", "ghost", "-"};
        QTest::newRow("beyond 32 bits") << QList<BoardRow>{record("small", "2147483647"), record("big", "4294967296")}
                                        << QStringList{"big", "small"};
    }
    void ranking() {
        QFETCH(QList<BoardRow>, rows);
        QTEST(nicks(rankByScore(rows)), "ranked");
    }

    void captions() {
        const QList<QByteArray> expected{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"};
        QCOMPARE(BoardCaptions(), expected);
    }

    // Each column's cells in the order of an ascending sort.
    void cellOrder_data() {
        QTest::addColumn<CellKind>("kind");
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<QStringList>("ascending");
        using K = CellKind;
        QTest::newRow("integers by value")
            << K::Integer << QStringList{"10", "2", "-3", "0"} << QStringList{"-3", "0", "2", "10"};
        QTest::newRow("no overflow at the 32-bit ends") << K::Integer << QStringList{"2147483647", "-2147483648", "1"}
                                                        << QStringList{"-2147483648", "1", "2147483647"};
        QTest::newRow("not a number counts as 0")
            << K::Integer << QStringList{"5", "n/a", "-1", ""} << QStringList{"-1", "n/a", "", "5"};
        QTest::newRow("times by value") << K::Duration << QStringList{"100:00:00", "99:00:00", "10:00:00", "09:59:59"}
                                        << QStringList{"09:59:59", "10:00:00", "99:00:00", "100:00:00"};
        QTest::newRow("ratios by value") << K::Decimal << QStringList{"10.00", "2.00", "2,50", "0"}
                                         << QStringList{"0", "2.00", "2,50", "10.00"};
        QTest::newRow("percentages, n/a below every value")
            << K::Decimal << QStringList{"9.5%", "n/a", "12.25%", "0.00%"}
            << QStringList{"n/a", "0.00%", "9.5%", "12.25%"};
        QTest::newRow("times, n/a below every value")
            << K::Duration << QStringList{"00:00:01", "n/a", "00:00:00"} << QStringList{"n/a", "00:00:00", "00:00:01"};
        QTest::newRow("names by their capitals, prefix first")
            << K::Text << QStringList{"bravo", "Alpha", "alp", "ALPHA", "_x"}
            << QStringList{"alp", "Alpha", "ALPHA", "bravo", "_x"};
    }
    void cellOrder() {
        QFETCH(CellKind, kind);
        QFETCH(QStringList, cells);
        QList<QStringList> rows;
        for (const QString& c : cells)
            rows.append(QStringList{c});
        SortState state;
        state.sortColumn = 0;
        QStringList sorted;
        for (int i : SortedOrder(rows, state, {kind}))
            sorted.append(cells[i]);
        QTEST(sorted, "ascending");
        state.descending = true;
        QStringList reversed;
        for (int i : SortedOrder(rows, state, {kind}))
            reversed.append(cells[i]);
        // Equal cells keep their order in both directions; everything else turns round.
        if (kind != CellKind::Text && kind != CellKind::Integer) {
            std::reverse(reversed.begin(), reversed.end());
            QTEST(reversed, "ascending");
        }
    }

    void equalNames() {
        QCOMPARE(CompareCells(u"Sarge", u"sARGE", CellKind::Text), 0);
        QVERIFY(CompareCells(u"Rook", u"Rooks", CellKind::Text) < 0);
    }

    // The shared state across header clicks, table after table.
    void clicks_data() {
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<QList<bool>>("descending");
        QTest::newRow("first column: descending, then ascending") << QList<int>{0, 0} << QList<bool>{true, false};
        QTest::newRow("Wins twice: ascending, then descending") << QList<int>{2, 2} << QList<bool>{false, true};
        // Column 2 of the army table, then column 2 of the kits table, then column 3 of the kits table.
        QTest::newRow("same index on another table turns round")
            << QList<int>{2, 2, 3} << QList<bool>{false, true, false};
    }
    void clicks() {
        QFETCH(QList<int>, clicks);
        QFETCH(QList<bool>, descending);
        SortState state;
        for (qsizetype i = 0; i < clicks.size(); ++i) {
            state.click(clicks[i]);
            QCOMPARE(state.sortColumn, clicks[i]);
            QCOMPARE(state.descending, descending[i]);
        }
    }

    void rankingKeepsClickHistory() {
        SortState state;
        state.click(4); // the user sorted by "Time"
        state.rankBy(3);
        QCOMPARE(state, (SortState{3, 4, true}));
        state.click(4); // the index of the previous click: the direction turns round, to ascending
        QCOMPARE(state.descending, false);
        state.rankBy(3);
        state.click(1); // any other column sorts ascending
        QCOMPARE(state.descending, false);
    }

    void copyLines_data() {
        QTest::addColumn<CopyTable>("table");
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<QString>("line");
        const QStringList start5{"00:00:00", "0", "0", "0", "0"};
        QTest::newRow("maps") << CopyTable::Maps
                              << QStringList{"Strike at Karkand", "01:02:03", "4", "2", "2.00", "n/a"}
                              << "Map: Strike at Karkand Time: 01:02:03 Wins: 4 Losses: 2 Ratio: 2.00 Best Round: n/a";
        QTest::newRow("army") << CopyTable::Army << QStringList{"USA"} + start5
                              << "Army: USA Time: 00:00:00 Wins: 0 Losses: 0 Ratio: 0 Best Round: 0";
        QTest::newRow("kits") << CopyTable::Kits << QStringList{"Medic", "00:10:00", "7", "3", "2,33"}
                              << "Kit: Medic Time: 00:10:00 Kills: 7 Deaths: 3 Ratio: 2,33";
        QTest::newRow("vehicles") << CopyTable::Vehicles << QStringList{"Jet"} + start5
                                  << "Vehicle: Jet Time: 00:00:00 Kills: 0 Deaths: 0 Ratio: 0 Road Kills: 0";
        QTest::newRow("weapons") << CopyTable::Weapons
                                 << QStringList{"Sniper", "02:00:00", "50", "10", "5.00", "33.10%"}
                                 << "Weapon: Sniper Time: 02:00:00 Kills: 50 Deaths: 10 Ratio: 5.00 Accuracy: 33.10%";
        QTest::newRow("misc") << CopyTable::Misc << QStringList{"Kicked & Banned", "0 / 0"} << "Kicked & Banned: 0 / 0";
        const QStringList board{"1", "=DOG= Sarge", "43917456", "48211", "651:34:38", "DE"};
        QTest::newRow("top ten") << CopyTable::TopTen << board
                                 << "#: 1 Nickname: =DOG= Sarge PID: 43917456 Score: 48211 Time: 651:34:38 Country: DE";
        QTest::newRow("personal leaderboard")
            << CopyTable::Board << board
            << "#: 1 Nickname: =DOG= Sarge PID: 43917456 Score: 48211 Time: 651:34:38 Country: DE";
    }
    void copyLines() {
        QFETCH(CopyTable, table);
        QFETCH(QStringList, cells);
        QTEST(CopyLine(table, cells), "line");
    }
};

QTEST_GUILESS_MAIN(LeaderboardTest)
#include "test_leaderboard.moc"
