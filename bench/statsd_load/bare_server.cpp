// statsd_bare_server PORT THREADS BODYFILE: answers every GET with the file's bytes as text/plain,
// the least an HTTP server on cpp-httplib can do. Prints "listening on 127.0.0.1:PORT" once bound.

#include <cstdio>
#include <fstream>
#include <httplib.h>
#include <iterator>
#include <string>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: statsd_bare_server PORT THREADS BODYFILE\n");
        return 2;
    }
    const int port = std::stoi(argv[1]);
    const std::size_t threads = static_cast<std::size_t>(std::stoul(argv[2]));
    std::ifstream in(argv[3], std::ios::binary);
    const std::string body((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

    httplib::Server server;
    server.new_task_queue = [threads] { return new httplib::ThreadPool(threads); };
    // The same connection handling as orvane-statsd's defaults, so only the work per request differs.
    server.set_tcp_nodelay(true);
    server.set_keep_alive_max_count(1000);
    server.set_keep_alive_timeout(5);
    server.Get(".*", [&body](const httplib::Request&, httplib::Response& res) { res.set_content(body, "text/plain"); });
    const int bound =
        port == 0 ? server.bind_to_any_port("127.0.0.1") : (server.bind_to_port("127.0.0.1", port) ? port : -1);
    if (bound <= 0) {
        std::fprintf(stderr, "statsd_bare_server: cannot listen\n");
        return 1;
    }
    std::printf("listening on 127.0.0.1:%d\n", bound);
    std::fflush(stdout);
    return server.listen_after_bind() ? 0 : 1;
}
