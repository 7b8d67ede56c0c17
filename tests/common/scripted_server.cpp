#include "scripted_server.h"

#include <arpa/inet.h>
#include <cerrno>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

sockaddr_in loopback(quint16 port) {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return addr;
}

// The Content-Length of a request's headers, 0 when it has none.
qsizetype requestBodyLength(const QByteArray& head) {
    for (const QByteArray& line : head.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().compare("Content-Length", Qt::CaseInsensitive) == 0)
            return line.mid(colon + 1).trimmed().toLongLong();
    }
    return 0;
}

} // namespace

ScriptedServer::Script& ScriptedServer::Script::send(QByteArrayView bytes) {
    m_steps.push_back({Step::Send, bytes.toByteArray(), 0});
    return *this;
}

ScriptedServer::Script& ScriptedServer::Script::pause(int ms) {
    m_steps.push_back({Step::Pause, {}, ms});
    return *this;
}

ScriptedServer::Script& ScriptedServer::Script::close() {
    m_steps.push_back({Step::Close, {}, 0});
    return *this;
}

ScriptedServer::Script& ScriptedServer::Script::hang() {
    m_steps.push_back({Step::Hang, {}, 0});
    return *this;
}

ScriptedServer::Script& ScriptedServer::Script::dropAfter(QByteArrayView bytes, qsizetype n) {
    return send(bytes.first(qBound(qsizetype(0), n, bytes.size()))).close();
}

ScriptedServer::Script& ScriptedServer::Script::reset() {
    m_steps.push_back({Step::Reset, {}, 0});
    return *this;
}

struct ScriptedServer::Impl {
    int listener = -1;
    int wakeRead = -1; // readable once the server stops: ends every wait
    int wakeWrite = -1;
    quint16 port = 0;
    std::thread acceptor;

    mutable std::mutex mutex;
    std::vector<std::thread> connections;
    Script standing;
    Responder responder;
    QList<QByteArray> requests;
    qsizetype clientCloses = 0;

    Script nextScript(const QByteArray& request) {
        std::lock_guard lock(mutex);
        return responder ? responder(request) : standing;
    }

    // Waits until fd is readable (or, with fd < 0, for ms); false when the server stops first.
    bool wait(int fd, int ms) const {
        pollfd fds[2] = {{wakeRead, POLLIN, 0}, {fd, POLLIN, 0}};
        for (;;) {
            const int rc = ::poll(fds, fd < 0 ? 1 : 2, ms);
            if (rc < 0 && errno == EINTR)
                continue;
            if (rc < 0 || (fds[0].revents & POLLIN))
                return false;
            return fd < 0 ? rc == 0 : rc > 0;
        }
    }

    void acceptLoop() {
        for (;;) {
            if (!wait(listener, -1))
                return;
            const int fd = ::accept(listener, nullptr, nullptr);
            if (fd < 0)
                continue;
            std::lock_guard lock(mutex);
            connections.emplace_back([this, fd] { serve(fd); });
        }
    }

    // Reads one request: the headers up to the blank line, then the body its Content-Length announces.
    QByteArray readRequest(int fd) const {
        QByteArray data;
        qsizetype wanted = -1;
        char buffer[4096];
        while (wanted < 0 || data.size() < wanted) {
            if (!wait(fd, -1))
                break;
            const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
            if (got <= 0)
                break;
            data.append(buffer, got);
            const qsizetype end = data.indexOf("\r\n\r\n");
            if (wanted < 0 && end >= 0)
                wanted = end + 4 + requestBodyLength(data.left(end));
        }
        return data;
    }

    void serve(int fd) {
        const QByteArray request = readRequest(fd);
        if (!request.isEmpty()) {
            std::lock_guard lock(mutex);
            requests.append(request);
        }
        const Script script = nextScript(request);
        for (const Step& step : script.steps()) {
            if (step.kind == Step::Send) {
                qsizetype sent = 0;
                while (sent < step.bytes.size()) {
                    const ssize_t n =
                        ::send(fd, step.bytes.constData() + sent, size_t(step.bytes.size() - sent), MSG_NOSIGNAL);
                    if (n <= 0)
                        break;
                    sent += n;
                }
            } else if (step.kind == Step::Pause) {
                if (!wait(-1, step.ms))
                    break;
            } else if (step.kind == Step::Close) {
                break;
            } else if (step.kind == Step::Hang) {
                char byte;
                // Ends when the server stops or the client goes away.
                bool open = true;
                while ((open = wait(fd, -1)) && ::recv(fd, &byte, 1, 0) > 0) {
                }
                if (open) {
                    std::lock_guard lock(mutex);
                    ++clientCloses;
                }
                break;
            } else if (step.kind == Step::Reset) {
                // A zero linger time makes close() send RST and drop whatever is still unsent.
                const linger abort{1, 0};
                ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
                ::close(fd);
                return;
            }
        }
        ::shutdown(fd, SHUT_WR);
        ::close(fd);
    }
};

ScriptedServer::ScriptedServer(quint16 port) : d(std::make_unique<Impl>()) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return;
    d->wakeRead = pipeFds[0];
    d->wakeWrite = pipeFds[1];
    d->listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (d->listener < 0)
        return;
    const int yes = 1;
    ::setsockopt(d->listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in addr = loopback(port);
    socklen_t length = sizeof addr;
    if (::bind(d->listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(d->listener, 64) != 0 ||
        ::getsockname(d->listener, reinterpret_cast<sockaddr*>(&addr), &length) != 0) {
        ::close(d->listener);
        d->listener = -1;
        return;
    }
    d->port = ntohs(addr.sin_port);
    d->acceptor = std::thread([impl = d.get()] { impl->acceptLoop(); });
}

ScriptedServer::~ScriptedServer() {
    if (d->wakeWrite >= 0) {
        const char stop = 1;
        [[maybe_unused]] const ssize_t n = ::write(d->wakeWrite, &stop, 1);
    }
    if (d->acceptor.joinable())
        d->acceptor.join();
    // The acceptor has ended, so the list of connections no longer grows.
    for (std::thread& connection : d->connections)
        connection.join();
    for (const int fd : {d->listener, d->wakeRead, d->wakeWrite})
        if (fd >= 0)
            ::close(fd);
}

bool ScriptedServer::isListening() const {
    return d->port != 0;
}

quint16 ScriptedServer::port() const {
    return d->port;
}

QByteArray ScriptedServer::hostPort() const {
    return "127.0.0.1:" + QByteArray::number(d->port);
}

QByteArray ScriptedServer::url(QByteArrayView pathAndQuery) const {
    return "http://" + hostPort() + pathAndQuery.toByteArray();
}

void ScriptedServer::setScript(const Script& script) {
    std::lock_guard lock(d->mutex);
    d->standing = script;
}

void ScriptedServer::setResponder(Responder responder) {
    std::lock_guard lock(d->mutex);
    d->responder = std::move(responder);
}

QList<QByteArray> ScriptedServer::requests() const {
    std::lock_guard lock(d->mutex);
    return d->requests;
}

qsizetype ScriptedServer::requestCount() const {
    std::lock_guard lock(d->mutex);
    return d->requests.size();
}

qsizetype ScriptedServer::clientCloses() const {
    std::lock_guard lock(d->mutex);
    return d->clientCloses;
}

QByteArray ScriptedServer::reply(QByteArrayView status, QByteArrayView body, bool contentLength,
                                 QByteArrayView extraHeaders) {
    QByteArray out = "HTTP/1.0 " + status.toByteArray() + "\r\n";
    if (contentLength)
        out += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    out += extraHeaders.toByteArray();
    out += "\r\n";
    out += body.toByteArray();
    return out;
}

quint16 ScriptedServer::refusingPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return 0;
    sockaddr_in addr = loopback(0);
    socklen_t length = sizeof addr;
    quint16 port = 0;
    // A port the system just handed out and nobody listens on.
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &length) == 0)
        port = ntohs(addr.sin_port);
    ::close(fd);
    return port;
}
