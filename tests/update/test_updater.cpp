#include "scripted_server.h"
#include "service/httpget.h"
#include "skin/gauge.h"
#include "statsd_process.h"
#include "test_files.h"
#include "ui_test_main.h"
#include "update/update_rules.h"
#include "update/updater_window.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtEndian>
#include <memory>

namespace {

const QColor Red(255, 0, 0);
const QColor Green(0, 255, 0);
const QColor Black(0, 0, 0);

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QString downloadName(const QByteArray& version) {
    return QString::fromLatin1(Update::DownloadName(version, Update::BuildPlatform(), Update::BuildArchitecture()));
}

QByteArray standIn() {
    const QByteArray bytes = TestFiles::readFile(QStringLiteral(ORVANE_STANDIN_PATH));
    if (bytes.isEmpty())
        qFatal("no stand-in program at %s", ORVANE_STANDIN_PATH);
    return bytes;
}

// A folder with the "running program" in it, and the updater pointed at it.
struct Installation {
    QTemporaryDir dir;
    QString program;
    QByteArray original;
    std::unique_ptr<UpdaterWindow> window;

    explicit Installation(const QByteArray& server, std::optional<bool> packaged = false) {
        program = dir.filePath(QStringLiteral("orvane"));
        original = standIn();
        if (!writeFile(program, original) ||
            !QFile::setPermissions(program, QFile::permissions(QStringLiteral(ORVANE_STANDIN_PATH))))
            qFatal("cannot place the program");
        UpdaterOptions options;
        options.server = server;
        options.executablePath = program;
        options.packageManaged = packaged;
        options.connectTimeoutMs = 5000;
        options.idleTimeoutMs = 5000;
        window = std::make_unique<UpdaterWindow>(std::move(options));
        window->show();
        window->formActivate();
    }

    QPushButton* button(const char* name) const { return window->findChild<QPushButton*>(QLatin1String(name)); }

    bool check() {
        QSignalSpy finished(window.get(), &UpdaterWindow::checkFinished);
        QTest::mouseClick(button(UpdaterNames::Check), Qt::LeftButton);
        if (window->statusText() != QLatin1String("Searching for new versions..."))
            return false;
        return finished.wait(10000);
    }

    bool download() {
        QSignalSpy finished(window.get(), &UpdaterWindow::downloadFinished);
        QTest::mouseClick(button(UpdaterNames::Update), Qt::LeftButton);
        return finished.wait(10000);
    }

    // Only the program is there, as it was: no kept copy, no download left behind.
    bool untouched() const {
        return TestFiles::readFile(program) == original &&
               QDir(dir.path()).entryList(QDir::Files | QDir::Hidden) == QStringList{QStringLiteral("orvane")};
    }
};

} // namespace

class TestUpdater final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(m_updates.isValid());
        m_server = std::make_unique<StatsdProcess>(QStringList{QStringLiteral("--update-dir"), m_updates.path()});
        QVERIFY2(m_server->isReady(), qPrintable(m_server->errorString()));
    }

    void startsQuiet() {
        Installation installation(m_server->hostPort());
        UpdaterWindow& window = *installation.window;
        QCOMPARE(window.objectName(), QStringLiteral("TForm2"));
        QCOMPARE(window.windowTitle(), QStringLiteral("Orvane Updater"));
        QCOMPARE(window.ownVersion(), QStringLiteral("0.50"));
        QCOMPARE(window.statusText(), QStringLiteral("Status"));
        QCOMPARE(installation.button(UpdaterNames::Check)->text(), QStringLiteral("&Check Version"));
        QCOMPARE(installation.button(UpdaterNames::Update)->text(), QStringLiteral("&Update"));
        QVERIFY(!installation.button(UpdaterNames::Update)->isEnabled());
    }

    // Each check follows one that offered 0.51, so that a bad reply shows that it takes the offer back.
    void check_data() {
        QTest::addColumn<QByteArray>("version"); // "missing": no version.txt at all
        QTest::addColumn<bool>("deadServer");
        QTest::addColumn<bool>("packaged");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<bool>("updateEnabled");
        const auto V = [](const char* text) { return QByteArray(text); };
        QTest::newRow("same version") << V("0.50") << false << false << "No new version available" << Red << false;
        QTest::newRow("newer version") << V("0.52") << false << false << "Version 0.52 is available (this is 0.50)"
                                       << Green << true;
        QTest::newRow("older version") << V("0.25") << false << false << "Version 0.25 is available (this is 0.50)"
                                       << Green << true;
        QTest::newRow("path") << V("../x") << false << false << "Connection Error" << Red << false;
        QTest::newRow("line end") << V("0.51\n") << false << false << "Connection Error" << Red << false;
        QTest::newRow("html page") << V("<html><body>Not here</body></html>") << false << false << "Connection Error"
                                   << Red << false;
        QTest::newRow("empty") << V("") << false << false << "Connection Error" << Red << false;
        // A failed transfer changes nothing but the status line.
        QTest::newRow("404") << V("missing") << false << false << "Connection Error (HTTP 404)" << Red << true;
        QTest::newRow("dead server") << V("0.50") << true << false << "Connection Error" << Red << true;
        QTest::newRow("installed, newer")
            << V("0.52") << false << true << "Update Orvane with your package manager" << Black << false;
    }
    void check() {
        QFETCH(QByteArray, version);
        QFETCH(bool, deadServer);
        QFETCH(bool, packaged);
        QFETCH(QString, status);
        QFETCH(QColor, colour);
        QFETCH(bool, updateEnabled);
        const QString versionFile = QDir(m_updates.path()).filePath(QStringLiteral("version.txt"));
        Installation installation(m_server->hostPort(), packaged);
        QVERIFY(writeFile(versionFile, "0.51"));
        QVERIFY(installation.check());
        QCOMPARE(installation.button(UpdaterNames::Update)->isEnabled(), !packaged);

        QFile::remove(versionFile);
        if (version != "missing")
            QVERIFY(writeFile(versionFile, version));
        if (deadServer)
            installation.window->setServer("127.0.0.1:" + QByteArray::number(ScriptedServer::refusingPort()));
        QVERIFY(installation.check());
        QCOMPARE(installation.window->statusText(), status);
        QCOMPARE(installation.window->statusColour(), colour);
        QCOMPARE(installation.button(UpdaterNames::Update)->isEnabled(), updateEnabled);
        // The status label shows the colour it reports.
        const QLabel* label = installation.window->findChild<QLabel*>(QLatin1String(UpdaterNames::Status));
        QCOMPARE(label->palette().color(QPalette::WindowText), colour);
        QVERIFY(installation.untouched());
    }

    void reopeningKeepsTheOffer() {
        QVERIFY(writeFile(QDir(m_updates.path()).filePath(QStringLiteral("version.txt")), "0.51"));
        Installation installation(m_server->hostPort());
        QVERIFY(installation.check());
        installation.window->hide();
        installation.window->show();
        installation.window->formActivate();
        QCOMPARE(installation.window->statusText(), QStringLiteral("Status"));
        QCOMPARE(installation.window->findChild<Gauge*>(QLatin1String(UpdaterNames::Gauge))->value(), 0);
        QVERIFY(installation.button(UpdaterNames::Update)->isEnabled());
    }

    // Downloads that must not replace the program, from a scripted server: what comes, and how.
    void refusedDownload_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("cutAfter"); // bytes of the reply sent before the connection drops; -1 all
        QTest::addColumn<QString>("status");
        const QByteArray program = standIn();
        QByteArray otherMachine = program;
        const quint16 machine = qFromUnaligned<quint16>(program.constData() + 18);
        const quint16 other = machine == 183 /* EM_AARCH64 */ ? 62 /* EM_X86_64 */ : 183;
        otherMachine.replace(18, 2, QByteArray(reinterpret_cast<const char*>(&other), 2));
        const QByteArray whole = ScriptedServer::reply("200 OK", program);
        QTest::newRow("not found") << ScriptedServer::reply("404 Not Found", "<html>404</html>") << -1
                                   << "Connection Error (HTTP 404)";
        QTest::newRow("truncated") << whole << int(whole.size() - program.size() / 2) << "Connection Error";
        QTest::newRow("no Content-Length")
            << ScriptedServer::reply("200 OK", program, false) << -1 << "Connection Error";
        QTest::newRow("script") << ScriptedServer::reply("200 OK", "#!/bin/sh\necho replaced\n") << -1
                                << "Download is not a program for this system";
        QTest::newRow("error page with 200") << ScriptedServer::reply("200 OK", "<html><body>Moved</body></html>") << -1
                                             << "Download is not a program for this system";
        QTest::newRow("other processor") << ScriptedServer::reply("200 OK", otherMachine) << -1
                                         << "Download is not a program for this system";
    }
    void refusedDownload() {
        QFETCH(QByteArray, reply);
        QFETCH(int, cutAfter);
        QFETCH(QString, status);
        ScriptedServer server;
        QVERIFY(server.isListening());
        server.setResponder([reply, cutAfter](const QByteArray& request) {
            ScriptedServer::Script script;
            if (request.startsWith("GET /code/orvane/version.txt "))
                return script.send(ScriptedServer::reply("200 OK", "0.51"));
            if (!request.startsWith("GET /code/orvane/" + downloadName("0.51").toLatin1() + " "))
                return script.send(ScriptedServer::reply("404 Not Found", ""));
            return cutAfter < 0 ? script.send(reply) : script.dropAfter(reply, cutAfter);
        });
        Installation installation(server.hostPort());
        QSignalSpy quit(installation.window.get(), &UpdaterWindow::quitRequested);
        QVERIFY(installation.check());
        QVERIFY(installation.download());
        QCOMPARE(installation.window->statusText(), status);
        QCOMPARE(installation.window->statusColour(), Red);
        QVERIFY(installation.untouched());
        QCOMPARE(quit.count(), 0);
        QVERIFY(server.requests().last().contains("User-Agent: Orvane HTTPGet\r\n"));
    }

    void installsAndRestarts() {
        // The new version is the stand-in with a few bytes more, so that its copy can be told apart.
        const QByteArray newVersion = standIn() + QByteArray("\nversion 0.51\n");
        QVERIFY(writeFile(QDir(m_updates.path()).filePath(QStringLiteral("version.txt")), "0.51"));
        QVERIFY(writeFile(QDir(m_updates.path()).filePath(downloadName("0.51")), newVersion));
        Installation installation(m_server->hostPort());
        QSignalSpy quit(installation.window.get(), &UpdaterWindow::quitRequested);
        QVERIFY(installation.check());
        QSignalSpy finished(installation.window.get(), &UpdaterWindow::downloadFinished);
        QTest::mouseClick(installation.button(UpdaterNames::Update), Qt::LeftButton);
        QCOMPARE(installation.window->statusText(), QStringLiteral("Downloading version 0.51..."));
        QVERIFY(finished.wait(10000));
        QCOMPARE(installation.window->statusText(), QStringLiteral("Download completed."));
        QCOMPARE(installation.window->statusColour(), Green);
        QCOMPARE(quit.count(), 1);

        QCOMPARE(TestFiles::readFile(installation.program), newVersion);
        QVERIFY(QFileInfo(installation.program).isExecutable());
        QCOMPARE(TestFiles::readFile(installation.dir.filePath(QStringLiteral("orvane.old"))), installation.original);
        const QString started = installation.dir.filePath(QStringLiteral("started.txt"));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(started), 10000);
        // Started with "-chlog", while the old program was still kept.
        QCOMPARE(TestFiles::readFile(started), QByteArray("-chlog\nold:kept\n"));
        QVERIFY(!QFile::exists(installation.dir.filePath(downloadName("0.51") + QStringLiteral(".download"))));
    }

    void installedDownloadsNothing() {
        QVERIFY(writeFile(QDir(m_updates.path()).filePath(QStringLiteral("version.txt")), "0.51"));
        Installation installation(m_server->hostPort(), true);
        QVERIFY(installation.check());
        QVERIFY(!installation.button(UpdaterNames::Update)->isEnabled());
        QVERIFY(installation.window->isPackageManaged());
        QVERIFY(installation.untouched());
    }

    // Only the update folder's own files are served, whatever the name holds.
    void servesOnlyDownloads_data() {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<int>("status");
        QTest::newRow("linux download") << QByteArray("orvane_v0.61-linux-x86_64") << 200;
        QTest::newRow("windows download") << QByteArray("orvane_v0.61.exe") << 200;
        QTest::newRow("architecture with a path") << QByteArray("orvane_v0.61-linux-..%2F..%2Fsecret") << 404;
        QTest::newRow("version with a path") << QByteArray("orvane_v..%2Fsecret-linux-x86_64") << 404;
        QTest::newRow("no architecture") << QByteArray("orvane_v0.61-linux-") << 404;
        QTest::newRow("no version") << QByteArray("orvane_v-linux-x86_64") << 404;
        QTest::newRow("other file") << QByteArray("secret") << 404;
    }
    void servesOnlyDownloads() {
        QFETCH(QByteArray, path);
        QFETCH(int, status);
        const QDir updates(m_updates.path());
        for (const char* name : {"orvane_v0.61-linux-x86_64", "orvane_v0.61.exe", "secret"})
            QVERIFY(writeFile(updates.filePath(QLatin1String(name)), "bytes"));
        QVERIFY(writeFile(QDir(m_outside.path()).filePath(QStringLiteral("secret")), "outside"));
        HttpGet fetch;
        fetch.setUrl("http://" + m_server->hostPort() + "/code/orvane/" + path);
        QSignalSpy done(&fetch, &HttpGet::doneString);
        QSignalSpy failed(&fetch, &HttpGet::failed);
        fetch.fetchString();
        QVERIFY(QTest::qWaitFor([&] { return done.count() + failed.count() == 1; }, 10000));
        if (status == 200) {
            QCOMPARE(done.count(), 1);
            QCOMPARE(done.first().at(1).toByteArray(), QByteArray("bytes"));
        } else {
            QCOMPARE(failed.count(), 1);
            QCOMPARE(failed.first().at(1).value<FetchError>().httpStatus, status);
        }
    }

    void cleanupTestCase() { QVERIFY(m_server->stop()); }

private:
    QTemporaryDir m_outside;
    QTemporaryDir m_updates{m_outside.filePath(QStringLiteral("updates-XXXXXX"))};
    std::unique_ptr<StatsdProcess> m_server;
};

ORVANE_UI_TEST_MAIN(TestUpdater)
#include "test_updater.moc"
