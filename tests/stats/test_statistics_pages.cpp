// The Overview page, the Data page and the name line after lookups against orvane-statsd: every
// value is compared with what the service's database holds, not with the client's own positions.
#include "app/platform_hooks.h"
#include "app/progress_window.h"
#include "stats/data_page.h"
#include "stats/format.h"
#include "stats/next_rank_panel.h"
#include "stats/vocabulary.h"
#include "stats/overview_page.h"
#include "statsd_process.h"
#include "ui_test_main.h"
#include "window_driver.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <sqlite3.h>

namespace {

// One player's rows as the service's database holds them.
class Database final {
public:
    explicit Database(const QString& path) {
        if (sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
            m_db = nullptr;
    }
    ~Database() { sqlite3_close(m_db); }
    bool isOpen() const { return m_db; }

    // The first column of the first row; the statement's one parameter, if it has one, is the PID.
    qint64 value(const QByteArray& sql, qint64 pid = 0) const {
        qint64 result = -1;
        query(sql, pid, [&result](sqlite3_stmt* st) { result = sqlite3_column_int64(st, 0); });
        return result;
    }
    QString text(const QByteArray& sql, qint64 pid = 0) const {
        QString result;
        query(sql, pid, [&result](sqlite3_stmt* st) {
            result = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        });
        return result;
    }
    qint64 player(const char* column, qint64 pid) const {
        return value(QByteArray("SELECT ") + column + " FROM players WHERE pid = ?", pid);
    }
    qint64 item(const char* table, const char* column, int id, qint64 pid) const {
        return value(QByteArray("SELECT ") + column + " FROM " + table + " WHERE id = " + QByteArray::number(id) +
                         " AND pid = ?",
                     pid);
    }

private:
    template <typename Read> void query(const QByteArray& sql, qint64 pid, Read read) const {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.constData(), -1, &st, nullptr) == SQLITE_OK) {
            if (sqlite3_bind_parameter_count(st) > 0)
                sqlite3_bind_int64(st, 1, pid);
            if (sqlite3_step(st) == SQLITE_ROW)
                read(st);
        }
        sqlite3_finalize(st);
    }

    sqlite3* m_db = nullptr;
};

QString duration(qint64 seconds) {
    return QString::fromLatin1(FormatDuration(static_cast<quint32>(seconds)));
}
QString ratio(qint64 a, qint64 b) {
    return QString::fromLatin1(FormatRatio(static_cast<quint32>(a), static_cast<quint32>(b)));
}
QString num(qint64 v) {
    return QString::number(v);
}

// The map ids in the order of the service's map blocks; the table skips slot 11.
constexpr int MapIds[] = {0,   1,   2,   3,   4,   5,   6,   100, 101, 102, 103,
                          104, 105, 601, 300, 301, 302, 303, 304, 305, 306, 307};

// The misc rows that name another player, with the database column of that player's PID.
struct PlayerRow {
    int row;
    const char* column;
};
constexpr PlayerRow FavouriteVictim{5, "tvcr"};
constexpr PlayerRow WorstEnemy{6, "topr"};

} // namespace

class TestStatisticsPages final : public QObject {
    Q_OBJECT

    using F = OverviewField;

    QTemporaryDir m_dir;
    std::unique_ptr<StatsdProcess> m_statsd;
    std::unique_ptr<Database> m_db;
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<WindowDriver> m_driver;

    QLabel* figureLabel(F field) const { return m_driver->find<QLabel>(OverviewNames::figure(field).objectName); }
    QString value(F field) const {
        const QLabel* l = figureLabel(field);
        return l ? l->text() : QStringLiteral("<missing %1>").arg(QLatin1String(OverviewNames::figure(field).objectName));
    }
    QString label(const char* name) const {
        auto* l = m_driver->find<QLabel>(name);
        return l ? l->text() : QStringLiteral("<missing %1>").arg(QLatin1String(name));
    }
    QString cell(const char* list, int row, int column) const {
        auto* l = m_driver->find<QTreeWidget>(list);
        return l && l->topLevelItem(row) ? l->topLevelItem(row)->text(column) : QString();
    }
    void lookup(const QString& text) {
        QVERIFY(m_driver->lookUp(text));
        QVERIFY(m_window->session());
        QVERIFY(!m_window->session()->isRunning());
    }

    void compareWithDatabase(qint64 pid) {
        const Database& db = *m_db;
        auto p = [&](const char* c) { return db.player(c, pid); };
        QCOMPARE(value(F::GlobalScore), num(p("scor")));
        QCOMPARE(value(F::TeamScore), num(p("twsc")));
        QCOMPARE(value(F::CombatScore), num(p("cmsc")));
        QCOMPARE(value(F::CommanderScore), num(p("cdsc")));
        QCOMPARE(value(F::TimeCommander), duration(p("tcdr")));
        QCOMPARE(value(F::TimeSquadLeader), duration(p("tsql")));
        QCOMPARE(value(F::TimeSquadMember), duration(p("tsqm")));
        QCOMPARE(value(F::TimeLoneWolf), duration(p("tlwf")));
        QCOMPARE(value(F::TimeTotal), duration(p("time")));
        QCOMPARE(value(F::WinsLosses),
                 num(p("wins")) + " / " + num(p("loss")) + " (" + ratio(p("wins"), p("loss")) + ")");
        QCOMPARE(value(F::CapturedCp), num(p("cpcp")));
        QCOMPARE(value(F::CaptureAssists), num(p("cacp")));
        QCOMPARE(value(F::DefendedCp), num(p("dfcp")));
        QCOMPARE(value(F::KillAssists), num(p("kila")));
        QCOMPARE(value(F::Heals), num(p("heal")));
        QCOMPARE(value(F::Revives), num(p("rviv")));
        QCOMPARE(value(F::Resupplies), num(p("rsup")));
        QCOMPARE(value(F::Repairs), num(p("rpar")));
        QCOMPARE(value(F::DriverAssists), num(p("dsab")));
        QCOMPARE(value(F::Suicides), num(p("suic")));
        QCOMPARE(value(F::KillDeathRatio), ratio(p("kill"), p("deth")));
        QCOMPARE(value(F::KillsTotal), num(p("kill")) + " / " + num(p("bksk")));
        QCOMPARE(value(F::DeathsTotal), num(p("deth")) + " / " + num(p("wdsk")));
        QVERIFY(value(F::Accuracy).endsWith(QLatin1Char('%')));

        for (int i = 0; i < 14; ++i) {
            QCOMPARE(cell(DataNames::Weapons, i, 1), duration(db.item("weapons", "time", i, pid)));
            QCOMPARE(cell(DataNames::Weapons, i, 2), num(db.item("weapons", "kills", i, pid)));
            QCOMPARE(cell(DataNames::Weapons, i, 3), num(db.item("weapons", "deaths", i, pid)));
            QCOMPARE(cell(DataNames::Weapons, i, 4),
                     ratio(db.item("weapons", "kills", i, pid), db.item("weapons", "deaths", i, pid)));
        }
        for (int row = 0; row < 6; ++row) {
            const int id = row < 5 ? row : 6; // the table has no row for class 5
            QCOMPARE(cell(DataNames::Vehicles, row, 1), duration(db.item("vehicles", "time", id, pid)));
            QCOMPARE(cell(DataNames::Vehicles, row, 2), num(db.item("vehicles", "kills", id, pid)));
            QCOMPARE(cell(DataNames::Vehicles, row, 3), num(db.item("vehicles", "deaths", id, pid)));
            QCOMPARE(cell(DataNames::Vehicles, row, 5), num(db.item("vehicles", "roadkills", id, pid)));
        }
        for (int i = 0; i < 9; ++i) {
            QCOMPARE(cell(DataNames::Army, i, 1), duration(db.item("armies", "time", i, pid)));
            QCOMPARE(cell(DataNames::Army, i, 2), num(db.item("armies", "wins", i, pid)));
            QCOMPARE(cell(DataNames::Army, i, 3), num(db.item("armies", "losses", i, pid)));
            QCOMPARE(cell(DataNames::Army, i, 5), num(db.item("armies", "best", i, pid)));
        }
        for (int i = 0; i < 7; ++i) {
            QCOMPARE(cell(DataNames::Kits, i, 1), duration(db.item("kits", "time", i, pid)));
            QCOMPARE(cell(DataNames::Kits, i, 2), num(db.item("kits", "kills", i, pid)));
            QCOMPARE(cell(DataNames::Kits, i, 3), num(db.item("kits", "deaths", i, pid)));
        }
        for (int row = 0; row < 21; ++row) {
            const int id = MapIds[row < 11 ? row : row + 1];
            QCOMPARE(cell(DataNames::Maps, row, 1), duration(db.item("maps", "time", id, pid)));
            QCOMPARE(cell(DataNames::Maps, row, 2), num(db.item("maps", "wins", id, pid)));
            QCOMPARE(cell(DataNames::Maps, row, 3), num(db.item("maps", "losses", id, pid)));
            QCOMPARE(cell(DataNames::Maps, row, 5), QStringLiteral("n/a"));
        }
        QCOMPARE(cell(DataNames::Misc, 0, 1), num(pid));
        QCOMPARE(cell(DataNames::Misc, 7, 1), num(p("kick")) + " / " + num(p("ban")));
        // The dates in this machine's locale and time zone.
        QCOMPARE(cell(DataNames::Misc, 3, 1), ServiceTimeText(p("jond")));
        QCOMPARE(cell(DataNames::Misc, 4, 1), ServiceTimeText(p("lbtl")));
        QVERIFY(cell(DataNames::Misc, 2, 1) != QStringLiteral("N/A"));
        QVERIFY(m_window->windowTitle().startsWith(QStringLiteral("Orvane *BETA* (as of ")));
        // The next rank follows the rank the service holds.
        const qint64 rank = p("rank");
        const int next = rank == 10 || rank == 20 ? int(rank) + 2 : int(rank) + 1;
        if (next <= HighestRank)
            QCOMPARE(label(NextRankNames::Name),
                     QStringLiteral("Next rank: ") + QString::fromLatin1(RankNames[std::size_t(next)].name));
    }

    // A screen reader hears each figure with its caption, as it reads now.
    void compareSpokenFigures() {
        for (const OverviewNames::Figure& figure : OverviewNames::Figures) {
            const QLabel* l = figureLabel(figure.field);
            QVERIFY2(l, figure.objectName);
            QCOMPARE(l->accessibleName(), QString::fromLatin1(figure.caption).trimmed() + QStringLiteral(": ") + l->text());
        }
        const QLabel* ea = m_driver->find<QLabel>(OverviewNames::EaScore);
        QCOMPARE(ea->accessibleName(), QStringLiteral("EA Score: ") + ea->text());
    }

    int visibleFavourites(const char* prefix) const {
        int shown = 0;
        for (QLabel* l : m_window->findChildren<QLabel*>())
            if (l->objectName().startsWith(QLatin1String(prefix)) && !l->isHidden())
                ++shown;
        return shown;
    }

    // A player whose favourite victim or worst enemy (by the column) has a clan tag and a blank in
    // the nickname, and who has both, so that either misc row can be double-clicked.
    qint64 playerNamingATaggedPlayer(const char* column) const {
        return m_db->value(QByteArray("SELECT p.pid FROM players p JOIN players o ON o.pid = p.") + column +
                           " WHERE p.tvcr <> 0 AND p.topr <> 0 AND o.nick LIKE '% %'"
                           " AND substr(o.nick, 1, 1) IN ('=', '[', '-', '{', '|', '(', '~', '*')"
                           " ORDER BY p.pid LIMIT 1");
    }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        m_statsd = std::make_unique<StatsdProcess>();
        QVERIFY2(m_statsd->isReady(), qPrintable(m_statsd->errorString()));
        m_db = std::make_unique<Database>(m_statsd->databasePath());
        QVERIFY(m_db->isOpen());
        QFile f(m_dir.filePath(QStringLiteral("Settings.ini")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[Allgemein]\r\nstatsserver=" + m_statsd->hostPort() + "\r\n");
        f.close();
        PlatformHooks::setMessageBoxAnswer(
            [](QMessageBox::Icon, const QString&, const QString&) { return QMessageBox::Ok; });
        PlatformHooks::setAvailableScreenSize([] { return QSize(1920, 1040); });
        PlatformHooks::setPrimaryScreenHeight([] { return 1080; });
        m_window = std::make_unique<MainWindow>(MainWindowOptions{f.fileName(), {}, {}});
        m_driver = std::make_unique<WindowDriver>(*m_window);
        m_driver->activate();
    }
    void cleanupTestCase() {
        m_driver.reset();
        m_window.reset();
        PlatformHooks::setMessageBoxAnswer(nullptr);
        PlatformHooks::setAvailableScreenSize(nullptr);
        PlatformHooks::setPrimaryScreenHeight(nullptr);
        QVERIFY(m_statsd->stop());
    }

    void lookupShowsWhatTheServiceHolds_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<qint64>("pid");
        QTest::addColumn<QString>("nameLine");
        QTest::addColumn<QString>("favouriteMap");
        QTest::newRow("clan tag") << "=DOG= Sarge" << qint64(45000001) << "=DOG= Sarge, "
                                  << "Strike at Karkand";
        QTest::newRow("pid") << "45000006" << qint64(45000006) << "WakeIslander, "
                             << "Wake Island 2007";
        QTest::newRow("new recruit") << "FreshRecruit" << qint64(45000004) << "FreshRecruit, Private (45000004)"
                                     << QString();
    }
    void lookupShowsWhatTheServiceHolds() {
        QFETCH(QString, input);
        QFETCH(qint64, pid);
        QFETCH(QString, nameLine);
        QFETCH(QString, favouriteMap);
        lookup(input);
        QCOMPARE(m_driver->lastOutcome(), LookupOutcome::Complete);
        QCOMPARE(m_window->session()->pid(), QByteArray::number(pid));
        compareWithDatabase(pid);
        compareSpokenFigures();
        QCOMPARE(figureLabel(F::GlobalScore)->accessibleName(), QStringLiteral("Global: ") + num(m_db->player("scor", pid)));
        const QString line = label(MainNames::NameLine);
        QVERIFY2(line.startsWith(nameLine), qPrintable(line));
        QVERIFY(line.endsWith(QStringLiteral("(%1)").arg(pid)));
        if (!favouriteMap.isEmpty())
            QCOMPARE(label(OverviewNames::FavouriteLabels[3]), favouriteMap);
        // Without any time played there is nothing to be fond of.
        if (m_db->player("time", pid) == 0) {
            for (const char* favourite : OverviewNames::FavouriteLabels)
                QCOMPARE(label(favourite), QStringLiteral("\u2014"));
            for (const char* prefix : {"Im_wea_", "Im_veh_", "Im_kit_", "Im_map_"})
                QCOMPARE(visibleFavourites(prefix), 0);
        }
        for (const char* prefix : {"Im_wea_", "Im_veh_", "Im_kit_", "Im_map_"})
            QVERIFY2(visibleFavourites(prefix) <= 1, prefix);
        QCOMPARE(cell(DataNames::Maps, 5, 0), QStringLiteral("Sharqi Peninsula"));
        QVERIFY(!cell(DataNames::Misc, 1, 1).isEmpty());
        QCOMPARE(m_window->progressWindow()->overallProgress(), 100);
        QVERIFY(!m_window->progressWindow()->isVisible());
    }

    void failedLookupLeavesThePage() {
        lookup(QStringLiteral("=DOG= Sarge"));
        const QString global = value(F::GlobalScore);
        const QString line = label(MainNames::NameLine);
        lookup(QStringLiteral("99999999"));
        QCOMPARE(m_driver->lastOutcome(), LookupOutcome::NotFound);
        ProgressWindow* progress = m_window->progressWindow();
        QCOMPARE(progress->statusText(), QStringLiteral("Error: Nickname does not exist"));
        QCOMPARE(value(F::GlobalScore), global);
        QCOMPARE(label(MainNames::NameLine), line);
        compareWithDatabase(45000001);
        compareSpokenFigures();
        // The failure stays up until the user closes it.
        QVERIFY(progress->isVisible());
        QTest::mouseClick(progress->closeButton(), Qt::LeftButton);
        QVERIFY(!progress->isVisible());
    }

    void favouritesFollowTheNewPlayer() {
        lookup(QStringLiteral("WakeIslander"));
        QVERIFY(!m_driver->find<QLabel>("Im_map_601")->isHidden());
        QVERIFY(!m_driver->find<QLabel>("Im_veh_6")->isHidden());
        QCOMPARE(label(OverviewNames::FavouriteLabels[1]), QStringLiteral("Ground Defense"));
        lookup(QStringLiteral("=DOG= Sarge"));
        QVERIFY(m_driver->find<QLabel>("Im_map_601")->isHidden());
        QCOMPARE(visibleFavourites("Im_map_"), 1);
    }

    // A double click on the favourite victim or the worst enemy looks that player up by the whole
    // nickname, clan tag and blanks included.
    void miscDoubleClickLooksThePlayerUp_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QByteArray>("column");
        QTest::newRow("favourite victim") << FavouriteVictim.row << QByteArray(FavouriteVictim.column);
        QTest::newRow("worst enemy") << WorstEnemy.row << QByteArray(WorstEnemy.column);
    }
    void miscDoubleClickLooksThePlayerUp() {
        QFETCH(int, row);
        QFETCH(QByteArray, column);
        const qint64 pid = playerNamingATaggedPlayer(column.constData());
        QVERIFY2(pid > 0, "the database has no player naming a tagged one");
        const qint64 otherPid = m_db->player(column.constData(), pid);
        const QString other = m_db->text("SELECT nick FROM players WHERE pid = ?", otherPid);
        QVERIFY(other.contains(QLatin1Char(' ')));

        lookup(QString::number(pid));
        auto* misc = m_driver->find<QTreeWidget>(DataNames::Misc);
        QVERIFY2(misc->topLevelItem(row)->text(1).startsWith(other + QStringLiteral(" (")),
                 qPrintable(misc->topLevelItem(row)->text(1)));
        const LookupSession* before = m_window->session();
        // The user goes to the Data page and double-clicks the row.
        m_driver->pressKey(Qt::Key_2, Qt::ControlModifier);
        QVERIFY(misc->isVisible());
        m_driver->doubleClickRow(misc, row);
        QVERIFY(m_window->session() != before);
        QVERIFY(m_driver->waitForLookup());
        QCOMPARE(m_driver->lastOutcome(), LookupOutcome::Complete);
        QCOMPARE(m_window->session()->pid(), QByteArray::number(otherPid));
        QCOMPARE(m_window->history().first(), other);
        QCOMPARE(m_driver->find<QComboBox>(MainNames::Input)->currentText(), other);
        QVERIFY(label(MainNames::NameLine).endsWith(QStringLiteral("(%1)").arg(otherPid)));
        compareWithDatabase(otherPid);
        m_driver->pressKey(Qt::Key_1, Qt::ControlModifier);
    }

    // The rows that name nobody start nothing.
    void miscDoubleClickElsewhereStartsNothing() {
        lookup(QStringLiteral("=DOG= Sarge"));
        const LookupSession* before = m_window->session();
        const qsizetype finished = m_driver->finishedCount();
        m_driver->pressKey(Qt::Key_2, Qt::ControlModifier);
        auto* misc = m_driver->find<QTreeWidget>(DataNames::Misc);
        for (int row : {0, 1, 4, 7})
            m_driver->doubleClickRow(misc, row);
        QCOMPARE(m_window->session(), before);
        QCOMPARE(m_driver->finishedCount(), finished);
        m_driver->pressKey(Qt::Key_1, Qt::ControlModifier);
    }
};

ORVANE_UI_TEST_MAIN(TestStatisticsPages)
#include "test_statistics_pages.moc"
