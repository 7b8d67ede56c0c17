#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <memory>
#include <optional>

class THTTPGetThread;

// Where a server listens: a host name, an IPv4 address or a bracketed IPv6 address, and the port.
struct HostPort {
    QByteArray host;
    int port = 80;
};
// "host", "host:port", "[ipv6]" or "[ipv6]:port" (a port from 1 to 65535); nothing for anything else.
std::optional<HostPort> SplitHostPort(QByteArrayView text);

// The path and query as they go out on the request line: blanks, control characters, DEL and bytes
// above 127 percent-encoded, every other byte left exactly as the caller wrote it.
QByteArray EncodeRequestTarget(const QByteArray& object);

// One URL fetched over HTTP on a worker thread of its own; progress and the one completion event
// are delivered on the thread that owns the component (the UI thread). Busy from the start of a
// transfer until its completion handler has returned; a start on a busy component is ignored.
class THTTPGet final : public QObject {
    Q_OBJECT

public:
    explicit THTTPGet(QObject* parent = nullptr);
    ~THTTPGet() override;

    // Properties, with the defaults of a new component.
    QByteArray AcceptTypes() const { return m_acceptTypes; } // "*/*"
    void setAcceptTypes(const QByteArray& v) { m_acceptTypes = v; }
    QByteArray Agent() const { return m_agent; } // "Orvane HTTPGet"; empty: no User-Agent
    void setAgent(const QByteArray& v) { m_agent = v; }
    bool BinaryData() const { return m_binaryData; }
    void setBinaryData(bool v) { m_binaryData = v; }
    QByteArray URL() const { return m_url; }
    void setURL(const QByteArray& v) { m_url = v; }
    bool UseCache() const { return m_useCache; }
    void setUseCache(bool v) { m_useCache = v; }
    QString FileName() const { return m_fileName; }
    void setFileName(const QString& v) { m_fileName = v; }
    QByteArray UserName() const { return m_userName; }
    void setUserName(const QByteArray& v) { m_userName = v; }
    QByteArray Password() const { return m_password; }
    void setPassword(const QByteArray& v) { m_password = v; }
    QByteArray PostQuery() const { return m_postQuery; }
    void setPostQuery(const QByteArray& v) { m_postQuery = v; }
    QByteArray Referer() const { return m_referer; }
    void setReferer(const QByteArray& v) { m_referer = v; }
    bool WaitThread() const { return m_waitThread; }
    void setWaitThread(bool v) { m_waitThread = v; }

    // Time-outs of the transfer: connecting, and receiving nothing at all for this long.
    int ConnectTimeoutMs() const { return m_connectTimeoutMs; } // 30000
    void setConnectTimeoutMs(int v) { m_connectTimeoutMs = v; }
    int IdleTimeoutMs() const { return m_idleTimeoutMs; } // 60000
    void setIdleTimeoutMs(int v) { m_idleTimeoutMs = v; }

    void FetchString();
    void FetchFile();
    void CancelFetch();
    bool isBusy() const;

signals:
    // After each block received; the worker waits until the handlers have returned.
    void OnProgress(THTTPGet* sender, qint32 TotalSize, qint32 Readed);
    void OnDoneFile(THTTPGet* sender, const QString& FileName, qint32 FileSize);
    void OnDoneString(THTTPGet* sender, const QByteArray& Result);
    void OnError(THTTPGet* sender);

private:
    friend class THTTPGetThread;
    struct State;

    void start(bool toFile);
    // Runs on the owner's thread for every hand-over the worker posts (a progress block or the end).
    Q_INVOKABLE void workerEvent();
    void finishTransfer(const std::shared_ptr<State>& state);

    QByteArray m_acceptTypes = "*/*";
    QByteArray m_agent = "Orvane HTTPGet";
    bool m_binaryData = false;
    QByteArray m_url;
    bool m_useCache = false;
    QString m_fileName;
    QByteArray m_userName;
    QByteArray m_password;
    QByteArray m_postQuery;
    QByteArray m_referer;
    bool m_waitThread = false;
    int m_connectTimeoutMs = 30000;
    int m_idleTimeoutMs = 60000;
    // Worker and hand-over state, shared with the worker so that it outlives a destroyed component.
    std::shared_ptr<State> m_state;
};
