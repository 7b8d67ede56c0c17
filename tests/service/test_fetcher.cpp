#include "scripted_server.h"
#include "service/httpget.h"
#include "test_files.h"

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

namespace {

constexpr int EventWaitMs = 10000;

// Everything a fetcher reported, in order.
struct Recorder {
    QObject context; // deliveries stop when the recorder goes
    QList<QPair<qint32, qint32>> progress;
    int strings = 0;
    int files = 0;
    int errors = 0;
    QByteArray result;
    QString fileName;
    qint32 fileSize = -1;
    bool foreignSender = false;

    explicit Recorder(THTTPGet& fetcher) {
        THTTPGet* expected = &fetcher;
        QObject::connect(&fetcher, &THTTPGet::OnProgress, &context, [this, expected](THTTPGet* s, qint32 t, qint32 r) {
            foreignSender |= s != expected;
            progress.append({t, r});
        });
        QObject::connect(&fetcher, &THTTPGet::OnDoneString, &context,
                         [this, expected](THTTPGet* s, const QByteArray& r) {
                             foreignSender |= s != expected;
                             ++strings;
                             result = r;
                         });
        QObject::connect(&fetcher, &THTTPGet::OnDoneFile, &context,
                         [this, expected](THTTPGet* s, const QString& name, qint32 size) {
                             foreignSender |= s != expected;
                             ++files;
                             fileName = name;
                             fileSize = size;
                         });
        QObject::connect(&fetcher, &THTTPGet::OnError, &context, [this, expected](THTTPGet* s) {
            foreignSender |= s != expected;
            ++errors;
        });
    }
    int completions() const { return strings + files + errors; }
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
    void fileReplies_data();
    void fileReplies();
    void requestOnWire_data();
    void requestOnWire();
    void portDefaultsTo80();
    void malformedUrls_data();
    void malformedUrls();
    void proxyFromEnvironment();
    void busyComponentIgnoresStarts();
    void silentServerTimesOut_data();
    void silentServerTimesOut();
    void connectTimesOut();
    void cancelEndsTransfer();
    void progressWaitsForHandler();
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
    QTest::addColumn<bool>("succeeds");
    QTest::addColumn<QByteArray>("result");
    QTest::addColumn<int>("totalSize");

    const QByteArray big = pattern(5000);
    const QByteArray bigHead = "HTTP/1.0 200 OK\r\n\r\n";
    const QByteArray nul("a\0b\0\0c", 6);
    const QByteArray page = "<html>no such page</html>";
    using S = ScriptedServer;

    QTest::newRow("with length") << Script().send(S::reply("200 OK", "hello")) << true << QByteArray("hello") << 5;
    QTest::newRow("error page") << Script().send(S::reply("404 Not Found", page)) << true << page << int(page.size());
    QTest::newRow("no length") << Script().send(S::reply("500 Internal Server Error", "oops", false)) << true
                               << QByteArray("oops") << 0;
    QTest::newRow("redirect, not followed")
        << Script().send(S::reply("302 Found", "moved", true, "Location: /elsewhere\r\n")) << true
        << QByteArray("moved") << 5;
    QTest::newRow("NUL bytes") << Script().send(S::reply("200 OK", nul)) << true << nul << 6;
    QTest::newRow("many blocks") << Script().send(S::reply("200 OK", big)) << true << big << 5000;
    QTest::newRow("many blocks in pieces, no length")
        << Script().send(bigHead + big.left(700)).pause(50).send(big.mid(700, 2300)).pause(50).send(big.mid(3000))
        << true << big << 0;
    QTest::newRow("dropped mid-body") << cutAfterBody(S::reply("200 OK", big), 1500) << true << big.left(1500) << 5000;
    QTest::newRow("empty body") << Script().send(S::reply("200 OK", "")) << false << QByteArray() << 0;
    QTest::newRow("empty body, no length")
        << Script().send(S::reply("200 OK", "", false)) << false << QByteArray() << 0;
    QTest::newRow("closed without a reply") << Script().close() << false << QByteArray() << 0;
    QTest::newRow("length not a number") << Script().send(
                                                "HTTP/1.0 200 OK\r\nContent-Length: twelve\r\n\r\nhello world!")
                                         << false << QByteArray() << 0;
    QTest::newRow("length beyond 32 bits")
        << Script().send("HTTP/1.0 200 OK\r\nContent-Length: 4294967301\r\n\r\nhello") << false << QByteArray() << 0;
}

void TestFetcher::textReplies() {
    QFETCH(Script, script);
    QFETCH(bool, succeeds);
    QFETCH(QByteArray, result);
    QFETCH(int, totalSize);

    ScriptedServer server;
    QVERIFY(server.isListening());
    server.setScript(script);
    THTTPGet fetcher;
    Recorder events(fetcher);
    fetcher.setURL(server.url("/ASP/getplayerinfo.aspx?pid=1"));
    fetcher.FetchString();
    QVERIFY(events.waitForCompletion());

    QCOMPARE(events.completions(), 1);
    QCOMPARE(events.strings, succeeds ? 1 : 0);
    QCOMPARE(events.result, result);
    QCOMPARE(server.requestCount(), 1);
    QVERIFY(!events.foreignSender);
    QVERIFY(!fetcher.isBusy());
    // One progress event per block of at most 1025 bytes, counting up to what arrived.
    qint32 readed = 0;
    for (const auto& [total, now] : events.progress) {
        QCOMPARE(total, totalSize);
        QVERIFY2(now > readed && now - readed <= 1025, qPrintable(QString("%1 after %2").arg(now).arg(readed)));
        readed = now;
    }
    if (succeeds)
        QCOMPARE(readed, qint32(result.size()));
}

void TestFetcher::fileReplies_data() {
    QTest::addColumn<Script>("script");
    QTest::addColumn<bool>("binaryData");
    QTest::addColumn<bool>("reachable");
    QTest::addColumn<bool>("creatable");
    QTest::addColumn<QByteArray>("before"); // null: no file before the fetch
    QTest::addColumn<bool>("succeeds");
    QTest::addColumn<QByteArray>("after"); // null: no file after the fetch
    using S = ScriptedServer;
    const QByteArray body = pattern(3000);
    const QByteArray none;

    QTest::newRow("with length") << Script().send(S::reply("200 OK", body)) << false << true << true << none << true
                                 << body;
    QTest::newRow("older file overwritten") << Script().send(S::reply("200 OK", "new")) << false << true << true
                                            << QByteArray("an older and longer file") << true << QByteArray("new");
    QTest::newRow("BinaryData with length")
        << Script().send(S::reply("200 OK", body)) << true << true << true << none << true << body;
    QTest::newRow("no length") << Script().send(S::reply("200 OK", body, false)) << false << true << true << none
                               << false << body;
    QTest::newRow("short body") << cutAfterBody(S::reply("200 OK", body), 1000) << false << true << true << none
                                << false << body.left(1000);
    QTest::newRow("BinaryData, no length")
        << Script().send(S::reply("200 OK", body, false)) << true << true << true << none << false << none;
    QTest::newRow("empty body, no length")
        << Script().send(S::reply("200 OK", "", false)) << false << true << true << none << false << QByteArray("");
    QTest::newRow("length 0") << Script().send(S::reply("200 OK", "")) << false << true << true << none << false
                              << QByteArray("");
    QTest::newRow("unreachable, BinaryData") << Script() << true << false << true << none << false << none;
    QTest::newRow("target cannot be created")
        << Script().send(S::reply("200 OK", body)) << false << true << false << none << false << none;
}

void TestFetcher::fileReplies() {
    QFETCH(Script, script);
    QFETCH(bool, binaryData);
    QFETCH(bool, reachable);
    QFETCH(bool, creatable);
    QFETCH(QByteArray, before);
    QFETCH(bool, succeeds);
    QFETCH(QByteArray, after);

    ScriptedServer server;
    QVERIFY(server.isListening());
    server.setScript(script);
    const QString path = m_dir.filePath(creatable ? QString("%1.bin").arg(QTest::currentDataTag())
                                                  : QString("missing/folder/target.bin"));
    QFile::remove(path);
    if (!before.isNull()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(before);
    }

    THTTPGet fetcher;
    Recorder events(fetcher);
    fetcher.setBinaryData(binaryData);
    fetcher.setFileName(path);
    const QByteArray address =
        reachable ? server.hostPort() : "127.0.0.1:" + QByteArray::number(ScriptedServer::refusingPort());
    fetcher.setURL("http://" + address + "/update/Orvane.exe");
    fetcher.FetchFile();
    QVERIFY(events.waitForCompletion());

    QCOMPARE(events.completions(), 1);
    QCOMPARE(events.files, succeeds ? 1 : 0);
    QVERIFY(!events.foreignSender);
    if (succeeds) {
        QCOMPARE(events.fileName, path);
        QCOMPARE(events.fileSize, qint32(after.size()));
    }
    QCOMPARE(QFile::exists(path), !after.isNull());
    if (!after.isNull())
        QCOMPARE(readFile(path), after);
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
    THTTPGet fetcher;
    Recorder events(fetcher);
    fetcher.setURL(prefix + server.hostPort() + object);
    fetcher.setAgent(agent);
    fetcher.setAcceptTypes(acceptTypes);
    fetcher.setUseCache(useCache);
    fetcher.setReferer(referer);
    fetcher.setUserName(userName);
    fetcher.setPassword(password);
    fetcher.setPostQuery(postQuery);
    fetcher.FetchString();
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
    THTTPGet fetcher;
    Recorder events(fetcher);
    fetcher.setURL("127.0.0.1/ASP/x.aspx");
    fetcher.FetchString();
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
    THTTPGet fetcher;
    Recorder events(fetcher);
    fetcher.setURL(url.replace("PORT", QByteArray::number(server.port())));
    fetcher.FetchString();
    QVERIFY(events.waitForCompletion());
    QCOMPARE(events.errors, 1);
    QCOMPARE(events.completions(), 1);
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
    THTTPGet fetcher;
    Recorder events(fetcher);
    // The proxy answers for the host; nothing is resolved or sent beyond loopback.
    fetcher.setURL("http://stats.invalid:8080/ASP/searchforplayers.aspx?nick=a b");
    fetcher.FetchString();
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
    THTTPGet fetcher;
    Recorder events(fetcher);
    bool busyInHandler = false;
    const auto restart = connect(&fetcher, &THTTPGet::OnDoneString, &events.context, [&] {
        busyInHandler = fetcher.isBusy();
        fetcher.setURL(other.url("/from-handler"));
        fetcher.FetchString();
        fetcher.FetchFile();
    });

    fetcher.setURL(server.url("/first"));
    fetcher.FetchString();
    QVERIFY(fetcher.isBusy());
    // Changes during a transfer belong to the next one.
    fetcher.setURL(other.url("/second"));
    fetcher.setAgent("changed");
    fetcher.FetchString();
    fetcher.FetchFile();
    QVERIFY(events.waitForCompletion());
    QTest::qWait(300); // room for a stray request or event to show

    QCOMPARE(events.completions(), 1);
    QCOMPARE(events.result, QByteArray("first"));
    QVERIFY(busyInHandler);
    QVERIFY(!fetcher.isBusy());
    QCOMPARE(server.requestCount(), 1);
    QVERIFY(server.requests().constFirst().startsWith("GET /first HTTP/1.0\r\n"));
    QVERIFY(server.requests().constFirst().contains("\r\nUser-Agent: Orvane HTTPGet\r\n"));
    QCOMPARE(other.requestCount(), 0);

    // Idle again: the next start runs, with the changed properties.
    disconnect(restart);
    fetcher.setURL(other.url("/third"));
    fetcher.FetchString();
    QVERIFY(QTest::qWaitFor([&] { return events.completions() == 2; }, EventWaitMs));
    QCOMPARE(events.result, QByteArray("other"));
    QCOMPARE(other.requestCount(), 1);
    QVERIFY(other.requests().constFirst().contains("\r\nUser-Agent: changed\r\n"));
}

void TestFetcher::silentServerTimesOut_data() {
    QTest::addColumn<Script>("script");
    QTest::newRow("never answers") << Script().hang();
    QTest::newRow("headers, then silence") << Script().send("HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\n").hang();
    QTest::newRow("part of the body, then silence")
        << Script().send("HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\n0123456789").hang();
}

void TestFetcher::silentServerTimesOut() {
    QFETCH(Script, script);
    ScriptedServer server;
    QVERIFY(server.isListening());
    server.setScript(script);
    THTTPGet fetcher;
    Recorder events(fetcher);
    fetcher.setIdleTimeoutMs(300);
    fetcher.setURL(server.url("/ASP/x.aspx"));
    fetcher.FetchString();
    QVERIFY(events.waitForCompletion());
    QCOMPARE(events.errors, 1);
    QCOMPARE(events.completions(), 1);
    QVERIFY(!fetcher.isBusy());
}

void TestFetcher::connectTimesOut() {
    StalledListener listener;
    if (!listener.stalls())
        QSKIP("a loopback connect cannot be kept pending here");
    THTTPGet fetcher;
    Recorder events(fetcher);
    fetcher.setConnectTimeoutMs(300);
    fetcher.setURL("http://127.0.0.1:" + QByteArray::number(listener.port()) + "/ASP/x.aspx");
    fetcher.FetchString();
    // Well before the idle time-out of 60 s.
    QVERIFY(events.waitForCompletion());
    QCOMPARE(events.errors, 1);
}

void TestFetcher::cancelEndsTransfer() {
    ScriptedServer server;
    QVERIFY(server.isListening());
    server.setScript(Script().hang());
    THTTPGet fetcher;
    Recorder events(fetcher);
    fetcher.CancelFetch(); // idle: nothing to cancel, nothing reported
    fetcher.setURL(server.url("/ASP/x.aspx"));
    fetcher.FetchString();
    QVERIFY(QTest::qWaitFor([&] { return server.requestCount() == 1; }, EventWaitMs));
    fetcher.CancelFetch();
    QVERIFY(fetcher.isBusy()); // until OnError has run
    QVERIFY(events.waitForCompletion());
    QCOMPARE(events.errors, 1);
    QCOMPARE(events.completions(), 1);
    QVERIFY(!fetcher.isBusy());
}

void TestFetcher::progressWaitsForHandler() {
    // The worker may not read on while a progress handler runs: a cancel from the first handler leaves
    // exactly one block in the file, however long the handler took.
    ScriptedServer server;
    QVERIFY(server.isListening());
    server.setScript(Script().send(ScriptedServer::reply("200 OK", pattern(5000))));
    const QString path = m_dir.filePath("cancelled.bin");
    THTTPGet fetcher;
    Recorder events(fetcher);
    connect(&fetcher, &THTTPGet::OnProgress, &events.context, [&fetcher] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        fetcher.CancelFetch();
    });
    fetcher.setFileName(path);
    fetcher.setURL(server.url("/update/Orvane.exe"));
    fetcher.FetchFile();
    QVERIFY(events.waitForCompletion());
    QCOMPARE(events.errors, 1);
    QCOMPARE(events.progress.size(), 1);
    const auto [total, readed] = events.progress.constFirst();
    QCOMPARE(total, 5000);
    QVERIFY(readed > 0 && readed <= 1025);
    QCOMPARE(readFile(path).size(), readed);
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
    ScriptedServer server;
    QVERIFY(server.isListening());
    server.setScript(when == DestroyWhen::WaitingForReply
                         ? Script().hang()
                         : Script().send(ScriptedServer::reply("200 OK", pattern(5000))));
    auto* fetcher = new THTTPGet;
    fetcher->setIdleTimeoutMs(3600000); // only the destruction may end the transfer early
    QPointer<THTTPGet> alive(fetcher);
    Recorder events(*fetcher);
    if (when == DestroyWhen::InProgressHandler)
        connect(fetcher, &THTTPGet::OnProgress, &events.context, [&](THTTPGet* sender) { delete sender; });
    if (when == DestroyWhen::InCompletionHandler)
        connect(fetcher, &THTTPGet::OnDoneString, &events.context, [&](THTTPGet* sender) { delete sender; });
    if (when == DestroyWhen::CompletionQueued)
        disconnect(fetcher, &THTTPGet::OnProgress, nullptr, nullptr); // the worker runs straight to its end

    fetcher->setURL(server.url("/ASP/x.aspx"));
    fetcher->FetchString();
    switch (when) {
    case DestroyWhen::WaitingForReply:
        QVERIFY(QTest::qWaitFor([&] { return server.requestCount() == 1; }, EventWaitMs));
        delete fetcher;
        break;
    case DestroyWhen::ProgressQueued:
    case DestroyWhen::CompletionQueued:
        // No events run meanwhile: the worker hands over and waits, or ends.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        delete fetcher;
        break;
    case DestroyWhen::InProgressHandler:
    case DestroyWhen::InCompletionHandler:
        QVERIFY(QTest::qWaitFor([&] { return alive.isNull(); }, EventWaitMs));
        break;
    }
    QVERIFY(alive.isNull());
    const int before = events.completions() + int(events.progress.size());
    QTest::qWait(200);
    QCOMPARE(events.completions() + int(events.progress.size()), before);
    if (when != DestroyWhen::InCompletionHandler)
        QCOMPARE(events.completions(), 0);
}

void TestFetcher::waitThreadReturnsAfterCompletion() {
    ScriptedServer server;
    QVERIFY(server.isListening());
    server.setScript(Script().pause(100).send(ScriptedServer::reply("200 OK", "waited")));
    THTTPGet fetcher;
    Recorder events(fetcher);
    bool dispatched = false;
    QTimer::singleShot(0, &events.context, [&] { dispatched = true; });
    fetcher.setWaitThread(true);
    fetcher.setURL(server.url("/version.txt"));
    fetcher.FetchString();
    QCOMPARE(events.strings, 1);
    QCOMPARE(events.result, QByteArray("waited"));
    QVERIFY(!fetcher.isBusy());
    QVERIFY(dispatched); // other events ran while waiting
}

void TestFetcher::throwingHandlerLeavesComponentIdle() {
    ScriptedServer server;
    QVERIFY(server.isListening());
    server.setScript(Script().send(ScriptedServer::reply("200 OK", "reply")));
    THTTPGet fetcher;
    Recorder events(fetcher);
    const auto thrower = connect(&fetcher, &THTTPGet::OnDoneString, &events.context,
                                 [] { throw std::runtime_error("malformed reply"); });
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("event handler failed.*malformed reply"));
    fetcher.setURL(server.url("/ASP/x.aspx"));
    fetcher.FetchString();
    QVERIFY(QTest::qWaitFor([&] { return !fetcher.isBusy(); }, EventWaitMs));
    disconnect(thrower);
    fetcher.FetchString();
    QVERIFY(QTest::qWaitFor([&] { return events.completions() == 2; }, EventWaitMs));
    QCOMPARE(server.requestCount(), 2);
}

QTEST_GUILESS_MAIN(TestFetcher)
#include "test_fetcher.moc"
