#pragma once

#include "leaderboard/board_reader.h"
#include "lookup/search_reader.h"
#include "service/protocol.h"
#include "stats/data_reader.h"
#include "stats/overview_reader.h"
#include "stats/rank_reader.h"

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QObject>
#include <QString>

class HttpGet;
struct FetchError;

// Where and how a lookup asks the statistics service.
struct LookupSettings {
    QByteArray server;                  // "host" or "host:port"
    QList<QByteArray> leaderboardNicks; // the personal leaderboard's list, asked one after another
    int connectTimeoutMs = 30000;
    int idleTimeoutMs = 60000; // nothing received for this long
    int deadlineMs = 120000;   // the whole of one transfer
    qint64 maxReplyBytes = 4 * 1024 * 1024;
};

// How a lookup ended. NotFound: the service knows no such player (or sent figures that cannot be
// read); Failed: at least one transfer failed or one reply could not be read.
enum class LookupOutcome { Complete, NotFound, Failed };
Q_DECLARE_METATYPE(LookupOutcome)

// What one handled reply (or failed transfer) means for the progress window and the raw-data log.
struct ReplyReport {
    enum class Result { Accepted, Rejected, Failed };
    ReplyKind kind = ReplyKind::Search;
    Result result = Result::Accepted;
    QString statusText; // "Data received", the kind's failure text, "Connection Error (HTTP 500)"
    bool showsClose = false;
    int share = 0;         // added to the overall progress
    QList<QByteArray> log; // raw-data log lines of an accepted, logged reply
};

// One lookup: the player search for a nickname, the general statistics, the fan-out of the other
// pages and the personal-leaderboard chain. Each request runs on a fetcher of its own; the next
// request of the chain starts as soon as the previous reply has been read, before anything is
// shown. Deleting the session ends every transfer at once; nothing of it is delivered afterwards.
class LookupSession final : public QObject {
    Q_OBJECT

public:
    // `input` is what the user typed (8-bit text): a PID when IsPid holds, else a nickname.
    LookupSession(QByteArray input, LookupSettings settings, QObject* parent = nullptr);
    ~LookupSession() override;

    // Sends the first request.
    void start();
    // Runs only the personal-leaderboard chain (the input is not used): the list is asked again
    // without a lookup. Finishes at once when the list is empty.
    void startPersonalBoard();
    // Ends the personal-leaderboard chain: its transfer ends, no further entry is asked and no
    // record of it is handed over; the rest of the lookup goes on.
    void endPersonalBoard();
    // Ends every transfer at once; nothing more is said, not even finished().
    void cancel();
    bool isRunning() const { return m_running; }
    QByteArray pid() const { return m_pid; }
    // Requests sent so far, in order (their URLs): what a test or a log may want to see.
    const QList<QByteArray>& requests() const { return m_requests; }

signals:
    void progress(ReplyKind kind, qint64 totalSize, qint64 received);
    // After each reply or failed transfer, once its results (below) have been handed over.
    void replyHandled(const ReplyReport& report);

    // The players the search found besides the one looked up, in the service's order.
    void otherMatchesFound(const QList<SearchMatch>& others);
    void statisticsRead(const OverviewValues& overview, const DataValues& data);
    void rankRead(const RankValues& rank);
    void mapsRead(const TableCells& maps);
    void awardsRead(const ServiceReply& reply);
    void unlocksRead(const ServiceReply& reply);
    void topTenRead(const QList<BoardEntry>& entries);
    // The record of leaderboard entry `index`. An entry the service does not know (no player of
    // that nickname, or no record for that PID) gives boardEntryUnknown instead; either way the
    // chain goes on with the next entry.
    void boardRecordRead(int index, const BoardEntry& entry);
    void boardEntryUnknown(int index, const QByteArray& nick);
    // The reply of a page failed after this lookup's general statistics were shown: the page
    // must go back to its start state rather than keep an earlier player's figures.
    void pageFailed(ReplyKind kind);

    void finished(LookupOutcome outcome);

private:
    void send(ReplyKind kind, const QByteArray& url, int boardIndex = -1);
    void onDone(HttpGet* fetcher, ReplyKind kind, int boardIndex, const QByteArray& body);
    void onFailed(HttpGet* fetcher, ReplyKind kind, int boardIndex, const FetchError& error);
    // Reads an accepted reply and starts what follows it; false when it cannot be read.
    bool read(ReplyKind kind, int boardIndex, const ServiceReply& reply);
    bool readUnknownBoardEntry(int boardIndex);
    void startFanOut();
    void requestBoardEntry(int index);
    void requestNextBoardEntry(int after);
    void transferEnded(HttpGet* fetcher);
    void finish(LookupOutcome outcome);

    QByteArray m_input;
    LookupSettings m_settings;
    QByteArray m_pid;
    QList<QByteArray> m_requests;
    QList<HttpGet*> m_active;
    bool m_running = false;
    bool m_statisticsShown = false;
    bool m_anyFailure = false;
    bool m_notFound = false;
    bool m_boardEnded = false;
    bool m_quietReply = false; // the reply just read is not logged
};
