#include "awards/award_catalogue.h"
#include "awards/award_progress.h"
#include "awards/award_reader.h"

#include <QLocale>
#include <QSet>
#include <QTest>

using namespace Awards;

namespace {

int medalIndex(const char* id) {
    for (int i = 0; i < MedalCount; ++i)
        if (qstrcmp(Medals[std::size_t(i)].id, id) == 0)
            return i;
    return -1;
}

int badgeIndex(const char* id) {
    for (int i = 0; i < BadgeCount; ++i)
        if (qstrcmp(Badges[std::size_t(i)].id, id) == 0)
            return i;
    return -1;
}

int ribbonIndex(const char* id) {
    for (int i = 0; i < RibbonCount; ++i)
        if (qstrcmp(Ribbons[std::size_t(i)].id, id) == 0)
            return i;
    return -1;
}

int unlockIndex(const char* id) {
    for (int i = 0; i < UnlockCount; ++i)
        if (qstrcmp(Unlocks[std::size_t(i)].id, id) == 0)
            return i;
    return -1;
}

int filledSlots(const char* (*slot)(int, int), int row, int count) {
    int n = 0;
    for (int s = 1; s <= count; ++s)
        n += *slot(row, s) != '\0';
    return n;
}

// What a reply shows, written the way a test reads it: "medal id=count", "ribbon id", "badge id=level",
// "unlock id"; everything not listed is not earned.
QStringList shown(const AwardStatus& status) {
    QStringList out;
    for (int i = 0; i < MedalCount; ++i)
        if (status.medals[std::size_t(i)].earned)
            out << QStringLiteral("medal %1=%2")
                       .arg(QLatin1String(Medals[std::size_t(i)].id),
                            QString::fromLatin1(medalCountText(status.medals[std::size_t(i)])));
    for (int i = 0; i < RibbonCount; ++i)
        if (status.ribbons[std::size_t(i)])
            out << QStringLiteral("ribbon %1").arg(QLatin1String(Ribbons[std::size_t(i)].id));
    for (int i = 0; i < BadgeCount; ++i)
        if (status.badges[std::size_t(i)] != 0)
            out << QStringLiteral("badge %1=%2")
                       .arg(QLatin1String(Badges[std::size_t(i)].id))
                       .arg(status.badges[std::size_t(i)]);
    return out;
}

} // namespace

class TestAwards final : public QObject {
    Q_OBJECT

private slots:
    // Counts, unique ids that begin with their kind's digit, four level names of the right form,
    // and the slot counts of every requirement row.
    void catalogue() {
        QSet<QByteArray> ids;
        int bf2 = 0;
        for (int b = 0; b < BadgeCount; ++b) {
            const Badge& badge = Badges[std::size_t(b)];
            QVERIFY(!ids.contains(badge.id));
            ids.insert(badge.id);
            QCOMPARE(badge.id[0], '1');
            QCOMPARE(qstrlen(badge.id), 7u);
            QCOMPARE(badge.panel, b < 20 ? Panel::Bf2 : Panel::SpecialForces);
            bf2 += badge.panel == Panel::Bf2;
            const QByteArray base(badge.names[0]);
            const char* prefixes[] = {"Basic ", "Veteran ", "Expert "};
            for (int l = 1; l < Awards::BadgeLevels; ++l)
                QVERIFY2(QByteArray(badge.names[std::size_t(l)]).startsWith(prefixes[l - 1]),
                         badge.names[std::size_t(l)]);
            // Level 0: "Not earned yet" alone; level 1: one text; levels 2 and 3: one to three.
            QCOMPARE(QByteArray(badgeRequirement(badgeRow(b, 0), 1)), QByteArray("Not earned yet"));
            QCOMPARE(filledSlots(badgeRequirement, badgeRow(b, 0), BadgeSlots), 1);
            QCOMPARE(filledSlots(badgeRequirement, badgeRow(b, 1), BadgeSlots), 1);
            for (int l = 1; l < Awards::BadgeLevels; ++l) {
                const int row = badgeRow(b, l);
                const int n = filledSlots(badgeRequirement, row, BadgeSlots);
                QVERIFY(n >= 1 && n <= 3);
                // No gaps: the texts fill their slots from the first.
                for (int s = 1; s <= n; ++s)
                    QVERIFY2(*badgeRequirement(row, s), qPrintable(QString::number(row)));
                const QByteArray first(badgeRequirement(row, 1));
                QVERIFY2(first.startsWith("IAR: ") || first.startsWith("Notes: ") || first == "N/A", first.constData());
            }
        }
        QCOMPARE(bf2, 20);
        auto decorations = [&ids](const auto& table, char digit, int bf2Rows, const char* (*slot)(int, int)) {
            for (int r = 0; r < int(table.size()); ++r) {
                const Decoration& d = table[std::size_t(r)];
                QVERIFY(!ids.contains(d.id));
                ids.insert(d.id);
                QCOMPARE(d.id[0], digit);
                QCOMPARE(d.panel, r < bf2Rows ? Panel::Bf2 : Panel::SpecialForces);
                const int n = filledSlots(slot, r, 4);
                QVERIFY(n >= 1);
                for (int s = 1; s <= n; ++s)
                    QVERIFY(*slot(r, s));
                QVERIFY(QByteArray(d.notEarnedName).startsWith("Image"));
            }
        };
        decorations(Medals, '2', 18, medalRequirement);
        decorations(Ribbons, '3', 18, ribbonRequirement);
        QCOMPARE(ids.size(), BadgeCount + MedalCount + RibbonCount);
        // Outside the tables there is nothing, not a crash.
        QCOMPARE(QByteArray(badgeRequirement(BadgeRows, 1)), QByteArray());
        QCOMPARE(QByteArray(medalRequirement(0, 5)), QByteArray());
        QCOMPARE(QByteArray(ribbonRequirement(-1, 1)), QByteArray());
    }

    // Texts as they must be shown, blanks and odd brackets included.
    void verbatimTexts_data() {
        QTest::addColumn<QByteArray>("actual");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("doubled blank") << QByteArray(Badges[20].names[2])
                                       << QByteArray("Veteran Engineer Combat  Specialist Badge (SF)");
        QTest::newRow("doubled blank, level 0")
            << QByteArray(Badges[21].names[0]) << QByteArray("Sniper Combat  Specialist Badge (SF)");
        QTest::newRow("no closing bracket")
            << QByteArray(Badges[28].names[3]) << QByteArray("Expert Grappling Hook Specialist (SF");
        QTest::newRow("trailing blank name")
            << QByteArray(Badges[29].names[1]) << QByteArray("Basic Zip Line Specialist (SF) ");
        QTest::newRow("trailing blank text")
            << QByteArray(medalRequirement(5, 2)) << QByteArray("500h Total time played ");
        QTest::newRow("medal row 0") << QByteArray(medalRequirement(0, 1)) << QByteArray("IAR: First place");
        QTest::newRow("medal row 17, slot 4") << QByteArray(medalRequirement(17, 4)) << QByteArray("1,000 resupplies");
        QTest::newRow("ribbon row 8") << QByteArray(ribbonRequirement(8, 1)) + "."
                                      << QByteArray(ribbonRequirement(9, 1));
        QTest::newRow("ribbon row 9 ends in a full stop")
            << QByteArray(ribbonRequirement(9, 1)).right(7) << QByteArray("period.");
        QTest::newRow("badge row 51") << QByteArray(badgeRequirement(51, 2)) << QByteArray("250 repairs");
        QTest::newRow("badge row 79") << QByteArray(badgeRequirement(79, 3))
                                      << QByteArray("2000 driver special ability points");
        QTest::newRow("badge row 109") << QByteArray(badgeRequirement(109, 1))
                                       << QByteArray("Notes: Throw 10 Flashbangs");
        QTest::newRow("night vision") << QByteArray(badgeRequirement(123, 1)) << QByteArray("N/A");
        QTest::newRow("apostrophe") << QByteArray(Medals[10].name) << QByteArray("People's Medallion");
        QTest::newRow("medal panel") << QByteArray(panelCaption(Kind::Medal, Panel::SpecialForces))
                                     << QByteArray("Special Force - Medals");
        QTest::newRow("first ribbon") << QByteArray(Ribbons[0].name) << QByteArray("Air Defense Ribbon");
        QTest::newRow("last ribbon's picture") << QByteArray(Ribbons[27].notEarnedName) << QByteArray("Image28");
    }
    void verbatimTexts() {
        QFETCH(QByteArray, actual);
        QFETCH(QByteArray, expected);
        QCOMPARE(actual, expected);
    }

    // The requirement counts the detail panels' bullets depend on.
    void slotCounts_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("texts");
        QTest::newRow("medal of valor") << int(Kind::Medal) << 11 << 4;
        QTest::newRow("gold star") << int(Kind::Medal) << 0 << 1;
        QTest::newRow("meritorious service") << int(Kind::Medal) << 17 << 4;
        QTest::newRow("crew service ribbon") << int(Kind::Ribbon) << 6 << 3;
        QTest::newRow("engineer badge, expert") << int(Kind::Badge) << 51 << 3;
        QTest::newRow("first aid badge, expert") << int(Kind::Badge) << 55 << 3;
        QTest::newRow("resupply badge, expert") << int(Kind::Badge) << 59 << 3;
        QTest::newRow("transport badge, veteran") << int(Kind::Badge) << 78 << 3;
        QTest::newRow("sniper badge, expert") << int(Kind::Badge) << 7 << 2;
        QTest::newRow("zip line, expert") << int(Kind::Badge) << 119 << 1;
    }
    void slotCounts() {
        QFETCH(int, kind);
        QFETCH(int, row);
        QFETCH(int, texts);
        switch (Kind(kind)) {
        case Kind::Badge:
            QCOMPARE(filledSlots(badgeRequirement, row, BadgeSlots), texts);
            break;
        case Kind::Medal:
            QCOMPARE(filledSlots(medalRequirement, row, MedalSlots), texts);
            break;
        case Kind::Ribbon:
            QCOMPARE(filledSlots(ribbonRequirement, row, RibbonSlots), texts);
            break;
        }
    }

    void awards_data() {
        QTest::addColumn<ReplyTokens>("tokens");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("no known id") << ReplyTokens{"O", "H", "pid", "D", "45000004", "2051", "1031105x"}
                                     << QStringList();
        QTest::newRow("empty") << ReplyTokens{} << QStringList();
        QTest::newRow("gold star x3") << ReplyTokens{"2051907", "3"} << QStringList{"medal 2051907=x3"};
        QTest::newRow("medal twice, last wins")
            << ReplyTokens{"2051907", "1", "D", "2051907", "2"} << QStringList{"medal 2051907=x2"};
        QTest::newRow("count taken as sent") << ReplyTokens{"2191608", "many"} << QStringList{"medal 2191608=xmany"};
        QTest::newRow("medal id last: no count invented")
            << ReplyTokens{"2051907", "4", "2051907"} << QStringList{"medal 2051907=x"};
        QTest::newRow("badge level 2") << ReplyTokens{"1031105", "2"} << QStringList{"badge 1031105=2"};
        QTest::newRow("badge rows per level, highest last")
            << ReplyTokens{"1031105", "1", "t", "1031105", "2", "t", "1031105", "3", "t"}
            << QStringList{"badge 1031105=3"};
        QTest::newRow("badge level 7") << ReplyTokens{"1031105", "7"} << QStringList();
        QTest::newRow("badge level 03") << ReplyTokens{"1031105", "03"} << QStringList();
        QTest::newRow("badge level after a valid one") << ReplyTokens{"1031105", "2", "1031105", "-1"} << QStringList();
        QTest::newRow("badge id last") << ReplyTokens{"1031105"} << QStringList();
        QTest::newRow("ribbon with anything after")
            << ReplyTokens{"3040109", "0", "3261919"} << QStringList{"ribbon 3040109", "ribbon 3261919"};
        QTest::newRow("ids compared whole")
            << ReplyTokens{" 2051907", "2051907 ", "30401090", "1031105\t"} << QStringList();
        // A count that is itself an id is both: the scan looks at every position.
        QTest::newRow("count is an id") << ReplyTokens{"2051907", "3040109", "1031105", "1"}
                                        << QStringList{"medal 2051907=x3040109", "ribbon 3040109", "badge 1031105=1"};
        QTest::newRow("as the service sends it")
            << ReplyTokens{"O",       "H",       "pid",   "asof", "D",       "45000001", "1765400000", "H",    "award",
                           "level",   "when",    "first", "D",    "1031105", "1",        "1200",       "1200", "D",
                           "1031105", "2",       "1300",  "1300", "D",       "2051907",  "5",          "1400", "1100",
                           "D",       "3040109", "1",     "1500", "1500",    "$",        "40",         "$"}
            << QStringList{"medal 2051907=x5", "ribbon 3040109", "badge 1031105=2"};
    }
    void awards() {
        QFETCH(ReplyTokens, tokens);
        QFETCH(QStringList, expected);
        QCOMPARE(shown(readAwards(tokens)), expected);
    }

    // With header lines only the award and level (id and state) columns count, in whatever order
    // the service sends them: a PID or a time that equals an id is no award.
    void byColumns_data() {
        QTest::addColumn<QByteArray>("awards");
        QTest::addColumn<QByteArray>("unlocks");
        QTest::addColumn<QStringList>("expectedAwards");
        QTest::addColumn<QStringList>("expectedUnlocks");
        QTest::newRow("an id in another column")
            << QByteArray("O\nH\tpid\tasof\nD\t2051907\t3040109\nH\taward\tlevel\twhen\tfirst\n"
                          "D\t1031105\t2\t1031619\t0\nD\t3261919\t1\t2051907\t0\n$\t9\t$")
            << QByteArray("O\nH\tpid\tnick\nD\t11\ts\nH\tid\tstate\nD\t22\ts\nD\t33\tn\n$\t9\t$")
            << QStringList{"ribbon 3261919", "badge 1031105=2"} << QStringList{"22"};
        QTest::newRow("columns in another order")
            << QByteArray("O\nH\tfirst\twhen\tlevel\taward\nD\t0\t0\t4\t2051907\nD\t0\t0\t3\t1031105\n$\t9\t$")
            << QByteArray("O\nH\tstate\tid\nD\ts\t44\nD\tn\t55\n$\t9\t$")
            << QStringList{"medal 2051907=x4", "badge 1031105=3"} << QStringList{"44"};
    }
    void byColumns() {
        QFETCH(QByteArray, awards);
        QFETCH(QByteArray, unlocks);
        QFETCH(QStringList, expectedAwards);
        QFETCH(QStringList, expectedUnlocks);
        const auto awardsReply = ServiceReply::read(awards);
        const auto unlocksReply = ServiceReply::read(unlocks);
        QVERIFY(awardsReply && unlocksReply);
        QCOMPARE(shown(readAwards(*awardsReply)), expectedAwards);
        const UnlockStatus status = readUnlocks(*unlocksReply);
        QStringList got;
        for (int u = 0; u < UnlockCount; ++u)
            if (status[std::size_t(u)])
                got << QLatin1String(Unlocks[std::size_t(u)].id);
        QCOMPARE(got, expectedUnlocks);
    }

    // The career totals beside the badge requirements: a time, a count, met or not, a column the
    // service did not send, and lines that are no career total.
    void badgeProgress_data() {
        QTest::addColumn<QByteArray>("badge");
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("slot");
        QTest::addColumn<QString>("expected"); // "" for no progress shown
        QTest::newRow("time missing") << QByteArray("1031105") << 3 << 2 << "64:18:45 of 100:00:00";
        QTest::newRow("time met") << QByteArray("1031105") << 2 << 2 << "\u2713 64:18:45";
        QTest::newRow("count missing") << QByteArray("1190507") << 3 << 2 << "180 of 250";
        QTest::newRow("count met") << QByteArray("1222016") << 2 << 3 << "\u2713 200";
        QTest::newRow("column not sent") << QByteArray("1190601") << 3 << 2 << "";
        QTest::newRow("a round condition") << QByteArray("1031105") << 3 << 1 << "";
        QTest::newRow("special forces time") << QByteArray("1261105") << 2 << 2 << "";
    }
    void badgeProgress() {
        QFETCH(QByteArray, badge);
        QFETCH(int, level);
        QFETCH(int, slot);
        QFETCH(QString, expected);
        const QByteArray body = "O\nH\tpid\tktm-2\trpar\tdsab\nD\t1\t231525\t180\t200\n$\t9\t$";
        const auto reply = ServiceReply::read(body);
        QVERIFY(reply);
        const CareerFigures figures = ReadCareerFigures(*reply);
        const auto progress = BadgeProgress(badge, level, slot, figures);
        QCOMPARE(progress ? progress->text : QString(), expected);
        if (progress)
            QCOMPARE(progress->met, expected.startsWith(QChar(0x2713)));
    }

    // Medals and ribbons: a ratio, a count and a time, and a line that names another award.
    void decorationProgress_data() {
        QTest::addColumn<QByteArray>("award");
        QTest::addColumn<int>("slot");
        QTest::addColumn<QString>("expected");
        QTest::newRow("win:loss ratio missing") << QByteArray("3242303") << 3 << "2.10 of 3.00";
        QTest::newRow("kills missing") << QByteArray("2190303") << 3 << "24,999 of 25,000";
        QTest::newRow("best kill streak met") << QByteArray("3240301") << 2 << "\u2713 12";
        QTest::newRow("time met") << QByteArray("3240703") << 3 << "\u2713 50:00:00";
        QTest::newRow("another award") << QByteArray("2020913") << 2 << "";
        QTest::newRow("worst death streak") << QByteArray("3241213") << 4 << "";
    }
    void decorationProgress() {
        QFETCH(QByteArray, award);
        QFETCH(int, slot);
        QFETCH(QString, expected);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        const QByteArray body = "O\nH\tpid\twins\tloss\tkill\tbksk\ttime\nD\t1\t210\t100\t24999\t12\t180000\n$\t9\t$";
        const auto reply = ServiceReply::read(body);
        QVERIFY(reply);
        const auto progress = DecorationProgress(award, slot, ReadCareerFigures(*reply));
        QCOMPARE(progress ? progress->text : QString(), expected);
        QLocale::setDefault(QLocale::system());
    }

    // A reply without headers is read at the positions of the original layout.
    void careerByPosition() {
        ReplyTokens tokens(461, "0");
        tokens[442] = "3600"; // ktm-2
        tokens[272] = "7";    // rpar
        const CareerFigures figures = ReadCareerFigures(tokens);
        QCOMPARE(figures.value("ktm-2"), 3600);
        QCOMPARE(figures.value("rpar"), 7);
        QVERIFY(ReadCareerFigures(ReplyTokens(100, "0")).isEmpty());
    }

    // A later reply stands on its own: it does not add to an earlier one.
    void laterReply() {
        const AwardStatus first = readAwards(ReplyTokens{"1031105", "2", "2051907", "5"});
        QCOMPARE(first.badges[std::size_t(badgeIndex("1031105"))], 2);
        const AwardStatus second = readAwards(ReplyTokens{"1031105", "1"});
        QCOMPARE(second.badges[std::size_t(badgeIndex("1031105"))], 1);
        QVERIFY(!second.medals[std::size_t(medalIndex("2051907"))].earned);
        QCOMPARE(medalCountText(second.medals[std::size_t(medalIndex("2051907"))]), QByteArray("x0"));
        QVERIFY(!second.ribbons[std::size_t(ribbonIndex("3040109"))]);
    }

    void unlocks_data() {
        QTest::addColumn<ReplyTokens>("tokens");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("11 s") << ReplyTokens{"11", "s"} << QStringList{"11"};
        QTest::newRow("11 n") << ReplyTokens{"11", "n"} << QStringList();
        QTest::newRow("111 is not 11") << ReplyTokens{"111", "s"} << QStringList{"111"};
        QTest::newRow("upper-case S") << ReplyTokens{"22", "S"} << QStringList();
        QTest::newRow("s with a blank") << ReplyTokens{"22", "s "} << QStringList();
        QTest::newRow("id last") << ReplyTokens{"s", "33"} << QStringList();
        QTest::newRow("once true stays true") << ReplyTokens{"44", "s", "44", "n"} << QStringList{"44"};
        QTest::newRow("anywhere in the reply")
            << ReplyTokens{"x", "333", "s", "H", "99", "s"} << QStringList{"99", "333"};
        QTest::newRow("empty") << ReplyTokens{} << QStringList();
        QTest::newRow("as the service sends it")
            << ReplyTokens{"O",  "H",        "pid",     "nick", "asof", "D", "45000001", "=DOG= Sarge", "1765400000",
                           "H",  "enlisted", "officer", "D",    "0",    "0", "H",        "id",          "state",
                           "11", "s",        "22",      "n",    "333",  "s", "$",        "60",          "$"}
            << QStringList{"11", "333"};
    }
    void unlocks() {
        QFETCH(ReplyTokens, tokens);
        QFETCH(QStringList, expected);
        const UnlockStatus status = readUnlocks(tokens);
        QStringList got;
        for (int u = 0; u < UnlockCount; ++u)
            if (status[std::size_t(u)])
                got << QLatin1String(Unlocks[std::size_t(u)].id);
        QCOMPARE(got, expected);
        QCOMPARE(unlockIndex("111"), 9);
    }
};

QTEST_APPLESS_MAIN(TestAwards)
#include "test_awards.moc"
