// Lookup benchmark, run by bench/lookup/run.
//
// Default mode: 50 lookups of demo players by nickname through the main window against
// orvane-statsd on loopback, timed from Go (Enter in the input) to the progress window closing,
// beside a floor: the same requests in the same dependency order made by a plain libcurl loop.
// "--reply-delay-ms N": the same against an orvane-statsd that holds back every reply for N ms.
// "--memory": 200 lookups through the main window, then the peak resident set.
// "--startup": one start of the program, timed from main() to the main window shown and painted.
#include "app/main_window.h"
#include "app/platform_hooks.h"
#include "app/progress_window.h"
#include "first_paint.h"
#include "lookup/lookup_rules.h"
#include "lookup/lookup_session.h"
#include "resources/art.h"
#include "service/httpget.h"
#include "service/protocol.h"
#include "service/text_codec.h"
#include "settings/settings_store.h"
#include "skin/skin.h"
#include "statsd_process.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <curl/curl.h>
#include <optional>
#include <sys/resource.h>
#include <vector>

namespace {

using FirstPaint::toMs;
using FirstPaint::waitUntil;

constexpr int MeasuredLookups = 50;
constexpr int WarmUpLookups = 3;
constexpr int MemoryLookups = 200;
// Bounds a lookup or a transfer that hangs; a healthy one takes milliseconds.
constexpr int LookupTimeoutMs = 15000;
constexpr int StartupTimeoutMs = 30000;
constexpr int HelpTimeoutMs = 10000;

// What the figures are held against; printed beside them, never enforced here.
constexpr double LoopbackRatioGoal = 1.5;
constexpr double DelayRatioGoal = 1.05;
constexpr double MemoryGoalMib = 60;

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

const char* verdict(bool met) {
    return met ? "met" : "missed";
}

// A line of /proc/self/status in KiB ("VmHWM", "VmRSS"); 0 where there is none.
long statusKib(const char* key) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray prefix = QByteArray(key) + ':';
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine())
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toLong();
    return 0;
}

// Peak resident set in KiB: VmHWM, or ru_maxrss where /proc is not there.
long peakKib() {
    if (const long hwm = statusKib("VmHWM"))
        return hwm;
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

// Whether the orvane-statsd of this build lists the reply delay in its usage text.
bool statsdKnowsReplyDelay() {
    QProcess help;
    help.setProcessChannelMode(QProcess::MergedChannels);
    help.start(QStringLiteral(ORVANE_STATSD_PATH), {QStringLiteral("--help")});
    if (!help.waitForFinished(HelpTimeoutMs)) {
        help.kill();
        help.waitForFinished(HelpTimeoutMs);
        return false;
    }
    return help.readAll().contains("--reply-delay-ms");
}

// ---------------------------------------------------------------------------------------------
// The floor: plain libcurl, HTTP/1.0, the program's agent and headers, the program's URLs.

struct Transfer {
    QByteArray body;
    qint64 doneNs = -1; // when it ended, on the caller's clock; -1 when it failed
};

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
        QElapsedTimer clock;
        clock.start();
        std::vector<Transfer> transfers;
        if (!getAll({url}, transfers, clock))
            return std::nullopt;
        return transfers.front().body;
    }

    // The GETs at once on the multi handle, each stamped when it ended; false when any failed.
    bool getAll(const std::vector<QByteArray>& urls, std::vector<Transfer>& transfers, const QElapsedTimer& clock) {
        transfers.assign(urls.size(), Transfer());
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
            curl_easy_setopt(easy, CURLOPT_WRITEDATA, &transfers[i].body);
            curl_easy_setopt(easy, CURLOPT_PRIVATE, &transfers[i]);
            handles.push_back(easy);
            curl_multi_add_handle(m_multi, easy);
        }
        bool ok = handles.size() == urls.size();
        int running = static_cast<int>(handles.size());
        const QDeadlineTimer deadline(LookupTimeoutMs + 1000);
        while (ok && running > 0) {
            if (curl_multi_perform(m_multi, &running) != CURLM_OK || deadline.hasExpired()) {
                ok = false;
                break;
            }
            int left = 0;
            while (CURLMsg* msg = curl_multi_info_read(m_multi, &left)) {
                if (msg->msg != CURLMSG_DONE)
                    continue;
                void* done = nullptr;
                curl_easy_getinfo(msg->easy_handle, CURLINFO_PRIVATE, &done);
                if (msg->data.result == CURLE_OK && done)
                    static_cast<Transfer*>(done)->doneNs = clock.nsecsElapsed();
            }
            if (running > 0)
                curl_multi_poll(m_multi, nullptr, 0, 1000, nullptr);
        }
        for (CURL* easy : handles) {
            curl_multi_remove_handle(m_multi, easy);
            curl_easy_cleanup(easy);
        }
        return ok && std::all_of(transfers.begin(), transfers.end(),
                                 [](const Transfer& t) { return t.doneNs >= 0 && !t.body.isEmpty(); });
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
    qint64 search = 0;  // nanoseconds from the start to each reply
    qint64 stats = 0;
    qint64 counted = 0; // the last of the fan-out replies that count towards the progress window
    qint64 done = 0;    // the last of all fan-out replies (the top ten included)
    QByteArray pid;
};

// Search, then general statistics, then the fan-out requests in parallel, in the program's order.
std::optional<FloorResult> floorLookup(PlainClient& client, const QByteArray& host, const QByteArray& nick) {
    QElapsedTimer clock;
    clock.start();
    std::vector<Transfer> one;
    if (!client.getAll({Requests::PlayerSearch(host, nick)}, one, clock))
        return std::nullopt;
    const std::optional<ServiceReply> found = AcceptReply(ReplyKind::Search, one.front().body);
    const QByteArray* foundPid = found ? found->field("pid", 12) : nullptr;
    if (!foundPid || foundPid->isEmpty() || *foundPid == "$")
        return std::nullopt;
    FloorResult result;
    result.search = clock.nsecsElapsed();
    result.pid = *foundPid;
    const QByteArray& pid = result.pid;
    // Tested, not cut: reading the statistics is the program's work, not the floor's.
    if (!client.getAll({Requests::GeneralStats(host, pid)}, one, clock) ||
        !ReplyCheck(one.front().body, ReplyTest::GeneralStatistics))
        return std::nullopt;
    result.stats = clock.nsecsElapsed();

    const std::vector<ReplyKind> kinds{ReplyKind::Rank, ReplyKind::Maps, ReplyKind::Awards, ReplyKind::Unlocks,
                                       ReplyKind::TopTen};
    std::vector<Transfer> fanOut;
    if (!client.getAll({Requests::Rank(host, pid), Requests::Maps(host, pid), Requests::Awards(host, pid),
                        Requests::Unlocks(host, pid), Requests::TopTen(host)},
                       fanOut, clock))
        return std::nullopt;
    for (size_t i = 0; i < kinds.size(); ++i) {
        result.done = std::max(result.done, fanOut[i].doneNs);
        if (replyKindInfo(kinds[i]).progressShare > 0)
            result.counted = std::max(result.counted, fanOut[i].doneNs);
    }
    return result;
}

// Nicknames of the demo population in leaderboard order, as the service sends them (Windows-1252).
// Digits-only names would be looked up as PIDs; they are left out.
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
        if (nick.isEmpty() || Lookup::IsPid(FromWin1252(nick)))
            continue;
        nicks.push_back(nick);
    }
    return nicks;
}

// `count` nicknames spread over the whole board, from the best scores to the worst; the board is
// gone through again when it is shorter.
std::vector<QByteArray> spread(const std::vector<QByteArray>& population, size_t count) {
    std::vector<QByteArray> nicks;
    for (size_t i = 0; i < count; ++i)
        nicks.push_back(count <= population.size() ? population[i * population.size() / count]
                                                   : population[i % population.size()]);
    return nicks;
}

bool hasClanTag(const QByteArray& nick) {
    return !nick.isEmpty() && QByteArray("=[-{|(~*").contains(nick.front());
}

const char* outcomeName(LookupOutcome outcome) {
    switch (outcome) {
    case LookupOutcome::Complete:
        return "complete";
    case LookupOutcome::NotFound:
        return "not found";
    case LookupOutcome::Failed:
        return "failed";
    }
    return "?";
}

// ---------------------------------------------------------------------------------------------
// The program: Enter in the input of the real main window; a lookup is over when the progress
// window has closed and the session has finished (the top ten may still arrive after the close).

// Where the time of one lookup went, in nanoseconds from the key press.
struct ProgramStages {
    qint64 go = 0;       // Go returned: history, settings file, progress window, first request started
    qint64 search = 0;   // the player-search reply handled
    qint64 stats = 0;    // the general-statistics reply handled (fan-out started, two pages filled)
    qint64 closed = 0;   // the progress window closed: the counted replies handled
    qint64 finished = 0; // the session finished: every reply handled
};

class ProgramDriver final : public QObject {
public:
    explicit ProgramDriver(MainWindow& window)
        : m_window(window), m_input(window.findChild<QComboBox*>(QLatin1String(MainNames::Input))) {
        if (m_window.progressWindow())
            m_window.progressWindow()->installEventFilter(this);
        connect(&m_window, &MainWindow::lookupFinished, this, [this](LookupOutcome outcome) {
            if (m_finished || !m_clock.isValid())
                return;
            m_stages.finished = m_clock.nsecsElapsed();
            m_outcome = outcome;
            m_finished = true;
        });
    }

    bool isReady() const { return m_input && m_input->lineEdit() && m_window.progressWindow(); }
    QString lastFailure() const { return m_failure; }
    // The PID the last lookup found.
    QByteArray pid() const { return m_pid; }

    // Nothing when the lookup did not finish, or not completely; lastFailure() says why.
    std::optional<ProgramStages> lookup(const QByteArray& nick) {
        m_input->lineEdit()->setText(FromWin1252(nick));
        const LookupSession* before = m_window.session();
        m_stages = {};
        m_hidden = false;
        m_finished = false;
        m_failure.clear();
        m_pid.clear();
        m_clock.start();
        // To the combo box, as the keyboard would: it hands the key on to its line edit.
        QTest::keyClick(m_input, Qt::Key_Return);
        m_stages.go = m_clock.nsecsElapsed();
        LookupSession* session = m_window.session();
        if (!session || session == before) {
            m_failure = QStringLiteral("Enter started no lookup");
            return std::nullopt;
        }
        // Connected after the window's own handlers, so these run once a reply has been handled.
        const QMetaObject::Connection handled =
            connect(session, &LookupSession::replyHandled, this, [this](const ReplyReport& report) {
                if (report.kind == ReplyKind::Search && !m_stages.search)
                    m_stages.search = m_clock.nsecsElapsed();
                else if (report.kind == ReplyKind::Stats && !m_stages.stats)
                    m_stages.stats = m_clock.nsecsElapsed();
            });
        const bool ended = waitUntil([this] { return m_hidden && m_finished; }, LookupTimeoutMs);
        disconnect(handled);
        const ProgressWindow* progress = m_window.progressWindow();
        if (!ended) {
            m_failure = QStringLiteral("no end within %1 ms (progress window %2, session %3, status \"%4\")")
                            .arg(LookupTimeoutMs)
                            .arg(m_hidden ? QStringLiteral("closed") : QStringLiteral("open"))
                            .arg(m_finished ? QStringLiteral("finished") : QStringLiteral("running"))
                            .arg(progress->statusText());
            return std::nullopt;
        }
        if (m_outcome != LookupOutcome::Complete || progress->overallProgress() != 100) {
            m_failure = QStringLiteral("ended %1 at overall progress %2, status \"%3\"")
                            .arg(QLatin1String(outcomeName(m_outcome)))
                            .arg(progress->overallProgress())
                            .arg(progress->statusText());
            return std::nullopt;
        }
        m_pid = session->pid();
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
    MainWindow& m_window;
    QComboBox* m_input;
    QElapsedTimer m_clock;
    ProgramStages m_stages;
    bool m_hidden = false;
    bool m_finished = false;
    LookupOutcome m_outcome = LookupOutcome::Failed;
    QString m_failure;
    QByteArray m_pid;
};

// orvane-statsd, the main window pointed at it, and the demo nicknames: what every lookup run needs.
class LookupRig final {
public:
    explicit LookupRig(const QStringList& statsdArguments) : m_statsd(statsdArguments) {}

    StatsdProcess& statsd() { return m_statsd; }
    PlainClient& client() { return m_client; }
    QByteArray host() const { return m_statsd.hostPort(); }
    const std::vector<QByteArray>& population() const { return m_population; }
    MainWindow& window() { return *m_window; }
    ProgramDriver& driver() { return *m_driver; }
    QString messageBoxText() const { return m_messageBox; }

    // Everything after the service is up; false with a message on stderr.
    bool setUp() {
        PlatformHooks::setMessageBoxAnswer([this](QMessageBox::Icon, const QString&, const QString& text) {
            m_messageBox = text;
            return QMessageBox::Ok;
        });
        m_population = demoNicks(m_client, host());
        if (m_population.empty()) {
            std::fprintf(stderr, "lookup bench: the service listed no nicknames\n");
            return false;
        }
        const QString settings = m_dir.filePath(QStringLiteral("Settings.ini"));
        if (!m_dir.isValid() || !writeSettings(settings, host())) {
            std::fprintf(stderr, "lookup bench: cannot write a settings file\n");
            return false;
        }
        m_window = std::make_unique<MainWindow>(MainWindowOptions{settings, {}, {}});
        QElapsedTimer clock;
        clock.start();
        if (!FirstPaint::showAndPaint(*m_window, clock, StartupTimeoutMs)) {
            std::fprintf(stderr, "lookup bench: the main window was not shown in time\n");
            return false;
        }
        m_driver = std::make_unique<ProgramDriver>(*m_window);
        if (!m_driver->isReady()) {
            std::fprintf(stderr, "lookup bench: the main window has no %s with a line edit, or no progress window\n",
                         MainNames::Input);
            return false;
        }
        return true;
    }

    void reportFailure(const QByteArray& nick, const char* who, const QString& why) const {
        std::fprintf(stderr, "lookup bench: the lookup of \"%s\" failed (%s)%s%s%s%s\n", nick.constData(), who,
                     why.isEmpty() ? "" : ": ", qPrintable(why), m_messageBox.isEmpty() ? "" : "; message box: ",
                     qPrintable(m_messageBox));
    }

private:
    StatsdProcess m_statsd;
    PlainClient m_client;
    QTemporaryDir m_dir;
    std::vector<QByteArray> m_population;
    QString m_messageBox;
    // Made after the service, gone before it.
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<ProgramDriver> m_driver;
};

// ---------------------------------------------------------------------------------------------

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
    MainWindow window(MainWindowOptions{settings, {}, {}});
    const std::optional<FirstPaint::ShownTimes> times = FirstPaint::showAndPaint(window, clock, StartupTimeoutMs);
    if (!times) {
        std::fprintf(stderr, "lookup bench: the main window was not shown and painted in time\n");
        return 1;
    }
    FirstPaint::printStartup(*times);
    return 0;
}

// The program beside the floor, lookup by lookup; `delayMs` is the service's reply delay (0: none).
int runLookups(int argc, char* argv[], int delayMs) {
    QApplication app(argc, argv);
    startApplication(app);
    const QByteArray tag = delayMs > 0 ? "delay " + QByteArray::number(delayMs) + " ms" : QByteArray("lookup");

    QStringList arguments{QStringLiteral("--quiet")};
    if (delayMs > 0)
        arguments << QStringLiteral("--reply-delay-ms") << QString::number(delayMs);
    LookupRig rig(arguments);
    if (!rig.statsd().isReady()) {
        if (delayMs > 0 && !statsdKnowsReplyDelay()) {
            std::printf("delay: orvane-statsd has no --reply-delay-ms\n");
            return 0;
        }
        std::fprintf(stderr, "lookup bench: %s\n", qPrintable(rig.statsd().errorString()));
        return 1;
    }
    if (!rig.setUp())
        return 1;
    const QByteArray host = rig.host();
    const std::vector<QByteArray> nicks = spread(rig.population(), WarmUpLookups + MeasuredLookups);
    ProgramDriver& driver = rig.driver();

    // Per stage, over the measured lookups.
    std::vector<double> programGo, programSearch, programStats, programMs, programFinished;
    std::vector<double> floorSearch, floorStats, floorMs, floorDone;
    int clanTags = 0;
    int blanks = 0;
    for (size_t i = 0; i < nicks.size(); ++i) {
        const QByteArray& nick = nicks[i];
        const bool measured = i >= static_cast<size_t>(WarmUpLookups);
        // Whichever goes second finds the service's caches warm for this player: take turns.
        const bool floorFirst = i % 2 == 1;
        std::optional<FloorResult> floor;
        std::optional<ProgramStages> program;
        if (floorFirst && !(floor = floorLookup(rig.client(), host, nick))) {
            rig.reportFailure(nick, "plain libcurl", {});
            return 1;
        }
        if (!(program = driver.lookup(nick))) {
            rig.reportFailure(nick, "program", driver.lastFailure());
            return 1;
        }
        if (!floorFirst && !(floor = floorLookup(rig.client(), host, nick))) {
            rig.reportFailure(nick, "plain libcurl", {});
            return 1;
        }
        if (driver.pid() != floor->pid) {
            rig.reportFailure(nick, "program and plain libcurl",
                              QStringLiteral("different players, PID %1 and %2")
                                  .arg(QString::fromLatin1(driver.pid()), QString::fromLatin1(floor->pid)));
            return 1;
        }
        if (!measured)
            continue;
        programGo.push_back(toMs(program->go));
        programSearch.push_back(toMs(program->search));
        programStats.push_back(toMs(program->stats));
        programMs.push_back(toMs(program->closed));
        programFinished.push_back(toMs(program->finished));
        floorSearch.push_back(toMs(floor->search));
        floorStats.push_back(toMs(floor->stats));
        floorMs.push_back(toMs(floor->counted));
        floorDone.push_back(toMs(floor->done));
        clanTags += hasClanTag(nick);
        blanks += nick.contains(' ');
    }

    const double program = median(programMs);
    const double floor = median(floorMs);
    const double ratio = floor > 0 ? program / floor : 0.0;
    const double goal = delayMs > 0 ? DelayRatioGoal : LoopbackRatioGoal;
    std::printf("%s: median %.1f ms over %d lookups (floor %.1f ms, plain libcurl%s), ratio %.2f "
                "(goal ≤ %.2f: %s)\n",
                tag.constData(), program, MeasuredLookups, floor, delayMs > 0 ? " under the same delay" : "", ratio,
                goal, verdict(ratio <= goal));
    std::printf("%s: program p10 %.1f / p90 %.1f ms, floor p10 %.1f / p90 %.1f ms; %d demo nicknames "
                "(%d with a clan tag, %d with a blank), after %d warm-up lookups\n",
                tag.constData(), percentile(programMs, 10), percentile(programMs, 90), percentile(floorMs, 10),
                percentile(floorMs, 90), MeasuredLookups, clanTags, blanks, WarmUpLookups);
    std::printf("%s stages, median ms from the start: program Go returned %.1f, search handled %.1f, "
                "statistics handled %.1f, window closed %.1f, session finished %.1f; floor search %.1f, "
                "statistics %.1f, counted replies %.1f, top ten too %.1f\n",
                tag.constData(), median(programGo), median(programSearch), median(programStats), program,
                median(programFinished), median(floorSearch), median(floorStats), floor, median(floorDone));
    // Three replies in a row are held back: a floor under that did not see the delay.
    if (delayMs > 0 && floor < 3.0 * delayMs)
        std::printf("%s: the floor is under three delayed replies (%d ms): the delay does not seem to apply\n",
                    tag.constData(), 3 * delayMs);
    return 0;
}

// The program alone, many lookups, then its peak resident set.
int runMemory(int argc, char* argv[]) {
    QApplication app(argc, argv);
    startApplication(app);
    LookupRig rig({QStringLiteral("--quiet")});
    if (!rig.statsd().isReady()) {
        std::fprintf(stderr, "lookup bench: %s\n", qPrintable(rig.statsd().errorString()));
        return 1;
    }
    if (!rig.setUp())
        return 1;
    const long peakBefore = peakKib();
    const std::vector<QByteArray> nicks = spread(rig.population(), MemoryLookups);
    for (const QByteArray& nick : nicks) {
        if (!rig.driver().lookup(nick)) {
            rig.reportFailure(nick, "program", rig.driver().lastFailure());
            return 1;
        }
    }
    // Whatever the last lookups left for later (their sessions and fetchers) goes now.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const long peakAfter = peakKib();
    std::printf("peak memory after %d lookups: %.1f MiB (VmHWM; goal ≤ %.0f MiB: %s; %.1f MiB with the main "
                "window up before the first lookup, VmRSS %.1f MiB at the end)\n",
                MemoryLookups, mib(peakAfter), MemoryGoalMib, verdict(mib(peakAfter) <= MemoryGoalMib), mib(peakBefore),
                mib(statusKib("VmRSS")));
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietMessages);
    const QByteArray mode = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    if (mode == "--startup")
        return runStartup(argc, argv);
    if (mode == "--memory")
        return runMemory(argc, argv);
    if (mode == "--reply-delay-ms") {
        bool ok = false;
        const int delayMs = argc > 2 ? QByteArray(argv[2]).toInt(&ok) : 0;
        if (!ok || delayMs <= 0) {
            std::fprintf(stderr, "lookup bench: --reply-delay-ms wants a count of milliseconds above 0\n");
            return 2;
        }
        return runLookups(argc, argv, delayMs);
    }
    if (!mode.isEmpty()) {
        std::fprintf(stderr, "usage: orvane-bench-lookup [--reply-delay-ms N | --memory | --startup]\n");
        return 2;
    }
    return runLookups(argc, argv, 0);
}
