// A lookup as the user runs it, against a scripted service on loopback that answers each page
// with a reply body in the service's format: which requests go out, in what shape, and how the
// progress window and the raw-data log follow the replies.
#include "app/main_window.h"
#include "app/platform_hooks.h"
#include "app/progress_window.h"
#include "scripted_server.h"
#include "service/httpget.h"
#include "skin/gauge.h"
#include "test_files.h"
#include "ui_test_main.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

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

} // namespace

class TestLookup final : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<ScriptedServer> m_server;

    QString settingsFile() const { return m_dir.filePath(QStringLiteral("Settings.ini")); }

    void writeSettings(const QByteArray& server, const QByteArray& extra = {}) {
        QFile f(settingsFile());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("[Allgemein]\r\nstatsserver=" + server + "\r\n" + extra);
    }

    std::unique_ptr<TForm3> window() { return std::make_unique<TForm3>(MainWindowOptions{settingsFile(), {}}); }

    static void go(TForm3& w, const QString& text) {
        w.findChild<QComboBox*>(QStringLiteral("Ed_Username"))->setEditText(text);
        w.Ed_EingabeClick();
    }

    static bool idle(const TForm3& w) {
        for (int i = 0; i < ReplyKindCount; ++i)
            if (w.fetcher(static_cast<ReplyKind>(i))->isBusy())
                return false;
        return true;
    }

    QList<QByteArray> targets() const {
        QList<QByteArray> result;
        for (const QByteArray& r : m_server->requests())
            result.append(target(r));
        return result;
    }

    // The service's replies from the fixtures; requests whose target contains hangOn get no answer.
    // The responder runs on the server's connection threads, so it holds its own copy of hangOn.
    void serveFixtures(const QByteArray& hangOn = {}) {
        m_server->setResponder([hangOn](const QByteArray& request) { return answer(request, hangOn); });
    }

    static ScriptedServer::Script answer(const QByteArray& request, const QByteArray& hangOn) {
        const QByteArray t = target(request);
        ScriptedServer::Script s;
        if (!hangOn.isEmpty() && t.contains(hangOn))
            return s.hang();
        QByteArray body = PlainReply;
        if (t.startsWith("/ASP/searchforplayers.aspx"))
            body = fixture("searchforplayers_tagged.txt");
        else if (t.contains("info=mtm-"))
            body = fixture("stats_maps.txt");
        else if (t.startsWith("/ASP/getplayerinfo.aspx"))
            body = fixture("getplayerinfo_stats.txt");
        else if (t.contains("after=9"))
            body = fixture("getleaderboard_topten.txt");
        else if (t.startsWith("/ASP/getleaderboard.aspx"))
            body = fixture("getleaderboard_rank.txt");
        return s.send(ScriptedServer::reply("200 OK", body));
    }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        QVERIFY(!fixture("getplayerinfo_stats.txt").isEmpty());
        PlatformHooks::setMessageBoxAnswer([](QMessageBox::Icon, const QString&, const QString& text) {
            qWarning("unexpected message box: %s", qPrintable(text));
            return QMessageBox::Ok;
        });
    }
    void init() {
        m_server = std::make_unique<ScriptedServer>();
        QVERIFY(m_server->isListening());
        serveFixtures();
        writeSettings(m_server->hostPort());
    }
    void cleanup() { m_server.reset(); }

    void firstRequest_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QByteArray>("first");
        QTest::newRow("pid") << "45000001" << QByteArray("/ASP/getplayerinfo.aspx?pid=45000001&info=per*,cmb*,twsc,");
        QTest::newRow("nickname") << "Sarge" << QByteArray("/ASP/searchforplayers.aspx?where=a&nick=Sarge");
        QTest::newRow("digits and a letter") << "4500a" << QByteArray("/ASP/searchforplayers.aspx?where=a&nick=4500a");
        QTest::newRow("leading blank") << " 4500" << QByteArray("/ASP/searchforplayers.aspx?where=a&nick=%204500");
        QTest::newRow("clan tag") << "=DOG= Sarge"
                                  << QByteArray("/ASP/searchforplayers.aspx?where=a&nick==DOG=%20Sarge");
    }
    void firstRequest() {
        QFETCH(QString, input);
        QFETCH(QByteArray, first);
        auto w = window();
        go(*w, input);
        QTRY_VERIFY_WITH_TIMEOUT(m_server->requestCount() >= 1, 5000);
        QVERIFY2(targets().first().startsWith(first), targets().first().constData());
        const QByteArray request = m_server->requests().first();
        QVERIFY(request.contains("\r\nUser-Agent: GameSpyHTTP/1.0\r\n"));
        QVERIFY(request.startsWith("GET "));
        QVERIFY(request.left(request.indexOf("\r\n")).endsWith(" HTTP/1.0"));
        QTRY_VERIFY_WITH_TIMEOUT(idle(*w), 5000);
    }

    void fanOut_data() {
        QTest::addColumn<QByteArray>("firstBoardEntry");
        QTest::addColumn<QList<QByteArray>>("expected");
        const QList<QByteArray> five = {
            "/ASP/getleaderboard.aspx?type=score&id=overall&pid=45000001&info=per*,cmb*",
            "/ASP/getplayerinfo.aspx?pid=45000001&info=mtm-,mwn-,mls-",
            "/ASP/getawardsinfo.aspx?pid=45000001",
            "/ASP/getunlocksinfo.aspx?pid=45000001",
            "/ASP/getleaderboard.aspx?type=score&id=overall&after=9",
        };
        QTest::newRow("no board entry") << QByteArray() << five;
        QTest::newRow("board entry is a pid")
            << QByteArray("777")
            << (QList<QByteArray>(five) << "/ASP/getleaderboard.aspx?pid=777&type=score&id=overall");
        QTest::newRow("board entry is a nick")
            << QByteArray("Buddy") << (QList<QByteArray>(five) << "/ASP/searchforplayers.aspx?where=a&nick=Buddy");
    }
    void fanOut() {
        QFETCH(QByteArray, firstBoardEntry);
        QFETCH(QList<QByteArray>, expected);
        writeSettings(m_server->hostPort(), "[Leaderboard]\r\nNick1=" + firstBoardEntry + "\r\n");
        auto w = window();
        go(*w, QStringLiteral("45000001"));
        // A board search is followed by the record of the PID it found: that is the board's own chain.
        const int chain = (!firstBoardEntry.isEmpty() && firstBoardEntry != "777") ? 1 : 0;
        QTRY_VERIFY_WITH_TIMEOUT(m_server->requestCount() >= 1 + expected.size() + chain && idle(*w), 5000);
        QTest::qWait(100);
        QCOMPARE(m_server->requestCount(), 1 + expected.size() + chain);
        const QList<QByteArray> after = targets().mid(1);
        for (const QByteArray& want : expected) {
            const bool found =
                std::any_of(after.begin(), after.end(), [&](const QByteArray& t) { return t.startsWith(want); });
            QVERIFY2(found, want.constData());
        }
    }

    void progressWindowFollowsTheReplies() {
        auto w = window();
        TLoad* load = w->progressWindow();
        w->show();
        go(*w, QStringLiteral("=DOG= Sarge"));
        QVERIFY(load->isVisible());
        QCOMPARE(load->overallProgress(), 0);
        QCOMPARE(load->statusText(), QStringLiteral("Receiving Data..."));
        QTRY_VERIFY_WITH_TIMEOUT(!load->isVisible(), 5000);
        QCOMPARE(load->overallProgress(), 100);
        QCOMPARE(load->statusColour(), TLoad::Success);
        QTRY_VERIFY_WITH_TIMEOUT(idle(*w), 5000);
        // Every accepted reply but the two searches is in the raw-data log, in blocks.
        const QStringList log = w->rawLogLines();
        QVERIFY(log.contains(
            QStringLiteral("//////////////////////Stats\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\")));
        for (const char* name : {"Ranks", "Maps", "Awards", "Unlocks", "Top Ten"})
            QVERIFY2(std::any_of(log.begin(), log.end(),
                                 [&](const QString& l) {
                                     return l.startsWith(QLatin1String("//////////////////////") + QLatin1String(name) +
                                                         QLatin1Char('\\'));
                                 }),
                     name);
        QVERIFY(log.contains(QStringLiteral("0  O")));
        // Shown later, the log holds what arrived while it was hidden.
        go(*w, QStringLiteral("#rawlog"));
        QCOMPARE(w->findChild<QPlainTextEdit*>(QStringLiteral("Memo1"))->toPlainText().split(QLatin1Char('\n')), log);
        go(*w, QStringLiteral("#rawlog"));
        // A second lookup appends to the log below the first.
        const qsizetype before = log.size();
        go(*w, QStringLiteral("45000001"));
        QTRY_VERIFY_WITH_TIMEOUT(!load->isVisible() && idle(*w), 5000);
        QVERIFY(w->rawLogLines().size() > before);
        QCOMPARE(w->rawLogLines().count(
                     QStringLiteral("//////////////////////Stats\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\\")),
                 2);
    }

    void fourCountedRepliesKeepTheWindowOpen() {
        serveFixtures("getunlocksinfo");
        auto w = window();
        w->show();
        go(*w, QStringLiteral("45000001"));
        TLoad* load = w->progressWindow();
        QTRY_COMPARE_WITH_TIMEOUT(load->overallProgress(), 80, 5000);
        QTest::qWait(200);
        QVERIFY(load->isVisible());
        // A second Go starts again from 0; its replies may close the window.
        serveFixtures();
        w->fetcher(ReplyKind::Unlocks)->CancelFetch();
        QTRY_VERIFY_WITH_TIMEOUT(!w->fetcher(ReplyKind::Unlocks)->isBusy(), 5000);
        go(*w, QStringLiteral("45000001"));
        QCOMPARE(load->overallProgress(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(!load->isVisible(), 5000);
    }

    void rejectedStatisticsStartNothing() {
        m_server->setResponder([](const QByteArray& request) {
            ScriptedServer::Script s;
            return s.send(ScriptedServer::reply("200 OK", target(request).startsWith("/ASP/getplayerinfo")
                                                              ? fixture("error_107.txt")
                                                              : fixture("searchforplayers_tagged.txt")));
        });
        auto w = window();
        w->show();
        go(*w, QStringLiteral("Nobody"));
        TLoad* load = w->progressWindow();
        QTRY_COMPARE_WITH_TIMEOUT(load->statusText(), QStringLiteral("Error: Nickname does not exist"), 5000);
        QCOMPARE(load->statusColour(), TLoad::Failure);
        QVERIFY(load->Bu_schliessen()->isVisibleTo(load));
        QVERIFY(!load->PB_fortschrittgesamt()->isVisibleTo(load));
        QCOMPARE(load->overallProgress(), 20);
        QTest::qWait(200);
        QCOMPARE(m_server->requestCount(), 2);
        QVERIFY(load->isVisible());
        QVERIFY(w->rawLogLines().isEmpty());
        QTest::mouseClick(load->Bu_schliessen(), Qt::LeftButton);
        QVERIFY(!load->isVisible());
    }

    void rejectedSearchEndsTheLookup() {
        m_server->setResponder([](const QByteArray&) {
            ScriptedServer::Script s;
            return s.send(ScriptedServer::reply("404 Not Found", "<html><body>Not found</body></html>"));
        });
        auto w = window();
        w->show();
        go(*w, QStringLiteral("Sarge"));
        TLoad* load = w->progressWindow();
        QTRY_COMPARE_WITH_TIMEOUT(load->statusText(), QStringLiteral("Fehler"), 5000);
        QVERIFY(load->Bu_schliessen()->isVisibleTo(load));
        QTest::qWait(100);
        QCOMPARE(m_server->requestCount(), 1);
    }

    void refusedConnection() {
        writeSettings("127.0.0.1:" + QByteArray::number(ScriptedServer::refusingPort()));
        auto w = window();
        w->show();
        go(*w, QStringLiteral("45000001"));
        TLoad* load = w->progressWindow();
        QTRY_COMPARE_WITH_TIMEOUT(load->statusText(), QStringLiteral("Connection Error"), 5000);
        QCOMPARE(load->statusColour(), TLoad::Failure);
        QCOMPARE(load->overallProgress(), 0);
        QVERIFY(load->isVisible());
    }

    void enterKeyRunsGo() {
        auto w = window();
        w->show();
        auto* input = w->findChild<QComboBox*>(QStringLiteral("Ed_Username"));
        input->setEditText(QStringLiteral("45000001"));
        // The key goes to the combo box, which has the focus, as it does for the user.
        QTest::keyClick(input, Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(m_server->requestCount() >= 1, 5000);
        QCOMPARE(w->history(), (QList<QString>{"45000001"}));
        QTRY_VERIFY_WITH_TIMEOUT(idle(*w), 5000);
    }
};

ORVANE_UI_TEST_MAIN(TestLookup)
#include "test_lookup.moc"
