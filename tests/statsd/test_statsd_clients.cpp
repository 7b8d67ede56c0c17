// orvane-statsd against clients that are slow, idle, greedy or speak other methods: the real binary
// on loopback, driven over plain sockets.

#include "statsd_process.h"

#include <QElapsedTimer>
#include <QTest>
#include <arpa/inet.h>
#include <chrono>
#include <memory>
#include <netinet/in.h>
#include <optional>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

const QByteArray AwardsTarget = "/ASP/getawardsinfo.aspx?pid=45000001";

// An open client socket, closed with the object.
class Socket final {
public:
    explicit Socket(quint16 port) {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (m_fd >= 0 && ::connect(m_fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~Socket() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    Socket(Socket&& other) noexcept : m_fd(other.m_fd), m_in(std::move(other.m_in)) { other.m_fd = -1; }

    bool isOpen() const { return m_fd >= 0; }

    bool send(const QByteArray& bytes) {
        qsizetype sent = 0;
        while (sent < bytes.size()) {
            const ssize_t n =
                ::send(m_fd, bytes.constData() + sent, static_cast<size_t>(bytes.size() - sent), MSG_NOSIGNAL);
            if (n <= 0) {
                return false;
            }
            sent += n;
        }
        return true;
    }

    // Waits up to timeoutMs for bytes; false when none came. Closed tells whether the server closed.
    bool receive(int timeoutMs) {
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) <= 0) {
            return false;
        }
        char buffer[16384];
        const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, 0);
        if (n <= 0) {
            m_closed = true;
            return false;
        }
        m_in.append(buffer, n);
        return true;
    }

    // True once the server has closed its side (waiting at most timeoutMs for that).
    bool closedWithin(int timeoutMs) {
        QElapsedTimer timer;
        timer.start();
        while (!m_closed && timer.elapsed() < timeoutMs) {
            receive(int(std::max<qint64>(1, timeoutMs - timer.elapsed())));
        }
        return m_closed;
    }

    // One whole reply (head and Content-Length body) taken from what came in; nothing on timeout.
    struct Reply {
        int status = 0;
        QByteArray head;
        QByteArray body;
        QByteArray header(const QByteArray& name) const {
            for (const QByteArray& line : head.split('\n')) {
                const qsizetype colon = line.indexOf(':');
                if (colon > 0 && line.left(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0) {
                    return line.mid(colon + 1).trimmed();
                }
            }
            return {};
        }
    };
    std::optional<Reply> reply(int timeoutMs = 5000, bool headOnly = false) {
        QElapsedTimer timer;
        timer.start();
        for (;;) {
            const qsizetype end = m_in.indexOf("\r\n\r\n");
            if (end >= 0) {
                Reply r;
                r.head = m_in.left(end);
                r.status = m_in.mid(9, 3).toInt();
                const qsizetype length = headOnly ? 0 : r.header("Content-Length").toLongLong();
                if (m_in.size() - end - 4 >= length) {
                    r.body = m_in.mid(end + 4, length);
                    m_in.remove(0, end + 4 + length);
                    return r;
                }
            }
            if (m_closed || timer.elapsed() >= timeoutMs) {
                return std::nullopt;
            }
            receive(int(std::max<qint64>(1, timeoutMs - timer.elapsed())));
        }
    }

private:
    int m_fd = -1;
    QByteArray m_in;
    bool m_closed = false;
};

QByteArray request(const QByteArray& method, const QByteArray& target, const QByteArray& version = "HTTP/1.1") {
    return method + " " + target + " " + version + "\r\nHost: 127.0.0.1\r\nUser-Agent: GameSpyHTTP/1.0\r\n\r\n";
}

void raiseDescriptorLimit() {
    rlimit files{};
    if (::getrlimit(RLIMIT_NOFILE, &files) == 0) {
        files.rlim_cur = files.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &files);
    }
}

} // namespace

class TestStatsdClients final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void slowAndIdleClientsDoNotStarveOthers();
    void connectionCapClosesOldestIdle();
    void wholeRequestDeadline();
    void methods_data();
    void methods();
    void keepAliveLimitAndPipelining();
    void replyDelay();
    void cleanupTestCase();

private:
    std::unique_ptr<StatsdProcess> m_shared;
};

void TestStatsdClients::initTestCase() {
    raiseDescriptorLimit();
    m_shared = std::make_unique<StatsdProcess>(QStringList{QStringLiteral("--quiet")});
    QVERIFY2(m_shared->isReady(), qPrintable(m_shared->errorString()));
}

void TestStatsdClients::cleanupTestCase() {
    QVERIFY(m_shared->stop());
}

void TestStatsdClients::slowAndIdleClientsDoNotStarveOthers() {
    StatsdProcess server({QStringLiteral("--threads"), QStringLiteral("2"), QStringLiteral("--quiet")});
    QVERIFY2(server.isReady(), qPrintable(server.errorString()));
    std::vector<Socket> idle;
    for (int i = 0; i < 1000; ++i) {
        idle.emplace_back(server.port());
        QVERIFY(idle.back().isOpen());
    }
    std::vector<Socket> slow;
    for (int i = 0; i < 32; ++i) {
        slow.emplace_back(server.port());
        // Headers that never end.
        QVERIFY(slow.back().send("GET /ASP/getawardsinfo.aspx?pid=45000001 HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Slow: "));
    }
    for (int round = 0; round < 3; ++round) {
        QElapsedTimer timer;
        timer.start();
        Socket fresh(server.port());
        QVERIFY(fresh.send(request("GET", AwardsTarget)));
        const auto reply = fresh.reply(2000); // a starved service took 10-20 s here
        QVERIFY(reply.has_value());
        QCOMPARE(reply->status, 200);
        qInfo("fresh request answered in %lld ms beside 1000 idle and 32 slow clients", timer.elapsed());
    }
    // They were really held open meanwhile, not dropped to make room.
    for (Socket& s : idle) {
        QVERIFY(!s.closedWithin(0));
    }
    for (Socket& s : slow) {
        QVERIFY(!s.closedWithin(0));
    }
}

void TestStatsdClients::connectionCapClosesOldestIdle() {
    StatsdProcess server({QStringLiteral("--max-connections"), QStringLiteral("4"), QStringLiteral("--quiet")});
    QVERIFY2(server.isReady(), qPrintable(server.errorString()));
    // Each one answered once, so the service holds them idle in this order.
    std::vector<Socket> kept;
    for (int i = 0; i < 4; ++i) {
        kept.emplace_back(server.port());
        QVERIFY(kept.back().send(request("GET", AwardsTarget)));
        QVERIFY(kept.back().reply().has_value());
    }
    Socket fifth(server.port());
    QVERIFY(fifth.send(request("GET", AwardsTarget)));
    const auto reply = fifth.reply();
    QVERIFY(reply.has_value());
    QCOMPARE(reply->status, 200);
    QVERIFY(kept[0].closedWithin(2000)); // the oldest idle one made room
    for (int i = 1; i < 4; ++i) {
        QVERIFY(!kept[i].closedWithin(0));
    }
    QVERIFY(kept[3].send(request("GET", AwardsTarget))); // those left are still served
    QVERIFY(kept[3].reply().has_value());
}

void TestStatsdClients::wholeRequestDeadline() {
    StatsdProcess server({QStringLiteral("--request-timeout-ms"), QStringLiteral("300"), QStringLiteral("--quiet")});
    QVERIFY2(server.isReady(), qPrintable(server.errorString()));
    // A byte every 50 ms keeps every single read short; only a deadline for the whole head ends it.
    Socket slow(server.port());
    const QByteArray head = "GET /ASP/getawardsinfo.aspx?pid=45000001 HTTP/1.1\r\nX-Slow: " + QByteArray(400, 'x');
    bool closed = false;
    for (qsizetype i = 0; i < head.size() && !closed; ++i) {
        if (!slow.send(head.mid(i, 1))) {
            closed = true;
            break;
        }
        closed = slow.closedWithin(50);
    }
    QVERIFY2(closed || slow.closedWithin(2000), "a client trickling its headers was never cut off");
    // A client that sends its request at once is answered.
    Socket quick(server.port());
    QVERIFY(quick.send(request("GET", AwardsTarget)));
    QVERIFY(quick.reply().has_value());
}

void TestStatsdClients::methods_data() {
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<QByteArray>("target");
    QTest::addColumn<int>("status");
    for (const char* method : {"POST", "PUT", "DELETE", "OPTIONS", "PATCH"}) {
        QTest::addRow("%s on a page", method) << QByteArray(method) << AwardsTarget << 405;
    }
    QTest::newRow("POST elsewhere") << QByteArray("POST") << QByteArray("/nothing/here") << 404;
    QTest::newRow("HEAD on a page") << QByteArray("HEAD") << AwardsTarget << 200;
}

void TestStatsdClients::methods() {
    QFETCH(QByteArray, method);
    QFETCH(QByteArray, target);
    QFETCH(int, status);
    StatsdProcess& server = *m_shared;
    Socket client(server.port());
    QVERIFY(client.send(request(method, target)));
    const auto reply = client.reply(5000, method == "HEAD");
    QVERIFY(reply.has_value());
    QCOMPARE(reply->status, status);
    if (status == 405) {
        QCOMPARE(reply->header("Allow"), "GET, HEAD");
    }
    if (method == "HEAD") {
        // The head of the GET reply, without its body.
        Socket get(server.port());
        QVERIFY(get.send(request("GET", target)));
        const auto full = get.reply();
        QVERIFY(full.has_value());
        QCOMPARE(reply->header("Content-Length"), QByteArray::number(full->body.size()));
        // Nothing of a body came after the head: the next reply on the connection starts clean.
        QVERIFY(client.send(request("GET", target)));
        const auto next = client.reply();
        QVERIFY(next.has_value());
        QCOMPARE(next->status, 200);
        QVERIFY(next->body.startsWith("O\nH\tpid\tasof"));
    }
}

void TestStatsdClients::keepAliveLimitAndPipelining() {
    StatsdProcess server({QStringLiteral("--keep-alive-max"), QStringLiteral("3"), QStringLiteral("--quiet")});
    QVERIFY2(server.isReady(), qPrintable(server.errorString()));
    Socket client(server.port());
    // Four requests in one go: three are answered in order, then the connection ends.
    QVERIFY(client.send(request("GET", AwardsTarget) + request("GET", "/ASP/getunlocksinfo.aspx?pid=45000001") +
                        request("GET", AwardsTarget) + request("GET", AwardsTarget)));
    QList<QByteArray> connectionHeaders;
    QList<QByteArray> firstLines;
    while (const auto reply = client.reply(3000)) {
        connectionHeaders << reply->header("Connection");
        firstLines << reply->body.left(reply->body.indexOf('\n', 2));
    }
    QCOMPARE(connectionHeaders, (QList<QByteArray>{"keep-alive", "keep-alive", "close"}));
    QCOMPARE(firstLines[0], "O\nH\tpid\tasof");
    QCOMPARE(firstLines[1], "O\nH\tpid\tnick\tasof");
    QVERIFY(client.closedWithin(3000));

    // HTTP/1.0 without a keep-alive request: one reply, then closed.
    Socket old(server.port());
    QVERIFY(old.send(request("GET", AwardsTarget, "HTTP/1.0")));
    const auto reply = old.reply();
    QVERIFY(reply.has_value());
    QCOMPARE(reply->header("Connection"), "close");
    QVERIFY(old.closedWithin(3000));
}

void TestStatsdClients::replyDelay() {
    StatsdProcess server({QStringLiteral("--reply-delay-ms"), QStringLiteral("300"), QStringLiteral("--quiet")});
    QVERIFY2(server.isReady(), qPrintable(server.errorString()));
    // Several at once: the delay holds each reply back without holding up the others behind it.
    std::vector<Socket> clients;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < 8; ++i) {
        clients.emplace_back(server.port());
        QVERIFY(clients.back().send(request("GET", AwardsTarget)));
    }
    for (Socket& client : clients) {
        const auto reply = client.reply(10000);
        QVERIFY(reply.has_value());
        QCOMPARE(reply->status, 200);
    }
    QVERIFY(timer.elapsed() >= 300);
}

QTEST_GUILESS_MAIN(TestStatsdClients)
#include "test_statsd_clients.moc"
