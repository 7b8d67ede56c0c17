// The two leaderboards, sorting and copying in the tables, and the options dialog, driven through
// the real main window against a scripted service on loopback (and the real orvane-statsd for a
// demo lookup): which board requests go out and in what order, what the rows show, and what Apply
// stores and asks for.
#include "app/platform_hooks.h"
#include "app/progress_window.h"
#include "scripted_server.h"
#include "settings/options_dialog.h"
#include "stats/data_page.h"
#include "stats/overview_page.h"
#include "statsd_process.h"
#include "tables/table_actions.h"
#include "test_files.h"
#include "ui_test_main.h"
#include "window_driver.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QGraphicsOpacityEffect>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMutex>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

namespace {

using TestFiles::fixture;

QByteArray target(const QByteArray& request) {
    const QByteArray line = request.left(request.indexOf("\r\n"));
    return line.split(' ').value(1);
}

QByteArray queryValue(const QByteArray& t, const QByteArray& key) {
    const QByteArray query = t.mid(t.indexOf('?') + 1);
    for (const QByteArray& pair : query.split('&'))
        if (pair.startsWith(key + "="))
            return QByteArray::fromPercentEncoding(pair.mid(key.size() + 1));
    return {};
}

struct Player {
    QByteArray pid;
    QByteArray nick;
    QByteArray score;
    QByteArray seconds;
    QByteArray country;
};

const QByteArray PlainReply = "O\nH\tpid\tasof\nD\t45000001\t1700000000\n$\t21\t$";

QByteArray recordsReply(const QList<Player>& players) {
    QByteArray body =
        "O\nH\tsize\tasof\nD\t5000\t1717171717\nH\tn\tpid\tnick\tscore\ttotaltime\tplayerrank\tcountrycode\n";
    int n = 1;
    for (const Player& p : players)
        body += "D\t" + QByteArray::number(n++) + "\t" + p.pid + "\t" + p.nick + "\t" + p.score + "\t" + p.seconds +
                "\t12\t" + p.country + "\n";
    return body + "$\t" + QByteArray::number(body.size()) + "\t$";
}

QByteArray searchReply(const Player* p) {
    QByteArray body = "O\nH\tasof\nD\t1717171717\nH\tn\tpid\tnick\tscore\n";
    if (p)
        body += "D\t1\t" + p->pid + "\t" + p->nick + "\t" + p->score + "\n";
    return body + "$\t" + QByteArray::number(body.size()) + "\t$";
}

// A small statistics service: the players it knows, the general statistics of the fixtures, and a
// log of when each leaderboard request came in. Its answers run on the server's threads.
class Service {
public:
    explicit Service(QList<Player> players) : m_players(std::move(players)) { m_clock.start(); }

    void setPlayers(QList<Player> players) {
        QMutexLocker lock(&m_mutex);
        m_players = std::move(players);
    }
    // Requests for this nickname or PID get no answer at all.
    void hangOn(const QByteArray& who) {
        QMutexLocker lock(&m_mutex);
        m_hangOn = who;
    }
    // Every personal-leaderboard reply waits this long before it is sent.
    void delayBoard(int ms) { m_delayMs = ms; }

    // Targets of the personal-leaderboard requests and when they came, in order.
    QList<QByteArray> boardTargets() const {
        QMutexLocker lock(&m_mutex);
        return m_board;
    }
    QList<qint64> boardTimes() const {
        QMutexLocker lock(&m_mutex);
        return m_times;
    }

    ScriptedServer::Script answer(const QByteArray& request) {
        const QByteArray t = target(request);
        ScriptedServer::Script s;
        QMutexLocker lock(&m_mutex);
        const bool board = (t.startsWith("/ASP/searchforplayers") && t.contains("&nick=")) ||
                           (t.startsWith("/ASP/getleaderboard.aspx?pid="));
        const bool search = t.startsWith("/ASP/searchforplayers");
        if (board && !m_lookupNick.isEmpty() && search && queryValue(t, "nick") == m_lookupNick) {
            // The lookup's own search comes first; it is not part of the chain.
            m_lookupNick.clear();
        } else if (board) {
            m_board.append(t);
            m_times.append(m_clock.elapsed());
        }
        const QByteArray who = search ? queryValue(t, "nick") : queryValue(t, "pid");
        if (!m_hangOn.isEmpty() && who == m_hangOn)
            return s.hang();
        if (board && m_delayMs > 0)
            s.pause(m_delayMs);

        if (search) {
            const Player* found = nullptr;
            for (const Player& p : m_players)
                if (p.nick == who)
                    found = &p;
            return s.send(ScriptedServer::reply("200 OK", searchReply(found)));
        }
        if (t.contains("after=9")) {
            QList<Player> top = m_players;
            std::stable_sort(top.begin(), top.end(), [](const Player& a, const Player& b) {
                return a.score.toLongLong() > b.score.toLongLong();
            });
            while (top.size() < 10)
                top.append({QByteArray::number(46000000 + top.size()), "Filler" + QByteArray::number(top.size()), "1",
                            "60", "SE"});
            return s.send(ScriptedServer::reply("200 OK", recordsReply(top.mid(0, 10))));
        }
        if (t.startsWith("/ASP/getleaderboard.aspx?pid=")) {
            for (const Player& p : m_players)
                if (p.pid == who)
                    return s.send(ScriptedServer::reply("200 OK", recordsReply({p})));
            return s.send(ScriptedServer::reply("200 OK", fixture("getleaderboard_norecord.txt")));
        }
        if (t.startsWith("/ASP/getleaderboard.aspx"))
            return s.send(ScriptedServer::reply("200 OK", fixture("getleaderboard_rank.txt")));
        if (t.contains("info=mtm-"))
            return s.send(ScriptedServer::reply("200 OK", fixture("stats_maps.txt")));
        if (t.startsWith("/ASP/getplayerinfo.aspx"))
            return s.send(ScriptedServer::reply("200 OK", fixture("getplayerinfo_stats.txt")));
        return s.send(ScriptedServer::reply("200 OK", PlainReply));
    }

    // The lookup's own search for this nickname is not counted as a board request.
    void expectLookupOf(const QByteArray& nick) {
        QMutexLocker lock(&m_mutex);
        m_lookupNick = nick;
    }

private:
    mutable QMutex m_mutex;
    QList<Player> m_players;
    QList<QByteArray> m_board;
    QList<qint64> m_times;
    QByteArray m_hangOn;
    QByteArray m_lookupNick;
    QElapsedTimer m_clock;
    std::atomic<int> m_delayMs{0};
};

const QList<Player> Demo = {
    {"45000001", "Vortex", "250000", "9003723", "US"},     {"45000002", "Kestrel", "241000", "3723", "DE"},
    {"45000003", "=DOG= Sarge", "48211", "2345678", "DE"}, {"45000004", "Twin One", "700", "60", "GB"},
    {"45000005", "Twin Two", "700", "120", "FR"},          {"45000006", "Rook", "1200", "7200", "PL"},
};

QStringList column(const QTreeWidget* list, int c) {
    QStringList cells;
    for (int r = 0; r < list->topLevelItemCount(); ++r)
        cells.append(list->topLevelItem(r)->text(c));
    return cells;
}

QStringList captions() {
    QStringList c;
    for (int i = 1; i <= 10; ++i)
        c.append(QString::number(i));
    return c;
}

QStringList padded(QStringList cells, const QString& with) {
    while (cells.size() < 10)
        cells.append(with);
    return cells;
}

QString boardSearch(const char* nick) {
    return QStringLiteral("/ASP/searchforplayers.aspx?where=a&nick=") + QString::fromLatin1(nick);
}
QString boardRecord(const char* pid) {
    return QStringLiteral("/ASP/getleaderboard.aspx?pid=%1&type=score&id=overall").arg(QLatin1String(pid));
}

void clickHeader(QTreeWidget* list, int column) {
    QHeaderView* header = list->header();
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

void selectRow(QTreeWidget* list, int row) {
    const QRect place = list->visualItemRect(list->topLevelItem(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, place.center());
}

} // namespace

class TestBoardsUi final : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<ScriptedServer> m_server;
    std::shared_ptr<Service> m_service;
    QStringList m_messages;

    QString settingsFile() const { return m_dir.filePath(QStringLiteral("Settings.ini")); }

    void writeSettings(const QByteArray& server, const QList<QByteArray>& nicks = {}, const QByteArray& extra = {}) {
        QFile f(settingsFile());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QByteArray text = "[Allgemein]\r\nstatsserver=" + server + "\r\n" + extra + "[Leaderboard]\r\n";
        for (int i = 0; i < nicks.size(); ++i)
            text += "Nick" + QByteArray::number(i + 1) + "=" + nicks[i] + "\r\n";
        f.write(text);
    }

    QByteArray settingsValue(const char* section, const char* key) const {
        QFile f(settingsFile());
        if (!f.open(QIODevice::ReadOnly))
            return {};
        QByteArray current;
        for (QByteArray line : f.readAll().split('\n')) {
            line = line.trimmed();
            if (line.startsWith('['))
                current = line.mid(1, line.size() - 2);
            else if (current == section && line.startsWith(QByteArray(key) + "="))
                return line.mid(qsizetype(qstrlen(key)) + 1);
        }
        return {};
    }

    std::unique_ptr<MainWindow> window() {
        MainWindowOptions options;
        options.settingsPath = settingsFile();
        options.limits.idleTimeoutMs = 5000;
        options.limits.deadlineMs = 10000;
        auto w = std::make_unique<MainWindow>(std::move(options));
        w->show();
        return w;
    }

    static QTreeWidget* board(WindowDriver& d) { return d.find<QTreeWidget>(OverviewNames::Board); }
    static QTreeWidget* topTen(WindowDriver& d) { return d.find<QTreeWidget>(OverviewNames::TopTen); }

    // The options dialog as the user opens it from the menu.
    OptionsDialog* openOptions(WindowDriver& d) {
        d.trigger(MainNames::Options);
        OptionsDialog* dialog = d.window().optionsDialog();
        QApplication::setActiveWindow(dialog);
        return dialog;
    }
    template <typename T> static T* in(OptionsDialog* dialog, const char* name) {
        return dialog->findChild<T*>(QLatin1String(name));
    }
    static void addEntry(OptionsDialog* dialog, const QString& text) {
        auto* field = in<QLineEdit>(dialog, OptionsNames::Nickname);
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Return);
    }
    static void click(OptionsDialog* dialog, const char* button) {
        QTest::mouseClick(in<QPushButton>(dialog, button), Qt::LeftButton);
    }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        PlatformHooks::setMessageBoxAnswer([this](QMessageBox::Icon, const QString&, const QString& text) {
            m_messages.append(text);
            return QMessageBox::Ok;
        });
    }
    void init() {
        m_messages.clear();
        QFile::remove(settingsFile());
        m_service = std::make_shared<Service>(Demo);
        m_server = std::make_unique<ScriptedServer>();
        QVERIFY(m_server->isListening());
        std::shared_ptr<Service> service = m_service;
        m_server->setResponder([service](const QByteArray& r) { return service->answer(r); });
    }
    void cleanup() {
        m_server.reset();
        m_service.reset();
        QCOMPARE(m_messages, QStringList());
    }

    // The personal leaderboard after one lookup: the requests of the chain in order, and the rows.
    void chain_data() {
        QTest::addColumn<QList<QByteArray>>("list");
        QTest::addColumn<QStringList>("requests");
        QTest::addColumn<QStringList>("nicknames");
        QTest::addColumn<QStringList>("pids");
        QTest::newRow("empty list: no request")
            << QList<QByteArray>{} << QStringList{} << QStringList{} << QStringList{};
        QTest::newRow("three nicknames, ranked by score")
            << QList<QByteArray>{"Rook", "Vortex", "=DOG= Sarge"}
            << QStringList{boardSearch("Rook"),     boardRecord("45000006"),          boardSearch("Vortex"),
                           boardRecord("45000001"), boardSearch("%3DDOG%3D%20Sarge"), boardRecord("45000003")}
            << QStringList{"Vortex", "=DOG= Sarge", "Rook"} << QStringList{"45000001", "45000003", "45000006"};
        QTest::newRow("PIDs and nicknames mixed, each once in list order")
            << QList<QByteArray>{"45000002", "Rook", "45000001"}
            << QStringList{boardRecord("45000002"), boardSearch("Rook"), boardRecord("45000006"),
                           boardRecord("45000001")}
            << QStringList{"Vortex", "Kestrel", "Rook"} << QStringList{"45000001", "45000002", "45000006"};
        QTest::newRow("unknown nickname in the middle: the chain goes on")
            << QList<QByteArray>{"Rook", "Nobody", "Kestrel"}
            << QStringList{boardSearch("Rook"), boardRecord("45000006"), boardSearch("Nobody"), boardSearch("Kestrel"),
                           boardRecord("45000002")}
            << QStringList{"Kestrel", "Rook", "Nobody"} << QStringList{"45000002", "45000006", "not found"};
        QTest::newRow("PID without a record, like an unknown nickname")
            << QList<QByteArray>{"99999999", "Rook"}
            << QStringList{boardRecord("99999999"), boardSearch("Rook"), boardRecord("45000006")}
            << QStringList{"Rook", "99999999"} << QStringList{"45000006", "not found"};
        QTest::newRow("equal scores: both appear")
            << QList<QByteArray>{"Twin One", "Twin Two"}
            << QStringList{boardSearch("Twin%20One"), boardRecord("45000004"), boardSearch("Twin%20Two"),
                           boardRecord("45000005")}
            << QStringList{"Twin One", "Twin Two"} << QStringList{"45000004", "45000005"};
        QTest::newRow("gaps of a hand-edited list skipped")
            << QList<QByteArray>{"", "Rook", "", "", "45000002"}
            << QStringList{boardSearch("Rook"), boardRecord("45000006"), boardRecord("45000002")}
            << QStringList{"Kestrel", "Rook"} << QStringList{"45000002", "45000006"};
    }
    void chain() {
        QFETCH(QList<QByteArray>, list);
        QFETCH(QStringList, nicknames);
        QFETCH(QStringList, pids);
        writeSettings(m_server->hostPort(), list);
        m_service->delayBoard(40);
        m_service->expectLookupOf("Vortex");
        auto w = window();
        WindowDriver d(*w);
        QVERIFY(d.lookUp(QStringLiteral("Vortex")));
        QCOMPARE(d.lastOutcome(), LookupOutcome::Complete);

        QStringList requests;
        for (const QByteArray& t : m_service->boardTargets())
            requests.append(QString::fromLatin1(t));
        QTEST(requests, "requests");
        // One at a time: each request came only after the previous reply, which the service held back.
        const QList<qint64> times = m_service->boardTimes();
        for (qsizetype i = 1; i < times.size(); ++i)
            QVERIFY2(times[i] - times[i - 1] >= 35, qPrintable(QStringLiteral("request %1").arg(i)));

        QTreeWidget* b = board(d);
        QCOMPARE(column(b, 0), captions());
        QCOMPARE(column(b, 1), padded(nicknames, QStringLiteral("N/A")));
        QCOMPARE(column(b, 2), padded(pids, QStringLiteral("0")));
        QCOMPARE(b->header()->sortIndicatorSection(), nicknames.isEmpty() ? b->header()->sortIndicatorSection() : 3);
    }

    void times() {
        writeSettings(m_server->hostPort(), {"Kestrel"});
        auto w = window();
        WindowDriver d(*w);
        QVERIFY(d.lookUp(QStringLiteral("45000001")));
        QCOMPARE(board(d)->topLevelItem(0)->text(4), QStringLiteral("01:02:03"));
        QCOMPARE(topTen(d)->topLevelItem(1)->text(4), QStringLiteral("01:02:03"));
        QCOMPARE(topTen(d)->topLevelItem(0)->text(4), QStringLiteral("2501:02:03"));
        // Logged as the service sent them.
        QVERIFY(w->rawLogLines().contains(
            QStringLiteral("//////////////////////Top Ten\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\")));
        QVERIFY(w->rawLogLines().contains(QStringLiteral(
            "//////////////////////Personal Leaderboard\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\")));
    }

    // What a screen reader gets of a leaderboard: each cell with its column's caption.
    void spokenCells() {
        writeSettings(m_server->hostPort(), {"Kestrel"});
        auto w = window();
        WindowDriver d(*w);
        QVERIFY(d.lookUp(QStringLiteral("45000001")));
        const auto spoken = [](QTreeWidget* list, int row, int column) {
            QAccessibleInterface* table = QAccessible::queryAccessibleInterface(list);
            QAccessibleInterface* cell =
                table && table->tableInterface() ? table->tableInterface()->cellAt(row, column) : nullptr;
            return cell ? cell->text(QAccessible::Name) : QString();
        };
        QCOMPARE(spoken(topTen(d), 0, 3), QStringLiteral("Score: 250000"));
        QCOMPARE(spoken(topTen(d), 0, 1), QStringLiteral("Nickname: Vortex"));
        QCOMPARE(spoken(board(d), 0, 2), QStringLiteral("PID: 45000002"));
        QCOMPARE(spoken(board(d), 1, 1), QStringLiteral("Nickname: N/A"));
        QCOMPARE(spoken(d.find<QTreeWidget>(DataNames::Misc), 7, 1),
                 QStringLiteral("Kicked & Banned: ") + d.find<QTreeWidget>(DataNames::Misc)->topLevelItem(7)->text(1));
    }

    void topTenAfterUserSort() {
        writeSettings(m_server->hostPort());
        auto w = window();
        WindowDriver d(*w);
        QVERIFY(d.lookUp(QStringLiteral("45000001")));
        QTreeWidget* list = topTen(d);
        QCOMPARE(list->topLevelItem(0)->text(1), QStringLiteral("Vortex"));
        clickHeader(list, 1); // by nickname, ascending (the first click on an index other than 0)
        const QStringList sortedNicks = column(list, 1);
        QCOMPARE(sortedNicks.first(), QStringLiteral("=DOG= Sarge"));
        const QStringList sortedCaptions = column(list, 0);
        QVERIFY(sortedCaptions != captions());
        QCOMPARE(list->header()->sortIndicatorSection(), 1);
        QCOMPARE(list->header()->sortIndicatorOrder(), Qt::AscendingOrder);

        QVERIFY(d.lookUp(QStringLiteral("45000002")));
        QCOMPARE(list->topLevelItem(0)->text(1), QStringLiteral("Vortex"));
        QCOMPARE(column(list, 0), sortedCaptions);
    }

    void doubleClickLooksUpWholeNickname() {
        writeSettings(m_server->hostPort(), {"=DOG= Sarge"});
        auto w = window();
        WindowDriver d(*w);
        QVERIFY(d.lookUp(QStringLiteral("45000001")));
        for (QTreeWidget* list : {topTen(d), board(d)}) {
            const int row = column(list, 1).indexOf(QStringLiteral("=DOG= Sarge"));
            QVERIFY(row >= 0);
            const qsizetype before = d.finishedCount();
            d.doubleClickRow(list, row);
            QVERIFY(d.waitForLookup());
            QCOMPARE(d.finishedCount(), before + 1);
            QCOMPARE(w->history().first(), QStringLiteral("=DOG= Sarge"));
            QVERIFY(w->session()->requests().first().endsWith("nick=%3DDOG%3D%20Sarge"));
        }
        // A row showing "N/A" does nothing.
        const LookupSession* last = w->session();
        d.doubleClickRow(board(d), 5);
        QCOMPARE(w->session(), last);
    }

    // Sorting on the Data page: the shared state across tables, the header's indicator, values by value.
    void sorting() {
        writeSettings(m_server->hostPort());
        auto w = window();
        WindowDriver d(*w);
        QVERIFY(d.lookUp(QStringLiteral("45000001")));
        auto* army = d.find<QTreeWidget>(DataNames::Army);
        auto* kits = d.find<QTreeWidget>(DataNames::Kits);
        const auto isSorted = [](QTreeWidget* list, int c, CellKind kind, bool descending) {
            const QStringList cells = column(list, c);
            for (qsizetype i = 1; i < cells.size(); ++i) {
                const int order = CompareCells(cells[i - 1], cells[i], kind);
                if (descending ? order < 0 : order > 0)
                    return false;
            }
            return true;
        };
        clickHeader(army, 0); // the index of the start state: descending
        QVERIFY(isSorted(army, 0, CellKind::Text, true));
        clickHeader(army, 0);
        QVERIFY(isSorted(army, 0, CellKind::Text, false));
        QCOMPARE(army->header()->sortIndicatorOrder(), Qt::AscendingOrder);
        clickHeader(army, 2);
        QVERIFY(isSorted(army, 2, CellKind::Integer, false));
        clickHeader(kits, 2); // the same index on another table turns the direction round
        QVERIFY(isSorted(kits, 2, CellKind::Integer, true));
        QCOMPARE(kits->header()->sortIndicatorSection(), 2);
        QCOMPARE(kits->header()->sortIndicatorOrder(), Qt::DescendingOrder);
        clickHeader(kits, 1);
        QVERIFY(isSorted(kits, 1, CellKind::Duration, false));
        QCOMPARE(army->header()->sortIndicatorSection(), 2); // each header keeps its own last sort

        // The misc table shows no headers and keeps its order.
        auto* misc = d.find<QTreeWidget>(DataNames::Misc);
        QVERIFY(misc->isHeaderHidden());
        QCOMPARE(misc->topLevelItem(0)->text(0), QStringLiteral("PID"));
    }

    void copying() {
        writeSettings(m_server->hostPort());
        auto w = window();
        WindowDriver d(*w);
        QVERIFY(d.lookUp(QStringLiteral("45000001")));
        QClipboard* clipboard = QGuiApplication::clipboard();

        // Seven items show the copy picture, the personal leaderboard's does not.
        for (const char* menu :
             {"PM_Maps", "PM_Army", "PM_Kits", "PM_Vehicles", "PM_Weapons", "PM_Misc", "PM_TopTen", "PM_Leaderboard"}) {
            auto* m = d.find<QMenu>(menu);
            QVERIFY2(m, menu);
            QCOMPARE(m->actions().size(), 1);
            QCOMPARE(m->actions().first()->text(), QStringLiteral("&Copy"));
            QCOMPARE(m->actions().first()->icon().isNull(), qstrcmp(menu, "PM_Leaderboard") == 0);
        }

        // No row selected: the clipboard keeps what it holds.
        clipboard->setText(QStringLiteral("kept"));
        d.trigger("Copy7");
        QCOMPARE(clipboard->text(), QStringLiteral("kept"));

        // After a sort the line is that of the row selected on screen, by menu and by Ctrl+C.
        QTreeWidget* list = topTen(d);
        clickHeader(list, 3); // by score, ascending
        selectRow(list, 0);
        d.trigger("Copy7");
        const QString lowest = list->topLevelItem(0)->text(1);
        QCOMPARE(clipboard->text(), QStringLiteral("#: %1 Nickname: %2 PID: %3 Score: %4 Time: %5 Country: %6")
                                        .arg(list->topLevelItem(0)->text(0), lowest, list->topLevelItem(0)->text(2),
                                             list->topLevelItem(0)->text(3), list->topLevelItem(0)->text(4),
                                             list->topLevelItem(0)->text(5)));
        QVERIFY(!clipboard->text().endsWith(QLatin1Char('\n')));

        auto* misc = d.find<QTreeWidget>(DataNames::Misc);
        w->findChild<QTabWidget*>(QLatin1String(MainNames::Tabs))->setCurrentIndex(1);
        misc->setFocus();
        misc->setCurrentItem(misc->topLevelItem(7));
        QTest::keyClick(misc, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(clipboard->text(), QStringLiteral("Kicked & Banned: ") + misc->topLevelItem(7)->text(1));
    }

    void demoLookupFillsTopTen() {
        StatsdProcess statsd;
        QVERIFY2(statsd.isReady(), qPrintable(statsd.errorString()));
        writeSettings(statsd.hostPort(), {"[SAS] Nightshade", "=DOG= Sarge", "Flawless"});
        auto w = window();
        WindowDriver d(*w);
        QVERIFY(d.lookUp(QStringLiteral("=DOG= Sarge")));
        QCOMPARE(d.lastOutcome(), LookupOutcome::Complete);
        QVERIFY(!column(topTen(d), 1).contains(QStringLiteral("N/A")));
        const QStringList scores = column(board(d), 3).mid(0, 3);
        QVERIFY(!column(board(d), 1).mid(0, 3).contains(QStringLiteral("N/A")));
        QVERIFY(scores[0].toLongLong() >= scores[1].toLongLong() && scores[1].toLongLong() >= scores[2].toLongLong());
        QCOMPARE(column(board(d), 0), captions());
    }

    // ----- the options dialog -----

    void firstStart() {
        auto w = window();
        WindowDriver d(*w);
        OptionsDialog* dialog = openOptions(d);
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Options"));
        QVERIFY(!in<QCheckBox>(dialog, OptionsNames::StartOnLaunch)->isChecked());
        auto* field = in<QLineEdit>(dialog, OptionsNames::StartNick);
        QVERIFY(!field->isEnabled());
        QVERIFY(!in<QLabel>(dialog, OptionsNames::StartLabel)->isEnabled());
        QCOMPARE(qRound(static_cast<QGraphicsOpacityEffect*>(field->graphicsEffect())->opacity() * 255), 100);
        QTest::mouseClick(in<QCheckBox>(dialog, OptionsNames::StartOnLaunch), Qt::LeftButton);
        QVERIFY(field->isEnabled());
        QCOMPARE(static_cast<QGraphicsOpacityEffect*>(field->graphicsEffect())->opacity(), 1.0);
        QCOMPARE(field->maxLength(), 22);
        QVERIFY(!QFile::exists(settingsFile()));
    }

    void addingEntries() {
        writeSettings(m_server->hostPort());
        auto w = window();
        WindowDriver d(*w);
        OptionsDialog* dialog = openOptions(d);
        addEntry(dialog, QStringLiteral("Rook"));
        addEntry(dialog, QStringLiteral("rOOK")); // another letter case: not added
        addEntry(dialog, QString());
        QCOMPARE(dialog->entries(), QStringList{QStringLiteral("Rook")});
        for (int i = 2; i <= 11; ++i)
            addEntry(dialog, QStringLiteral("Player%1").arg(i));
        QCOMPARE(dialog->entries().size(), 10);
        QCOMPARE(dialog->entries().last(), QStringLiteral("Player10"));
        // The field keeps its text and the focus.
        QCOMPARE(in<QLineEdit>(dialog, OptionsNames::Nickname)->text(), QStringLiteral("Player11"));
        QCOMPARE(QApplication::focusWidget(), in<QLineEdit>(dialog, OptionsNames::Nickname));
    }

    void deleteSecondAndFourth() {
        writeSettings(m_server->hostPort(), {"Rook", "Vortex", "Kestrel", "Twin One", "Twin Two"});
        auto w = window();
        WindowDriver d(*w);
        OptionsDialog* dialog = openOptions(d);
        auto* list = in<QListWidget>(dialog, OptionsNames::List);
        QCOMPARE(list->count(), 5);
        list->item(1)->setSelected(true);
        list->item(3)->setSelected(true);
        // The entry nearest the top of the selection goes into the field.
        QCOMPARE(in<QLineEdit>(dialog, OptionsNames::Nickname)->text(), QStringLiteral("Vortex"));
        click(dialog, OptionsNames::Delete);
        QCOMPARE(dialog->entries(), (QStringList{"Rook", "Kestrel", "Twin Two"}));
        click(dialog, OptionsNames::Apply);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(settingsValue("Leaderboard", "Nick1"), "Rook");
        QCOMPARE(settingsValue("Leaderboard", "Nick3"), "Twin Two");
        QCOMPARE(settingsValue("Leaderboard", "Nick4"), "");
        QCOMPARE(settingsValue("Leaderboard", "Nick5"), "");
        QCOMPARE(w->leaderboardNicks().size(), 10);
        QCOMPARE(w->leaderboardNicks()[3], "");
        QCOMPARE(w->leaderboardNicks()[4], "");
        // Apply asks the new list at once, without a lookup.
        QVERIFY(QTest::qWaitFor([&] { return !w->boardSession(); }, 10000));
        QCOMPARE(column(board(d), 1).mid(0, 3), (QStringList{"Kestrel", "Rook", "Twin Two"}));
        QCOMPARE(m_service->boardTargets().size(), 6);
    }

    void clearAllAndApply() {
        writeSettings(m_server->hostPort(), {"Rook", "Vortex"});
        auto w = window();
        WindowDriver d(*w);
        QVERIFY(d.lookUp(QStringLiteral("45000001")));
        QCOMPARE(board(d)->topLevelItem(0)->text(1), QStringLiteral("Vortex"));
        const qsizetype asked = m_service->boardTargets().size();
        OptionsDialog* dialog = openOptions(d);
        click(dialog, OptionsNames::ClearAll);
        QCOMPARE(QApplication::focusWidget(), in<QLineEdit>(dialog, OptionsNames::Nickname));
        click(dialog, OptionsNames::Apply);
        for (int n = 1; n <= 10; ++n)
            QCOMPARE(settingsValue("Leaderboard", qPrintable(QStringLiteral("Nick%1").arg(n))), "");
        QCOMPARE(w->leaderboardNicks(), QList<QByteArray>(10));
        QCOMPARE(column(board(d), 1), padded({}, QStringLiteral("N/A")));
        QVERIFY(!w->boardSession());
        QCOMPARE(m_service->boardTargets().size(), asked);
    }

    void startField() {
        writeSettings(m_server->hostPort());
        auto w = window();
        WindowDriver d(*w);
        OptionsDialog* dialog = openOptions(d);
        // Typed while on, then unchecked: the field is dimmed, but Apply still stores its first word.
        auto* check = in<QCheckBox>(dialog, OptionsNames::StartOnLaunch);
        QVERIFY(check->isChecked()); // the file has no getstatsonstart: on
        auto* field = in<QLineEdit>(dialog, OptionsNames::StartNick);
        field->setFocus();
        QTest::keyClicks(field, QStringLiteral("  Twin One"));
        QTest::mouseClick(check, Qt::LeftButton);
        QVERIFY(!field->isEnabled());
        QCOMPARE(field->text(), QStringLiteral("  Twin One"));
        click(dialog, OptionsNames::Apply);
        QCOMPARE(settingsValue("Allgemein", "getstatsnick"), "Twin");
        QCOMPARE(settingsValue("Allgemein", "getstatsonstart"), "0");
        QCOMPARE(w->startNick(), "Twin");
        dialog = openOptions(d);
        QCOMPARE(field->text(), QStringLiteral("Twin"));
    }

    void unappliedChangesDiscarded() {
        writeSettings(m_server->hostPort(), {"Rook"});
        auto w = window();
        WindowDriver d(*w);
        OptionsDialog* dialog = openOptions(d);
        addEntry(dialog, QStringLiteral("Vortex"));
        QCOMPARE(dialog->entries().size(), 2);
        d.activate();
        QVERIFY(!dialog->isActiveWindow());
        QApplication::setActiveWindow(dialog);
        QVERIFY(dialog->isActiveWindow());
        QCOMPARE(dialog->entries(), QStringList{QStringLiteral("Rook")});
    }

    void applyDuringRunningChain() {
        writeSettings(m_server->hostPort(), {"Rook", "Kestrel"});
        m_service->hangOn("Rook");
        auto w = window();
        WindowDriver d(*w);
        d.type(QStringLiteral("45000001"));
        d.pressEnter();
        // The old chain's first request is out and gets no answer.
        QVERIFY(QTest::qWaitFor([&] { return m_service->boardTargets().size() == 1; }, 10000));
        OptionsDialog* dialog = openOptions(d);
        click(dialog, OptionsNames::ClearAll);
        addEntry(dialog, QStringLiteral("Twin One"));
        addEntry(dialog, QStringLiteral("Vortex"));
        click(dialog, OptionsNames::Apply);
        QVERIFY(d.waitForLookup());
        QVERIFY(QTest::qWaitFor([&] { return !w->boardSession(); }, 10000));
        QCOMPARE(m_service->boardTargets().mid(1),
                 (QList<QByteArray>{"/ASP/searchforplayers.aspx?where=a&nick=Twin%20One",
                                    "/ASP/getleaderboard.aspx?pid=45000004&type=score&id=overall",
                                    "/ASP/searchforplayers.aspx?where=a&nick=Vortex",
                                    "/ASP/getleaderboard.aspx?pid=45000001&type=score&id=overall"}));
        QCOMPARE(column(board(d), 1), padded({"Vortex", "Twin One"}, QStringLiteral("N/A")));
        QCOMPARE(d.lastOutcome(), LookupOutcome::Complete);
    }

    // A file that cannot be written stops Apply there: the new list is in memory, nothing is asked.
    void applyWithUnwritableFile() {
        QFile blocker(m_dir.filePath(QStringLiteral("blocker")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        MainWindowOptions options;
        options.settingsPath = m_dir.filePath(QStringLiteral("blocker/Settings.ini"));
        MainWindow w(std::move(options));
        w.show();
        WindowDriver d(w);
        OptionsDialog* dialog = openOptions(d);
        addEntry(dialog, QStringLiteral("Rook"));
        click(dialog, OptionsNames::Apply);
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(m_messages.takeFirst().startsWith(QStringLiteral("Unable to write to ")));
        QVERIFY(dialog->isVisible());
        QCOMPARE(w.leaderboardNicks().first(), "Rook");
        QVERIFY(!w.boardSession());
        QCOMPARE(m_service->boardTargets().size(), 0);
    }

    void clearHistory() {
        writeSettings(m_server->hostPort());
        auto w = window();
        WindowDriver d(*w);
        QVERIFY(d.lookUp(QStringLiteral("45000001")));
        QVERIFY(d.lookUp(QStringLiteral("45000002")));
        QCOMPARE(settingsValue("Favoriten", "Fav2"), "45000001");
        OptionsDialog* dialog = openOptions(d);
        in<QTabWidget>(dialog, OptionsNames::Pages)->setCurrentIndex(1);
        click(dialog, OptionsNames::ClearHistory);
        QVERIFY(dialog->isVisible());
        QCOMPARE(settingsValue("Favoriten", "Fav1"), "");
        QCOMPARE(settingsValue("Favoriten", "Fav2"), "");
        QVERIFY(w->history().isEmpty());
        auto* input = d.find<QComboBox>(MainNames::Input);
        QCOMPARE(input->count(), 0);
        QCOMPARE(input->currentText(), QString());
    }

    void serviceField_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("host:port") << QString() << true;
        QTest::newRow("no port after the colon") << QStringLiteral("127.0.0.1:") << false;
        QTest::newRow("port out of range") << QStringLiteral("127.0.0.1:70000") << false;
        QTest::newRow("a path") << QStringLiteral("127.0.0.1/ASP") << false;
        QTest::newRow("empty") << QStringLiteral("") << false;
    }
    void serviceField() {
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        // The file names a service that refuses; the dialog points the window at the real one.
        const QByteArray refusing = "127.0.0.1:" + QByteArray::number(ScriptedServer::refusingPort());
        writeSettings(refusing, {"Rook"});
        auto w = window();
        WindowDriver d(*w);
        OptionsDialog* dialog = openOptions(d);
        auto* field = in<QLineEdit>(dialog, OptionsNames::StatsServer);
        QCOMPARE(field->text(), QString::fromLatin1(refusing));
        const QString address = typed.isNull() ? QString::fromLatin1(m_server->hostPort()) : typed;
        field->setText(address);
        click(dialog, OptionsNames::Apply);
        if (!accepted) {
            QCOMPARE(m_messages.size(), 1);
            QVERIFY(m_messages.takeFirst().contains(address));
            QVERIFY(dialog->isVisible());
            QCOMPARE(w->statsServer(), refusing);
            QCOMPARE(settingsValue("Allgemein", "statsserver"), refusing);
            QVERIFY(!w->boardSession());
            return;
        }
        QVERIFY(!dialog->isVisible());
        QCOMPARE(settingsValue("Allgemein", "statsserver"), m_server->hostPort());
        QVERIFY(QTest::qWaitFor([&] { return !w->boardSession(); }, 10000));
        QCOMPARE(board(d)->topLevelItem(0)->text(1), QStringLiteral("Rook"));
        QVERIFY(d.lookUp(QStringLiteral("45000001")));
        QCOMPARE(d.lastOutcome(), LookupOutcome::Complete);
    }

    void keyboard() {
        writeSettings(m_server->hostPort());
        auto w = window();
        WindowDriver d(*w);
        OptionsDialog* dialog = openOptions(d);
        auto* check = in<QCheckBox>(dialog, OptionsNames::StartOnLaunch);
        check->setFocus();
        const QList<const char*> order = {
            OptionsNames::StartOnLaunch, OptionsNames::StartNick,   OptionsNames::Nickname,
            OptionsNames::Add,           OptionsNames::Delete,      OptionsNames::ClearAll,
            OptionsNames::List,          OptionsNames::StatsServer, OptionsNames::Apply};
        QVERIFY(check->isChecked()); // on: the start-up field is in the tab chain
        for (qsizetype i = 1; i < order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), QLatin1String(order[i]));
        }
        QCOMPARE(in<QPushButton>(dialog, OptionsNames::Apply)->text(), QStringLiteral(" &Apply"));
        QCOMPARE(in<QPushButton>(dialog, OptionsNames::Add)->text(), QStringLiteral("&Add"));
        QCOMPARE(in<QPushButton>(dialog, OptionsNames::ClearHistory)->text(), QStringLiteral("&Clear History"));
    }
};

ORVANE_UI_TEST_MAIN(TestBoardsUi)
#include "test_boards_ui.moc"
