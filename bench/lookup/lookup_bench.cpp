// Lookup benchmark. Default mode: 50 lookups of demo players by nickname through the main window
// against orvane-statsd on loopback, timed from Go to the progress window closing, beside a floor: the
// same requests in the same dependency order made by a plain libcurl loop; then the peak memory.
// "--startup": one start of the program, timed from main() to the main window shown and painted.
#include "app/main_window.h"
#include "app/platform_hooks.h"
#include "app/progress_window.h"
#include "lookup/lookup_rules.h"
#include "resources/art.h"
#include "service/httpget.h"
#include "service/protocol.h"
#include "service/text_codec.h"
#include "settings/settings_store.h"
#include "skin/skin.h"
#include "statsd_process.h"

#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <curl/curl.h>
#include <optional>
#include <sys/resource.h>
#include <vector>

namespace {

constexpr int MeasuredLookups = 50;
constexpr int WarmUpLookups = 3;
// Bounds a lookup or a transfer that hangs; a healthy one takes milliseconds.
constexpr int LookupTimeoutMs = 15000;
constexpr int StartupTimeoutMs = 30000;

double toMs(qint64 ns) {
    return static_cast<double>(ns) / 1e6;
}

double median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

// Nearest-rank percentile.
double percentile(std::vector<double> values, int p) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t rank = (values.size() * static_cast<size_t>(p) + 99) / 100;
    return values[std::clamp<size_t>(rank, 1, values.size()) - 1];
}

// Peak resident set in KiB: VmHWM, or ru_maxrss where /proc is not there.
long peakKib() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine())
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

double mib(long kib) {
    return static_cast<double>(kib) / 1024.0;
}

bool writeSettings(const QString& path, const QByteArray& statsServer) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("[Allgemein]\r\nstatsserver=" + statsServer + "\r\n") > 0;
}

// The offscreen platform's notes on what it cannot do (raise, size hints) would bury the figures.
void quietMessages(QtMsgType, const QMessageLogContext&, const QString& message) {
    if (message.startsWith(QLatin1String("This plugin does not support")) ||
        message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(message));
}

void startApplication(QApplication& app) {
    QApplication::setApplicationName(QStringLiteral("Orvane"));
    initOrvaneArt();
    Skin::apply(app);
}

// ---------------------------------------------------------------------------------------------
// The floor: plain libcurl, HTTP/1.0, the program's agent and headers, the program's URLs.

class PlainClient final {
public:
    PlainClient() {
        curl_global_init(CURL_GLOBAL_DEFAULT);
        m_multi = curl_multi_init();
        for (const char* header : {"Accept: */*", "Pragma: no-cache", "Cache-Control: no-cache"})
            m_headers = curl_slist_append(m_headers, header);
    }
    ~PlainClient() {
        curl_multi_cleanup(m_multi);
        curl_slist_free_all(m_headers);
        curl_global_cleanup();
    }
    PlainClient(const PlainClient&) = delete;
    PlainClient& operator=(const PlainClient&) = delete;

    // One GET; nothing on a transport failure or an empty body.
    std::optional<QByteArray> get(const QByteArray& url) {
        std::vector<QByteArray> bodies;
        if (!getAll({url}, bodies))
            return std::nullopt;
        return bodies.front();
    }

    // The GETs at once on the multi handle; false when any of them failed.
    bool getAll(const std::vector<QByteArray>& urls, std::vector<QByteArray>& bodies) {
        bodies.assign(urls.size(), QByteArray());
        std::vector<CURL*> handles;
        for (size_t i = 0; i < urls.size(); ++i) {
            CURL* easy = curl_easy_init();
            if (!easy)
                break;
            const QByteArray url = EncodeRequestTarget(urls[i]);
            curl_easy_setopt(easy, CURLOPT_URL, url.constData());
            curl_easy_setopt(easy, CURLOPT_PATH_AS_IS, 1L);
            curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
            curl_easy_setopt(easy, CURLOPT_USERAGENT, "GameSpyHTTP/1.0");
            curl_easy_setopt(easy, CURLOPT_HTTPHEADER, m_headers);
            curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
            curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, static_cast<long>(LookupTimeoutMs));
            curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &PlainClient::append);
            curl_easy_setopt(easy, CURLOPT_WRITEDATA, &bodies[i]);
            handles.push_back(easy);
            curl_multi_add_handle(m_multi, easy);
        }
        bool ok = handles.size() == urls.size();
        int running = static_cast<int>(handles.size());
        while (ok && running > 0) {
            if (curl_multi_perform(m_multi, &running) != CURLM_OK)
                ok = false;
            else if (running > 0)
                curl_multi_poll(m_multi, nullptr, 0, 1000, nullptr);
        }
        int left = 0;
        int succeeded = 0;
        while (CURLMsg* msg = curl_multi_info_read(m_multi, &left))
            if (msg->msg == CURLMSG_DONE && msg->data.result == CURLE_OK)
                ++succeeded;
        for (CURL* easy : handles) {
            curl_multi_remove_handle(m_multi, easy);
            curl_easy_cleanup(easy);
        }
        return ok && succeeded == static_cast<int>(urls.size()) &&
               std::none_of(bodies.begin(), bodies.end(), [](const QByteArray& b) { return b.isEmpty(); });
    }

private:
    static size_t append(char* data, size_t size, size_t count, void* body) {
        static_cast<QByteArray*>(body)->append(data, static_cast<qsizetype>(size * count));
        return size * count;
    }

    CURLM* m_multi = nullptr;
    curl_slist* m_headers = nullptr;
};

struct FloorResult {
    qint64 search = 0; // nanoseconds from the start to each reply
    qint64 stats = 0;
    qint64 done = 0;
    QByteArray pid;
};

// Runs the event loop until done() holds; false after timeoutMs. A timer wakes the loop now and then,
// so that a wait for something that never comes still ends.
template <typename Done> bool waitUntil(Done done, int timeoutMs) {
    QTimer watchdog;
    watchdog.start(100);
    const QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// Search, then general statistics, then the five fan-out requests in parallel.
std::optional<FloorResult> floorLookup(PlainClient& client, const QByteArray& host, const QByteArray& nick) {
    QElapsedTimer clock;
    clock.start();
    const std::optional<QByteArray> search = client.get(Requests::PlayerSearch(host, nick));
    const std::optional<ReplyTokens> found = search ? AcceptReply(ReplyKind::PID, *search) : std::nullopt;
    if (!found || found->at(12).isEmpty())
        return std::nullopt;
    FloorResult result;
    result.search = clock.nsecsElapsed();
    result.pid = found->at(12);
    const QByteArray& pid = result.pid;
    // Tested, not cut: reading the statistics is the program's work, not the floor's.
    const std::optional<QByteArray> stats = client.get(Requests::GeneralStats(host, pid));
    if (!stats || !ReplyCheck(*stats, ReplyTest::GeneralStatistics))
        return std::nullopt;
    result.stats = clock.nsecsElapsed();
    std::vector<QByteArray> bodies;
    if (!client.getAll({Requests::Rank(host, pid), Requests::Maps(host, pid), Requests::Awards(host, pid),
                        Requests::Unlocks(host, pid), Requests::TopTen(host)},
                       bodies))
        return std::nullopt;
    result.done = clock.nsecsElapsed();
    return result;
}

// Nicknames of the demo population in leaderboard order, as the service sends them (Windows-1252).
// Digits-only names would be looked up as PIDs and a "#" would end the URL; both are left out.
std::vector<QByteArray> demoNicks(PlainClient& client, const QByteArray& host) {
    const std::optional<QByteArray> board =
        client.get("http://" + host + "/ASP/getleaderboard.aspx?type=score&id=overall&pos=1&before=0&after=999");
    std::vector<QByteArray> nicks;
    if (!board)
        return nicks;
    // Rows: D, n, pid, nick, score, totaltime, playerrank, countrycode.
    for (const QByteArray& line : board->split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() != 8 || fields[0] != "D")
            continue;
        const QByteArray& nick = fields[3];
        if (nick.isEmpty() || nick.contains('#') || Lookup::IsPid(FromWin1252(nick)))
            continue;
        nicks.push_back(nick);
    }
    return nicks;
}

bool hasClanTag(const QByteArray& nick) {
    return !nick.isEmpty() && QByteArray("=[-{|(~*").contains(nick.front());
}

// ---------------------------------------------------------------------------------------------
// The program: Go on the real main window, finished when the progress window hides and every
// fetcher is idle (the top ten may still arrive after the window closed).

// Where the time of one lookup went, in nanoseconds from the start.
struct ProgramStages {
    qint64 go = 0;     // Go returned: history, settings file, progress window, first request started
    qint64 search = 0; // the player-search reply handled
    qint64 stats = 0;  // the general-statistics reply handled (fan-out started, two pages filled)
    qint64 closed = 0; // the progress window closed: the five counted replies handled
};

class ProgramDriver final : public QObject {
public:
    explicit ProgramDriver(TForm3& window)
        : m_window(window), m_input(window.findChild<QComboBox*>(QStringLiteral("Ed_Username"))) {
        window.progressWindow()->installEventFilter(this);
        // Connected after the window's own handlers, so these run once a reply has been handled.
        connect(window.fetcher(ReplyKind::PID), &THTTPGet::OnDoneString, this,
                [this] { m_stages.search = m_clock.nsecsElapsed(); });
        connect(window.fetcher(ReplyKind::Stats), &THTTPGet::OnDoneString, this,
                [this] { m_stages.stats = m_clock.nsecsElapsed(); });
    }

    bool isReady() const { return m_input != nullptr; }

    // Nothing when the lookup did not finish.
    std::optional<ProgramStages> lookup(const QByteArray& nick) {
        m_input->setEditText(FromWin1252(nick));
        m_stages = {};
        m_hidden = false;
        m_clock.start();
        m_window.Ed_EingabeClick();
        m_stages.go = m_clock.nsecsElapsed();
        if (!waitUntil([this] { return m_hidden && idle(); }, LookupTimeoutMs))
            return std::nullopt;
        if (m_window.progressWindow()->overallProgress() != 100)
            return std::nullopt;
        return m_stages;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_window.progressWindow() && event->type() == QEvent::Hide && m_clock.isValid() && !m_hidden) {
            m_stages.closed = m_clock.nsecsElapsed();
            m_hidden = true;
        }
        return false;
    }

private:
    bool idle() const {
        for (int i = 0; i < ReplyKindCount; ++i)
            if (m_window.fetcher(static_cast<ReplyKind>(i))->isBusy())
                return false;
        return true;
    }

    TForm3& m_window;
    QComboBox* m_input;
    QElapsedTimer m_clock;
    ProgramStages m_stages;
    bool m_hidden = false;
};

// When the main window was shown and when its first paint was done, on the given clock.
struct ShownTimes {
    qint64 shownNs = 0;
    qint64 paintedNs = 0;
};

class ShowWatch final : public QObject {
public:
    std::optional<qint64> shownAt;
    bool painted = false;

    explicit ShowWatch(const QElapsedTimer& clock) : m_clock(clock) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show && !shownAt)
            shownAt = m_clock.nsecsElapsed();
        else if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }

private:
    const QElapsedTimer& m_clock;
};

// Shows the window and runs the loop until its first paint has been done; nothing on a time-out.
std::optional<ShownTimes> showAndPaint(TForm3& window, const QElapsedTimer& clock) {
    ShowWatch watch(clock);
    window.installEventFilter(&watch);
    window.show();
    // The filter sees the paint event before it is handled; the loop pass that delivered it ends
    // after the whole window has been painted.
    waitUntil([&] { return watch.painted; }, StartupTimeoutMs);
    const qint64 paintedNs = clock.nsecsElapsed();
    window.removeEventFilter(&watch);
    if (!watch.shownAt || !watch.painted)
        return std::nullopt;
    return ShownTimes{*watch.shownAt, paintedNs};
}

int runStartup(int argc, char* argv[]) {
    // The settings file is the harness's work; the clock starts after it, before anything of the program.
    QTemporaryDir dir;
    const QString settings = dir.filePath(QStringLiteral("Settings.ini"));
    if (!dir.isValid() || !writeSettings(settings, DefaultServer)) {
        std::fprintf(stderr, "lookup bench: cannot write a settings file\n");
        return 1;
    }
    QElapsedTimer clock;
    clock.start();

    QApplication app(argc, argv);
    startApplication(app);
    TForm3 window(MainWindowOptions{settings, {}});
    const std::optional<ShownTimes> times = showAndPaint(window, clock);
    if (!times) {
        std::fprintf(stderr, "lookup bench: the main window was not shown and painted in time\n");
        return 1;
    }
    std::printf("startup-ms %.2f %.2f\n", toMs(times->shownNs), toMs(times->paintedNs));
    return 0;
}

int runLookups(int argc, char* argv[]) {
    QApplication app(argc, argv);
    startApplication(app);
    QString failure;
    PlatformHooks::setMessageBoxAnswer([&failure](QMessageBox::Icon, const QString&, const QString& text) {
        failure = text;
        return QMessageBox::Ok;
    });

    StatsdProcess statsd({QStringLiteral("--quiet")});
    if (!statsd.isReady()) {
        std::fprintf(stderr, "lookup bench: %s\n", qPrintable(statsd.errorString()));
        return 1;
    }
    const QByteArray host = statsd.hostPort();
    PlainClient client;

    const std::vector<QByteArray> population = demoNicks(client, host);
    const size_t wanted = WarmUpLookups + MeasuredLookups;
    if (population.size() < wanted) {
        std::fprintf(stderr, "lookup bench: the service listed only %zu nicknames\n", population.size());
        return 1;
    }
    // Spread over the whole board, from the best scores to the worst.
    std::vector<QByteArray> nicks;
    for (size_t i = 0; i < wanted; ++i)
        nicks.push_back(population[i * population.size() / wanted]);

    QTemporaryDir dir;
    const QString settings = dir.filePath(QStringLiteral("Settings.ini"));
    if (!dir.isValid() || !writeSettings(settings, host)) {
        std::fprintf(stderr, "lookup bench: cannot write a settings file\n");
        return 1;
    }
    TForm3 window(MainWindowOptions{settings, {}});
    QElapsedTimer clock;
    clock.start();
    if (!showAndPaint(window, clock)) {
        std::fprintf(stderr, "lookup bench: the main window was not shown in time\n");
        return 1;
    }
    const long peakBefore = peakKib();
    ProgramDriver driver(window);
    if (!driver.isReady()) {
        std::fprintf(stderr, "lookup bench: the main window has no Ed_Username\n");
        return 1;
    }

    // Per stage, over the measured lookups.
    std::vector<double> programGo, programSearch, programStats, programMs;
    std::vector<double> floorSearch, floorStats, floorMs;
    int clanTags = 0;
    int blanks = 0;
    for (size_t i = 0; i < nicks.size(); ++i) {
        const QByteArray& nick = nicks[i];
        const bool measured = i >= static_cast<size_t>(WarmUpLookups);
        // Whichever goes second finds the service's caches warm for this player: take turns.
        const bool floorFirst = i % 2 == 1;
        std::optional<FloorResult> floor;
        std::optional<ProgramStages> program;
        const char* failed = nullptr;
        if (floorFirst && !(floor = floorLookup(client, host, nick)))
            failed = "plain libcurl";
        if (!failed && !(program = driver.lookup(nick)))
            failed = "program";
        if (!failed && !floorFirst && !(floor = floorLookup(client, host, nick)))
            failed = "plain libcurl";
        if (!failed && window.CurrentPid != floor->pid)
            failed = "the program and plain libcurl found different players";
        if (failed) {
            std::fprintf(stderr, "lookup bench: the lookup of \"%s\" failed (%s)%s%s\n", nick.constData(), failed,
                         failure.isEmpty() ? "" : ": ", qPrintable(failure));
            return 1;
        }
        if (!measured)
            continue;
        programGo.push_back(toMs(program->go));
        programSearch.push_back(toMs(program->search));
        programStats.push_back(toMs(program->stats));
        programMs.push_back(toMs(program->closed));
        floorSearch.push_back(toMs(floor->search));
        floorStats.push_back(toMs(floor->stats));
        floorMs.push_back(toMs(floor->done));
        clanTags += hasClanTag(nick);
        blanks += nick.contains(' ');
    }
    const long peakAfter = peakKib();

    const double program = median(programMs);
    const double floor = median(floorMs);
    std::printf("lookup: median %.1f ms over %d lookups (floor %.1f ms, plain libcurl), ratio %.2f\n", program,
                MeasuredLookups, floor, floor > 0 ? program / floor : 0.0);
    std::printf("lookup: program p10 %.1f / p90 %.1f ms, floor p10 %.1f / p90 %.1f ms; %d demo nicknames "
                "(%d with a clan tag, %d with a blank), after %d warm-up lookups\n",
                percentile(programMs, 10), percentile(programMs, 90), percentile(floorMs, 10), percentile(floorMs, 90),
                MeasuredLookups, clanTags, blanks, WarmUpLookups);
    std::printf("lookup stages, median ms from the start: program Go returned %.1f, search handled %.1f, "
                "statistics handled %.1f, window closed %.1f; floor search %.1f, statistics %.1f, fan-out done %.1f\n",
                median(programGo), median(programSearch), median(programStats), program, median(floorSearch),
                median(floorStats), floor);
    std::printf("peak memory after %d lookups: %.1f MiB (VmHWM; %.1f MiB with the main window up, before "
                "the first lookup)\n",
                MeasuredLookups, mib(peakAfter), mib(peakBefore));
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietMessages);
    const bool startup = argc > 1 && qstrcmp(argv[1], "--startup") == 0;
    return startup ? runStartup(argc, argv) : runLookups(argc, argv);
}
