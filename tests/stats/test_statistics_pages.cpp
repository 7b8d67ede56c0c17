// The Overview page, the Data page and the name line after lookups against orvane-statsd: every
// value is compared with what the service's database holds, not with the client's own positions.
#include "app/main_window.h"
#include "app/platform_hooks.h"
#include "app/progress_window.h"
#include "service/httpget.h"
#include "stats/format.h"
#include "statsd_process.h"
#include "ui_test_main.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
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

    qint64 value(const QByteArray& sql, qint64 pid) const {
        sqlite3_stmt* st = nullptr;
        qint64 result = -1;
        if (sqlite3_prepare_v2(m_db, sql.constData(), -1, &st, nullptr) == SQLITE_OK) {
            sqlite3_bind_int64(st, 1, pid);
            if (sqlite3_step(st) == SQLITE_ROW)
                result = sqlite3_column_int64(st, 0);
        }
        sqlite3_finalize(st);
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

} // namespace

class TestStatisticsPages final : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<StatsdProcess> m_statsd;
    std::unique_ptr<Database> m_db;
    std::unique_ptr<TForm3> m_window;

    QString label(const char* name) const {
        auto* l = m_window->findChild<QLabel*>(QLatin1String(name));
        return l ? l->text() : QStringLiteral("<missing %1>").arg(QLatin1String(name));
    }
    QString cell(const char* list, int row, int column) const {
        auto* l = m_window->findChild<QTreeWidget*>(QLatin1String(list));
        return l && l->topLevelItem(row) ? l->topLevelItem(row)->text(column) : QString();
    }
    bool idle() const {
        for (int i = 0; i < ReplyKindCount; ++i)
            if (m_window->fetcher(static_cast<ReplyKind>(i))->isBusy())
                return false;
        return true;
    }
    void lookup(const QString& text) {
        m_window->findChild<QComboBox*>(QStringLiteral("Ed_Username"))->setEditText(text);
        m_window->Ed_EingabeClick();
        // The chain never leaves every fetcher idle before its last reply has been handled.
        QTRY_VERIFY_WITH_TIMEOUT(idle(), 10000);
    }

    void compareWithDatabase(qint64 pid) {
        const Database& db = *m_db;
        auto p = [&](const char* c) { return db.player(c, pid); };
        QCOMPARE(label("La_Globalpoints"), num(p("scor")));
        QCOMPARE(label("La_Teampoints"), num(p("twsc")));
        QCOMPARE(label("La_Combatpoints"), num(p("cmsc")));
        QCOMPARE(label("La_Commanderpoints"), num(p("cdsc")));
        QCOMPARE(label("La_timecommander"), duration(p("tcdr")));
        QCOMPARE(label("La_timesleader"), duration(p("tsql")));
        QCOMPARE(label("La_timesmember"), duration(p("tsqm")));
        QCOMPARE(label("La_timelone"), duration(p("tlwf")));
        QCOMPARE(label("La_timetotal"), duration(p("time")));
        QCOMPARE(label("La_Winslosses"),
                 num(p("wins")) + " / " + num(p("loss")) + " (" + ratio(p("wins"), p("loss")) + ")");
        QCOMPARE(label("La_captcp"), num(p("cpcp")));
        QCOMPARE(label("La_captass"), num(p("cacp")));
        QCOMPARE(label("La_captdef"), num(p("dfcp")));
        QCOMPARE(label("La_killass"), num(p("kila")));
        QCOMPARE(label("La_heal"), num(p("heal")));
        QCOMPARE(label("La_revive"), num(p("rviv")));
        QCOMPARE(label("La_support"), num(p("rsup")));
        QCOMPARE(label("La_repair"), num(p("rpar")));
        QCOMPARE(label("La_driver"), num(p("dsab")));
        QCOMPARE(label("La_suicides"), num(p("suic")));
        QCOMPARE(label("La_kdratio"), ratio(p("kill"), p("deth")));
        QCOMPARE(label("La_killstotal"), num(p("kill")) + " / " + num(p("bksk")));
        QCOMPARE(label("La_deathstotal"), num(p("deth")) + " / " + num(p("wdsk")));
        QVERIFY(label("La_accuracy").endsWith(QLatin1Char('%')));

        for (int i = 0; i < 14; ++i) {
            QCOMPARE(cell("Lv_weapons", i, 1), duration(db.item("weapons", "time", i, pid)));
            QCOMPARE(cell("Lv_weapons", i, 2), num(db.item("weapons", "kills", i, pid)));
            QCOMPARE(cell("Lv_weapons", i, 3), num(db.item("weapons", "deaths", i, pid)));
            QCOMPARE(cell("Lv_weapons", i, 4),
                     ratio(db.item("weapons", "kills", i, pid), db.item("weapons", "deaths", i, pid)));
        }
        for (int row = 0; row < 6; ++row) {
            const int id = row < 5 ? row : 6; // the table has no row for class 5
            QCOMPARE(cell("LV_Vehicle", row, 1), duration(db.item("vehicles", "time", id, pid)));
            QCOMPARE(cell("LV_Vehicle", row, 2), num(db.item("vehicles", "kills", id, pid)));
            QCOMPARE(cell("LV_Vehicle", row, 3), num(db.item("vehicles", "deaths", id, pid)));
            QCOMPARE(cell("LV_Vehicle", row, 5), num(db.item("vehicles", "roadkills", id, pid)));
        }
        for (int i = 0; i < 9; ++i) {
            QCOMPARE(cell("LV_Army", i, 1), duration(db.item("armies", "time", i, pid)));
            QCOMPARE(cell("LV_Army", i, 2), num(db.item("armies", "wins", i, pid)));
            QCOMPARE(cell("LV_Army", i, 3), num(db.item("armies", "losses", i, pid)));
            QCOMPARE(cell("LV_Army", i, 5), num(db.item("armies", "best", i, pid)));
        }
        for (int i = 0; i < 7; ++i) {
            QCOMPARE(cell("Lv_kits", i, 1), duration(db.item("kits", "time", i, pid)));
            QCOMPARE(cell("Lv_kits", i, 2), num(db.item("kits", "kills", i, pid)));
            QCOMPARE(cell("Lv_kits", i, 3), num(db.item("kits", "deaths", i, pid)));
        }
        for (int row = 0; row < 21; ++row) {
            const int id = MapIds[row < 11 ? row : row + 1];
            QCOMPARE(cell("LV_Maps", row, 1), duration(db.item("maps", "time", id, pid)));
            QCOMPARE(cell("LV_Maps", row, 2), num(db.item("maps", "wins", id, pid)));
            QCOMPARE(cell("LV_Maps", row, 3), num(db.item("maps", "losses", id, pid)));
            QCOMPARE(cell("LV_Maps", row, 5), QStringLiteral("n/a"));
        }
        QCOMPARE(cell("LV_misc", 0, 1), num(pid));
        QCOMPARE(cell("LV_misc", 7, 1), num(p("kick")) + " / " + num(p("ban")));
        QCOMPARE(cell("LV_misc", 2, 1), QStringLiteral("N/A"));
    }

    int visibleFavourites(const char* prefix) const {
        int shown = 0;
        for (QLabel* l : m_window->findChildren<QLabel*>())
            if (l->objectName().startsWith(QLatin1String(prefix)) && !l->isHidden())
                ++shown;
        return shown;
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
        m_window = std::make_unique<TForm3>(MainWindowOptions{f.fileName(), {}});
        m_window->show();
    }
    void cleanupTestCase() {
        m_window.reset();
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
        compareWithDatabase(pid);
        QVERIFY2(label("La_Nickrank").startsWith(nameLine), qPrintable(label("La_Nickrank")));
        QVERIFY(label("La_Nickrank").endsWith(QStringLiteral("(%1)").arg(pid)));
        if (!favouriteMap.isEmpty())
            QCOMPARE(label("La_favmap"), favouriteMap);
        for (const char* prefix : {"Im_wea_", "Im_veh_", "Im_kit_", "Im_map_"})
            QVERIFY2(visibleFavourites(prefix) <= 1, prefix);
        QCOMPARE(cell("LV_Maps", 5, 0), QStringLiteral("Sharqi Peninsula"));
        QVERIFY(!cell("LV_misc", 1, 1).isEmpty());
        QCOMPARE(m_window->progressWindow()->overallProgress(), 100);
    }

    void failedLookupLeavesThePage() {
        lookup(QStringLiteral("=DOG= Sarge"));
        const QString global = label("La_Globalpoints");
        const QString line = label("La_Nickrank");
        lookup(QStringLiteral("99999999"));
        QCOMPARE(m_window->progressWindow()->statusText(), QStringLiteral("Error: Nickname does not exist"));
        QCOMPARE(label("La_Globalpoints"), global);
        QCOMPARE(label("La_Nickrank"), line);
        compareWithDatabase(45000001);
        m_window->progressWindow()->close();
    }

    void favouritesFollowTheNewPlayer() {
        lookup(QStringLiteral("WakeIslander"));
        QVERIFY(!m_window->findChild<QLabel*>(QStringLiteral("Im_map_601"))->isHidden());
        QVERIFY(!m_window->findChild<QLabel*>(QStringLiteral("Im_veh_6"))->isHidden());
        QCOMPARE(label("La_favvehicle"), QStringLiteral("Ground Defense"));
        lookup(QStringLiteral("=DOG= Sarge"));
        QVERIFY(m_window->findChild<QLabel*>(QStringLiteral("Im_map_601"))->isHidden());
        QCOMPARE(visibleFavourites("Im_map_"), 1);
    }

    void miscDoubleClickLooksTheVictimUp() {
        lookup(QStringLiteral("=DOG= Sarge"));
        auto* misc = m_window->findChild<QTreeWidget*>(QStringLiteral("LV_misc"));
        const QString value = misc->topLevelItem(5)->text(1);
        const QString victim = value.left(value.lastIndexOf(QStringLiteral(" (")));
        QVERIFY(!victim.isEmpty());
        misc->setCurrentItem(misc->topLevelItem(5));
        m_window->LV_miscDblClick();
        QTRY_VERIFY_WITH_TIMEOUT(idle(), 10000);
        QCOMPARE(m_window->history().first(), victim);
        QCOMPARE(m_window->findChild<QComboBox*>(QStringLiteral("Ed_Username"))->currentText(), victim);
    }
};

ORVANE_UI_TEST_MAIN(TestStatisticsPages)
#include "test_statistics_pages.moc"
