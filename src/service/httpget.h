#pragma once

#include <QByteArray>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <memory>
#include <optional>

class HttpGetWorker;

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

// Why a transfer did not deliver a reply.
enum class FetchFailure {
    None,
    Transfer,   // no usable reply: malformed URL, refused, not resolved, reset, garbled, connect time-out
    HttpStatus, // a status outside 200-299 (redirects are not followed)
    Incomplete, // fewer bytes than the Content-Length, or a length that a file fetch or BinaryData needs was missing
    TooLarge,   // over maxReplyBytes, by Content-Length or by the bytes received
    Deadline,   // the whole transfer took longer than deadlineMs
    Idle,       // nothing arrived for idleTimeoutMs
    Cancelled,  // cancelFetch()
    File,       // the target file could not be written
};

struct FetchError {
    FetchFailure kind = FetchFailure::None;
    int httpStatus = 0; // the reply's status where one arrived, else 0
    QString detail;     // libcurl's message or similar, for logs/tooltips
};
Q_DECLARE_METATYPE(FetchError)

// The status-line text of a failed transfer: "Reply too large" for TooLarge, otherwise
// "Connection Error", with " (HTTP <status>)" appended when a status outside 200–299 arrived,
// e.g. "Connection Error (HTTP 500)".
QString FetchFailureText(const FetchError& error);

// One URL fetched over HTTP on a worker thread of its own; progress and the one completion event
// (doneString, doneFile or failed) are delivered on the thread that owns the component (the UI
// thread). Busy from the start of a transfer until its completion handler has returned; a start on a
// busy component is ignored.
//
// A reply is only delivered when it is whole: libcurl ended the transfer without an error, the status
// is 2xx, the Content-Length (if any) was met. After cancelFetch() the completion is always
// failed(Cancelled), even if the reply had already arrived; deleting a busy component ends its
// transfer silently (no event at all) and promptly.
class HttpGet final : public QObject {
    Q_OBJECT

public:
    explicit HttpGet(QObject* parent = nullptr);
    ~HttpGet() override;

    // Properties, with the defaults of a new component. A change during a transfer applies to the next.
    QByteArray acceptTypes() const { return m_acceptTypes; } // "*/*"
    void setAcceptTypes(const QByteArray& v) { m_acceptTypes = v; }
    QByteArray agent() const { return m_agent; } // "Orvane HTTPGet"; empty: no User-Agent
    void setAgent(const QByteArray& v) { m_agent = v; }
    bool binaryData() const { return m_binaryData; } // a reply without Content-Length fails unread
    void setBinaryData(bool v) { m_binaryData = v; }
    QByteArray url() const { return m_url; }
    void setUrl(const QByteArray& v) { m_url = v; }
    bool useCache() const { return m_useCache; }
    void setUseCache(bool v) { m_useCache = v; }
    QString fileName() const { return m_fileName; }
    void setFileName(const QString& v) { m_fileName = v; }
    QByteArray userName() const { return m_userName; }
    void setUserName(const QByteArray& v) { m_userName = v; }
    QByteArray password() const { return m_password; }
    void setPassword(const QByteArray& v) { m_password = v; }
    QByteArray postQuery() const { return m_postQuery; }
    void setPostQuery(const QByteArray& v) { m_postQuery = v; }
    QByteArray referer() const { return m_referer; }
    void setReferer(const QByteArray& v) { m_referer = v; }
    bool waitThread() const { return m_waitThread; }
    void setWaitThread(bool v) { m_waitThread = v; }

    // Limits of a transfer; 0 or less switches one off. Connecting; receiving nothing at all; the
    // whole transfer, however the bytes trickle in; the size of the reply body.
    int connectTimeoutMs() const { return m_connectTimeoutMs; } // 30000
    void setConnectTimeoutMs(int v) { m_connectTimeoutMs = v; }
    int idleTimeoutMs() const { return m_idleTimeoutMs; } // 60000
    void setIdleTimeoutMs(int v) { m_idleTimeoutMs = v; }
    int deadlineMs() const { return m_deadlineMs; } // 120000
    void setDeadlineMs(int v) { m_deadlineMs = v; }
    qint64 maxReplyBytes() const { return m_maxReplyBytes; } // 4 MiB
    void setMaxReplyBytes(qint64 v) { m_maxReplyBytes = v; }

    // The reply body as text; the outcome is doneString or failed.
    void fetchString();
    // The reply body into fileName, which is replaced only by a whole, non-empty reply with a
    // Content-Length; the outcome is doneFile or failed.
    void fetchFile();
    void cancelFetch();
    bool isBusy() const;

signals:
    // The latest counts, coalesced: the worker never waits for this. totalSize is the Content-Length,
    // 0 when the server sent none.
    void progress(HttpGet* sender, qint64 totalSize, qint64 received);
    void doneString(HttpGet* sender, const QByteArray& body);
    void doneFile(HttpGet* sender, const QString& fileName, qint64 size);
    void failed(HttpGet* sender, const FetchError& error);

private:
    friend class HttpGetWorker;
    struct State;

    void start(bool toFile);
    // Run on the owner's thread when the worker has posted them.
    void progressEvent();
    void doneEvent();

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
    int m_deadlineMs = 120000;
    qint64 m_maxReplyBytes = 4 * 1024 * 1024;
    // Worker and hand-over state, shared with the worker so that it outlives a destroyed component.
    std::shared_ptr<State> m_state;
};
