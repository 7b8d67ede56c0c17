#include "http_server.h"

#include "text.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <limits>
#include <mutex>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <set>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <unordered_map>

namespace http {
namespace {

using Clock = std::chrono::steady_clock;
using TimePoint = Clock::time_point;
using Ms = std::chrono::milliseconds;

constexpr int ListenBacklog = 1024;
constexpr std::size_t MaxHeaderLines = 100;
constexpr std::size_t ReadChunk = 16384;
// With other loops waiting, a loop takes this many new connections at a time and leaves the rest to
// whichever wakes next.
constexpr int AcceptsPerWake = 16;

bool isTokenChar(char c) {
    const auto b = static_cast<unsigned char>(c);
    if (b <= 0x20 || b >= 0x7F) {
        return false;
    }
    return std::strchr("()<>@,;:\\\"/[]?={}", c) == nullptr;
}

std::string trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return std::string(s);
}

// Where the head ends (just past its empty line) in a buffer that may hold more; npos when not yet.
// Lines end with CRLF or, leniently, with a bare LF.
std::size_t headEnd(std::string_view buffer) {
    for (std::size_t lf = buffer.find('\n'); lf != std::string_view::npos; lf = buffer.find('\n', lf + 1)) {
        const std::size_t next = lf + 1;
        if (next < buffer.size() && buffer[next] == '\n') {
            return next + 1;
        }
        if (next + 1 < buffer.size() && buffer[next] == '\r' && buffer[next + 1] == '\n') {
            return next + 2;
        }
    }
    return std::string_view::npos;
}

void setNonBlocking(int fd) {
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL, 0) | O_NONBLOCK);
}

std::string addressText(const sockaddr_storage& address) {
    char host[INET6_ADDRSTRLEN] = "-";
    if (address.ss_family == AF_INET) {
        ::inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in&>(address).sin_addr, host, sizeof host);
    } else if (address.ss_family == AF_INET6) {
        ::inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6&>(address).sin6_addr, host, sizeof host);
    }
    return host;
}

} // namespace

const std::string* Request::header(std::string_view name) const {
    for (const auto& [key, value] : headers) {
        if (text::equalsIgnoringCase(key, name)) {
            return &value;
        }
    }
    return nullptr;
}

const char* reasonPhrase(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 400:
        return "Bad Request";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 408:
        return "Request Timeout";
    case 413:
        return "Payload Too Large";
    case 414:
        return "URI Too Long";
    case 431:
        return "Request Header Fields Too Large";
    case 500:
        return "Internal Server Error";
    case 503:
        return "Service Unavailable";
    default:
        return "Error";
    }
}

namespace detail {

// What the loops share: the listening socket, the settings, the open-connection count, and a way to
// ask one another to close their oldest idle connection.
struct Shared {
    Limits limits;
    Handler handler;
    ErrorPage errorPage;
    Logger logger;
    int listener = -1;
    std::atomic<bool> stopping = false;
    std::atomic<int> open = 0;
    std::vector<std::unique_ptr<struct EventLoop>> loops;
};

struct EventLoop {
    enum class State {
        Reading,  // waiting for (the rest of) a request; idle when nothing of it has come yet
        Holding,  // the reply waits out the reply delay
        Writing,  // the reply is being sent
        Draining, // replied and half-closed: what the client still sends is read and dropped, then closed
    };

    struct Connection {
        int fd = -1;
        std::uint64_t serial = 0;
        std::string remote;
        State state = State::Reading;
        std::string in;
        std::string out;
        std::size_t sent = 0;
        int served = 0;
        bool closeAfterReply = false;
        bool head = false;   // a HEAD request: the reply goes without its body
        TimePoint deadline;  // reading or writing must be done by then
        TimePoint idleSince; // when idle: since when (the order in which idle ones are closed)
        bool idle = false;
        TimePoint due;            // Holding: when the reply may go
        Response held;            // Holding: the reply
        std::uint32_t events = 0; // what epoll watches
    };

    explicit EventLoop(Shared& s) : shared(s), limits(s.limits) {
        epoll = ::epoll_create1(EPOLL_CLOEXEC);
        wake = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    }
    ~EventLoop() {
        for (auto& [fd, c] : connections) {
            ::close(fd);
        }
        ::close(wake);
        ::close(epoll);
    }

    Shared& shared;
    const Limits& limits;
    int epoll = -1;
    int wake = -1;
    std::uint64_t nextSerial = 1;
    std::unordered_map<int, std::unique_ptr<Connection>> connections;
    // Ordered by time, with the fd to find the connection: what runs out next, which idle one is oldest.
    std::set<std::pair<TimePoint, int>> deadlines;
    std::set<std::pair<TimePoint, int>> idleOrder;
    std::set<std::pair<TimePoint, int>> holding;
    // Since when the oldest idle connection of this loop is idle (nanoseconds of the steady clock;
    // max when none), for the loop that must make room.
    std::atomic<std::int64_t> oldestIdle = std::numeric_limits<std::int64_t>::max();
    std::atomic<int> closeRequests = 0;
    // Connections with a whole next request already read.
    std::vector<std::pair<int, std::uint64_t>> pipelined;

    void publishOldestIdle() {
        oldestIdle = idleOrder.empty() ? std::numeric_limits<std::int64_t>::max()
                                       : idleOrder.begin()->first.time_since_epoch().count();
    }

    void nudge() {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t w = ::write(wake, &one, sizeof one);
    }

    // ---- bookkeeping of the time-ordered sets ----

    void clearTimes(Connection& c) {
        deadlines.erase({c.deadline, c.fd});
        if (c.idle) {
            idleOrder.erase({c.idleSince, c.fd});
            c.idle = false;
            publishOldestIdle();
        }
        if (c.state == State::Holding) {
            holding.erase({c.due, c.fd});
        }
    }
    void setDeadline(Connection& c, TimePoint when) {
        deadlines.erase({c.deadline, c.fd});
        c.deadline = when;
        deadlines.insert({when, c.fd});
    }
    void setIdle(Connection& c, TimePoint now) {
        c.idle = true;
        c.idleSince = now;
        idleOrder.insert({now, c.fd});
        publishOldestIdle();
        setDeadline(c, now + std::chrono::seconds(limits.keepAliveSeconds));
    }
    void watch(Connection& c, std::uint32_t events) {
        if (c.events == events) {
            return;
        }
        epoll_event ev{};
        ev.events = events;
        ev.data.fd = c.fd;
        ::epoll_ctl(epoll, EPOLL_CTL_MOD, c.fd, &ev);
        c.events = events;
    }

    void close(Connection& c) {
        clearTimes(c);
        ::epoll_ctl(epoll, EPOLL_CTL_DEL, c.fd, nullptr);
        ::close(c.fd);
        connections.erase(c.fd); // c is gone
        --shared.open;
    }

    // ---- accepting ----

    void acceptAll(TimePoint now) {
        for (int taken = 0; shared.loops.size() == 1 || taken < AcceptsPerWake; ++taken) {
            sockaddr_storage address{};
            socklen_t length = sizeof address;
            const int fd = ::accept4(shared.listener, reinterpret_cast<sockaddr*>(&address), &length,
                                     SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (fd < 0) {
                if (errno == EINTR || errno == ECONNABORTED) {
                    continue;
                }
                return; // EAGAIN, or out of descriptors: the rest wait in the backlog
            }
            if (shared.open >= limits.maxConnections && !makeRoom()) {
                ::close(fd);
                continue;
            }
            ++shared.open;
            // Replies go out in one piece; without this a keep-alive request waits for the delayed ACK.
            const int yes = 1;
            ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
            auto c = std::make_unique<Connection>();
            c->fd = fd;
            c->serial = nextSerial++;
            c->remote = addressText(address);
            epoll_event ev{};
            ev.events = EPOLLIN | EPOLLRDHUP;
            ev.data.fd = fd;
            c->events = ev.events;
            ::epoll_ctl(epoll, EPOLL_CTL_ADD, fd, &ev);
            Connection& ref = *c;
            connections.emplace(fd, std::move(c));
            // A new connection is idle until its request starts: first in line to go when room is needed.
            setIdle(ref, now);
        }
    }

    // Closes the oldest idle connection of all loops (asking its loop to, when it is another's), or
    // failing that the one of this loop that has been reading its request the longest; false when
    // there is none to close.
    bool makeRoom() {
        EventLoop* oldest = nullptr;
        std::int64_t since = std::numeric_limits<std::int64_t>::max();
        for (const auto& loop : shared.loops) {
            const std::int64_t t = loop->oldestIdle;
            if (t < since) {
                since = t;
                oldest = loop.get();
            }
        }
        if (oldest == this) {
            closeOldest();
            return true;
        }
        if (oldest != nullptr) {
            ++oldest->closeRequests;
            oldest->nudge();
            return true;
        }
        return closeOldest();
    }

    bool closeOldest() {
        if (!idleOrder.empty()) {
            close(*connections.at(idleOrder.begin()->second));
            return true;
        }
        for (const auto& [when, fd] : deadlines) {
            Connection& c = *connections.at(fd);
            if (c.state == State::Reading || c.state == State::Draining) {
                close(c);
                return true;
            }
        }
        return false;
    }

    // ---- reading and parsing ----

    void readFrom(Connection& c, TimePoint now) {
        char buffer[ReadChunk];
        bool peerClosed = false;
        for (;;) {
            const ssize_t n = ::recv(c.fd, buffer, sizeof buffer, 0);
            if (n > 0) {
                if (c.idle) {
                    // The request starts: from now on it has the request timeout to arrive whole.
                    idleOrder.erase({c.idleSince, c.fd});
                    c.idle = false;
                    setDeadline(c, now + Ms(limits.requestTimeoutMs));
                }
                c.in.append(buffer, static_cast<std::size_t>(n));
                if (c.in.size() > limits.maxHead + limits.maxBody + ReadChunk) {
                    break; // enough to decide; the rest is not read
                }
                continue;
            }
            if (n == 0) {
                peerClosed = true;
            } else if (errno == EINTR) {
                continue;
            } else if (errno != EAGAIN && errno != EWOULDBLOCK) {
                close(c);
                return;
            }
            break;
        }
        const int fd = c.fd;
        parse(c, now);
        if (peerClosed) {
            const auto it = connections.find(fd);
            // Nothing more can come: a request still incomplete never will be. A request that is being
            // answered is still answered (the client may only have shut its sending side).
            if (it != connections.end() && it->second->state == State::Reading) {
                close(*it->second);
            }
        }
    }

    // Answers by the server itself: the request is broken or too large; the connection ends after it.
    void refuse(Connection& c, int status, const Request& request) {
        Response response;
        response.status = status;
        response.contentType = "text/html";
        response.body = shared.errorPage ? shared.errorPage(status) : std::string();
        if (shared.logger) {
            shared.logger(request, response);
        }
        c.closeAfterReply = true;
        c.in.clear();
        startReply(c, response, false, Clock::now());
    }

    void parse(Connection& c, TimePoint now) {
        if (c.state != State::Reading || c.in.empty()) {
            return;
        }
        Request request;
        request.remote = c.remote;
        const std::size_t end = headEnd(c.in);
        const std::size_t firstLf = c.in.find('\n');
        const std::size_t lineLength = firstLf == std::string::npos ? c.in.size() : firstLf;
        if (end == std::string::npos) {
            if (lineLength > limits.maxTarget + 32) {
                refuse(c, 414, request);
            } else if (c.in.size() > limits.maxHead) {
                refuse(c, 431, request);
            }
            return; // wait for more
        }
        if (end > limits.maxHead) {
            refuse(c, lineLength > limits.maxTarget + 32 ? 414 : 431, request);
            return;
        }
        // The request line: METHOD SP target SP HTTP/1.x, nothing more and nothing less.
        std::string_view line(c.in.data(), lineLength);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        const std::size_t sp1 = line.find(' ');
        const std::size_t sp2 = sp1 == std::string_view::npos ? sp1 : line.find(' ', sp1 + 1);
        if (sp1 == std::string_view::npos || sp2 == std::string_view::npos ||
            line.find(' ', sp2 + 1) != std::string_view::npos) {
            refuse(c, 400, request);
            return;
        }
        request.method = std::string(line.substr(0, sp1));
        request.target = std::string(line.substr(sp1 + 1, sp2 - sp1 - 1));
        request.version = std::string(line.substr(sp2 + 1));
        const bool methodOk = !request.method.empty() && std::all_of(request.method.begin(), request.method.end(),
                                                                     [](char ch) { return isTokenChar(ch); });
        const bool targetOk = !request.target.empty() && request.target.front() == '/' &&
                              std::none_of(request.target.begin(), request.target.end(), [](char ch) {
                                  const auto b = static_cast<unsigned char>(ch);
                                  return b < 0x21 || b == 0x7F;
                              });
        if (!methodOk || !targetOk || (request.version != "HTTP/1.0" && request.version != "HTTP/1.1")) {
            refuse(c, 400, request);
            return;
        }
        if (request.target.size() > limits.maxTarget) {
            refuse(c, 414, request);
            return;
        }
        // Header lines.
        std::size_t at = firstLf + 1;
        while (at < end) {
            std::size_t lf = c.in.find('\n', at);
            std::string_view field(c.in.data() + at, lf - at);
            at = lf + 1;
            if (!field.empty() && field.back() == '\r') {
                field.remove_suffix(1);
            }
            if (field.empty()) {
                break;
            }
            const std::size_t colon = field.find(':');
            if (colon == std::string_view::npos || colon == 0 ||
                !std::all_of(field.begin(), field.begin() + static_cast<std::ptrdiff_t>(colon),
                             [](char ch) { return isTokenChar(ch); }) ||
                request.headers.size() >= MaxHeaderLines) {
                refuse(c, request.headers.size() >= MaxHeaderLines ? 431 : 400, request);
                return;
            }
            request.headers.emplace_back(std::string(field.substr(0, colon)), trim(field.substr(colon + 1)));
        }
        // A body, which no page takes, is read and dropped; one sent in chunks cannot be skipped safely,
        // so that connection ends after the reply.
        std::size_t bodyLength = 0;
        if (const std::string* length = request.header("Content-Length")) {
            const auto parsed = text::parseCount(*length);
            if (!parsed) {
                refuse(c, 400, request);
                return;
            }
            if (static_cast<std::size_t>(*parsed) > limits.maxBody) {
                refuse(c, 413, request);
                return;
            }
            bodyLength = static_cast<std::size_t>(*parsed);
        }
        const bool chunked = request.header("Transfer-Encoding") != nullptr;
        if (c.in.size() < end + bodyLength) {
            return; // the body is still coming
        }
        c.in.erase(0, end + bodyLength);

        const std::string_view target = request.target;
        request.path = text::percentDecode(target.substr(0, target.find('?')));
        const std::string* connection = request.header("Connection");
        const bool wantsClose = connection != nullptr && text::equalsIgnoringCase(*connection, "close");
        const bool wantsKeep = connection != nullptr && text::equalsIgnoringCase(*connection, "keep-alive");
        c.closeAfterReply = chunked || wantsClose || (request.version == "HTTP/1.0" && !wantsKeep) ||
                            c.served + 1 >= limits.keepAliveMax;
        if (chunked) {
            c.in.clear();
        }
        c.head = request.method == "HEAD";
        deadlines.erase({c.deadline, c.fd});
        Response response;
        try {
            response = shared.handler(request);
        } catch (...) {
            response = Response{};
            response.status = 500;
            response.contentType = "text/html";
            response.body = shared.errorPage ? shared.errorPage(500) : std::string();
        }
        if (shared.logger) {
            shared.logger(request, response);
        }
        if (limits.replyDelayMs > 0) {
            // Held back without holding the thread: the loop serves others meanwhile.
            c.state = State::Holding;
            c.due = now + Ms(limits.replyDelayMs);
            c.held = std::move(response);
            watch(c, 0);
            holding.insert({c.due, c.fd});
            return;
        }
        startReply(c, response, c.head, Clock::now());
    }

    // ---- replying ----

    void startReply(Connection& c, const Response& response, bool head, TimePoint now) {
        std::string& out = c.out;
        out.clear();
        out += "HTTP/1.1 ";
        out += std::to_string(response.status);
        out += ' ';
        out += reasonPhrase(response.status);
        out += "\r\nContent-Type: ";
        out += response.contentType;
        out += "\r\nContent-Length: ";
        out += std::to_string(response.body.size());
        for (const auto& [name, value] : response.headers) {
            out += "\r\n";
            out += name;
            out += ": ";
            out += value;
        }
        if (c.closeAfterReply || shared.stopping) {
            c.closeAfterReply = true;
            out += "\r\nConnection: close\r\n\r\n";
        } else {
            out += "\r\nConnection: keep-alive\r\nKeep-Alive: timeout=";
            out += std::to_string(limits.keepAliveSeconds);
            out += ", max=";
            out += std::to_string(limits.keepAliveMax - c.served - 1);
            out += "\r\n\r\n";
        }
        if (!head) {
            out += response.body;
        }
        c.sent = 0;
        clearTimes(c);
        c.state = State::Writing;
        setDeadline(c, now + Ms(limits.requestTimeoutMs));
        writeTo(c, now);
    }

    void writeTo(Connection& c, TimePoint now) {
        while (c.sent < c.out.size()) {
            const ssize_t n = ::send(c.fd, c.out.data() + c.sent, c.out.size() - c.sent, MSG_NOSIGNAL);
            if (n > 0) {
                c.sent += static_cast<std::size_t>(n);
                continue;
            }
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                watch(c, EPOLLOUT);
                return;
            }
            close(c);
            return;
        }
        if (c.closeAfterReply) {
            // Half-close and read until the client closes too (for a short while at most): closing
            // with unread input would send a reset that can destroy the reply still in flight.
            ::shutdown(c.fd, SHUT_WR);
            c.state = State::Draining;
            c.in.clear();
            watch(c, EPOLLIN | EPOLLRDHUP);
            setDeadline(c, now + Ms(std::min(limits.requestTimeoutMs, 2000)));
            return;
        }
        ++c.served;
        c.out.clear();
        c.state = State::Reading;
        watch(c, EPOLLIN | EPOLLRDHUP);
        if (c.in.empty()) {
            setIdle(c, now);
        } else {
            setDeadline(c, now + Ms(limits.requestTimeoutMs));
            pipelined.push_back({c.fd, c.serial}); // parsed by the loop, not from in here
        }
    }

    void drain(Connection& c) {
        char buffer[ReadChunk];
        for (;;) {
            const ssize_t n = ::recv(c.fd, buffer, sizeof buffer, 0);
            if (n > 0) {
                continue;
            }
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                return;
            }
            close(c); // the client closed as well
            return;
        }
    }

    void releaseHeld(TimePoint now) {
        while (!holding.empty() && holding.begin()->first <= now) {
            const int fd = holding.begin()->second;
            holding.erase(holding.begin());
            Connection& c = *connections.at(fd);
            const Response response = std::move(c.held);
            c.held = Response{};
            c.state = State::Writing; // no longer in the holding set
            startReply(c, response, c.head, now);
        }
    }

    void expire(TimePoint now) {
        while (!deadlines.empty() && deadlines.begin()->first <= now) {
            Connection& c = *connections.at(deadlines.begin()->second);
            if (c.state == State::Reading && !c.idle && !c.in.empty()) {
                // Too slow to send its request: told so, then closed. Should even that not go out at
                // once, the write deadline ends the connection.
                Request request;
                request.remote = c.remote;
                refuse(c, 408, request);
                continue;
            }
            close(c);
        }
    }

    int waitMs(TimePoint now) const {
        TimePoint next = TimePoint::max();
        if (!deadlines.empty()) {
            next = deadlines.begin()->first;
        }
        if (!holding.empty()) {
            next = std::min(next, holding.begin()->first);
        }
        if (next == TimePoint::max()) {
            return -1;
        }
        const auto ms = std::chrono::duration_cast<Ms>(next - now).count() + 1;
        return static_cast<int>(std::clamp<long long>(ms, 0, 60000));
    }

    void serve() {
        epoll_event ev{};
        // Each new connection wakes one loop, not all of them.
        ev.events = EPOLLIN | EPOLLEXCLUSIVE;
        ev.data.fd = shared.listener;
        ::epoll_ctl(epoll, EPOLL_CTL_ADD, shared.listener, &ev);
        ev.events = EPOLLIN;
        ev.data.fd = wake;
        ::epoll_ctl(epoll, EPOLL_CTL_ADD, wake, &ev);
        std::vector<epoll_event> events(256);
        while (!shared.stopping) {
            const int n = ::epoll_wait(epoll, events.data(), static_cast<int>(events.size()), waitMs(Clock::now()));
            const TimePoint now = Clock::now();
            for (int i = 0; i < n && !shared.stopping; ++i) {
                const int fd = events[static_cast<std::size_t>(i)].data.fd;
                const std::uint32_t what = events[static_cast<std::size_t>(i)].events;
                if (fd == shared.listener) {
                    acceptAll(now);
                    continue;
                }
                if (fd == wake) {
                    std::uint64_t count = 0;
                    [[maybe_unused]] const ssize_t r = ::read(wake, &count, sizeof count);
                    for (int k = closeRequests.exchange(0); k > 0; --k) {
                        closeOldest();
                    }
                    continue;
                }
                const auto it = connections.find(fd);
                if (it == connections.end()) {
                    continue; // closed earlier in this round
                }
                Connection& c = *it->second;
                if (c.state == State::Reading && (what & (EPOLLIN | EPOLLRDHUP | EPOLLHUP | EPOLLERR))) {
                    readFrom(c, now);
                } else if (c.state == State::Writing && (what & (EPOLLOUT | EPOLLHUP | EPOLLERR))) {
                    writeTo(c, now);
                } else if (c.state == State::Draining) {
                    drain(c);
                } else if (what & (EPOLLHUP | EPOLLERR)) {
                    close(c); // gone while its reply was held back
                }
            }
            while (!pipelined.empty()) {
                const auto [fd, serial] = pipelined.back();
                pipelined.pop_back();
                const auto it = connections.find(fd);
                if (it != connections.end() && it->second->serial == serial) {
                    parse(*it->second, Clock::now());
                }
            }
            releaseHeld(Clock::now());
            expire(Clock::now());
        }
    }
};

} // namespace detail

struct Server::Loop {
    detail::Shared shared;
};

Server::Server(Limits limits, Handler handler, ErrorPage errorPage, Logger logger) : m_loop(std::make_unique<Loop>()) {
    detail::Shared& shared = m_loop->shared;
    shared.limits = limits;
    shared.handler = std::move(handler);
    shared.errorPage = std::move(errorPage);
    shared.logger = std::move(logger);
    for (int i = 0; i < std::max(1, limits.threads); ++i) {
        shared.loops.push_back(std::make_unique<detail::EventLoop>(shared));
    }
}

Server::~Server() {
    m_loop->shared.loops.clear();
    if (m_loop->shared.listener >= 0) {
        ::close(m_loop->shared.listener);
    }
}

std::optional<int> Server::bind(const std::string& host, int port) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    if (::getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0) {
        return std::nullopt;
    }
    std::optional<int> bound;
    for (addrinfo* a = found; a != nullptr && !bound; a = a->ai_next) {
        const int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, a->ai_protocol);
        if (fd < 0) {
            continue;
        }
        // Address reuse for a quick restart; never SO_REUSEPORT, which would let a second service
        // share the port and take half of its clients.
        const int yes = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        if (::bind(fd, a->ai_addr, a->ai_addrlen) != 0 || ::listen(fd, ListenBacklog) != 0) {
            ::close(fd);
            continue;
        }
        sockaddr_storage address{};
        socklen_t length = sizeof address;
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
        const int actual = address.ss_family == AF_INET6
                               ? ntohs(reinterpret_cast<const sockaddr_in6&>(address).sin6_port)
                               : ntohs(reinterpret_cast<const sockaddr_in&>(address).sin_port);
        setNonBlocking(fd);
        m_loop->shared.listener = fd;
        bound = actual;
    }
    ::freeaddrinfo(found);
    return bound;
}

bool Server::run() {
    detail::Shared& shared = m_loop->shared;
    if (shared.listener < 0) {
        return false;
    }
    for (const auto& loop : shared.loops) {
        if (loop->epoll < 0 || loop->wake < 0) {
            return false;
        }
    }
    m_running = true;
    // One loop on this thread, the others on threads of their own.
    std::vector<std::thread> threads;
    for (std::size_t i = 1; i < shared.loops.size(); ++i) {
        threads.emplace_back([loop = shared.loops[i].get()] { loop->serve(); });
    }
    shared.loops[0]->serve();
    for (std::thread& thread : threads) {
        thread.join();
    }
    m_running = false;
    return true;
}

void Server::stop() {
    m_loop->shared.stopping = true;
    for (const auto& loop : m_loop->shared.loops) {
        loop->nudge();
    }
}

} // namespace http
