#pragma once

#include "service/protocol.h"

#include <QByteArray>
#include <QList>
#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>

class QComboBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QScrollArea;
class QTabWidget;
class QTreeWidget;
class THTTPGet;
class TLoad;

// What the program was started with: where the settings live and its command-line arguments.
struct MainWindowOptions {
    QString settingsPath;  // empty: Settings.ini next to the executable
    QStringList arguments; // the command-line arguments without the program name
};

// The cells of an empty leaderboard row after its "#": nickname, PID, score, time and country.
QStringList EmptyBoardEntry();

// The main window: the header strip with the input, six pages, the status panel, the nine
// statistics fetchers and the state a lookup shares between its replies.
class TForm3 final : public QMainWindow {
    Q_OBJECT

public:
    explicit TForm3(MainWindowOptions options, QWidget* parent = nullptr);
    ~TForm3() override;

    // State shared by the lookup and its replies.
    bool FirstActivation = true;
    bool StatsOnStartPending = false;
    QByteArray StartNick;
    QByteArray CurrentPid;
    QByteArray BoardPid;
    int BoardCount = 0;
    int SortColumn = 0;
    QList<QByteArray> LeaderboardNicks;

    QString settingsPath() const { return m_settingsPath; }
    QByteArray statsServer() const { return m_statsServer; }
    QList<QString> history() const { return m_history; }
    THTTPGet* fetcher(ReplyKind kind) const { return m_fetchers[static_cast<size_t>(kind)]; }
    TLoad* progressWindow() const { return m_load; }

    // Go: the lookup of what the input holds.
    void Ed_EingabeClick();
    // Runs at every activation of the window.
    void FormActivate();

    void ResetPersonalBoard();
    void RequestBoardEntry(int index);
    void ResetRowCaptions();
    void LV_miscDblClick();

    // Operations of windows that come later; each is a no-op until its window is built.
    std::function<void()> showChangelog;
    std::function<void()> ResetRibbonDescription;
    std::function<void()> ResetMedalDescription;
    std::function<void()> ResetBadgeDescription;

    // The raw-data log, line by line.
    QStringList rawLogLines() const;

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void buildMenu();
    void buildHeader(QWidget* parent);
    QWidget* buildOverviewPage();
    QWidget* buildDataPage();
    QWidget* buildAwardPage(const QString& name);
    void buildFetchers();

    // The one reply-handler skeleton: test, status, cut, read, show, log, progress.
    void handleReply(ReplyKind kind, const QByteArray& body);
    void handleProgress(ReplyKind kind, qint32 totalSize, qint32 readed);
    void HTTPGetStringError();
    void startRequest(ReplyKind kind, const QByteArray& url);
    void appendLog(const QList<QByteArray>& lines);
    void setRawLogVisible(bool visible);
    void updateHint(QWidget* widget);

    // Reading and showing of each reply kind; false means the reply could not be read.
    bool HTTPGetStringPIDDoneString(const ReplyTokens& tokens);
    bool HTTPGetStringDoneString(const ReplyTokens& tokens);
    bool HTTPGetStringRankDoneString(const ReplyTokens& tokens);
    bool HTTPGetStringMapsDoneString(const ReplyTokens& tokens);
    bool HTTPGetStringAwardsDoneString(const ReplyTokens& tokens);
    bool HTTPGetStringUnlocksDoneString(const ReplyTokens& tokens);
    bool HTTPGetStringTopTenDoneString(const ReplyTokens& tokens);
    bool HTTPGetStringpaDoneString(const ReplyTokens& tokens);
    bool HTTPGetStringpapidDoneString(const ReplyTokens& tokens);
    void startFanOut();

    void Ende2Click();
    void Hilfe3Click();
    void applyScreenHeight();
    void setHistory(const QList<QString>& history);

    QString m_settingsPath;
    QStringList m_arguments;
    QByteArray m_statsServer;
    QByteArray m_updateServer;
    QList<QString> m_history;
    QStringList m_logLines; // the raw-data log, also while it is hidden

    std::array<THTTPGet*, ReplyKindCount> m_fetchers{};
    TLoad* m_load = nullptr;

    QComboBox* m_username = nullptr;
    QComboBox* m_usernameHistory = nullptr;
    QTabWidget* m_tabs = nullptr;
    QLabel* m_status = nullptr;
    QPlainTextEdit* m_memo = nullptr;
    QLabel* m_easter = nullptr;
    QScrollArea* m_dataScroll = nullptr;
    QList<QGroupBox*> m_overviewGroups;
    QTreeWidget* m_personalBoard = nullptr;
};
