#include "lookup/lookup_session.h"

#include "lookup/lookup_rules.h"
#include "service/httpget.h"
#include "service/text_codec.h"
#include "stats/maps_reader.h"

namespace {

// The statistics service knows its clients by this agent name.
constexpr char ServiceAgent[] = "GameSpyHTTP/1.0";

// Token 12 of a search reply is the first PID found; "$" there is the end of an empty list.
constexpr int SearchPidPosition = 12;
constexpr char NoPlayer[] = "$";

const QString DataReceived = QStringLiteral("Data received");

} // namespace

LookupSession::LookupSession(QByteArray input, LookupSettings settings, QObject* parent)
    : QObject(parent), m_input(std::move(input)), m_settings(std::move(settings)) {}

LookupSession::~LookupSession() {
    // The fetchers are children and go with the session; disconnecting first keeps any of their
    // last words away from a half-destroyed session.
    for (HttpGet* fetcher : std::as_const(m_active))
        fetcher->disconnect(this);
}

void LookupSession::start() {
    if (m_running || !m_requests.isEmpty())
        return;
    m_running = true;
    if (Lookup::IsPid(FromWin1252(m_input))) {
        m_pid = m_input;
        send(ReplyKind::Stats, Requests::GeneralStats(m_settings.server, m_pid));
    } else {
        send(ReplyKind::Search, Requests::PlayerSearch(m_settings.server, m_input));
    }
}

void LookupSession::startPersonalBoard() {
    if (m_running || !m_requests.isEmpty())
        return;
    m_running = true;
    requestNextBoardEntry(-1);
    if (m_active.isEmpty())
        finish(LookupOutcome::Complete);
}

void LookupSession::endPersonalBoard() {
    m_boardEnded = true;
    const QList<HttpGet*> active = m_active;
    for (HttpGet* fetcher : active) {
        const QString name = fetcher->objectName();
        if (name != QLatin1String(replyKindInfo(ReplyKind::BoardRecord).fetcherName) &&
            name != QLatin1String(replyKindInfo(ReplyKind::BoardSearch).fetcherName))
            continue;
        fetcher->disconnect(this);
        fetcher->cancelFetch();
        fetcher->deleteLater();
        m_active.removeOne(fetcher);
    }
    if (m_active.isEmpty() && m_running)
        finish(m_notFound ? LookupOutcome::NotFound : m_anyFailure ? LookupOutcome::Failed : LookupOutcome::Complete);
}

void LookupSession::cancel() {
    m_running = false;
    for (HttpGet* fetcher : std::as_const(m_active)) {
        fetcher->disconnect(this);
        fetcher->cancelFetch();
        fetcher->deleteLater();
    }
    m_active.clear();
}

void LookupSession::send(ReplyKind kind, const QByteArray& url, int boardIndex) {
    if (!m_running)
        return;
    // A fetcher per request: the chain may start the next request of a kind from the handler of
    // the previous one, while that fetcher still counts as busy.
    auto* fetcher = new HttpGet(this);
    fetcher->setObjectName(QString::fromLatin1(replyKindInfo(kind).fetcherName));
    fetcher->setAgent(ServiceAgent);
    fetcher->setAcceptTypes("*/*");
    fetcher->setUseCache(false);
    fetcher->setConnectTimeoutMs(m_settings.connectTimeoutMs);
    fetcher->setIdleTimeoutMs(m_settings.idleTimeoutMs);
    fetcher->setDeadlineMs(m_settings.deadlineMs);
    fetcher->setMaxReplyBytes(m_settings.maxReplyBytes);
    fetcher->setUrl(url);
    connect(fetcher, &HttpGet::progress, this,
            [this, kind](HttpGet*, qint64 total, qint64 received) { emit progress(kind, total, received); });
    connect(fetcher, &HttpGet::doneString, this,
            [this, kind, boardIndex](HttpGet* f, const QByteArray& body) { onDone(f, kind, boardIndex, body); });
    connect(fetcher, &HttpGet::failed, this,
            [this, kind, boardIndex](HttpGet* f, const FetchError& error) { onFailed(f, kind, boardIndex, error); });
    m_active.append(fetcher);
    m_requests.append(url);
    fetcher->fetchString();
}

void LookupSession::onDone(HttpGet* fetcher, ReplyKind kind, int boardIndex, const QByteArray& body) {
    const ReplyKindInfo& info = replyKindInfo(kind);
    const std::optional<ServiceReply> reply = AcceptReply(kind, body);
    m_quietReply = false;
    // An error reply to the search is the service saying it knows no such player.
    if (!reply && kind == ReplyKind::Search && IsErrorReply(body))
        m_notFound = true;
    // Reading starts the next requests, so they are on their way before anything is drawn.
    const bool shown = reply
                           ? read(kind, boardIndex, *reply)
                           : kind == ReplyKind::BoardSearch && IsErrorReply(body) && readUnknownBoardEntry(boardIndex);

    ReplyReport report;
    report.kind = kind;
    report.share = info.progressShare;
    if (shown) {
        report.result = ReplyReport::Result::Accepted;
        report.statusText = DataReceived;
        if (info.logName && reply && !m_quietReply)
            report.log = LogReplyTokens(info.logName, reply->tokens());
    } else if (m_notFound && kind == ReplyKind::Search) {
        report.result = ReplyReport::Result::Rejected;
        report.statusText = QString::fromLatin1(replyKindInfo(ReplyKind::Stats).failureText);
        report.showsClose = true;
    } else {
        report.result = ReplyReport::Result::Rejected;
        report.statusText = QString::fromLatin1(info.failureText);
        report.showsClose = info.failureShowsClose;
        if (kind == ReplyKind::Stats)
            m_notFound = true;
        else
            m_anyFailure = true;
        if (m_statisticsShown && info.progressShare > 0)
            emit pageFailed(kind);
    }
    emit replyHandled(report);
    transferEnded(fetcher);
}

void LookupSession::onFailed(HttpGet* fetcher, ReplyKind kind, int boardIndex, const FetchError& error) {
    const ReplyKindInfo& info = replyKindInfo(kind);
    m_anyFailure = true;
    if (m_statisticsShown && info.progressShare > 0)
        emit pageFailed(kind);
    // A failed leaderboard entry ends the chain: the service is not answering.
    Q_UNUSED(boardIndex);

    ReplyReport report;
    report.kind = kind;
    report.result = ReplyReport::Result::Failed;
    report.statusText = FetchFailureText(error);
    report.showsClose = true;
    report.share = info.progressShare;
    emit replyHandled(report);
    transferEnded(fetcher);
}

bool LookupSession::readUnknownBoardEntry(int boardIndex) {
    // An unknown nickname in the list does not end the chain.
    requestNextBoardEntry(boardIndex);
    emit boardEntryUnknown(boardIndex, m_settings.leaderboardNicks.value(boardIndex));
    return true;
}

bool LookupSession::read(ReplyKind kind, int boardIndex, const ServiceReply& reply) {
    switch (kind) {
    case ReplyKind::Search: {
        const QByteArray* pid = reply.field("pid", SearchPidPosition);
        if (!pid || *pid == NoPlayer || pid->isEmpty()) {
            m_notFound = true;
            return false;
        }
        m_pid = *pid;
        send(ReplyKind::Stats, Requests::GeneralStats(m_settings.server, m_pid));
        if (const QList<SearchMatch> matches = readSearchMatches(reply); matches.size() > 1)
            emit otherMatchesFound(matches.mid(1));
        return true;
    }
    case ReplyKind::Stats: {
        const std::optional<OverviewValues> overview = readOverview(reply);
        const std::optional<DataValues> data = readDataTables(reply);
        if (!overview || !data)
            return false;
        startFanOut();
        m_statisticsShown = true;
        emit statisticsRead(*overview, *data);
        return true;
    }
    case ReplyKind::Rank: {
        const std::optional<RankValues> rank = readRank(reply);
        if (!rank)
            return false;
        emit rankRead(*rank);
        return true;
    }
    case ReplyKind::Maps: {
        const std::optional<TableCells> maps = readMaps(reply);
        if (!maps)
            return false;
        emit mapsRead(*maps);
        return true;
    }
    case ReplyKind::Awards:
        emit awardsRead(reply);
        return true;
    case ReplyKind::Unlocks:
        emit unlocksRead(reply);
        return true;
    case ReplyKind::TopTen: {
        const std::optional<QList<BoardEntry>> entries = readTopTen(reply);
        if (!entries)
            return false;
        emit topTenRead(*entries);
        return true;
    }
    case ReplyKind::BoardSearch: {
        const QByteArray* pid = reply.field("pid", SearchPidPosition);
        if (!pid || *pid == NoPlayer || pid->isEmpty())
            return readUnknownBoardEntry(boardIndex);
        send(ReplyKind::BoardRecord, Requests::BoardRecord(m_settings.server, *pid), boardIndex);
        return true;
    }
    case ReplyKind::BoardRecord: {
        const std::optional<PersonalRecord> record = readPersonalRecord(reply);
        if (!record)
            return false;
        requestNextBoardEntry(boardIndex);
        if (record->found) {
            emit boardRecordRead(boardIndex, record->entry);
        } else {
            // No record for it: shown like an unknown nickname, and the reply carries nothing to log.
            m_quietReply = true;
            emit boardEntryUnknown(boardIndex, m_settings.leaderboardNicks.value(boardIndex));
        }
        return true;
    }
    }
    return false;
}

void LookupSession::startFanOut() {
    const QByteArray& server = m_settings.server;
    send(ReplyKind::Rank, Requests::Rank(server, m_pid));
    send(ReplyKind::Maps, Requests::Maps(server, m_pid));
    send(ReplyKind::Awards, Requests::Awards(server, m_pid));
    send(ReplyKind::Unlocks, Requests::Unlocks(server, m_pid));
    send(ReplyKind::TopTen, Requests::TopTen(server));
    requestNextBoardEntry(-1);
}

void LookupSession::requestBoardEntry(int index) {
    const QByteArray entry = m_settings.leaderboardNicks.value(index);
    if (Lookup::IsPid(FromWin1252(entry)))
        send(ReplyKind::BoardRecord, Requests::BoardRecord(m_settings.server, entry), index);
    else
        send(ReplyKind::BoardSearch, Requests::BoardSearch(m_settings.server, entry), index);
}

// The list is asked one entry at a time, in list order; empty entries are skipped.
void LookupSession::requestNextBoardEntry(int after) {
    if (m_boardEnded)
        return;
    for (int i = after + 1; i < m_settings.leaderboardNicks.size(); ++i) {
        if (!m_settings.leaderboardNicks[i].isEmpty()) {
            requestBoardEntry(i);
            return;
        }
    }
}

void LookupSession::transferEnded(HttpGet* fetcher) {
    m_active.removeOne(fetcher);
    fetcher->disconnect(this);
    fetcher->deleteLater();
    if (m_active.isEmpty() && m_running)
        finish(m_notFound ? LookupOutcome::NotFound : m_anyFailure ? LookupOutcome::Failed : LookupOutcome::Complete);
}

void LookupSession::finish(LookupOutcome outcome) {
    m_running = false;
    emit finished(outcome);
}
