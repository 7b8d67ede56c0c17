#include "scripted_server.h"
#include "service/httpget.h"
#include "test_files.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <fcntl.h>
#include <memory>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using Script = ScriptedServer::Script;
Q_DECLARE_METATYPE(ScriptedServer::Script)
Q_DECLARE_METATYPE(FetchFailure)

// Readable failure kinds in QCOMPARE messages.
char* toString(FetchFailure kind) {
    static constexpr const char* names[] = {"None",     "Transfer", "HttpStatus", "Incomplete", "TooLarge",
                                            "Deadline", "Idle",     "Cancelled",  "File"};
    return qstrdup(names[static_cast<int>(kind)]);
}

namespace {

constexpr int EventWaitMs = 10000;
constexpr qint64 DefaultLimit = 4 * 1024 * 1024;

// Everything a fetcher reported, in order.
struct Recorder {
    QObject context; // deliveries stop when the recorder goes
    QList<QPair<qint64, qint64>> progress;
    int strings = 0;
    int files = 0;
    int failures = 0;
    QByteArray result;
    QString fileName;
    qint64 fileSize = -1;
    FetchError error;
    bool foreignSender = false;

    explicit Recorder(HttpGet& fetcher) {
        HttpGet* expected = &fetcher;
        QObject::connect(&fetcher, &HttpGet::progress, &context, [this, expected](HttpGet* s, qint64 t, qint64 r) {
            foreignSender |= s != expected;
            progress.append({t, r});
        });
        QObject::connect(&fetcher, &HttpGet::doneString, &context, [this, expected](HttpGet* s, const QByteArray& r) {
            foreignSender |= s != expected;
            ++strings;
            result = r;
        });
        QObject::connect(&fetcher, &HttpGet::doneFile, &context,
                         [this, expected](HttpGet* s, const QString& name, qint64 size) {
                             foreignSender |= s != expected;
                             ++files;
                             fileName = name;
                             fileSize = size;
                         });
        QObject::connect(&fetcher, &HttpGet::failed, &context, [this, expected](HttpGet* s, const FetchError& e) {
            foreignSender |= s != expected;
            ++failures;
            error = e;
        });
    }
    int completions() const { return strings + files + failures; }
    bool waitForCompletion() {
        return QTest::qWaitFor([this] { return completions() > 0; }, EventWaitMs);
    }
};

// A reply that breaks off after this many body bytes.
Script cutAfterBody(const QByteArray& reply, qsizetype bodyBytes) {
    return Script().dropAfter(reply, reply.indexOf("\r\n\r\n") + 4 + bodyBytes);
}

QByteArray pattern(qsizetype size) {
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char(i % 251);
    return bytes;
}

// Waits without running any event of this thread, so that nothing the worker posts is delivered.
bool spinUntil(const std::function<bool()>& condition) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > EventWaitMs)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Delivers whatever is still queued for this thread.
void drainEvents() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

using TestFiles::readFile;

// A listener whose accept queue is full, so that a further connect neither succeeds nor is refused.
class StalledListener final {
public:
    StalledListener() {
        m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof addr;
        if (m_listener < 0 || ::bind(m_listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
            ::listen(m_listener, 0) != 0 || ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&addr), &length) != 0)
            return;
        m_port = ntohs(addr.sin_port);
        // The first connection fills the queue; the second must then stay pending.
        for (int i = 0; i < 2; ++i) {
            const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            m_fillers.push_back(fd);
            ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        }
        pollfd probe{m_fillers.back(), POLLOUT, 0};
        m_stalls = ::poll(&probe, 1, 200) == 0;
    }
    ~StalledListener() {
        for (const int fd : m_fillers)
            ::close(fd);
        if (m_listener >= 0)
            ::close(m_listener);
    }
    StalledListener(const StalledListener&) = delete;
    StalledListener& operator=(const StalledListener&) = delete;
    bool stalls() const { return m_stalls; }
    quint16 port() const { return m_port; }

private:
    int m_listener = -1;
    quint16 m_port = 0;
    std::vector<int> m_fillers;
    bool m_stalls = false;
};

} // namespace

class TestFetcher final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void textReplies_data();
    void textReplies();
    void failures_data();
    void failures();
    void failureText_data();
    void failureText();
    void fileReplies_data();
    void fileReplies();
    void requestOnWire_data();
    void requestOnWire();
    void portDefaultsTo80();
    void malformedUrls_data();
    void malformedUrls();
    void proxyFromEnvironment();
    void busyComponentIgnoresStarts();
    void connectTimesOut();
    void cancelEndsTransfer_data();
    void cancelEndsTransfer();
    void busyUiThreadDoesNotHoldTheWorker();
    void destroyWhileBusy_data();
    void destroyWhileBusy();
    void waitThreadReturnsAfterCompletion();
    void throwingHandlerLeavesComponentIdle();

private:
    QTemporaryDir m_dir;
};

void TestFetcher::initTestCase() {
    // Loopback only: a proxy from the environment must not take these requests.
    for (const char* name : {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"})
        qunsetenv(name);
    QVERIFY(m_dir.isValid());
}

void TestFetcher::textReplies_data() {
    QTest::addColumn<Script>("script");
    QTest::addColumn<QByteArray>("result");
    QTest::addColumn<qint64>("totalSize");

    const QByteArray big = pattern(5000);
    const QByteArray bigHead = "HTTP/1.0 200 OK\r\n\r\n";
    const QByteArray nul("a\0b\0\0c", 6);
    const QByteArray limit = pattern(DefaultLimit);
    using S = ScriptedServer;

    QTest::newRow("with length") << Script().send(S::reply("200 OK", "hello")) << QByteArray("hello") << qint64(5);
    QTest::newRow("no length, closed in order")
        << Script().send(S::reply("200 OK", "hello", false)) << QByteArray("hello") << qint64(0);
    QTest::newRow("NUL bytes") << Script().send(S::reply("200 OK", nul)) << nul << qint64(6);
    QTest::newRow("many blocks") << Script().send(S::reply("200 OK", big)) << big << qint64(5000);
    QTest::newRow("many blocks in pieces, no length")
        << Script().send(bigHead + big.left(700)).pause(50).send(big.mid(700, 2300)).pause(50).send(big.mid(3000))
        << big << qint64(0);
    // The caller judges an empty body; the fetcher only vouches that it is whole.
    QTest::newRow("empty body") << Script().send(S::reply("200 OK", "")) << QByteArray("") << qint64(0);
    QTest::newRow("empty body, no length")
        << Script().send(S::reply("200 OK", "", false)) << QByteArray("") << qint64(0);
    QTest::newRow("204 No Content") << Script().send(S::reply("204 No Content", "", false)) << QByteArray("")
                                    << qint64(0);
    QTest::newRow("interim 100 first") << Script().send("HTTP/1.1 100 Continue\r\n\r\n" + S::reply("200 OK", "hello"))
                                       << QByteArray("hello") << qint64(5);
    QTest::newRow("exactly the default limit, no length")
        << Script().send(S::reply("200 OK", limit, false)) << limit << qint64(0);
}

void TestFetcher::textReplies() {
    QFETCH(Script, script);
    QFETCH(QByteArray, result);
    QFETCH(qint64, totalSize);

    ScriptedServer server;
    QVERIFY(server.isListening());
    server.setScript(script);
    HttpGet fetcher;
    Recorder events(fetcher);
    fetcher.setUrl(server.url("/ASP/getplayerinfo.aspx?pid=1"));
    fetcher.fetchString();
    QVERIFY(events.waitForCompletion());

    QCOMPARE(events.error.kind, FetchFailure::None);
    QCOMPARE(events.strings, 1);
    QCOMPARE(events.completions(), 1);
    QCOMPARE(events.result.size(), result.size());
    QVERIFY(events.result == result);
    QCOMPARE(server.requestCount(), 1);
    QVERIFY(!events.foreignSender);
    QVERIFY(!fetcher.isBusy());
    // Coalesced progress counts up, and its last word is the whole body.
    qint64 received = 0;
    for (const auto& [total, now] : events.progress) {
        QCOMPARE(total, totalSize);
        QVERIFY2(now > received, qPrintable(QString("%1 after %2").arg(now).arg(received)));
        received = now;
    }
    QCOMPARE(received, qint64(result.size()));
}

void TestFetcher::failures_data() {
    QTest::addColumn<Script>("script");
    QTest::addColumn<bool>("reachable");
    QTest::addColumn<int>("idleTimeoutMs"); // 0: the defaults for these three
    QTest::addColumn<int>("deadlineMs");
    QTest::addColumn<qint64>("maxReplyBytes");
    QTest::addColumn<bool>("binaryData");
    QTest::addColumn<FetchFailure>("kind");
    QTest::addColumn<int>("httpStatus");
    using S = ScriptedServer;
    using F = FetchFailure;
    const QByteArray body = pattern(5000);
    const QByteArray head = "HTTP/1.0 200 OK\r\n\r\n";
    const QByteArray head100 = "HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\n";
    Script drip = Script().send(head);
    for (int i = 0; i < 100; ++i)
        drip.pause(50).send("x");

    // Rows that end in hang() fail before the server would ever finish: at once, not at a time-out.
    QTest::newRow("refused") << Script() << false << 0 << 0 << qint64(0) << false << F::Transfer << 0;
    QTest::newRow("closed without a reply")
        << Script().close() << true << 0 << 0 << qint64(0) << false << F::Transfer << 0;
    QTest::newRow("not HTTP") << Script().send("hello\r\n") << true << 0 << 0 << qint64(0) << false << F::Transfer << 0;
    QTest::newRow("never answers") << Script().hang() << true << 300 << 0 << qint64(0) << false << F::Idle << 0;
    QTest::newRow("headers, then silence")
        << Script().send(head100).hang() << true << 300 << 0 << qint64(0) << false << F::Idle << 200;
    QTest::newRow("stalled body") << Script().send(head100 + "0123456789").hang() << true << 300 << 0 << qint64(0)
                                  << false << F::Idle << 200;
    QTest::newRow("cut body") << cutAfterBody(S::reply("200 OK", body), 1500) << true << 0 << 0 << qint64(0) << false
                              << F::Incomplete << 200;
    QTest::newRow("cut body, reset") << Script().send(S::reply("200 OK", body).chopped(3500)).reset() << true << 0 << 0
                                     << qint64(0) << false << F::Transfer << 200;
    QTest::newRow("cut body without length, reset")
        << Script().send(S::reply("200 OK", body, false).chopped(3500)).reset() << true << 0 << 0 << qint64(0) << false
        << F::Transfer << 200;
    QTest::newRow("404 text") << Script().send(S::reply("404 Not Found", "no such page")) << true << 0 << 0 << qint64(0)
                              << false << F::HttpStatus << 404;
    QTest::newRow("404, body never ends") << Script().send("HTTP/1.0 404 Not Found\r\n\r\nno such").hang() << true << 0
                                          << 0 << qint64(0) << false << F::HttpStatus << 404;
    QTest::newRow("500 HTML") << Script().send(S::reply("500 Internal Server Error", "<html><body>oops</body></html>",
                                                        false, "Content-Type: text/html\r\n"))
                              << true << 0 << 0 << qint64(0) << false << F::HttpStatus << 500;
    QTest::newRow("302 empty") << Script().send(S::reply("302 Found", "", true, "Location: /elsewhere\r\n")) << true
                               << 0 << 0 << qint64(0) << false << F::HttpStatus << 302;
    QTest::newRow("length not a number") << Script().send(
                                                "HTTP/1.0 200 OK\r\nContent-Length: twelve\r\n\r\nhello world!")
                                         << true << 0 << 0 << qint64(0) << false << F::Transfer << 200;
    QTest::newRow("over the limit by length")
        << Script().send("HTTP/1.0 200 OK\r\nContent-Length: 1001\r\n\r\n" + body.left(100)).hang() << true << 0 << 0
        << qint64(1000) << false << F::TooLarge << 200;
    QTest::newRow("over the default limit by length, beyond 32 bits")
        << Script().send("HTTP/1.0 200 OK\r\nContent-Length: 4294967301\r\n\r\nhello").hang() << true << 0 << 0
        << qint64(0) << false << F::TooLarge << 200;
    QTest::newRow("over the limit, streamed") << Script().send(head + body.left(1001)).hang() << true << 0 << 0
                                              << qint64(1000) << false << F::TooLarge << 200;
    QTest::newRow("one byte over the default limit, streamed")
        << Script().send(head + pattern(DefaultLimit + 1)).hang() << true << 0 << 0 << qint64(0) << false << F::TooLarge
        << 200;
    QTest::newRow("slow drip past the deadline")
        << drip << true << 2000 << 400 << qint64(0) << false << F::Deadline << 200;
    QTest::newRow("BinaryData, no length")
        << Script().send(head + "hello").hang() << true << 0 << 0 << qint64(0) << true << F::Incomplete << 200;
}

void TestFetcher::failures() {
    QFETCH(Script, script);
    QFETCH(bool, reachable);
    QFETCH(int, idleTimeoutMs);
    QFETCH(int, deadlineMs);
    QFETCH(qint64, maxReplyBytes);
    QFETCH(bool, binaryData);
    QFETCH(FetchFailure, kind);
    QFETCH(int, httpStatus);

    ScriptedServer server;
    QVERIFY(server.isListening());
    server.setScript(script);
    HttpGet fetcher;
    Recorder events(fetcher);
    if (idleTimeoutMs > 0)
        fetcher.setIdleTimeoutMs(idleTimeoutMs);
    if (deadlineMs > 0)
        fetcher.setDeadlineMs(deadlineMs);
    if (maxReplyBytes > 0)
        fetcher.setMaxReplyBytes(maxReplyBytes);
    fetcher.setBinaryData(binaryData);
    const QByteArray address =
        reachable ? server.hostPort() : "127.0.0.1:" + QByteArray::number(ScriptedServer::refusingPort());
    fetcher.setUrl("http://" + address + "/ASP/getplayerinfo.aspx?pid=1");
    QElapsedTimer clock;
    clock.start();
    fetcher.fetchString();
    QVERIFY(events.waitForCompletion());

    QCOMPARE(events.failures, 1);
    QCOMPARE(events.completions(), 1);
    QCOMPARE(events.error.kind, kind);
    QCOMPARE(events.error.httpStatus, httpStatus);
    QVERIFY(!events.error.detail.isEmpty());
    QVERIFY(!events.foreignSender);
    QVERIFY(!fetcher.isBusy());
    if (kind == FetchFailure::Deadline)
        QVERIFY(clock.elapsed() >= deadlineMs);
    // Nothing was kept beyond the limit, so no progress ever counted past it.
    for (const auto& [total, received] : events.progress)
        QVERIFY(received <= fetcher.maxReplyBytes());
}

void TestFetcher::failureText_data() {
    QTest::addColumn<FetchFailure>("kind");
    QTest::addColumn<int>("httpStatus");
    QTest::addColumn<QString>("text");
    using F = FetchFailure;
    QTest::newRow("refused") << F::Transfer << 0 << "Connection Error";
    QTest::newRow("cut body of a 200") << F::Incomplete << 200 << "Connection Error";
    QTest::newRow("cancelled") << F::Cancelled << 0 << "Connection Error";
    QTest::newRow("500") << F::HttpStatus << 500 << "Connection Error (HTTP 500)";
    QTest::newRow("302") << F::HttpStatus << 302 << "Connection Error (HTTP 302)";
    QTest::newRow("199") << F::HttpStatus << 199 << "Connection Error (HTTP 199)";
    QTest::newRow("300") << F::HttpStatus << 300 << "Connection Error (HTTP 300)";
    QTest::newRow("too large") << F::TooLarge << 200 << "Reply too large";
}

void TestFetcher::failureText() {
    QFETCH(FetchFailure, kind);
    QFETCH(int, httpStatus);
    QFETCH(QString, text);
    QCOMPARE(FetchFailureText({kind, httpStatus, QStringLiteral("details")}), text);
}

void TestFetcher::fileReplies_data() {
    QTest::addColumn<Script>("script");
    QTest::addColumn<bool>("binaryData");
    QTest::addColumn<bool>("reachable");
    QTest::addColumn<bool>("creatable");
    QTest::addColumn<QByteArray>("before"); // null: no file before the fetch
    QTest::addColumn<FetchFailure>("kind"); // None: the fetch succeeds
    QTest::addColumn<QByteArray>("after");  // null: no file after the fetch
    using S = ScriptedServer;
    using F = FetchFailure;
    const QByteArray body = pattern(3000);
    const QByteArray none;
    const QByteArray older = "an older and longer file";

    QTest::newRow("with length") << Script().send(S::reply("200 OK", body)) << false << true << true << none << F::None
                                 << body;
    QTest::newRow("older file overwritten")
        << Script().send(S::reply("200 OK", "new")) << false << true << true << older << F::None << QByteArray("new");
    QTest::newRow("BinaryData with length")
        << Script().send(S::reply("200 OK", body)) << true << true << true << none << F::None << body;
    QTest::newRow("no length") << Script().send(S::reply("200 OK", body, false)) << false << true << true << none
                               << F::Incomplete << none;
    QTest::newRow("short body") << cutAfterBody(S::reply("200 OK", body), 1000) << false << true << true << none
                                << F::Incomplete << none;
    QTest::newRow("short body keeps the older file")
        << cutAfterBody(S::reply("200 OK", body), 1000) << false << true << true << older << F::Incomplete << older;
    QTest::newRow("reset mid-body") << Script().send(S::reply("200 OK", body).chopped(1000)).reset() << false << true
                                    << true << older << F::Transfer << older;
    QTest::newRow("BinaryData, no length")
        << Script().send(S::reply("200 OK", body, false)) << true << true << true << none << F::Incomplete << none;
    QTest::newRow("empty body, no length")
        << Script().send(S::reply("200 OK", "", false)) << false << true << true << none << F::Incomplete << none;
    QTest::newRow("length 0") << Script().send(S::reply("200 OK", "")) << false << true << true << older
                              << F::Incomplete << older;
    QTest::newRow("404 page") << Script().send(S::reply("404 Not Found", "<html>gone</html>")) << false << true << true
                              << older << F::HttpStatus << older;
    QTest::newRow("over the limit") << Script().send(S::reply("200 OK", pattern(DefaultLimit + 1))) << false << true
                                    << true << older << F::TooLarge << older;
    QTest::newRow("unreachable, BinaryData") << Script() << true << false << true << none << F::Transfer << none;
    QTest::newRow("target cannot be created")
        << Script().send(S::reply("200 OK", body)) << false << true << false << none << F::File << none;
}

void TestFetcher::fileReplies() {
    QFETCH(Script, script);
    QFETCH(bool, binaryData);
    QFETCH(bool, reachable);
    QFETCH(bool, creatable);
    QFETCH(QByteArray, before);
    QFETCH(FetchFailure, kind);
    QFETCH(QByteArray, after);

    ScriptedServer server;
    QVERIFY(server.isListening());
    server.setScript(script);
    // A folder of its own, so that anything left beside the target shows.
    QTemporaryDir dir(m_dir.filePath("fileXXXXXX"));
    QVERIFY(dir.isValid());
    const QString folder = dir.path();
    const QString path = QDir(folder).filePath(creatable ? "Orvane.exe" : "missing/Orvane.exe");
    if (!before.isNull()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(before);
    }

    HttpGet fetcher;
    Recorder events(fetcher);
    fetcher.setBinaryData(binaryData);
    fetcher.setFileName(path);
    const QByteArray address =
        reachable ? server.hostPort() : "127.0.0.1:" + QByteArray::number(ScriptedServer::refusingPort());
    fetcher.setUrl("http://" + address + "/update/Orvane.exe");
    fetcher.fetchFile();
    QVERIFY(events.waitForCompletion());

    QCOMPARE(events.completions(), 1);
    QCOMPARE(events.error.kind, kind);
    QCOMPARE(events.files, kind == FetchFailure::None ? 1 : 0);
    QVERIFY(!events.foreignSender);
    if (kind == FetchFailure::None) {
        QCOMPARE(events.fileName, path);
        QCOMPARE(events.fileSize, qint64(after.size()));
    }
    QCOMPARE(QFile::exists(path), !after.isNull());
    if (!after.isNull())
        QCOMPARE(readFile(path), after);
    // No partial download is left beside the target.
    const QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    QCOMPARE(left, after.isNull() ? QStringList() : QStringList{"Orvane.exe"});
}

void TestFetcher::requestOnWire_data() {
    QTest::addColumn<QByteArray>("prefix");
    QTest::addColumn<QByteArray>("object");
    QTest::addColumn<QByteArray>("agent");
    QTest::addColumn<QByteArray>("acceptTypes");
    QTest::addColumn<bool>("useCache");
    QTest::addColumn<QByteArray>("referer");
    QTest::addColumn<QByteArray>("userName");
    QTest::addColumn<QByteArray>("password");
    QTest::addColumn<QByteArray>("postQuery");
    QTest::addColumn<QByteArray>("requestLine");
    QTest::addColumn<QByteArrayList>("headers"); // besides Host, in any order
    QTest::addColumn<QByteArray>("body");

    const QByteArray http = "http://";
    const QByteArray agent = "Orvane HTTPGet";
    const QByteArray all = "*/*";
    const QByteArray none;
    const QByteArray object = "/ASP/getplayerinfo.aspx?pid=43&info=per*,cmb*,twsc,";
    const QByteArray line = "GET " + object + " HTTP/1.0";
    const QByteArrayList plain = {"User-Agent: Orvane HTTPGet", "Accept: */*", "Pragma: no-cache",
                                  "Cache-Control: no-cache"};
    const auto with = [&plain](const QByteArrayList& more) { return plain + more; };
    const auto without = [&plain](const QByteArray& gone) {
        QByteArrayList list = plain;
        list.removeAll(gone);
        return list;
    };

    QTest::newRow("defaults") << http << object << agent << all << false << none << none << none << none << line
                              << plain << none;
    QTest::newRow("HTTP:// prefix") << QByteArray("HTTP://") << object << agent << all << false << none << none << none
                                    << none << line << plain << none;
    QTest::newRow("hTtP:// prefix") << QByteArray("hTtP://") << object << agent << all << false << none << none << none
                                    << none << line << plain << none;
    QTest::newRow("no prefix") << none << object << agent << all << false << none << none << none << none << line
                               << plain << none;
    QTest::newRow("blank, line end, controls, DEL, high bytes")
        << http << QByteArray("/ASP/searchforplayers.aspx?nick==DOG= Sarge\r\nX-Injected: 1\t\x7f\xe9\x01") << agent
        << all << false << none << none << none << none
        << QByteArray("GET /ASP/searchforplayers.aspx?nick==DOG=%20Sarge%0D%0AX-Injected:%201%09%7F%E9%01 HTTP/1.0")
        << plain << none;
    const QByteArray printable = "/a/../b/./c?x=%41&y=!$'()*+,;:@[]{}|\\^`\"<>~";
    QTest::newRow("other characters unchanged") << http << printable << agent << all << false << none << none << none
                                                << none << "GET " + printable + " HTTP/1.0" << plain << none;
    QTest::newRow("number sign kept") << http << QByteArray("/ASP/x.aspx?nick=#1") << agent << all << false << none
                                      << none << none << none << QByteArray("GET /ASP/x.aspx?nick=#1 HTTP/1.0") << plain
                                      << none;
    QTest::newRow("empty Agent") << http << object << none << all << false << none << none << none << none << line
                                 << without("User-Agent: Orvane HTTPGet") << none;
    QTest::newRow("line end in Agent") << http << object << QByteArray("Orvane\r\nX-Injected: 1") << all << false
                                       << none << none << none << none << line
                                       << QByteArrayList{"User-Agent: OrvaneX-Injected: 1", "Accept: */*",
                                                         "Pragma: no-cache", "Cache-Control: no-cache"}
                                       << none;
    QTest::newRow("accept types") << http << object << agent << QByteArray("text/plain, text/html") << false << none
                                  << none << none << none << line
                                  << QByteArrayList{"User-Agent: Orvane HTTPGet", "Accept: text/plain, text/html",
                                                    "Pragma: no-cache", "Cache-Control: no-cache"}
                                  << none;
    QTest::newRow("UseCache") << http << object << agent << all << true << none << none << none << none << line
                              << QByteArrayList{"User-Agent: Orvane HTTPGet", "Accept: */*"} << none;
    QTest::newRow("Referer") << http << object << agent << all << false << QByteArray("http://start.invalid/page")
                             << none << none << none << line << with({"Referer: http://start.invalid/page"}) << none;
    QTest::newRow("user name and password")
        << http << object << agent << all << false << none << QByteArray("bob") << QByteArray("s3cret") << none << line
        << with({"Authorization: Basic Ym9iOnMzY3JldA=="}) << none;
    QTest::newRow("POST") << http << QByteArray("/ASP/x.aspx") << agent << all << false << none << none << none
                          << QByteArray("nick=a%20b&x=1") << QByteArray("POST /ASP/x.aspx HTTP/1.0")
                          << with({"Content-Type: application/x-www-form-urlencoded", "Content-Length: 14"})
                          << QByteArray("nick=a%20b&x=1");
}

void TestFetcher::requestOnWire() {
    QFETCH(QByteArray, prefix);
    QFETCH(QByteArray, object);
    QFETCH(QByteArray, agent);
    QFETCH(QByteArray, acceptTypes);
    QFETCH(bool, useCache);
    QFETCH(QByteArray, referer);
    QFETCH(QByteArray, userName);
    QFETCH(QByteArray, password);
    QFETCH(QByteArray, postQuery);
    QFETCH(QByteArray, requestLine);
    QFETCH(QByteArrayList, headers);
    QFETCH(QByteArray, body);

    ScriptedServer server;
    QVERIFY(server.isListening());
    server.setScript(Script().send(ScriptedServer::reply("200 OK", "ok")));
    HttpGet fetcher;
    Recorder events(fetcher);
    fetcher.setUrl(prefix + server.hostPort() + object);
    fetcher.setAgent(agent);
    fetcher.setAcceptTypes(acceptTypes);
    fetcher.setUseCache(useCache);
    fetcher.setReferer(referer);
    fetcher.setUserName(userName);
    fetcher.setPassword(password);
    fetcher.setPostQuery(postQuery);
    fetcher.fetchString();
    QVERIFY(events.waitForCompletion());
    QCOMPARE(events.strings, 1);

    QCOMPARE(server.requestCount(), 1);
    const QByteArray request = server.requests().constFirst();
    const qsizetype end = request.indexOf("\r\n\r\n");
    QVERIFY(end > 0);
    const QByteArray head = request.left(end);
    QVERIFY2(!QByteArray(head).replace("\r\n", "").contains('\n'), "a line ends without CR");
    QVERIFY2(!QByteArray(head).replace("\r\n", "").contains('\r'), "a CR stands alone");
    QByteArrayList lines = QByteArray(head).replace("\r\n", "\n").split('\n');
    QCOMPARE(lines.takeFirst(), requestLine);
    headers.append("Host: " + server.hostPort());
    std::sort(lines.begin(), lines.end());
    std::sort(headers.begin(), headers.end());
    QCOMPARE(lines, headers);
    QCOMPARE(request.mid(end + 4), body);
}

void TestFetcher::portDefaultsTo80() {
    ScriptedServer server(80);
    if (!server.isListening())
        QSKIP("port 80 cannot be taken here");
    server.setScript(Script().send(ScriptedServer::reply("200 OK", "on 80")));
    HttpGet fetcher;
    Recorder events(fetcher);
    fetcher.setUrl("127.0.0.1/ASP/x.aspx");
    fetcher.fetchString();
    QVERIFY(events.waitForCompletion());
    QCOMPARE(events.result, QByteArray("on 80"));
    QVERIFY(server.requests().constFirst().contains("\r\nHost: 127.0.0.1\r\n"));
}

void TestFetcher::malformedUrls_data() {
    QTest::addColumn<QByteArray>("url"); // PORT stands for the server's port
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("prefix only") << QByteArray("http://");
    QTest::newRow("no slash after the host") << QByteArray("http://127.0.0.1:PORT");
    QTest::newRow("no host") << QByteArray("http:///ASP/x.aspx");
    QTest::newRow("empty port") << QByteArray("http://127.0.0.1:/ASP/x.aspx");
    QTest::newRow("port not a number") << QByteArray("http://127.0.0.1:PORTx/ASP/x.aspx");
    QTest::newRow("port out of range") << QByteArray("http://127.0.0.1:65536/ASP/x.aspx");
    QTest::newRow("user name in the host") << QByteArray("http://bob@127.0.0.1:PORT/ASP/x.aspx");
    QTest::newRow("blank in the host") << QByteArray("http://127.0.0.1 :PORT/ASP/x.aspx");
}

void TestFetcher::malformedUrls() {
    QFETCH(QByteArray, url);
    ScriptedServer server;
    QVERIFY(server.isListening());
    server.setScript(Script().send(ScriptedServer::reply("200 OK", "ok")));
    HttpGet fetcher;
    Recorder events(fetcher);
    fetcher.setUrl(url.replace("PORT", QByteArray::number(server.port())));
    fetcher.fetchString();
    QVERIFY(events.waitForCompletion());
    QCOMPARE(events.failures, 1);
    QCOMPARE(events.completions(), 1);
    QCOMPARE(events.error.kind, FetchFailure::Transfer);
    QCOMPARE(server.requestCount(), 0);
}

void TestFetcher::proxyFromEnvironment() {
    ScriptedServer proxy;
    QVERIFY(proxy.isListening());
    proxy.setScript(Script().send(ScriptedServer::reply("200 OK", "via proxy")));
    const QByteArray noProxy = qgetenv("no_proxy");
    const QByteArray noProxyUpper = qgetenv("NO_PROXY");
    qunsetenv("no_proxy");
    qunsetenv("NO_PROXY");
    qputenv("http_proxy", proxy.url("/"));
    HttpGet fetcher;
    Recorder events(fetcher);
    // The proxy answers for the host; nothing is resolved or sent beyond loopback.
    fetcher.setUrl("http://stats.invalid:8080/ASP/searchforplayers.aspx?nick=a b");
    fetcher.fetchString();
    const bool completed = events.waitForCompletion();
    qunsetenv("http_proxy");
    if (!noProxy.isNull())
        qputenv("no_proxy", noProxy);
    if (!noProxyUpper.isNull())
        qputenv("NO_PROXY", noProxyUpper);
    QVERIFY(completed);
    QCOMPARE(events.result, QByteArray("via proxy"));
    QVERIFY(proxy.requests().constFirst().startsWith(
        "GET http://stats.invalid:8080/ASP/searchforplayers.aspx?nick=a%20b HTTP/1.0\r\n"));
}

void TestFetcher::busyComponentIgnoresStarts() {
    ScriptedServer server;
    ScriptedServer other;
    QVERIFY(server.isListening() && other.isListening());
    server.setScript(Script().pause(300).send(ScriptedServer::reply("200 OK", "first")));
    other.setScript(Script().send(ScriptedServer::reply("200 OK", "other")));
    HttpGet fetcher;
    Recorder events(fetcher);
    bool busyInHandler = false;
    const auto restart = connect(&fetcher, &HttpGet::doneString, &events.context, [&] {
        busyInHandler = fetcher.isBusy();
        fetcher.setUrl(other.url("/from-handler"));
        fetcher.fetchString();
        fetcher.fetchFile();
    });

    fetcher.setUrl(server.url("/first"));
    fetcher.fetchString();
    QVERIFY(fetcher.isBusy());
    // Changes during a transfer belong to the next one.
    fetcher.setUrl(other.url("/second"));
    fetcher.setAgent("changed");
    fetcher.fetchString();
    fetcher.fetchFile();
    QVERIFY(events.waitForCompletion());

    QCOMPARE(events.completions(), 1);
    QCOMPARE(events.result, QByteArray("first"));
    QVERIFY(busyInHandler);
    // Idle right after the handler: none of the starts above began a transfer.
    QVERIFY(!fetcher.isBusy());
    QCOMPARE(server.requestCount(), 1);
    QVERIFY(server.requests().constFirst().startsWith("GET /first HTTP/1.0\r\n"));
    QVERIFY(server.requests().constFirst().contains("\r\nUser-Agent: Orvane HTTPGet\r\n"));

    // Idle again: the next start runs, with the changed properties, and is the only request "other" sees.
    disconnect(restart);
    fetcher.setUrl(other.url("/third"));
    fetcher.fetchString();
    QVERIFY(QTest::qWaitFor([&] { return events.completions() == 2; }, EventWaitMs));
    drainEvents();
    QCOMPARE(events.completions(), 2);
    QCOMPARE(events.result, QByteArray("other"));
    QCOMPARE(other.requestCount(), 1);
    QVERIFY(other.requests().constFirst().startsWith("GET /third HTTP/1.0\r\n"));
    QVERIFY(other.requests().constFirst().contains("\r\nUser-Agent: changed\r\n"));
}

void TestFetcher::connectTimesOut() {
    StalledListener listener;
    if (!listener.stalls())
        QSKIP("a loopback connect cannot be kept pending here");
    HttpGet fetcher;
    Recorder events(fetcher);
    fetcher.setConnectTimeoutMs(300);
    fetcher.setUrl("http://127.0.0.1:" + QByteArray::number(listener.port()) + "/ASP/x.aspx");
    fetcher.fetchString();
    // Well before the idle time-out of 60 s.
    QVERIFY(events.waitForCompletion());
    QCOMPARE(events.failures, 1);
    QCOMPARE(events.error.kind, FetchFailure::Transfer);
}

enum class CancelWhen { WaitingForReply, InProgressHandler, ReplyInCompletionQueued };
Q_DECLARE_METATYPE(CancelWhen)

void TestFetcher::cancelEndsTransfer_data() {
    QTest::addColumn<CancelWhen>("when");
    QTest::newRow("waiting for the reply") << CancelWhen::WaitingForReply;
    QTest::newRow("in a progress handler, mid-file") << CancelWhen::InProgressHandler;
    QTest::newRow("reply in, completion not yet run") << CancelWhen::ReplyInCompletionQueued;
}

void TestFetcher::cancelEndsTransfer() {
    QFETCH(CancelWhen, when);
    const QByteArray reply = ScriptedServer::reply("200 OK", pattern(5000));
    ScriptedServer server;
    QVERIFY(server.isListening());
    switch (when) {
    case CancelWhen::WaitingForReply:
        server.setScript(Script().hang());
        break;
    case CancelWhen::InProgressHandler:
        server.setScript(Script().send(reply.chopped(4000)).hang());
        break;
    case CancelWhen::ReplyInCompletionQueued:
        server.setScript(Script().send(reply).hang());
        break;
    }
    QTemporaryDir dir(m_dir.filePath("cancelXXXXXX"));
    QVERIFY(dir.isValid());
    HttpGet fetcher;
    Recorder events(fetcher);
    // Only the cancel may end these transfers.
    fetcher.setIdleTimeoutMs(3600000);
    fetcher.setDeadlineMs(3600000);
    fetcher.cancelFetch(); // idle: nothing to cancel, nothing reported
    fetcher.setUrl(server.url("/update/Orvane.exe"));
    if (when == CancelWhen::InProgressHandler) {
        connect(&fetcher, &HttpGet::progress, &events.context, [&fetcher] { fetcher.cancelFetch(); });
        fetcher.setFileName(dir.filePath("Orvane.exe"));
        fetcher.fetchFile();
    } else {
        fetcher.fetchString();
    }
    if (when == CancelWhen::WaitingForReply) {
        QVERIFY(QTest::qWaitFor([&] { return server.requestCount() == 1; }, EventWaitMs));
        fetcher.cancelFetch();
    } else if (when == CancelWhen::ReplyInCompletionQueued) {
        // The client closes once libcurl is done with the reply; no event has run since the start.
        QVERIFY(spinUntil([&] { return server.clientCloses() == 1; }));
        fetcher.cancelFetch();
    }
    QVERIFY(fetcher.isBusy()); // until failed has run
    QVERIFY(events.waitForCompletion());
    drainEvents();

    QCOMPARE(events.failures, 1);
    QCOMPARE(events.completions(), 1);
    QCOMPARE(events.error.kind, FetchFailure::Cancelled);
    QVERIFY(!fetcher.isBusy());
    // Nothing but the failure follows a cancel, and a cancelled download leaves nothing behind.
    QCOMPARE(events.progress.size(), when == CancelWhen::InProgressHandler ? 1 : 0);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList());
}

void TestFetcher::busyUiThreadDoesNotHoldTheWorker() {
    // A handler that keeps the UI thread until the client has closed the connection, which it does only
    // once it has the whole reply: a worker that waited for the UI would never get there.
    const QByteArray body = pattern(3 * 1024 * 1024);
    ScriptedServer server;
    QVERIFY(server.isListening());
    server.setScript(Script().send(ScriptedServer::reply("200 OK", body)).hang());
    HttpGet fetcher;
    Recorder events(fetcher);
    int handlerRuns = 0;
    bool wholeReplyWhileBusy = false;
    connect(&fetcher, &HttpGet::progress, &events.context, [&] {
        if (handlerRuns++ == 0)
            wholeReplyWhileBusy = spinUntil([&] { return server.clientCloses() == 1; });
    });
    fetcher.setUrl(server.url("/ASP/getplayerinfo.aspx?pid=1"));
    fetcher.fetchString();
    QVERIFY(events.waitForCompletion());

    QVERIFY(wholeReplyWhileBusy);
    QCOMPARE(events.strings, 1);
    QVERIFY(events.result == body);
    // What arrived while the handler ran comes as one update with the latest counts.
    QVERIFY2(events.progress.size() <= 2, qPrintable(QString::number(events.progress.size())));
    QCOMPARE(events.progress.constLast(), qMakePair(qint64(body.size()), qint64(body.size())));
}

enum class DestroyWhen { WaitingForReply, InProgressHandler, ProgressQueued, CompletionQueued, InCompletionHandler };
Q_DECLARE_METATYPE(DestroyWhen)

void TestFetcher::destroyWhileBusy_data() {
    QTest::addColumn<DestroyWhen>("when");
    QTest::newRow("waiting for the reply") << DestroyWhen::WaitingForReply;
    QTest::newRow("in a progress handler") << DestroyWhen::InProgressHandler;
    QTest::newRow("progress handed over, not yet run") << DestroyWhen::ProgressQueued;
    QTest::newRow("completion handed over, not yet run") << DestroyWhen::CompletionQueued;
    QTest::newRow("in the completion handler") << DestroyWhen::InCompletionHandler;
}

void TestFetcher::destroyWhileBusy() {
    QFETCH(DestroyWhen, when);
    const QByteArray reply = ScriptedServer::reply("200 OK", pattern(5000));
    ScriptedServer server;
    QVERIFY(server.isListening());
    switch (when) {
    case DestroyWhen::WaitingForReply:
        server.setScript(Script().hang());
        break;
    case DestroyWhen::InProgressHandler:
    case DestroyWhen::ProgressQueued:
        server.setScript(Script().send(reply.chopped(4000)).hang());
        break;
    case DestroyWhen::CompletionQueued:
        server.setScript(Script().send(reply).hang());
        break;
    case DestroyWhen::InCompletionHandler:
        server.setScript(Script().send(reply));
        break;
    }
    auto* fetcher = new HttpGet;
    // A destruction that waited for a time-out would show in its duration.
    constexpr int LimitMs = 5000;
    fetcher->setIdleTimeoutMs(LimitMs);
    fetcher->setDeadlineMs(LimitMs);
    QPointer<HttpGet> alive(fetcher);
    Recorder events(*fetcher);
    QElapsedTimer clock;
    qint64 destroyMs = -1;
    const auto destroy = [&](HttpGet* target) {
        clock.start();
        delete target;
        destroyMs = clock.elapsed();
    };
    if (when == DestroyWhen::InProgressHandler)
        connect(fetcher, &HttpGet::progress, &events.context, [&](HttpGet* sender) { destroy(sender); });
    if (when == DestroyWhen::InCompletionHandler)
        connect(fetcher, &HttpGet::doneString, &events.context, [&](HttpGet* sender) { destroy(sender); });

    fetcher->setUrl(server.url("/ASP/x.aspx"));
    fetcher->fetchString();
    switch (when) {
    case DestroyWhen::WaitingForReply:
        QVERIFY(QTest::qWaitFor([&] { return server.requestCount() == 1; }, EventWaitMs));
        destroy(fetcher);
        break;
    case DestroyWhen::ProgressQueued:
        // No events run from here on. The pause lets the worker take the first bytes and post their
        // progress; were it slower, this would be the case above.
        QVERIFY(spinUntil([&] { return server.requestCount() == 1; }));
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        destroy(fetcher);
        break;
    case DestroyWhen::CompletionQueued:
        QVERIFY(spinUntil([&] { return server.clientCloses() == 1; }));
        destroy(fetcher);
        break;
    case DestroyWhen::InProgressHandler:
    case DestroyWhen::InCompletionHandler:
        QVERIFY(QTest::qWaitFor([&] { return alive.isNull(); }, EventWaitMs));
        break;
    }
    QVERIFY(alive.isNull());
    QVERIFY2(destroyMs >= 0 && destroyMs < LimitMs / 2, qPrintable(QString::number(destroyMs)));
    // The worker has been joined: whatever it posted is all there is, and none of it may arrive.
    const int before = events.completions() + int(events.progress.size());
    drainEvents();
    QCOMPARE(events.completions() + int(events.progress.size()), before);
    if (when != DestroyWhen::InCompletionHandler)
        QCOMPARE(events.completions(), 0);
}

void TestFetcher::waitThreadReturnsAfterCompletion() {
    ScriptedServer server;
    QVERIFY(server.isListening());
    server.setScript(Script().pause(100).send(ScriptedServer::reply("200 OK", "waited")));
    HttpGet fetcher;
    Recorder events(fetcher);
    bool dispatched = false;
    QTimer::singleShot(0, &events.context, [&] { dispatched = true; });
    fetcher.setWaitThread(true);
    fetcher.setUrl(server.url("/version.txt"));
    fetcher.fetchString();
    QCOMPARE(events.strings, 1);
    QCOMPARE(events.result, QByteArray("waited"));
    QVERIFY(!fetcher.isBusy());
    QVERIFY(dispatched); // other events ran while waiting
}

void TestFetcher::throwingHandlerLeavesComponentIdle() {
    ScriptedServer server;
    QVERIFY(server.isListening());
    server.setScript(Script().send(ScriptedServer::reply("200 OK", "reply")));
    HttpGet fetcher;
    Recorder events(fetcher);
    const auto thrower =
        connect(&fetcher, &HttpGet::doneString, &events.context, [] { throw std::runtime_error("malformed reply"); });
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("event handler failed.*malformed reply"));
    fetcher.setUrl(server.url("/ASP/x.aspx"));
    fetcher.fetchString();
    QVERIFY(QTest::qWaitFor([&] { return !fetcher.isBusy(); }, EventWaitMs));
    disconnect(thrower);
    fetcher.fetchString();
    QVERIFY(QTest::qWaitFor([&] { return events.completions() == 2; }, EventWaitMs));
    QCOMPARE(server.requestCount(), 2);
}

QTEST_GUILESS_MAIN(TestFetcher)
#include "test_fetcher.moc"
