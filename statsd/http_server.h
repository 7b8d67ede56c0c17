#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A small HTTP/1.1 server: each thread runs an event loop that accepts from the shared listening
// socket and owns its connections (reading requests, building and writing replies, deadlines),
// all without blocking on a client. A slow or idle client costs a few hundred bytes of memory,
// never a thread, so it cannot stop the service answering others.
namespace http {

struct Request {
    std::string method;
    std::string target;  // as sent: path and query, still percent-encoded
    std::string path;    // the path part, percent-decoded
    std::string version; // "HTTP/1.0" or "HTTP/1.1"
    std::string remote;  // client address, for the log
    std::vector<std::pair<std::string, std::string>> headers;

    // First value of the header, compared without regard to letter case; nullptr when absent.
    const std::string* header(std::string_view name) const;
};

struct Response {
    int status = 200;
    std::string contentType = "text/plain";
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers; // extra header lines
};

struct Limits {
    int threads = 4;                 // event loops, one thread each
    int keepAliveSeconds = 5;        // an idle connection is closed after this long
    int keepAliveMax = 1000;         // requests per connection, then it is closed
    int requestTimeoutMs = 10000;    // the whole request (head and body) must arrive within this
    int replyDelayMs = 0;            // every reply is held back this long (stands in for a slow network)
    int maxConnections = 4096;       // at the cap the oldest idle connection is closed for a new one
    std::size_t maxTarget = 8192;    // longer request targets get 414
    std::size_t maxHead = 16384;     // longer request heads get 431
    std::size_t maxBody = 64 * 1024; // longer bodies get 413
};

// Builds the reply to a request; runs on the loop threads, several at a time.
using Handler = std::function<Response(const Request&)>;
// The body of an error page the server answers by itself (400, 408, 413, 414, 431, 500).
using ErrorPage = std::function<std::string(int status)>;
// One line per answered request.
using Logger = std::function<void(const Request&, const Response&)>;

const char* reasonPhrase(int status);

class Server final {
public:
    Server(Limits limits, Handler handler, ErrorPage errorPage, Logger logger);
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    // Binds and listens; the port actually bound (port 0 picks a free one), or nothing. An address
    // in use by another process is refused, never shared.
    std::optional<int> bind(const std::string& host, int port);
    // Serves until stop(); false when serving could not start.
    bool run();
    // Safe from any thread, also before run() (run() then returns at once).
    void stop();
    bool isRunning() const { return m_running; }

private:
    struct Loop;
    std::unique_ptr<Loop> m_loop;
    std::atomic<bool> m_running = false;
};

} // namespace http
