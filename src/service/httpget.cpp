#include "service/httpget.h"

#include <QCoreApplication>
#include <QSaveFile>
#include <QtGlobal>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <curl/curl.h>
#include <exception>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

void initCurl() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// The worker gets copies that share no storage with the component's properties.
QByteArray ownCopy(const QByteArray& text) {
    return QByteArray(text.constData(), text.size());
}
QString ownCopy(const QString& text) {
    return QString(text.constData(), text.size());
}

// A header value must not end the header line early, nor start another one.
QByteArray headerValue(const QByteArray& text) {
    QByteArray out = text;
    out.removeIf([](char c) { return c == '\r' || c == '\n' || c == '\0'; });
    return out;
}

struct Target {
    HostPort server;
    QByteArray object; // path and query, starting with "/"
};

bool isHostNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_';
}

bool isIpv6Char(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || c == ':' || c == '.';
}

// "http://" (any letter case, optional), the host with an optional ":port", then the object from the first "/".
std::optional<Target> splitUrl(QByteArray url) {
    if (url.size() >= 7 && qstrnicmp(url.constData(), 7, "http://", 7) == 0)
        url.remove(0, 7);
    const qsizetype slash = url.indexOf('/');
    if (slash <= 0)
        return std::nullopt;
    std::optional<HostPort> server = SplitHostPort(QByteArrayView(url).first(slash));
    if (!server)
        return std::nullopt;
    return Target{std::move(*server), url.mid(slash)};
}

// An exception thrown by an event handler must neither end the program nor leave the component busy.
template <typename Emit> void guarded(Emit&& emitEvent) {
    try {
        emitEvent();
    } catch (const std::exception& e) {
        qWarning("HttpGet: an event handler failed: %s", e.what());
    } catch (...) {
        qWarning("HttpGet: an event handler failed");
    }
}

} // namespace

std::optional<HostPort> SplitHostPort(QByteArrayView text) {
    HostPort out;
    QByteArrayView portText;
    bool hasPort = false;
    if (text.startsWith('[')) {
        const qsizetype close = text.indexOf(']');
        if (close < 2)
            return std::nullopt;
        out.host = text.first(close + 1).toByteArray();
        if (!std::all_of(out.host.begin() + 1, out.host.end() - 1, isIpv6Char))
            return std::nullopt;
        const QByteArrayView rest = text.sliced(close + 1);
        if (!rest.isEmpty()) {
            if (!rest.startsWith(':'))
                return std::nullopt;
            hasPort = true;
            portText = rest.sliced(1);
        }
    } else {
        const qsizetype colon = text.indexOf(':');
        out.host = (colon < 0 ? text : text.first(colon)).toByteArray();
        if (colon >= 0) {
            hasPort = true;
            portText = text.sliced(colon + 1);
        }
        if (out.host.isEmpty() || !std::all_of(out.host.begin(), out.host.end(), isHostNameChar))
            return std::nullopt;
    }
    if (hasPort) {
        if (portText.isEmpty() || portText.size() > 5 ||
            !std::all_of(portText.begin(), portText.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return std::nullopt;
        out.port = portText.toInt();
        if (out.port < 1 || out.port > 65535)
            return std::nullopt;
    }
    return out;
}

// Blanks, control characters, DEL and bytes above 127 cannot stand in a request line; everything else
// goes out as the caller wrote it.
QByteArray EncodeRequestTarget(const QByteArray& object) {
    static constexpr char hex[] = "0123456789ABCDEF";
    QByteArray out;
    out.reserve(object.size());
    for (const char ch : object) {
        const auto c = static_cast<unsigned char>(ch);
        if (c <= 0x20 || c >= 0x7F) {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 0x0F];
        } else {
            out += ch;
        }
    }
    return out;
}

QString FetchFailureText(const FetchError& error) {
    if (error.kind == FetchFailure::TooLarge)
        return QStringLiteral("Reply too large");
    QString text = QStringLiteral("Connection Error");
    if (error.httpStatus != 0 && (error.httpStatus < 200 || error.httpStatus > 299))
        text += QStringLiteral(" (HTTP %1)").arg(error.httpStatus);
    return text;
}

struct HttpGet::State {
    std::mutex mutex;
    std::atomic<bool> cancel{false};

    // Guarded by mutex: the worker reads and writes these.
    HttpGet* owner = nullptr; // null once the component is destroyed
    CURLM* multi = nullptr;   // set while a transfer runs, so that a cancel can wake it
    bool progressPosted = false;
    qint64 progressTotal = 0;
    qint64 progressReceived = 0;
    FetchError doneError;
    QByteArray doneBody;
    QString doneFileName;
    qint64 doneSize = 0;

    // The owner's thread only.
    bool busy = false;
    bool toFile = false;
    bool gone = false;
    quint64 started = 0;
    quint64 finished = 0;
    std::thread worker;
};

// One transfer on a thread of its own. Touches only its own copies and the shared hand-over state.
class HttpGetWorker final {
public:
    HttpGetWorker(const HttpGet& owner, std::shared_ptr<HttpGet::State> state, bool toFile)
        : m_state(std::move(state)), m_acceptTypes(ownCopy(owner.m_acceptTypes)), m_agent(ownCopy(owner.m_agent)),
          m_url(ownCopy(owner.m_url)), m_fileName(ownCopy(owner.m_fileName)), m_userName(ownCopy(owner.m_userName)),
          m_password(ownCopy(owner.m_password)), m_postQuery(ownCopy(owner.m_postQuery)),
          m_referer(ownCopy(owner.m_referer)), m_binaryData(owner.m_binaryData), m_useCache(owner.m_useCache),
          m_toFile(toFile), m_connectTimeoutMs(owner.m_connectTimeoutMs), m_idleTimeoutMs(owner.m_idleTimeoutMs),
          m_deadlineMs(owner.m_deadlineMs), m_maxReplyBytes(owner.m_maxReplyBytes) {}

    HttpGetWorker(const HttpGetWorker&) = delete;
    HttpGetWorker& operator=(const HttpGetWorker&) = delete;

    void run() {
        FetchError error = transfer();
        // An uncommitted target is discarded here, on the thread that made it.
        m_file.reset();
        std::lock_guard lock(m_state->mutex);
        if (!m_state->owner)
            return;
        error.httpStatus = m_status;
        m_state->doneError = std::move(error);
        m_state->doneBody = std::move(m_body);
        m_state->doneFileName = ownCopy(m_fileName);
        m_state->doneSize = m_received;
        QMetaObject::invokeMethod(m_state->owner, &HttpGet::doneEvent, Qt::QueuedConnection);
    }

private:
    enum class Ended { Finished, Cancelled, Idle, Deadline, Broken };

    bool cancelled() const { return m_state->cancel.load(); }

    FetchError transfer() {
        if (cancelled())
            return {FetchFailure::Cancelled, 0, QStringLiteral("cancelled")};
        const std::optional<Target> target = splitUrl(m_url);
        if (!target)
            return {FetchFailure::Transfer, 0, QStringLiteral("malformed URL")};
        // Declared so that the multi handle goes first and the URL handle last.
        std::unique_ptr<CURLU, decltype(&curl_url_cleanup)> url(curl_url(), curl_url_cleanup);
        std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> headers(nullptr, curl_slist_free_all);
        std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> easy(curl_easy_init(), curl_easy_cleanup);
        std::unique_ptr<CURLM, decltype(&curl_multi_cleanup)> multi(curl_multi_init(), curl_multi_cleanup);
        if (!url || !easy || !multi || !setTarget(url.get(), *target) || !setUp(easy.get(), url.get(), headers) ||
            curl_multi_add_handle(multi.get(), easy.get()) != CURLM_OK)
            return {FetchFailure::Transfer, 0, QStringLiteral("the transfer cannot be set up")};
        {
            std::lock_guard lock(m_state->mutex);
            m_state->multi = multi.get();
        }
        const Ended ended = drive(multi.get());
        {
            std::lock_guard lock(m_state->mutex);
            m_state->multi = nullptr;
        }
        // libcurl's own verdict on the transfer; without it a reset or a short body looks complete.
        std::optional<CURLcode> result;
        int queued = 0;
        while (const CURLMsg* message = curl_multi_info_read(multi.get(), &queued))
            if (message->msg == CURLMSG_DONE && message->easy_handle == easy.get())
                result = message->data.result;
        curl_multi_remove_handle(multi.get(), easy.get());
        return judge(ended, result);
    }

    // What became of the transfer, most specific cause first: a cancel, then what the callbacks refused,
    // then the time limits, then libcurl's result, then the reply's own completeness.
    FetchError judge(Ended ended, std::optional<CURLcode> result) {
        if (cancelled() || ended == Ended::Cancelled)
            return {FetchFailure::Cancelled, 0, QStringLiteral("cancelled")};
        if (m_failure.kind != FetchFailure::None)
            return m_failure;
        if (ended == Ended::Deadline)
            return {FetchFailure::Deadline, 0, QStringLiteral("not done within %1 ms").arg(m_deadlineMs)};
        if (ended == Ended::Idle)
            return {FetchFailure::Idle, 0, QStringLiteral("nothing received for %1 ms").arg(m_idleTimeoutMs)};
        if (ended == Ended::Broken || !result)
            return {FetchFailure::Transfer, 0, QStringLiteral("the transfer broke off")};
        if (*result != CURLE_OK) {
            const QString detail = QString::fromLocal8Bit(m_errorText[0] ? m_errorText : curl_easy_strerror(*result));
            return {*result == CURLE_PARTIAL_FILE ? FetchFailure::Incomplete : FetchFailure::Transfer, 0, detail};
        }
        if (!m_headersDone)
            return {FetchFailure::Transfer, 0, QStringLiteral("no reply")};
        if (m_length >= 0 && m_received != m_length)
            return {FetchFailure::Incomplete, 0,
                    QStringLiteral("%1 of %2 bytes received").arg(m_received).arg(m_length)};
        if (m_toFile) {
            // The updater installs whatever a completed download leaves: an empty one is not one.
            if (m_received == 0)
                return {FetchFailure::Incomplete, 0, QStringLiteral("empty reply")};
            if (!m_file || !m_file->commit())
                return {FetchFailure::File, 0, m_file ? m_file->errorString() : QString()};
        }
        return {};
    }

    static bool setTarget(CURLU* url, const Target& target) {
        const QByteArray origin = "http://" + target.server.host + ':' + QByteArray::number(target.server.port);
        const QByteArray object = EncodeRequestTarget(target.object);
        // Parsing a whole URL would cut the object at a "#"; setting the path part keeps it.
        if (!object.contains('#'))
            return curl_url_set(url, CURLUPART_URL, (origin + object).constData(), CURLU_PATH_AS_IS) == CURLUE_OK;
        return curl_url_set(url, CURLUPART_URL, (origin + '/').constData(), 0) == CURLUE_OK &&
               curl_url_set(url, CURLUPART_PATH, object.constData(), 0) == CURLUE_OK;
    }

    bool setUp(CURL* easy, CURLU* url, std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)>& headers) {
        const auto add = [&headers](const QByteArray& line) {
            curl_slist* list = curl_slist_append(headers.get(), line.constData());
            if (!list)
                return false;
            headers.release();
            headers.reset(list);
            return true;
        };
        const QByteArray accept = headerValue(m_acceptTypes);
        // "Accept;" is libcurl's way of sending a header with an empty value.
        bool ok = add(accept.isEmpty() ? QByteArray("Accept;") : "Accept: " + accept);
        if (!m_useCache)
            ok = ok && add("Pragma: no-cache") && add("Cache-Control: no-cache");
        const bool post = !m_postQuery.isEmpty();
        if (post)
            ok = ok && add("Content-Type: application/x-www-form-urlencoded") && add("Expect:");
        if (!ok)
            return false;

        curl_easy_setopt(easy, CURLOPT_CURLU, url);
        curl_easy_setopt(easy, CURLOPT_PATH_AS_IS, 1L);
        curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http");
        curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
        curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, m_errorText);
#if LIBCURL_VERSION_NUM >= 0x075700
        // A name lookup still running must not hold up a cancel or the component's destruction.
        curl_easy_setopt(easy, CURLOPT_QUICK_EXIT, 1L);
#endif
        // A redirect is a failed fetch like any status outside 2xx.
        curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
        if (m_connectTimeoutMs > 0)
            curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(m_connectTimeoutMs));
        if (!m_agent.isEmpty())
            curl_easy_setopt(easy, CURLOPT_USERAGENT, headerValue(m_agent).constData());
        if (!m_referer.isEmpty())
            curl_easy_setopt(easy, CURLOPT_REFERER, headerValue(m_referer).constData());
        if (!m_userName.isEmpty() || !m_password.isEmpty()) {
            curl_easy_setopt(easy, CURLOPT_USERNAME, m_userName.constData());
            curl_easy_setopt(easy, CURLOPT_PASSWORD, m_password.constData());
        }
        if (post) {
            curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(m_postQuery.size()));
            curl_easy_setopt(easy, CURLOPT_COPYPOSTFIELDS, m_postQuery.constData());
        }
        curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers.get());
        curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &HttpGetWorker::onHeader);
        curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
        curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &HttpGetWorker::onBody);
        curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
        return true;
    }

    // Drives the transfer until libcurl is done with it, it is cancelled, or a time limit passes. The
    // deadline counts from the start; the idle time from the last byte received.
    Ended drive(CURLM* multi) {
        using std::chrono::milliseconds;
        const Clock::time_point begin = Clock::now();
        m_lastActivity = begin;
        for (;;) {
            int running = 0;
            if (curl_multi_perform(multi, &running) != CURLM_OK)
                return Ended::Broken;
            if (running == 0)
                return Ended::Finished;
            if (cancelled())
                return Ended::Cancelled;
            const Clock::time_point now = Clock::now();
            Clock::duration wait = std::chrono::seconds(1);
            if (m_deadlineMs > 0) {
                const Clock::duration left = begin + milliseconds(m_deadlineMs) - now;
                if (left <= Clock::duration::zero())
                    return Ended::Deadline;
                wait = std::min(wait, left);
            }
            if (m_idleTimeoutMs > 0) {
                const Clock::duration left = m_lastActivity + milliseconds(m_idleTimeoutMs) - now;
                if (left <= Clock::duration::zero())
                    return Ended::Idle;
                wait = std::min(wait, left);
            }
            // Rounded up, so that a limit a fraction of a millisecond away does not spin.
            const auto waitMs = static_cast<int>(std::chrono::ceil<milliseconds>(wait).count());
            if (curl_multi_poll(multi, nullptr, 0, waitMs, nullptr) != CURLM_OK)
                return Ended::Broken;
        }
    }

    // Records why the transfer is refused; returning 0 from a callback makes libcurl stop it.
    size_t refuse(FetchFailure kind, const QString& detail) {
        m_failure = {kind, 0, detail};
        return 0;
    }

    static size_t onHeader(char* data, size_t size, size_t count, void* self) {
        auto* t = static_cast<HttpGetWorker*>(self);
        const size_t n = size * count;
        t->m_lastActivity = Clock::now();
        const QByteArray line = QByteArray(data, static_cast<qsizetype>(n)).trimmed();
        if (line.startsWith("HTTP/")) {
            // A new response (an interim one may come first): only the last one's headers count.
            t->m_lengthText.clear();
            t->m_lengthFound = false;
            t->m_statusLine = line;
            const QList<QByteArray> parts = line.split(' ');
            t->m_status = parts.size() > 1 ? parts[1].toInt() : 0;
            return n;
        }
        if (line.isEmpty())
            return t->m_status >= 100 && t->m_status < 200 ? n : t->startBody(n);
        const qsizetype colon = line.indexOf(':');
        if (!t->m_lengthFound && colon > 0 &&
            line.left(colon).trimmed().compare("Content-Length", Qt::CaseInsensitive) == 0) {
            t->m_lengthFound = true;
            t->m_lengthText = line.mid(colon + 1).trimmed();
        }
        return n;
    }

    // The final response's headers are in: everything that can be judged before the body is.
    size_t startBody(size_t n) {
        m_headersDone = true;
        if (m_status < 200 || m_status > 299)
            return refuse(FetchFailure::HttpStatus, QString::fromLatin1(m_statusLine));
        if (m_lengthFound) {
            bool ok = false;
            m_length = m_lengthText.toLongLong(&ok, 10);
            if (!ok || m_length < 0)
                return refuse(FetchFailure::Transfer, QStringLiteral("Content-Length is not a number"));
            if (m_maxReplyBytes > 0 && m_length > m_maxReplyBytes)
                return refuse(FetchFailure::TooLarge, tooLarge(m_length));
        } else if (m_toFile || m_binaryData) {
            // Completeness cannot be told without the length: the body is not worth reading.
            return refuse(FetchFailure::Incomplete, QStringLiteral("no Content-Length"));
        }
        if (m_toFile) {
            m_file = std::make_unique<QSaveFile>(m_fileName);
            if (!m_file->open(QIODevice::WriteOnly))
                return refuse(FetchFailure::File, m_file->errorString());
        } else if (m_length > 0) {
            m_body.reserve(m_length);
        }
        return n;
    }

    static size_t onBody(char* data, size_t size, size_t count, void* self) {
        auto* t = static_cast<HttpGetWorker*>(self);
        const auto n = static_cast<qint64>(size * count);
        if (t->cancelled())
            return 0;
        if (!t->m_headersDone)
            return t->refuse(FetchFailure::Transfer, QStringLiteral("a body without headers"));
        // Checked before the bytes are kept, so that no more than the limit is ever held.
        if (t->m_maxReplyBytes > 0 && n > t->m_maxReplyBytes - t->m_received)
            return t->refuse(FetchFailure::TooLarge, t->tooLarge(t->m_received + n));
        if (t->m_toFile) {
            if (t->m_file->write(data, n) != n)
                return t->refuse(FetchFailure::File, t->m_file->errorString());
        } else {
            t->m_body.append(data, n);
        }
        t->m_received += n;
        t->m_lastActivity = Clock::now();
        t->publishProgress();
        return static_cast<size_t>(n);
    }

    QString tooLarge(qint64 bytes) const {
        return QStringLiteral("%1 bytes, more than %2").arg(bytes).arg(m_maxReplyBytes);
    }

    // Leaves the latest counts for the owner's thread and posts a "look now" only when none is
    // pending: the worker never waits for the UI, and a busy UI gets one update for many blocks.
    void publishProgress() {
        std::lock_guard lock(m_state->mutex);
        m_state->progressTotal = std::max<qint64>(m_length, 0);
        m_state->progressReceived = m_received;
        if (m_state->progressPosted || !m_state->owner)
            return;
        m_state->progressPosted = true;
        QMetaObject::invokeMethod(m_state->owner, &HttpGet::progressEvent, Qt::QueuedConnection);
    }

    std::shared_ptr<HttpGet::State> m_state;
    const QByteArray m_acceptTypes;
    const QByteArray m_agent;
    const QByteArray m_url;
    const QString m_fileName;
    const QByteArray m_userName;
    const QByteArray m_password;
    const QByteArray m_postQuery;
    const QByteArray m_referer;
    const bool m_binaryData;
    const bool m_useCache;
    const bool m_toFile;
    const int m_connectTimeoutMs;
    const int m_idleTimeoutMs;
    const int m_deadlineMs;
    const qint64 m_maxReplyBytes;

    char m_errorText[CURL_ERROR_SIZE] = {};
    FetchError m_failure; // why a callback stopped the transfer
    QByteArray m_statusLine;
    int m_status = 0;
    QByteArray m_lengthText;
    bool m_lengthFound = false;
    bool m_headersDone = false;
    qint64 m_length = -1; // the final response's Content-Length, -1 without one
    qint64 m_received = 0;
    QByteArray m_body;
    std::unique_ptr<QSaveFile> m_file;
    Clock::time_point m_lastActivity;
};

HttpGet::HttpGet(QObject* parent) : QObject(parent), m_state(std::make_shared<State>()) {
    m_state->owner = this;
    initCurl();
}

HttpGet::~HttpGet() {
    const std::shared_ptr<State> state = m_state;
    {
        std::lock_guard lock(state->mutex);
        state->owner = nullptr;
        state->cancel = true;
        if (state->multi)
            curl_multi_wakeup(state->multi);
    }
    state->gone = true;
    // The worker never waits for this thread and sees the cancel at once, so this returns promptly.
    if (state->worker.joinable())
        state->worker.join();
}

void HttpGet::fetchString() {
    start(false);
}

void HttpGet::fetchFile() {
    start(true);
}

void HttpGet::cancelFetch() {
    if (!m_state->busy)
        return;
    std::lock_guard lock(m_state->mutex);
    m_state->cancel = true;
    if (m_state->multi)
        curl_multi_wakeup(m_state->multi);
}

bool HttpGet::isBusy() const {
    return m_state->busy;
}

void HttpGet::start(bool toFile) {
    const std::shared_ptr<State> state = m_state;
    if (state->busy)
        return;
    auto job = std::make_unique<HttpGetWorker>(*this, state, toFile);
    state->busy = true;
    state->toFile = toFile;
    state->cancel = false;
    const quint64 serial = ++state->started;
    try {
        state->worker = std::thread([job = std::move(job)] { job->run(); });
    } catch (const std::system_error&) {
        std::lock_guard lock(state->mutex);
        state->doneError = {FetchFailure::Transfer, 0, QStringLiteral("no worker thread")};
        QMetaObject::invokeMethod(this, &HttpGet::doneEvent, Qt::QueuedConnection);
    }
    if (!m_waitThread)
        return;
    while (!state->gone && state->finished < serial)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void HttpGet::progressEvent() {
    const std::shared_ptr<State> state = m_state;
    std::unique_lock lock(state->mutex);
    state->progressPosted = false;
    const qint64 total = state->progressTotal;
    const qint64 received = state->progressReceived;
    lock.unlock();
    if (!state->cancel)
        guarded([&] { emit progress(this, total, received); });
}

void HttpGet::doneEvent() {
    const std::shared_ptr<State> state = m_state;
    // The worker's last act was posting this; wait for its thread to end.
    if (state->worker.joinable())
        state->worker.join();
    std::unique_lock lock(state->mutex);
    FetchError error = std::move(state->doneError);
    const QByteArray body = std::move(state->doneBody);
    const QString fileName = std::move(state->doneFileName);
    const qint64 size = state->doneSize;
    state->doneError = {};
    lock.unlock();
    // A cancel wins over a reply that arrived just before it (a download already in place stays: it is
    // whole, and the caller, told it failed, will not use it).
    if (state->cancel && error.kind != FetchFailure::Cancelled)
        error = {FetchFailure::Cancelled, error.httpStatus, QStringLiteral("cancelled")};

    guarded([&] {
        if (error.kind != FetchFailure::None)
            emit failed(this, error);
        else if (state->toFile)
            emit doneFile(this, fileName, size);
        else
            emit doneString(this, body);
    });
    if (state->gone)
        return;
    state->busy = false;
    ++state->finished;
}
