#include "service/httpget.h"

#include <QCoreApplication>
#include <QFile>
#include <QMetaMethod>
#include <QtGlobal>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <curl/curl.h>
#include <exception>
#include <limits>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// The reply is read, appended and reported in blocks of at most this size.
constexpr qsizetype BlockSize = 1025;

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
        qWarning("THTTPGet: an event handler failed: %s", e.what());
    } catch (...) {
        qWarning("THTTPGet: an event handler failed");
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

struct THTTPGet::State {
    std::mutex mutex;
    std::condition_variable wake;
    std::atomic<bool> cancel{false};

    // Guarded by mutex: the worker reads and writes these.
    THTTPGet* owner = nullptr; // null once the component is destroyed
    CURLM* multi = nullptr;    // set while a transfer runs, so that a cancel can wake it
    bool progressPending = false;
    qint32 progressTotal = 0;
    qint32 progressReaded = 0;
    bool donePending = false;
    bool doneOk = false;
    bool doneToFile = false;
    QByteArray doneText;
    QString doneFileName;
    qint32 doneSize = 0;

    // The owner's thread only.
    bool busy = false;
    bool gone = false;
    quint64 started = 0;
    quint64 finished = 0;
    std::thread worker;
};

// One transfer on a thread of its own. Touches only its own copies and the shared hand-over state.
class THTTPGetThread final {
public:
    THTTPGetThread(const THTTPGet& owner, std::shared_ptr<THTTPGet::State> state, bool toFile, bool progress)
        : m_state(std::move(state)), m_acceptTypes(ownCopy(owner.m_acceptTypes)), m_agent(ownCopy(owner.m_agent)),
          m_url(ownCopy(owner.m_url)), m_fileName(ownCopy(owner.m_fileName)), m_userName(ownCopy(owner.m_userName)),
          m_password(ownCopy(owner.m_password)), m_postQuery(ownCopy(owner.m_postQuery)),
          m_referer(ownCopy(owner.m_referer)), m_binaryData(owner.m_binaryData), m_useCache(owner.m_useCache),
          m_progress(progress), m_toFile(toFile), m_connectTimeoutMs(owner.m_connectTimeoutMs),
          m_idleTimeoutMs(owner.m_idleTimeoutMs) {}

    ~THTTPGetThread() { closeFile(); }
    THTTPGetThread(const THTTPGetThread&) = delete;
    THTTPGetThread& operator=(const THTTPGetThread&) = delete;

    void Execute() {
        const bool ok = !cancelled() && transfer();
        const bool closed = closeFile();
        std::lock_guard lock(m_state->mutex);
        if (!m_state->owner)
            return;
        m_state->donePending = true;
        m_state->doneOk = ok && closed;
        m_state->doneToFile = m_toFile;
        m_state->doneText = std::move(m_text);
        m_state->doneFileName = ownCopy(m_fileName);
        m_state->doneSize = m_totalSize;
        QMetaObject::invokeMethod(m_state->owner, "workerEvent", Qt::QueuedConnection);
    }

private:
    bool cancelled() const { return m_state->cancel.load(); }

    bool transfer() {
        const std::optional<Target> target = splitUrl(m_url);
        if (!target)
            return false;
        // Declared so that the multi handle goes first and the URL handle last.
        std::unique_ptr<CURLU, decltype(&curl_url_cleanup)> url(curl_url(), curl_url_cleanup);
        std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> headers(nullptr, curl_slist_free_all);
        std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> easy(curl_easy_init(), curl_easy_cleanup);
        std::unique_ptr<CURLM, decltype(&curl_multi_cleanup)> multi(curl_multi_init(), curl_multi_cleanup);
        if (!url || !easy || !multi || !setUrl(url.get(), *target) || !setUp(easy.get(), url.get(), headers))
            return false;
        if (curl_multi_add_handle(multi.get(), easy.get()) != CURLM_OK)
            return false;
        {
            std::lock_guard lock(m_state->mutex);
            m_state->multi = multi.get();
        }
        const bool ran = run(multi.get());
        {
            std::lock_guard lock(m_state->mutex);
            m_state->multi = nullptr;
        }
        curl_multi_remove_handle(multi.get(), easy.get());
        if (!ran || m_aborted || cancelled())
            return false;
        // No complete reply arrived: as with a failed length query, the body (if any) starts empty.
        if (!m_bodyStarted && !startBody())
            return false;
        if (m_toFile)
            return closeFile() && m_totalSize == m_readed && m_readed != 0;
        return m_readed > 0;
    }

    static bool setUrl(CURLU* url, const Target& target) {
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
        // Redirects are handed to the caller as they are, like any other reply.
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
        curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &THTTPGetThread::onHeader);
        curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
        curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &THTTPGetThread::onBody);
        curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
        return true;
    }

    // Drives the transfer until it ends, is cancelled, or nothing arrives for the idle time-out.
    bool run(CURLM* multi) {
        m_lastActivity = Clock::now();
        for (;;) {
            int running = 0;
            if (curl_multi_perform(multi, &running) != CURLM_OK || m_aborted)
                return false;
            if (running == 0)
                return true;
            if (cancelled())
                return false;
            long waitMs = 1000;
            if (m_idleTimeoutMs > 0) {
                const auto idle =
                    std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - m_lastActivity).count();
                if (idle >= m_idleTimeoutMs)
                    return false;
                waitMs = std::min<long>(waitMs, static_cast<long>(m_idleTimeoutMs - idle));
            }
            curl_multi_poll(multi, nullptr, 0, static_cast<int>(waitMs), nullptr);
        }
    }

    static size_t onHeader(char* data, size_t size, size_t count, void* self) {
        auto* t = static_cast<THTTPGetThread*>(self);
        const size_t n = size * count;
        t->m_lastActivity = Clock::now();
        const QByteArray line = QByteArray(data, static_cast<qsizetype>(n)).trimmed();
        if (line.startsWith("HTTP/")) {
            // A new response (an interim one may come first): only the last one's headers count.
            t->m_lengthFound = false;
            t->m_lengthText.clear();
            const QList<QByteArray> parts = line.split(' ');
            t->m_interim = parts.size() > 1 && parts[1].startsWith('1');
            return n;
        }
        if (line.isEmpty()) {
            if (t->m_interim)
                return n;
            t->m_headersDone = true;
            return t->startBody() ? n : t->abort();
        }
        const qsizetype colon = line.indexOf(':');
        if (!t->m_lengthFound && colon > 0 &&
            line.left(colon).trimmed().compare("Content-Length", Qt::CaseInsensitive) == 0) {
            t->m_lengthFound = true;
            t->m_lengthText = line.mid(colon + 1).trimmed();
        }
        return n;
    }

    static size_t onBody(char* data, size_t size, size_t count, void* self) {
        auto* t = static_cast<THTTPGetThread*>(self);
        const size_t n = size * count;
        if (!t->m_bodyStarted && !t->startBody())
            return t->abort();
        for (size_t done = 0; done < n;) {
            if (t->cancelled())
                return t->abort();
            const auto block = static_cast<qsizetype>(std::min<size_t>(n - done, BlockSize));
            if (!t->takeBlock(data + done, block))
                return t->abort();
            done += static_cast<size_t>(block);
            if (t->m_progress)
                t->handOverProgress();
        }
        t->m_lastActivity = Clock::now();
        return n;
    }

    size_t abort() {
        m_aborted = true;
        return 0;
    }

    // The reply's headers are in (or none will come): take the length, then open the target.
    bool startBody() {
        m_bodyStarted = true;
        if (cancelled())
            return false;
        const bool haveLength = m_headersDone && m_lengthFound;
        if (!haveLength && m_binaryData)
            return false;
        if (haveLength) {
            bool ok = false;
            const int length = m_lengthText.toInt(&ok, 10);
            if (!ok)
                return false;
            m_totalSize = length;
        }
        m_readed = 0;
        if (m_toFile) {
            m_file = std::fopen(QFile::encodeName(m_fileName).constData(), "wb");
            if (!m_file)
                return false;
        }
        return true;
    }

    bool takeBlock(const char* data, qsizetype size) {
        if (size > std::numeric_limits<qint32>::max() - m_readed)
            return false;
        if (m_toFile) {
            if (!m_file || std::fwrite(data, 1, static_cast<size_t>(size), m_file) != static_cast<size_t>(size))
                return false;
        } else {
            m_text.append(data, size);
        }
        m_readed += static_cast<qint32>(size);
        return true;
    }

    // Runs OnProgress on the owner's thread and waits until its handlers have returned.
    void handOverProgress() {
        std::unique_lock lock(m_state->mutex);
        if (!m_state->owner || cancelled())
            return;
        m_state->progressPending = true;
        m_state->progressTotal = m_totalSize;
        m_state->progressReaded = m_readed;
        if (!QMetaObject::invokeMethod(m_state->owner, "workerEvent", Qt::QueuedConnection)) {
            m_state->progressPending = false;
            return;
        }
        m_state->wake.wait(lock, [this] { return !m_state->progressPending || cancelled(); });
    }

    bool closeFile() {
        if (!m_file)
            return true;
        const bool ok = std::fclose(m_file) == 0;
        m_file = nullptr;
        return ok;
    }

    std::shared_ptr<THTTPGet::State> m_state;
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
    const bool m_progress; // OnProgress had a handler when the transfer started
    const bool m_toFile;
    const int m_connectTimeoutMs;
    const int m_idleTimeoutMs;

    qint32 m_totalSize = 0;
    qint32 m_readed = 0;
    QByteArray m_text;
    std::FILE* m_file = nullptr;
    QByteArray m_lengthText;
    bool m_lengthFound = false;
    bool m_interim = false;
    bool m_headersDone = false;
    bool m_bodyStarted = false;
    bool m_aborted = false;
    Clock::time_point m_lastActivity;
};

THTTPGet::THTTPGet(QObject* parent) : QObject(parent), m_state(std::make_shared<State>()) {
    m_state->owner = this;
    initCurl();
}

THTTPGet::~THTTPGet() {
    const std::shared_ptr<State> state = m_state;
    {
        std::lock_guard lock(state->mutex);
        state->owner = nullptr;
        state->cancel = true;
        if (state->multi)
            curl_multi_wakeup(state->multi);
        state->wake.notify_all();
    }
    state->gone = true;
    // Every wait of the worker ends on the cancel, so this returns promptly.
    if (state->worker.joinable())
        state->worker.join();
}

void THTTPGet::FetchString() {
    start(false);
}

void THTTPGet::FetchFile() {
    start(true);
}

void THTTPGet::CancelFetch() {
    if (!m_state->busy)
        return;
    std::lock_guard lock(m_state->mutex);
    m_state->cancel = true;
    if (m_state->multi)
        curl_multi_wakeup(m_state->multi);
    m_state->wake.notify_all();
}

bool THTTPGet::isBusy() const {
    return m_state->busy;
}

void THTTPGet::start(bool toFile) {
    const std::shared_ptr<State> state = m_state;
    if (state->busy)
        return;
    const bool progress = isSignalConnected(QMetaMethod::fromSignal(&THTTPGet::OnProgress));
    auto job = std::make_unique<THTTPGetThread>(*this, state, toFile, progress);
    state->busy = true;
    state->cancel = false;
    const quint64 serial = ++state->started;
    try {
        state->worker = std::thread([job = std::move(job)] { job->Execute(); });
    } catch (const std::system_error&) {
        std::lock_guard lock(state->mutex);
        state->donePending = true;
        state->doneOk = false;
        QMetaObject::invokeMethod(this, "workerEvent", Qt::QueuedConnection);
    }
    if (!m_waitThread)
        return;
    while (!state->gone && state->finished < serial)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void THTTPGet::workerEvent() {
    const std::shared_ptr<State> state = m_state;
    std::unique_lock lock(state->mutex);
    if (state->progressPending) {
        const qint32 total = state->progressTotal;
        const qint32 readed = state->progressReaded;
        const bool cancelled = state->cancel;
        lock.unlock();
        if (!cancelled)
            guarded([&] { emit OnProgress(this, total, readed); });
        // The component may be gone by now; only the shared state is touched.
        lock.lock();
        state->progressPending = false;
        state->wake.notify_all();
        return;
    }
    if (!state->donePending)
        return;
    state->donePending = false;
    lock.unlock();
    finishTransfer(state);
}

void THTTPGet::finishTransfer(const std::shared_ptr<State>& state) {
    // The worker's last act was posting this; wait for its thread to end.
    if (state->worker.joinable())
        state->worker.join();
    std::unique_lock lock(state->mutex);
    const bool ok = state->doneOk && !state->cancel;
    const bool toFile = state->doneToFile;
    const QByteArray text = std::move(state->doneText);
    const QString fileName = std::move(state->doneFileName);
    const qint32 size = state->doneSize;
    lock.unlock();

    guarded([&] {
        if (!ok)
            emit OnError(this);
        else if (toFile)
            emit OnDoneFile(this, fileName, size);
        else
            emit OnDoneString(this, text);
    });
    if (state->gone)
        return;
    state->busy = false;
    ++state->finished;
}
