// A lookup as the user runs it, against a scripted service on loopback that answers each page
// with a reply body in the service's format: which requests go out, in what shape, how the
// progress window and the raw-data log follow the replies, and how every kind of failure ends.
#include "app/platform_hooks.h"
#include "app/progress_window.h"
#include "scripted_server.h"
#include "skin/gauge.h"
#include "stats/data_page.h"
#include "stats/overview_page.h"
#include "test_files.h"
#include "ui_test_main.h"
#include "window_driver.h"

#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <QMenu>

namespace {

using TestFiles::fixture;

// The path and query of a raw request ("GET /ASP/... HTTP/1.0").
QByteArray target(const QByteArray& request) {
    const QByteArray line = request.left(request.indexOf("\r\n"));
    const QList<QByteArray> parts = line.split(' ');
    return parts.value(1);
}

// A short, valid reply for the pages this test does not read closely.
const QByteArray PlainReply = "O\nH\tpid\tasof\nD\t45000001\t1700000000\n$\t21\t$";

// The fixture's reply for any page of the service.
QByteArray fixtureFor(const QByteArray& t) {
    if (t.startsWith("/ASP/searchforplayers.aspx"))
        return fixture("searchforplayers_tagged.txt");
    if (t.contains("info=mtm-"))
        return fixture("stats_maps.txt");
    if (t.startsWith("/ASP/getplayerinfo.aspx"))
        return fixture("getplayerinfo_stats.txt");
    if (t.contains("after=9"))
        return fixture("getleaderboard_topten.txt");
    if (t.startsWith("/ASP/getleaderboard.aspx"))
        return fixture("getleaderboard_rank.txt");
    return PlainReply;
}

ScriptedServer::Script fixtureScript(const QByteArray& request) {
    ScriptedServer::Script s;
    return s.send(ScriptedServer::reply("200 OK", fixtureFor(target(request))));
}

// The ways a service fails a lookup, each on the first request of the lookup.
enum class Failure { Refused, Silent, StalledBody, CutBody, NotFoundText, ServerErrorHtml, RedirectEmpty, Huge, Drip };

ScriptedServer::Script failingScript(Failure failure, const QByteArray& request) {
    ScriptedServer::Script s;
    const QByteArray body = fixtureFor(target(request));
    switch (failure) {
    case Failure::Refused:
        break;
    case Failure::Silent:
        return s.hang();
    case Failure::StalledBody:
        return s.send(ScriptedServer::reply("200 OK", body).left(200)).hang();
    case Failure::CutBody:
        return s.dropAfter(ScriptedServer::reply("200 OK", body), ScriptedServer::reply("200 OK", body).size() - 5);
    case Failure::NotFoundText:
        return s.send(ScriptedServer::reply("404 Not Found", "Not Found"));
    case Failure::ServerErrorHtml:
        return s.send(ScriptedServer::reply("500 Internal Server Error", "<html><body>Oops</body></html>"));
    case Failure::RedirectEmpty:
        return s.send(ScriptedServer::reply("302 Found", "", true, "Location: /elsewhere\r\n"));
    case Failure::Huge:
        return s.send(ScriptedServer::reply("200 OK", "O\n" + QByteArray(4 * 1024 * 1024 + 1, '\t'), false));
    case Failure::Drip: {
        // Always something new before the idle time-out, never done before the deadline.
        s.send("HTTP/1.0 200 OK\r\n\r\nO\n");
        for (int i = 0; i < 40; ++i)
            s.pause(150).send("\t");
        return s;
    }
    }
    return s;
}

} // namespace

Q_DECLARE_METATYPE(Failure)

class TestLookup final : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<ScriptedServer> m_server;
    QStringList m_messages;

    QString settingsFile() const { return m_dir.filePath(QStringLiteral("Settings.ini")); }

    void writeSettings(const QByteArray& server, const QByteArray& extra = {}) {
        QFile f(settingsFile());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("[Allgemein]\r\nstatsserver=" + server + "\r\n" + extra);
    }

    // Short limits, so that a silent or dripping service fails within the test's patience.
    std::unique_ptr<MainWindow> window(int idleTimeoutMs = 500) {
        MainWindowOptions options;
        options.settingsPath = settingsFile();
        options.limits.idleTimeoutMs = idleTimeoutMs;
        options.limits.deadlineMs = 2000;
        auto w = std::make_unique<MainWindow>(std::move(options));
        w->show();
        return w;
    }

    QList<QByteArray> targets() const {
        QList<QByteArray> result;
        for (const QByteArray& r : m_server->requests())
            result.append(target(r));
        return result;
    }

    void serveFixtures() { m_server->setResponder(fixtureScript); }

    // Requests whose target contains hangOn get no answer.
    void serveFixturesHangingOn(const QByteArray& hangOn) {
        m_server->setResponder([hangOn](const QByteArray& request) {
            if (target(request).contains(hangOn)) {
                ScriptedServer::Script s;
                return s.hang();
            }
            return fixtureScript(request);
        });
    }

    static void verifyWholeLookup(WindowDriver& driver) {
        ProgressWindow* progress = driver.window().progressWindow();
        QVERIFY(driver.lookUp(QStringLiteral("45000001")));
        QCOMPARE(driver.lastOutcome(), LookupOutcome::Complete);
        QCOMPARE(progress->overallProgress(), 100);
        QVERIFY(!progress->isVisible());
        QCOMPARE(driver.find<QLabel>("La_Globalpoints")->text(), QStringLiteral("48211"));
    }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        QVERIFY(!fixture("getplayerinfo_stats.txt").isEmpty());
        PlatformHooks::setMessageBoxAnswer([this](QMessageBox::Icon, const QString&, const QString& text) {
            m_messages.append(text);
            return QMessageBox::Ok;
        });
    }
    void init() {
        m_messages.clear();
        m_server = std::make_unique<ScriptedServer>();
        QVERIFY(m_server->isListening());
        serveFixtures();
        writeSettings(m_server->hostPort());
    }
    void cleanup() {
        m_server.reset();
        QCOMPARE(m_messages, QStringList());
    }

    void firstRequest_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QByteArray>("first");
        QTest::newRow("pid") << "45000001" << QByteArray("/ASP/getplayerinfo.aspx?pid=45000001&info=jond,per*,cmb*,twsc,");
        QTest::newRow("nickname") << "Sarge" << QByteArray("/ASP/searchforplayers.aspx?where=a&nick=Sarge");
        QTest::newRow("digits and a letter") << "4500a" << QByteArray("/ASP/searchforplayers.aspx?where=a&nick=4500a");
        QTest::newRow("leading blank") << " 4500" << QByteArray("/ASP/searchforplayers.aspx?where=a&nick=%204500");
        QTest::newRow("clan tag") << "=DOG= Sarge"
                                  << QByteArray("/ASP/searchforplayers.aspx?where=a&nick=%3DDOG%3D%20Sarge");
        QTest::newRow("query characters")
            << "a&b#c+d%e=f?" << QByteArray("/ASP/searchforplayers.aspx?where=a&nick=a%26b%23c%2Bd%25e%3Df%3F");
    }
    void firstRequest() {
        QFETCH(QString, input);
        QFETCH(QByteArray, first);
        auto w = window();
        WindowDriver driver(*w);
        QVERIFY(driver.lookUp(input));
        QVERIFY2(targets().first().startsWith(first), targets().first().constData());
        const QByteArray request = m_server->requests().first();
        QVERIFY(request.contains("\r\nUser-Agent: GameSpyHTTP/1.0\r\n"));
        QVERIFY(request.startsWith("GET "));
        QVERIFY(request.left(request.indexOf("\r\n")).endsWith(" HTTP/1.0"));
    }

    void fanOut_data() {
        QTest::addColumn<QByteArray>("board");
        QTest::addColumn<QList<QByteArray>>("expected");
        const QList<QByteArray> five = {
            "/ASP/getleaderboard.aspx?type=score&id=overall&pid=45000001&info=jond,per*,cmb*",
            "/ASP/getplayerinfo.aspx?pid=45000001&info=mtm-,mwn-,mls-",
            "/ASP/getawardsinfo.aspx?pid=45000001",
            "/ASP/getunlocksinfo.aspx?pid=45000001",
            "/ASP/getleaderboard.aspx?type=score&id=overall&after=9",
        };
        QTest::newRow("no board entry") << QByteArray() << five;
        QTest::newRow("board entry is a pid")
            << QByteArray("Nick1=777\r\n")
            << (QList<QByteArray>(five) << "/ASP/getleaderboard.aspx?pid=777&type=score&id=overall");
        // A search is followed by the record of the PID it found, and the chain goes on in list order.
        QTest::newRow("a nick, a gap, a pid")
            << QByteArray("Nick1=Buddy\r\nNick3=778\r\n")
            << (QList<QByteArray>(five) << "/ASP/searchforplayers.aspx?where=a&nick=Buddy"
                                        << "/ASP/getleaderboard.aspx?pid=43917456&type=score&id=overall"
                                        << "/ASP/getleaderboard.aspx?pid=778&type=score&id=overall");
    }
    void fanOut() {
        QFETCH(QByteArray, board);
        QFETCH(QList<QByteArray>, expected);
        writeSettings(m_server->hostPort(), "[Leaderboard]\r\n" + board);
        auto w = window();
        WindowDriver driver(*w);
        QVERIFY(driver.lookUp(QStringLiteral("45000001")));
        // Every transfer has ended: this is all the lookup asked.
        QCOMPARE(m_server->requestCount(), 1 + expected.size());
        const QList<QByteArray> after = targets().mid(1);
        for (const QByteArray& want : expected) {
            const bool found =
                std::any_of(after.begin(), after.end(), [&](const QByteArray& t) { return t.startsWith(want); });
            QVERIFY2(found, want.constData());
        }
        // The board chain runs one request at a time, in list order.
        QList<QByteArray> boardOrder;
        for (const QByteArray& t : after)
            if (std::none_of(expected.begin(), expected.begin() + 5,
                             [&](const QByteArray& f) { return t.startsWith(f); }))
                boardOrder.append(t);
        QCOMPARE(boardOrder.size(), expected.size() - 5);
        for (qsizetype i = 0; i < boardOrder.size(); ++i)
            QVERIFY2(boardOrder[i].startsWith(expected[5 + i]), boardOrder[i].constData());
    }

    void progressWindowFollowsTheReplies() {
        auto w = window();
        WindowDriver driver(*w);
        ProgressWindow* progress = w->progressWindow();
        driver.type(QStringLiteral("=DOG= Sarge"));
        driver.clickGo();
        QVERIFY(progress->isVisible());
        QCOMPARE(progress->overallProgress(), 0);
        QCOMPARE(progress->statusText(), QStringLiteral("Receiving Data..."));
        QVERIFY(driver.waitForLookup());
        QVERIFY(!progress->isVisible());
        QCOMPARE(progress->overallProgress(), 100);
        QCOMPARE(driver.lastOutcome(), LookupOutcome::Complete);
        // Every accepted reply but the two searches is in the raw-data log, in blocks.
        const QStringList log = w->rawLogLines();
        const auto header = [](const char* name) {
            return QString(22, QLatin1Char('/')) + QLatin1String(name) + QString(24, QLatin1Char('\\'));
        };
        for (const char* name : {"Stats", "Ranks", "Maps", "Awards", "Unlocks", "Top Ten"})
            QVERIFY2(log.contains(header(name)), name);
        QVERIFY(log.contains(QStringLiteral("0  O")));
        // Shown later, the log holds what arrived while it was hidden.
        QVERIFY(driver.lookUp(QStringLiteral("#rawlog")));
        auto* memo = driver.find<QPlainTextEdit>(OverviewNames::RawLog);
        QCOMPARE(memo->toPlainText().split(QLatin1Char('\n')), log);
        // A second lookup appends to the log below the first, also while it is shown.
        QVERIFY(driver.lookUp(QStringLiteral("45000001")));
        QCOMPARE(w->rawLogLines().count(header("Stats")), 2);
        QCOMPARE(memo->toPlainText().split(QLatin1Char('\n')), w->rawLogLines());
    }

    // The log keeps the last lookups only; the oldest go first.
    void rawLogKeepsTheLastLookups() {
        auto w = window();
        WindowDriver driver(*w);
        QVERIFY(driver.lookUp(QStringLiteral("45000001")));
        const qsizetype perLookup = w->rawLogLines().size();
        QVERIFY(perLookup > 0);
        for (int i = 0; i < MainWindow::LogLookups + 3; ++i)
            QVERIFY(driver.lookUp(QStringLiteral("45000001")));
        QCOMPARE(w->rawLogLines().size(), perLookup * MainWindow::LogLookups);
    }

    void failures_data() {
        QTest::addColumn<Failure>("failure");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("status");
        QTest::addColumn<LookupOutcome>("outcome");
        const QString connection = QStringLiteral("Connection Error");
        QTest::newRow("refused") << Failure::Refused << "45000001" << connection << LookupOutcome::Failed;
        QTest::newRow("never answers") << Failure::Silent << "45000001" << connection << LookupOutcome::Failed;
        QTest::newRow("stalled body") << Failure::StalledBody << "45000001" << connection << LookupOutcome::Failed;
        QTest::newRow("cut body") << Failure::CutBody << "45000001" << connection << LookupOutcome::Failed;
        QTest::newRow("search cut") << Failure::CutBody << "Sarge" << connection << LookupOutcome::Failed;
        QTest::newRow("404 text") << Failure::NotFoundText << "45000001"
                                  << QStringLiteral("Connection Error (HTTP 404)") << LookupOutcome::Failed;
        QTest::newRow("500 html") << Failure::ServerErrorHtml << "Sarge"
                                  << QStringLiteral("Connection Error (HTTP 500)") << LookupOutcome::Failed;
        QTest::newRow("302 empty") << Failure::RedirectEmpty << "45000001"
                                   << QStringLiteral("Connection Error (HTTP 302)") << LookupOutcome::Failed;
        QTest::newRow("over 4 MiB") << Failure::Huge << "45000001" << QStringLiteral("Reply too large")
                                    << LookupOutcome::Failed;
        QTest::newRow("drip past the deadline") << Failure::Drip << "45000001" << connection << LookupOutcome::Failed;
    }
    void failures() {
        QFETCH(Failure, failure);
        QFETCH(QString, input);
        QFETCH(QString, status);
        QFETCH(LookupOutcome, outcome);
        if (failure == Failure::Refused)
            writeSettings("127.0.0.1:" + QByteArray::number(ScriptedServer::refusingPort()));
        m_server->setResponder([failure](const QByteArray& request) { return failingScript(failure, request); });

        auto w = window();
        WindowDriver driver(*w);
        driver.activate();
        ProgressWindow* progress = w->progressWindow();
        QVERIFY(driver.lookUp(input));
        QCOMPARE(driver.lastOutcome(), outcome);
        QCOMPARE(progress->statusText(), status);
        QCOMPARE(progress->statusColour(), ProgressWindow::Failure);
        QVERIFY(progress->isVisible());
        QVERIFY(progress->closeButton()->isVisible());
        QVERIFY(!progress->overallGauge()->isVisible());
        // Nothing more was asked after the failed request.
        QVERIFY(m_server->requestCount() <= 1);

        driver.pressKey(Qt::Key_Escape);
        QVERIFY(!progress->isVisible());

        // The next Go runs a whole lookup.
        writeSettings(m_server->hostPort());
        serveFixtures();
        auto again = window();
        WindowDriver next(*again);
        verifyWholeLookup(next);
        // And in the same window too, once its service answers again.
        if (failure != Failure::Refused)
            verifyWholeLookup(driver);
    }

    void closeButtonDismissesAFailure() {
        m_server->setResponder([](const QByteArray& r) { return failingScript(Failure::NotFoundText, r); });
        auto w = window();
        WindowDriver driver(*w);
        QVERIFY(driver.lookUp(QStringLiteral("Sarge")));
        ProgressWindow* progress = w->progressWindow();
        QVERIFY(progress->closeButton()->isVisible());
        QTest::mouseClick(progress->closeButton(), Qt::LeftButton);
        QVERIFY(!progress->isVisible());
    }

    void notFound_data() {
        QTest::addColumn<QByteArray>("search");
        QTest::addColumn<QByteArray>("statistics");
        QTest::addColumn<int>("requests");
        // The search finds nobody: no statistics request with "$" for a PID.
        QTest::newRow("no match") << fixture("searchforplayers_none.txt") << QByteArray() << 1;
        // The service's error reply to the statistics request.
        QTest::newRow("E reply") << fixture("searchforplayers_tagged.txt") << fixture("error_107.txt") << 2;
        // The error replies of other services: an "err" block, or all of it on one line.
        QTest::newRow("E reply with err block")
            << fixture("searchforplayers_tagged.txt")
            << QByteArray("E\t998\nH\tasof\terr\nD\t1717171717\tPlayer Not Found!\n$\t40\t$") << 2;
        QTest::newRow("E reply on one line")
            << fixture("searchforplayers_tagged.txt")
            << QByteArray("E\t998\tH\tasof\terr\tD\t1717171717\tPlayer Not Found!\t$\t40\t$") << 2;
        QTest::newRow("E reply to the search") << fixture("error_107.txt") << QByteArray() << 1;
        // A search reply of another layout: a header and no data line.
        QTest::newRow("no data line") << QByteArray("O\nH\tn\tpid\tnick\tscore\n$\t12\t$") << QByteArray() << 1;
    }
    void notFound() {
        QFETCH(QByteArray, search);
        QFETCH(QByteArray, statistics);
        QFETCH(int, requests);
        m_server->setResponder([search, statistics](const QByteArray& request) {
            ScriptedServer::Script s;
            const bool isSearch = target(request).startsWith("/ASP/searchforplayers");
            return s.send(ScriptedServer::reply("200 OK", isSearch ? search : statistics));
        });
        auto w = window();
        WindowDriver driver(*w);
        QVERIFY(driver.lookUp(QStringLiteral("Nobody")));
        ProgressWindow* progress = w->progressWindow();
        QCOMPARE(driver.lastOutcome(), LookupOutcome::NotFound);
        QCOMPARE(progress->statusText(), QStringLiteral("Error: Nickname does not exist"));
        QCOMPARE(progress->statusColour(), ProgressWindow::Failure);
        QVERIFY(progress->closeButton()->isVisible());
        QVERIFY(progress->isVisible());
        QCOMPARE(m_server->requestCount(), requests);
        for (const QByteArray& t : targets())
            QVERIFY2(!t.contains("pid=$"), t.constData());
        QVERIFY(w->rawLogLines().isEmpty());

        serveFixtures();
        verifyWholeLookup(driver);
    }

    // A nickname that several players share: the first is looked up, the others are offered in
    // the header and looked up by their PID when chosen.
    void otherMatchesAreOffered() {
        const QByteArray three = "O\nH\tasof\nD\t1717171717\nH\tn\tpid\tnick\tscore\n"
                                 "D\t1\t43917456\t=DOG= Sarge\t48211\nD\t2\t43917500\t=DOG= Sargent\t1200\n"
                                 "D\t3\t43917600\t=DOG= Sarge Jr\t300\n$\t1\t$";
        m_server->setResponder([three](const QByteArray& request) {
            ScriptedServer::Script s;
            if (target(request).startsWith("/ASP/searchforplayers"))
                return s.send(ScriptedServer::reply("200 OK", three));
            return fixtureScript(request);
        });
        auto w = window();
        WindowDriver driver(*w);
        auto* matches = driver.find<QToolButton>(MainNames::Matches);
        QVERIFY(!matches->isVisible());
        QVERIFY(driver.lookUp(QStringLiteral("=DOG= Sar")));
        QCOMPARE(driver.lastOutcome(), LookupOutcome::Complete);
        QCOMPARE(w->session()->pid(), QByteArray("43917456"));
        QVERIFY(matches->isVisible());
        const QList<QAction*> offered = matches->menu()->actions();
        QCOMPARE(offered.size(), 2);
        QCOMPARE(offered[0]->text(), QStringLiteral("=DOG= Sargent (PID 43917500, score 1200)"));
        QCOMPARE(offered[1]->text(), QStringLiteral("=DOG= Sarge Jr (PID 43917600, score 300)"));

        offered[1]->trigger();
        QVERIFY(driver.waitForLookup());
        QCOMPARE(w->session()->pid(), QByteArray("43917600"));
        QVERIFY(targets().contains("/ASP/getplayerinfo.aspx?pid=43917600&info=" + InfoKeys));
        // A PID names one player: nothing more to offer.
        QVERIFY(!matches->isVisible());
    }

    void fourCountedRepliesKeepTheWindowOpen() {
        serveFixturesHangingOn("getunlocksinfo");
        auto w = window();
        WindowDriver driver(*w);
        driver.type(QStringLiteral("45000001"));
        driver.pressEnter();
        ProgressWindow* progress = w->progressWindow();
        QTRY_COMPARE_WITH_TIMEOUT(progress->overallProgress(), 80, 5000);
        QVERIFY(progress->isVisible());
        // A second Go ends the first lookup and starts again from 0.
        serveFixtures();
        driver.pressEnter();
        QCOMPARE(progress->overallProgress(), 0);
        QVERIFY(driver.waitForLookup());
        QCOMPARE(progress->overallProgress(), 100);
        QVERIFY(!progress->isVisible());
    }

    // A second Go while the first lookup's reply is still coming: only the second player is shown,
    // and its progress closes at 100.
    void secondGoEndsTheFirst() {
        QByteArray first = fixture("getplayerinfo_stats.txt");
        QVERIFY(first.contains("\t=DOG= Sarge\t48211\t"));
        first.replace("\t=DOG= Sarge\t48211\t", "\t=DOG= Sarge\t11111\t");
        m_server->setResponder([first](const QByteArray& request) {
            const QByteArray t = target(request);
            ScriptedServer::Script s;
            if (t.contains("pid=111&"))
                return s.pause(150).send(ScriptedServer::reply("200 OK", first));
            // The second player's statistics come after the first's would have.
            if (t.startsWith("/ASP/getplayerinfo.aspx?pid=45000001&info=per"))
                s.pause(600);
            return s.send(ScriptedServer::reply("200 OK", fixtureFor(t)));
        });
        auto w = window(5000);
        WindowDriver driver(*w);
        driver.type(QStringLiteral("111"));
        driver.pressEnter();
        QTRY_COMPARE_WITH_TIMEOUT(m_server->requestCount(), 1, 5000);
        QPointer<LookupSession> firstSession = w->session();
        QVERIFY(driver.lookUp(QStringLiteral("45000001")));
        QCOMPARE(driver.lastOutcome(), LookupOutcome::Complete);
        QCOMPARE(w->progressWindow()->overallProgress(), 100);
        QVERIFY(!w->progressWindow()->isVisible());
        QCOMPARE(driver.find<QLabel>("La_Globalpoints")->text(), QStringLiteral("48211"));
        // The first lookup is gone with its transfers; none of its requests followed.
        QTRY_VERIFY(firstSession.isNull());
        for (const QByteArray& t : targets().mid(1))
            QVERIFY2(!t.contains("pid=111"), t.constData());
        QCOMPARE(driver.finishedCount(), 1);
    }

    // After a lookup of one player, a failed maps reply of the next leaves the maps at their start.
    void failedPageGoesBackToItsStart() {
        auto w = window();
        WindowDriver driver(*w);
        QVERIFY(driver.lookUp(QStringLiteral("45000001")));
        auto* maps = driver.find<QTreeWidget>(DataNames::Maps);
        QVERIFY(maps->topLevelItem(0)->text(1) != QStringLiteral("00:00:00"));

        m_server->setResponder([](const QByteArray& request) {
            if (target(request).contains("info=mtm-"))
                return failingScript(Failure::ServerErrorHtml, request);
            return fixtureScript(request);
        });
        QVERIFY(driver.lookUp(QStringLiteral("45000002")));
        QCOMPARE(driver.lastOutcome(), LookupOutcome::Failed);
        for (int row = 0; row < maps->topLevelItemCount(); ++row) {
            QCOMPARE(maps->topLevelItem(row)->text(1), QStringLiteral("00:00:00"));
            QCOMPARE(maps->topLevelItem(row)->text(2), QStringLiteral("0"));
        }
        // The other pages show the new lookup; the failure stays up until it is dismissed.
        QCOMPARE(driver.find<QLabel>("La_Globalpoints")->text(), QStringLiteral("48211"));
        QCOMPARE(w->progressWindow()->statusText(), QStringLiteral("Connection Error (HTTP 500)"));
        QVERIFY(w->progressWindow()->isVisible());
    }
};

ORVANE_UI_TEST_MAIN(TestLookup)
#include "test_lookup.moc"
