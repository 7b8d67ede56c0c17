#include "service/protocol.h"
#include "stats/data_reader.h"
#include "stats/format.h"
#include "stats/maps_reader.h"
#include "stats/overview_reader.h"
#include "stats/rank_reader.h"
#include "stats/vocabulary.h"
#include "test_files.h"

#include <QFile>
#include <QLocale>
#include <QTest>
#include <algorithm>
#include <array>
#include <functional>
#include <utility>

namespace {

// A reply with a distinct count at every position (the values double as seconds, so every time
// cell differs too); `overrides` replaces single positions.
QByteArray value(int position) {
    return QByteArray::number(position * 37);
}

ReplyTokens reply(int size, std::initializer_list<std::pair<int, QByteArray>> overrides = {}) {
    ReplyTokens tokens;
    for (int i = 0; i < size; ++i)
        tokens.append(value(i));
    for (const auto& [position, token] : overrides)
        tokens[position] = token;
    return tokens;
}

QByteArray duration(int position) {
    return FormatDuration(quint32(position * 37));
}
QByteArray ratio(int num, int den) {
    return FormatRatio(quint32(num * 37), quint32(den * 37));
}

const ReplyTokens favouriteIds = reply(297, {{296, "11"}, {295, "6"}, {293, "0"}, {294, "601"}});

std::optional<ServiceReply> fixture(ReplyKind kind, const char* name) {
    return AcceptReply(kind, TestFiles::fixture(name));
}

// A service reply written out again from its blocks, after `edit` has changed them: the way
// another service lays out the same figures.
using BlocksEdit = std::function<void(QList<ReplyBlock>&)>;
QByteArray relaidOut(const char* name, const BlocksEdit& edit, QByteArrayView lineEnd = "\n") {
    std::optional<ServiceReply> original = ServiceReply::read(TestFiles::fixture(name));
    if (!original)
        return {};
    QList<ReplyBlock> blocks = original->blocks();
    edit(blocks);
    QByteArray body = "O" + lineEnd.toByteArray();
    for (const ReplyBlock& block : blocks) {
        body += "H\t" + block.columns.join('\t') + lineEnd.toByteArray();
        for (const QByteArrayList& row : block.rows)
            body += "D\t" + row.join('\t') + lineEnd.toByteArray();
    }
    return body + "$\t1\t$";
}

// Inserts a column with the value after the named one in every block that has it.
void insertAfter(QList<ReplyBlock>& blocks, QByteArrayView after, const QByteArray& column, const QByteArray& value) {
    for (ReplyBlock& block : blocks) {
        const qsizetype at = block.column(after);
        if (at < 0)
            continue;
        block.columns.insert(at + 1, column);
        for (QByteArrayList& row : block.rows)
            row.insert(at + 1, value);
    }
}

void removeColumn(QList<ReplyBlock>& blocks, QByteArrayView column) {
    for (ReplyBlock& block : blocks) {
        const qsizetype at = block.column(column);
        if (at < 0)
            continue;
        block.columns.removeAt(at);
        for (QByteArrayList& row : block.rows)
            row.removeAt(at);
    }
}

void reverseColumns(QList<ReplyBlock>& blocks) {
    for (ReplyBlock& block : blocks) {
        std::reverse(block.columns.begin(), block.columns.end());
        for (QByteArrayList& row : block.rows)
            std::reverse(row.begin(), row.end());
    }
}

} // namespace

class TestStats final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void formatDuration_data() {
        QTest::addColumn<quint32>("seconds");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("zero") << 0u << QByteArray("00:00:00");
        QTest::newRow("59 s") << 59u << QByteArray("00:00:59");
        QTest::newRow("one minute") << 60u << QByteArray("00:01:00");
        QTest::newRow("one hour") << 3600u << QByteArray("01:00:00");
        QTest::newRow("day less a second") << 86399u << QByteArray("23:59:59");
        QTest::newRow("hundred hours") << 360000u << QByteArray("100:00:00");
        QTest::newRow("max uint32") << 4294967295u << QByteArray("1193046:28:15");
    }
    void formatDuration() {
        QFETCH(quint32, seconds);
        QFETCH(QByteArray, text);
        QCOMPARE(FormatDuration(seconds), text);
    }

    void formatRatio_data() {
        QTest::addColumn<quint32>("numerator");
        QTest::addColumn<quint32>("denominator");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QByteArray>("text");
        const quint32 max = 4294967295u;
        QTest::newRow("0/0") << 0u << 0u << "C" << QByteArray("0.00");
        QTest::newRow("5/0 shows the numerator") << 5u << 0u << "C" << QByteArray("5.00");
        QTest::newRow("7/0") << 7u << 0u << "C" << QByteArray("7.00");
        QTest::newRow("1/3") << 1u << 3u << "C" << QByteArray("0.33");
        QTest::newRow("2/3") << 2u << 3u << "C" << QByteArray("0.67");
        QTest::newRow("10/4") << 10u << 4u << "C" << QByteArray("2.50");
        // Ties go to the even hundredth.
        QTest::newRow("1/200 tie down") << 1u << 200u << "C" << QByteArray("0.00");
        QTest::newRow("3/200 tie up") << 3u << 200u << "C" << QByteArray("0.02");
        QTest::newRow("29/200 tie down") << 29u << 200u << "C" << QByteArray("0.14");
        QTest::newRow("1/8 tie down") << 1u << 8u << "C" << QByteArray("0.12");
        QTest::newRow("3/8 tie up") << 3u << 8u << "C" << QByteArray("0.38");
        QTest::newRow("just above a tie") << 1001u << 200000u << "C" << QByteArray("0.01");
        QTest::newRow("max/0") << max << 0u << "C" << QByteArray("4294967295.00");
        QTest::newRow("max/2 half a hundredth short of a tie") << max << 2u << "C" << QByteArray("2147483647.50");
        QTest::newRow("max/max") << max << max << "C" << QByteArray("1.00");
        QTest::newRow("1/max") << 1u << max << "C" << QByteArray("0.00");
        QTest::newRow("max-1/max") << max - 1 << max << "C" << QByteArray("1.00");
        QTest::newRow("German comma") << 1u << 3u << "de_DE" << QByteArray("0,33");
        QTest::newRow("German, no thousands separator") << 123456u << 1u << "de_DE" << QByteArray("123456,00");
    }
    void formatRatio() {
        QFETCH(quint32, numerator);
        QFETCH(quint32, denominator);
        QFETCH(QString, locale);
        QFETCH(QByteArray, text);
        QCOMPARE(FormatRatio(numerator, denominator, QLocale(locale)), text);
    }

    void countFromToken_data() {
        QTest::addColumn<QByteArray>("token");
        QTest::addColumn<quint32>("count");
        QTest::newRow("plain") << QByteArray("1234") << 1234u;
        QTest::newRow("max uint32") << QByteArray("4294967295") << 4294967295u;
        QTest::newRow("one above max") << QByteArray("4294967296") << 0u;
        QTest::newRow("beyond 64 bits") << QByteArray("99999999999999999999") << 0u;
        QTest::newRow("negative") << QByteArray("-5") << 0u;
        QTest::newRow("empty") << QByteArray() << 0u;
        QTest::newRow("letters") << QByteArray("12ab") << 0u;
        QTest::newRow("decimal point") << QByteArray("1.5") << 0u;
    }
    void countFromToken() {
        QFETCH(QByteArray, token);
        QFETCH(quint32, count);
        QCOMPARE(::countFromToken(token), count);
    }

    void overviewEveryValue() {
        const auto values = readOverview(favouriteIds);
        QVERIFY(values);

        const std::pair<OverviewField, QByteArray> expected[] = {
            {OverviewField::GlobalScore, value(241)},
            {OverviewField::TeamScore, value(265)},
            {OverviewField::CombatScore, value(250)},
            {OverviewField::CommanderScore, value(276)},
            {OverviewField::TimeCommander, duration(280)},
            {OverviewField::TimeSquadLeader, duration(284)},
            {OverviewField::TimeSquadMember, duration(285)},
            {OverviewField::TimeLoneWolf, duration(286)},
            {OverviewField::TimeTotal, duration(248)},
            {OverviewField::WinsLosses, value(243) + " / " + value(244) + " (" + ratio(243, 244) + ")"},
            {OverviewField::CapturedCp, value(266)},
            {OverviewField::CaptureAssists, value(267)},
            {OverviewField::DefendedCp, value(268)},
            {OverviewField::KillAssists, value(253)},
            {OverviewField::Heals, value(269)},
            {OverviewField::Revives, value(270)},
            {OverviewField::Resupplies, value(271)},
            {OverviewField::Repairs, value(272)},
            {OverviewField::DriverAssists, value(275)},
            {OverviewField::Accuracy, value(251) + "%"},
            {OverviewField::ScorePerMinute, value(262)},
            {OverviewField::Suicides, value(255)},
            {OverviewField::KillDeathRatio, ratio(252, 254)},
            {OverviewField::KillsTotal, value(252) + " / " + value(256)},
            {OverviewField::KillsPerMinute, value(260)},
            {OverviewField::KillsPerRound, value(263)},
            {OverviewField::DeathsTotal, value(254) + " / " + value(257)},
            {OverviewField::DeathsPerMinute, value(261)},
            {OverviewField::DeathsPerRound, value(264)},
        };
        static_assert(std::size(expected) == OverviewFieldCount);
        for (const auto& [field, text] : expected)
            QCOMPARE((*values)[field], text);
        QCOMPARE((*values)[OverviewField::WinsLosses], QByteArray("8991 / 9028 (1.00)"));

        const std::tuple<FavouriteCategory, const char*, const char*> favourites[] = {
            {FavouriteCategory::Weapon, "Im_wea_11", "Explosives (C4, Claymore, AT Mine)"},
            {FavouriteCategory::Vehicle, "Im_veh_6", "Ground Defense"},
            {FavouriteCategory::Kit, "Im_kit_0", "Anti-Tank"}, // not the kit table's "Anti-tank"
            {FavouriteCategory::Map, "Im_map_601", "Wake Island 2007"},
        };
        for (std::size_t i = 0; i < 4; ++i) {
            const FavouriteValue& shown = values->favourites[i];
            QCOMPARE(shown.category, std::get<0>(favourites[i]));
            QVERIFY(shown.picture);
            QCOMPARE(shown.picture->objectName, std::get<1>(favourites[i]));
            QCOMPARE(shown.picture->resource, QByteArray(":/art/fav/") + std::get<1>(favourites[i]) + ".png");
            QCOMPARE(shown.name, QByteArray(std::get<2>(favourites[i])));
        }
    }

    // Every reader takes the user's decimal separator, as the window's initial "0/0 (0,00)" does.
    void readersUseTheDefaultLocale() {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const auto overview = readOverview(reply(297, {{243, "12"}, {244, "0"}}));
        QVERIFY(overview);
        QCOMPARE((*overview)[OverviewField::WinsLosses], QByteArray("12 / 0 (12,00)"));
        const auto maps = readMaps(reply(143, {{99, "1"}, {121, "3"}}));
        QVERIFY(maps);
        QCOMPARE(maps->at(0).at(3), QByteArray("0,33"));
    }

    void overviewMalformed_data() {
        QTest::addColumn<ReplyTokens>("tokens");
        QTest::addColumn<int>("field"); // -1: the reply is rejected
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("short by one") << reply(296) << -1 << QByteArray();
        QTest::newRow("no tokens") << ReplyTokens() << -1 << QByteArray();
        QTest::newRow("exactly long enough") << reply(297) << int(OverviewField::KillDeathRatio) << ratio(252, 254);
        const ReplyTokens empty(297);
        QTest::newRow("empty wins/losses") << empty << int(OverviewField::WinsLosses) << QByteArray(" /  (0.00)");
        QTest::newRow("empty duration") << empty << int(OverviewField::TimeTotal) << QByteArray("00:00:00");
        QTest::newRow("empty accuracy") << empty << int(OverviewField::Accuracy) << QByteArray("%");
        QTest::newRow("letters in kills")
            << reply(297, {{252, "lots"}, {254, "4"}}) << int(OverviewField::KillDeathRatio) << QByteArray("0.00");
        QTest::newRow("letters shown as sent")
            << reply(297, {{252, "lots"}}) << int(OverviewField::KillsTotal) << "lots / " + value(256);
        QTest::newRow("letters in a duration")
            << reply(297, {{280, "1h"}}) << int(OverviewField::TimeCommander) << QByteArray("00:00:00");
        QTest::newRow("negative losses") << reply(297, {{243, "9"}, {244, "-3"}}) << int(OverviewField::WinsLosses)
                                         << QByteArray("9 / -3 (9.00)");
        QTest::newRow("huge duration") << reply(297, {{248, "4294967296"}}) << int(OverviewField::TimeTotal)
                                       << QByteArray("00:00:00");
        QTest::newRow("largest duration")
            << reply(297, {{248, "4294967295"}}) << int(OverviewField::TimeTotal) << QByteArray("1193046:28:15");
    }
    void overviewMalformed() {
        QFETCH(ReplyTokens, tokens);
        QFETCH(int, field);
        QFETCH(QByteArray, text);
        const auto values = readOverview(tokens);
        if (field < 0) {
            QVERIFY(!values);
            return;
        }
        QVERIFY(values);
        QCOMPARE((*values)[OverviewField(field)], text);
    }

    void favourites_data() {
        QTest::addColumn<int>("row"); // weapon, vehicle, kit, map
        QTest::addColumn<QByteArray>("id");
        QTest::addColumn<QByteArray>("objectName"); // empty: no picture
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("weapon 0") << 0 << QByteArray("0") << QByteArray("Im_wea_0") << QByteArray("Assault Rifles");
        QTest::newRow("map 100") << 3 << QByteArray("100") << QByteArray("Im_map_100")
                                 << QByteArray("Daqing Oilfields");
        QTest::newRow("kit 0") << 2 << QByteArray("0") << QByteArray("Im_kit_0") << QByteArray("Anti-Tank");
        QTest::newRow("vehicle 5 has none") << 1 << QByteArray("5") << QByteArray() << QByteArray();
        QTest::newRow("weapon 13 has none") << 0 << QByteArray("13") << QByteArray() << QByteArray();
        QTest::newRow("map id not in the set") << 3 << QByteArray("104") << QByteArray() << QByteArray();
        QTest::newRow("leading zero") << 1 << QByteArray("06") << QByteArray() << QByteArray();
        QTest::newRow("letters") << 2 << QByteArray("x") << QByteArray() << QByteArray();
        QTest::newRow("empty") << 3 << QByteArray() << QByteArray() << QByteArray();
        QTest::newRow("negative") << 0 << QByteArray("-1") << QByteArray() << QByteArray();
        QTest::newRow("huge") << 3 << QByteArray("6010000000000") << QByteArray() << QByteArray();
    }
    void favourites() {
        QFETCH(int, row);
        QFETCH(QByteArray, id);
        QFETCH(QByteArray, objectName);
        QFETCH(QByteArray, name);
        const int positions[] = {296, 295, 293, 294};
        ReplyTokens tokens = favouriteIds;
        tokens[positions[row]] = id;
        const auto values = readOverview(tokens);
        QVERIFY(values);
        const FavouriteValue& shown = values->favourites[std::size_t(row)];
        QCOMPARE(shown.picture ? QByteArray(shown.picture->objectName) : QByteArray(), objectName);
        QCOMPARE(shown.name, name);
        // The other rows are unaffected.
        QVERIFY(values->favourites[std::size_t((row + 1) % 4)].picture);
    }

    void dataEveryValue() {
        const auto values = readDataTables(reply(461));
        QVERIFY(values);

        QCOMPARE(values->army.size(), 9);
        for (int i = 0; i < 9; ++i)
            QCOMPARE(values->army[i], QByteArrayList({duration(404 + i), value(413 + i), value(422 + i),
                                                      ratio(413 + i, 422 + i), value(431 + i)}));
        QCOMPARE(values->kits.size(), 7);
        for (int i = 0; i < 7; ++i)
            QCOMPARE(values->kits[i],
                     QByteArrayList({duration(440 + i), value(447 + i), value(454 + i), ratio(447 + i, 454 + i)}));
        QCOMPARE(values->weapons.size(), 14);
        for (int i = 0; i < 14; ++i)
            QCOMPARE(values->weapons[i], QByteArrayList({duration(299 + i), value(313 + i), value(327 + i),
                                                         ratio(313 + i, 327 + i), value(341 + i) + "%"}));
        const int vehicleClass[] = {0, 1, 2, 3, 4, 6};
        QCOMPARE(values->vehicles.size(), 6);
        for (int r = 0; r < 6; ++r) {
            const int c = vehicleClass[r];
            QCOMPARE(values->vehicles[r], QByteArrayList({duration(369 + c), value(376 + c), value(383 + c),
                                                          ratio(376 + c, 383 + c), value(397 + c)}));
        }
        // "Ground Defense" is class 6, never class 5.
        QCOMPARE(values->vehicles[5][1], value(382));
        QCOMPARE(values->vehicles[5][4], value(403));

        QCOMPARE(values->misc.size(), 4);
        const std::pair<int, QByteArray> misc[] = {
            {0, value(239)},
            {5, value(289) + " (" + value(287) + ")"},
            {6, value(291) + " (" + value(288) + ")"},
            {7, value(278) + " / " + value(281)},
        };
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(values->misc[i].row, misc[i].first);
            QCOMPARE(values->misc[i].text, misc[i].second);
        }
    }

    void dataMalformed_data() {
        QTest::addColumn<ReplyTokens>("tokens");
        QTest::addColumn<QString>("cell"); // "table row column"; empty: the reply is rejected
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("short by one") << reply(460) << QString() << QByteArray();
        QTest::newRow("only the overview's part") << reply(297) << QString() << QByteArray();
        const ReplyTokens empty(461);
        QTest::newRow("empty time") << empty << "army 8 0" << QByteArray("00:00:00");
        QTest::newRow("empty ratio") << empty << "kits 6 3" << QByteArray("0.00");
        QTest::newRow("empty accuracy") << empty << "weapons 13 4" << QByteArray("%");
        QTest::newRow("empty victim") << empty << "misc 5" << QByteArray(" ()");
        QTest::newRow("5 kills, 0 deaths")
            << reply(461, {{313, "5"}, {327, "0"}}) << "weapons 0 3" << QByteArray("5.00");
        QTest::newRow("letters in deaths")
            << reply(461, {{376, "6"}, {383, "n/a"}}) << "vehicles 0 3" << QByteArray("6.00");
        QTest::newRow("letters shown as sent") << reply(461, {{383, "n/a"}}) << "vehicles 0 2" << QByteArray("n/a");
        QTest::newRow("negative wins") << reply(461, {{413, "-4"}, {422, "2"}}) << "army 0 3" << QByteArray("0.00");
        QTest::newRow("huge time") << reply(461, {{446, "18446744073709551616"}}) << "kits 6 0"
                                   << QByteArray("00:00:00");
        QTest::newRow("class 5 ignored") << reply(461, {{381, "0"}, {382, "x"}}) << "vehicles 5 3"
                                         << FormatRatio(0, quint32(389 * 37));
    }
    void dataMalformed() {
        QFETCH(ReplyTokens, tokens);
        QFETCH(QString, cell);
        QFETCH(QByteArray, text);
        const auto values = readDataTables(tokens);
        if (cell.isEmpty()) {
            QVERIFY(!values);
            return;
        }
        QVERIFY(values);
        const QStringList parts = cell.split(' ');
        const int row = parts[1].toInt();
        if (parts[0] == "misc") {
            for (const MiscValue& misc : values->misc)
                if (misc.row == row)
                    QCOMPARE(misc.text, text);
            return;
        }
        const TableCells& table = parts[0] == "army"      ? values->army
                                  : parts[0] == "kits"    ? values->kits
                                  : parts[0] == "weapons" ? values->weapons
                                                          : values->vehicles;
        QCOMPARE(table[row][parts[2].toInt()], text);
    }

    void miscNickname_data() {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QByteArray>("nick");
        QTest::newRow("clan tag") << QByteArray("=DOG= Sarge (12)") << QByteArray("=DOG= Sarge");
        QTest::newRow("plain nick") << QByteArray("Sarge (3)") << QByteArray("Sarge");
        QTest::newRow("brackets in the nick") << QByteArray("Big (Al) (7)") << QByteArray("Big (Al)");
        QTest::newRow("comma in the nick") << QByteArray("a,b (1)") << QByteArray("a,b");
        QTest::newRow("not filled yet") << QByteArray("-") << QByteArray();
        QTest::newRow("empty nick") << QByteArray(" (5)") << QByteArray();
        QTest::newRow("no count") << QByteArray("Sarge") << QByteArray("Sarge");
    }
    void miscNickname() {
        QFETCH(QByteArray, value);
        QFETCH(QByteArray, nick);
        QCOMPARE(::miscNickname(value), nick);
    }

    // The value the reader writes gives back the nickname, whatever the nickname holds.
    void miscNicknameOfReaderValue() {
        const auto values = readDataTables(reply(461, {{289, "=DOG= Sarge"}, {291, "Ed (x) Lee"}}));
        QVERIFY(values);
        QCOMPARE(::miscNickname(values->misc[1].text), QByteArray("=DOG= Sarge"));
        QCOMPARE(::miscNickname(values->misc[2].text), QByteArray("Ed (x) Lee"));
    }

    void rankEveryValue() {
        const auto values = readRank(reply(23, {{17, "45678"}, {18, "=DOG= Sarge"}, {21, "12"}, {22, "DE"}}));
        QVERIFY(values);
        QCOMPARE(values->eaScore, value(16));
        QCOMPARE(values->country, QByteArray("DE"));
        QCOMPARE(values->rank, 12);
        QCOMPARE(values->rankName, QByteArray("2nd Lieutenant"));
        QCOMPARE(values->insignia, ":/art/ranks/rank_12.png");
        QCOMPARE(values->nameLine, QByteArray("=DOG= Sarge, 2nd Lieutenant (45678)"));
    }

    void rankNumbers_data() {
        QTest::addColumn<ReplyTokens>("tokens");
        QTest::addColumn<bool>("read");
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("insignia");
        const auto withRank = [](const QByteArray& rank) { return reply(23, {{17, "7"}, {18, "nick"}, {21, rank}}); };
        QTest::newRow("short by one") << reply(22) << false << QByteArray() << QByteArray();
        QTest::newRow("0 has no picture") << withRank("0") << true << QByteArray("Private") << QByteArray();
        QTest::newRow("1") << withRank("1") << true << QByteArray("Private First Class")
                           << QByteArray(":/art/ranks/rank_1.png");
        QTest::newRow("11") << withRank("11") << true << QByteArray("Sergeant Major of the Corps")
                            << QByteArray(":/art/ranks/rank_11.png");
        QTest::newRow("13") << withRank("13") << true << QByteArray("1st Lieutenant")
                            << QByteArray(":/art/ranks/rank_13.png");
        QTest::newRow("16") << withRank("16") << true << QByteArray("Lieutenant Colonel")
                            << QByteArray(":/art/ranks/rank_16.png");
        QTest::newRow("21") << withRank("21") << true << QByteArray("General") << QByteArray(":/art/ranks/rank_21.png");
        QTest::newRow("22 is none") << withRank("22") << true << QByteArray() << QByteArray();
        QTest::newRow("negative") << withRank("-1") << true << QByteArray() << QByteArray();
        QTest::newRow("letters") << withRank("Sgt") << true << QByteArray() << QByteArray();
        QTest::newRow("empty") << withRank("") << true << QByteArray() << QByteArray();
        QTest::newRow("huge") << withRank("4294967308") << true << QByteArray() << QByteArray();
    }
    void rankNumbers() {
        QFETCH(ReplyTokens, tokens);
        QFETCH(bool, read);
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, insignia);
        const auto values = readRank(tokens);
        QCOMPARE(bool(values), read);
        if (!read)
            return;
        QCOMPARE(values->rankName, name);
        QCOMPARE(values->insignia ? QByteArray(values->insignia) : QByteArray(), insignia);
        QCOMPARE(values->nameLine, "nick, " + name + " (7)");
    }

    void mapsEveryRow() {
        const auto rows = readMaps(reply(143));
        QVERIFY(rows);
        QCOMPARE(rows->size(), 21);
        for (int r = 0; r < 21; ++r) {
            const int b = r <= 10 ? r : r + 1;
            QCOMPARE(rows->at(r), QByteArrayList({duration(77 + b), value(99 + b), value(121 + b),
                                                  ratio(99 + b, 121 + b), QByteArray("n/a")}));
        }
        // "Songhua Stalemate" and "Ghost Town" read slots 12 and 21; slot 11 appears nowhere.
        QCOMPARE(rows->at(11).at(1), value(111));
        QCOMPARE(rows->at(20).at(2), value(142));
        for (const QByteArrayList& row : *rows)
            QVERIFY(!row.contains(value(110)) && !row.contains(value(132)) && !row.contains(duration(88)));
    }

    void mapsMalformed_data() {
        QTest::addColumn<ReplyTokens>("tokens");
        QTest::addColumn<int>("row"); // -1: the reply is rejected
        QTest::addColumn<int>("column");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("short by one") << reply(142) << -1 << 0 << QByteArray();
        QTest::newRow("3 wins, 0 losses") << reply(143, {{104, "3"}, {126, "0"}}) << 5 << 3 << QByteArray("3.00");
        const ReplyTokens empty(143);
        QTest::newRow("empty time") << empty << 20 << 0 << QByteArray("00:00:00");
        QTest::newRow("empty ratio") << empty << 0 << 3 << QByteArray("0.00");
        QTest::newRow("empty best round") << empty << 0 << 4 << QByteArray("n/a");
        QTest::newRow("letters in wins") << reply(143, {{99, "ten"}}) << 0 << 3 << QByteArray("0.00");
        QTest::newRow("negative time") << reply(143, {{77, "-60"}}) << 0 << 0 << QByteArray("00:00:00");
        QTest::newRow("huge losses") << reply(143, {{120, "5"}, {142, "4294967296"}}) << 20 << 3 << QByteArray("5.00");
    }
    void mapsMalformed() {
        QFETCH(ReplyTokens, tokens);
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(QByteArray, text);
        const auto rows = readMaps(tokens);
        QCOMPARE(bool(rows), row >= 0);
        if (rows)
            QCOMPARE(rows->at(row).at(column), text);
    }

    // Bodies in the service's own format, cut and accepted as the program does, read by name of the
    // service's fields rather than by position.
    void serviceReplies() {
        const auto stats = fixture(ReplyKind::Stats, "getplayerinfo_stats.txt");
        QVERIFY(stats);
        const auto overview = readOverview(*stats);
        QVERIFY(overview);
        QCOMPARE((*overview)[OverviewField::GlobalScore], QByteArray("48211"));           // scor
        QCOMPARE((*overview)[OverviewField::WinsLosses], QByteArray("812 / 640 (1.27)")); // wins, loss
        QCOMPARE((*overview)[OverviewField::KillDeathRatio], QByteArray("1.32"));         // kill, deth
        QCOMPARE((*overview)[OverviewField::KillsTotal], QByteArray("15873 / 41"));       // kill, bksk
        QCOMPARE((*overview)[OverviewField::Accuracy], QByteArray("21.37%"));             // osaa
        QCOMPARE((*overview)[OverviewField::TimeTotal], QByteArray("651:34:38"));         // time
        QCOMPARE(overview->favourites[0].name, QByteArray("Shotguns"));                   // fwea 8
        QCOMPARE(overview->favourites[1].name, QByteArray("Air Defense"));                // fveh 2
        QCOMPARE(overview->favourites[2].name, QByteArray("Support"));                    // fkit 5
        QCOMPARE(overview->favourites[3].name, QByteArray("Dalian Plant"));               // fmap 101

        const auto data = readDataTables(*stats);
        QVERIFY(data);
        QCOMPARE(data->vehicles[5], QByteArrayList({"03:40:00", "134", "70", "1.91", "18"})); // class 6
        QCOMPARE(data->weapons[13], QByteArrayList({"14:00:43", "521", "419", "1.24", "31.13%"}));
        QCOMPARE(data->army[8], QByteArrayList({"44:26:40", "122", "94", "1.30", "76"}));
        QCOMPARE(data->kits[4], QByteArrayList({"66:40:00", "1700", "1360", "1.25"}));
        QCOMPARE(data->misc[0].text, QByteArray("43917456"));
        QCOMPARE(data->misc[1].text, QByteArray("Gunny (57)"));
        QCOMPARE(data->misc[2].text, QByteArray("[SAS] Price (23)"));
        QCOMPARE(data->misc[3].text, QByteArray("2 / 0"));
        QCOMPARE(::miscNickname(data->misc[2].text), QByteArray("[SAS] Price"));

        const auto rankTokens = fixture(ReplyKind::Rank, "getleaderboard_rank.txt");
        QVERIFY(rankTokens);
        const auto rank = readRank(*rankTokens);
        QVERIFY(rank);
        QCOMPARE(rank->nameLine, QByteArray("=DOG= Sarge, Sergeant Major of the Corps (43917456)"));
        QCOMPARE(rank->country, QByteArray("DE"));
        QCOMPARE(rank->eaScore, QByteArray("1523"));

        // mtm-b = 3661 b + 7, mwn-b = 100 + b, mls-b = 200 + b.
        const auto mapTokens = fixture(ReplyKind::Maps, "stats_maps.txt");
        QVERIFY(mapTokens);
        const auto maps = readMaps(*mapTokens);
        QVERIFY(maps);
        QCOMPARE(maps->at(0), QByteArrayList({"00:00:07", "100", "200", "0.50", "n/a"}));
        QCOMPARE(maps->at(10), QByteArrayList({"10:10:17", "110", "210", "0.52", "n/a"}));
        QCOMPARE(maps->at(11), QByteArrayList({"12:12:19", "112", "212", "0.53", "n/a"}));
        QCOMPARE(maps->at(20), QByteArrayList({"21:21:28", "121", "221", "0.55", "n/a"}));
    }

    // Services that lay the same figures out otherwise are read alike: every value is found by its
    // column, whatever comes before it.
    void otherLayouts_data() {
        QTest::addColumn<QByteArray>("stats");
        QTest::addColumn<QByteArray>("maps");
        QTest::addColumn<QByteArray>("rank");
        const auto row = [](const char* name, const BlocksEdit& edit, QByteArrayView lineEnd = "\n") {
            QTest::newRow(name) << relaidOut("getplayerinfo_stats.txt", edit, lineEnd)
                                << relaidOut("stats_maps.txt", edit, lineEnd)
                                << relaidOut("getleaderboard_rank.txt", edit, lineEnd);
        };
        row("as sent", [](QList<ReplyBlock>&) {});
        // A tenth army slot, for the EU army, after each army family: every later column moves.
        row("ten army slots", [](QList<ReplyBlock>& b) {
            for (const char* family : {"atm-", "awn-", "alo-", "abr-"})
                insertAfter(b, QByteArray(family) + "8", QByteArray(family) + "9", "999999");
        });
        row("added columns", [](QList<ReplyBlock>& b) {
            insertAfter(b, "pid", "mode3", "7");
            insertAfter(b, "nick", "tgm2", "8");
            insertAfter(b, "mtm-0", "mtm-999", "12345"); // a map the program does not know
        });
        row("families in another order", reverseColumns);
        row("CR LF and trailing TABs", [](QList<ReplyBlock>&) {}, "\t\r\n");
    }
    void otherLayouts() {
        QFETCH(QByteArray, stats);
        QFETCH(QByteArray, maps);
        QFETCH(QByteArray, rank);
        const auto statsReply = AcceptReply(ReplyKind::Stats, stats);
        const auto mapsReply = AcceptReply(ReplyKind::Maps, maps);
        const auto rankReply = AcceptReply(ReplyKind::Rank, rank);
        QVERIFY(statsReply && mapsReply && rankReply);
        const auto overview = readOverview(*statsReply);
        const auto data = readDataTables(*statsReply);
        QVERIFY(overview && data);
        const auto expected = fixture(ReplyKind::Stats, "getplayerinfo_stats.txt");
        const auto expectedOverview = readOverview(*expected);
        const auto expectedData = readDataTables(*expected);
        QCOMPARE(overview->fields, expectedOverview->fields);
        for (std::size_t i = 0; i < overview->favourites.size(); ++i)
            QCOMPARE(overview->favourites[i].name, expectedOverview->favourites[i].name);
        QCOMPARE(data->army, expectedData->army);
        QCOMPARE(data->kits, expectedData->kits);
        QCOMPARE(data->weapons, expectedData->weapons);
        QCOMPARE(data->vehicles, expectedData->vehicles);
        QCOMPARE(*readMaps(*mapsReply), *readMaps(*fixture(ReplyKind::Maps, "stats_maps.txt")));
        const auto expectedRank = readRank(*fixture(ReplyKind::Rank, "getleaderboard_rank.txt"));
        QCOMPARE(readRank(*rankReply)->nameLine, expectedRank->nameLine);
        QCOMPARE(readRank(*rankReply)->eaScore, expectedRank->eaScore);
    }

    // A column the service does not send leaves its figure at the start value, never another's.
    void missingColumnsKeepTheirStartValues() {
        const QByteArray body = relaidOut("getplayerinfo_stats.txt", [](QList<ReplyBlock>& b) {
            for (const char* column : {"scor", "wtm-3", "fwea", "mvns", "osaa"})
                removeColumn(b, column);
        });
        const auto reply = AcceptReply(ReplyKind::Stats, body);
        QVERIFY(reply);
        const auto overview = readOverview(*reply);
        const auto data = readDataTables(*reply);
        QVERIFY(overview && data);
        QCOMPARE((*overview)[OverviewField::GlobalScore], QByteArray("0"));
        QCOMPARE((*overview)[OverviewField::TeamScore], QByteArray("9876"));
        QCOMPARE((*overview)[OverviewField::Accuracy], QByteArray("0%"));
        QVERIFY(!overview->favourites[0].picture);
        QCOMPARE(data->weapons[3].at(0), QByteArray("00:00:00"));
        QCOMPARE(data->weapons[3].at(1), QByteArray("351"));
        QCOMPARE(data->misc[1].text, QByteArray("- (57)"));
    }

    // A data line that does not match its header is no reply to read.
    void malformedLayouts_data() {
        QTest::addColumn<QByteArray>("body");
        const auto edited = [](const BlocksEdit& edit) { return relaidOut("getplayerinfo_stats.txt", edit); };
        QTest::newRow("a value short") << edited([](QList<ReplyBlock>& b) { b.last().rows.first().removeLast(); });
        QTest::newRow("a value over") << edited([](QList<ReplyBlock>& b) { b.last().rows.first().append("1"); });
        QTest::newRow("data before any header") << QByteArray("O\nD\t1\t2\nH\tpid\tnick\n$\t1\t$");
        QTest::newRow("no data line") << edited([](QList<ReplyBlock>& b) { b.last().rows.clear(); });
    }
    void malformedLayouts() {
        QFETCH(QByteArray, body);
        const auto reply = AcceptReply(ReplyKind::Stats, body);
        QVERIFY(!reply || (!readOverview(*reply) && !readDataTables(*reply)));
    }
};

QTEST_GUILESS_MAIN(TestStats)
#include "test_stats.moc"
