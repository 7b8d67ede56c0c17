#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <functional>
#include <memory>
#include <vector>

// A byte-exact HTTP server on 127.0.0.1 for tests. Every connection is served on a thread of its own:
// the request is read (headers, then as many body bytes as its Content-Length says) and recorded raw,
// then the connection's script runs. The destructor ends every connection, silent ones included.
class ScriptedServer final {
public:
    struct Step {
        enum Kind { Send, Pause, Close, Hang, Reset };
        Kind kind = Close;
        QByteArray bytes;
        int ms = 0;
    };

    // What to do with one connection once its request is in. After the last step the connection is
    // closed in order (FIN).
    class Script {
    public:
        Script& send(QByteArrayView bytes);
        Script& pause(int ms);
        Script& close();
        // Never answer: keep the connection open until the client leaves or the server stops.
        Script& hang();
        // Send the first n bytes of a reply, then close: a connection that drops mid-reply.
        Script& dropAfter(QByteArrayView bytes, qsizetype n);
        // End the connection with a reset (RST) instead of an orderly close.
        Script& reset();
        const std::vector<Step>& steps() const { return m_steps; }

    private:
        std::vector<Step> m_steps;
    };

    // Port 0 picks an ephemeral port.
    explicit ScriptedServer(quint16 port = 0);
    ~ScriptedServer();
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;

    bool isListening() const;
    quint16 port() const;
    QByteArray hostPort() const;                       // "127.0.0.1:<port>"
    QByteArray url(QByteArrayView pathAndQuery) const; // "http://127.0.0.1:<port>" + pathAndQuery

    // The script of every later connection.
    void setScript(const Script& script);
    // Chooses the script of each later connection from its raw request; it runs on the connection's
    // thread and replaces the standing script.
    using Responder = std::function<Script(const QByteArray& request)>;
    void setResponder(Responder responder);

    // Raw bytes of each request received, in order of arrival (a request cut short is recorded as far
    // as it came).
    QList<QByteArray> requests() const;
    qsizetype requestCount() const;
    // How many hang() steps ended because the client closed the connection: a client that leaves only
    // once its transfer is over shows here that the transfer is over.
    qsizetype clientCloses() const;

    // "HTTP/1.0 <status>\r\n", a Content-Length header when asked, extra header lines, a blank line, body.
    static QByteArray reply(QByteArrayView status, QByteArrayView body, bool contentLength = true,
                            QByteArrayView extraHeaders = {});
    // A loopback port on which nothing listens (connections are refused).
    static quint16 refusingPort();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
