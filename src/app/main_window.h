#pragma once

#include "lookup/lookup_session.h"

#include <QByteArray>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <array>

class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QStackedWidget;
class QTabWidget;
class AwardPage;
class DataPage;
class OptionsDialog;
class OverviewPage;
class ProgressWindow;
class TableSorting;
class QToolButton;
class UpdaterWindow;
class AboutBox;
class ChangelogWindow;
class UnlocksPage;

// The object names of the main window's own parts, shared with the tests.
namespace MainNames {
inline constexpr char Window[] = "TForm3";
inline constexpr char Input[] = "Ed_Username";
inline constexpr char History[] = "Ed_Usernamefkt";
inline constexpr char Go[] = "Ed_Eingabe";
inline constexpr char Tabs[] = "Tabmain";
inline constexpr char Status[] = "SB_Status";
inline constexpr char NameLine[] = "La_Nickrank";
inline constexpr char RankPicture[] = "Im_rank";
inline constexpr char Matches[] = "Bt_Matches";
inline constexpr char Banner[] = "Im_banner";
inline constexpr char Exit[] = "Ende2";
inline constexpr char Options[] = "Einstellungen2";
inline constexpr char Donate[] = "Hilfe3";
inline constexpr char Update[] = "Update2";
inline constexpr char About[] = "Baout1";
} // namespace MainNames

// What the program was started with: where the settings live, its command-line arguments and the
// limits of its transfers (tests shorten them).
struct MainWindowOptions {
    QString settingsPath;  // empty: Settings.ini next to the executable
    QStringList arguments; // the command-line arguments without the program name
    LookupSettings limits; // time-outs and the reply size limit; server and list come from the settings
};

// The main window: the header strip with the input, six pages and the status panel. A lookup is a
// LookupSession made by Go; the window only shows what the session hands it.
class MainWindow final : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(MainWindowOptions options, QWidget* parent = nullptr);
    ~MainWindow() override;

    QString settingsPath() const { return m_settingsPath; }
    QByteArray statsServer() const { return m_statsServer; }
    QList<QString> history() const { return m_history; }
    ProgressWindow* progressWindow() const { return m_progress; }
    OptionsDialog* optionsDialog() const { return m_options; }
    QList<QByteArray> leaderboardNicks() const { return m_leaderboardNicks; }
    QByteArray startNick() const { return m_startNick; }
    // The sort state shared by the window's sortable tables.
    TableSorting* tableSorting() const { return m_sorting; }
    // The personal-leaderboard chain started by Apply; nullptr when none runs.
    LookupSession* boardSession() const { return m_boardSession; }
    UpdaterWindow* updaterWindow() const { return m_updater; }
    AboutBox* aboutBox() const { return m_about; }
    ChangelogWindow* changelogWindow() const { return m_changelog; }
    // The lookup in progress (or the last one); nullptr before the first.
    LookupSession* session() const { return m_session; }
    // The raw-data log, line by line: the accepted replies of the last LogLookups lookups.
    QStringList rawLogLines() const;
    static constexpr int LogLookups = 20;

    // Runs at every activation of the window.
    void formActivate();

signals:
    // A lookup has ended, whatever its outcome; the window shows all it was given.
    void lookupFinished(LookupOutcome outcome);

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenu();
    QWidget* buildHeader();
    void buildShortcuts();
    void buildTables();
    void showOptions();
    void applyBoardList(const QList<QByteArray>& nicks);
    void startBoardSession();
    void endBoardSession();
    void clearHistory();
    QScrollArea* scrollArea(const QString& pageName);
    QWidget* pageParent() const;
    void readSettings();

    // Go: the lookup of what the input holds.
    void go();
    void lookUp(const QByteArray& nick);
    void endSession();
    void connectSession(LookupSession* session);
    void writeHistory();
    void onProgress(ReplyKind kind, qint64 total, qint64 received);
    void onReplyHandled(const ReplyReport& report);
    void showRank(const RankValues& rank);
    void resetRank();
    void showAsOf(const std::optional<qint64>& asOf);
    void offerOtherMatches(const QList<SearchMatch>& others);
    void resetPage(ReplyKind kind);
    void showAwards(const ServiceReply& reply);
    // The three award description panels back to each page's first award.
    void resetAwardDescriptions(bool badges);

    void appendLog(const QList<QByteArray>& lines);
    void setRawLogVisible(bool visible);
    void updateHint(QWidget* widget);
    void applyScreenSize();
    void setHistory(const QList<QString>& history);
    void openDonatePage();
    void showWindow(QWidget* window);

    QString m_settingsPath;
    QStringList m_arguments;
    LookupSettings m_limits;
    QByteArray m_statsServer;
    QByteArray m_updateServer;
    QList<QByteArray> m_leaderboardNicks;
    QByteArray m_startNick;
    bool m_statsOnStartPending = false;
    bool m_firstActivation = true;
    bool m_settingsWarned = false; // a failed write is shown in a message box once per run
    QList<QString> m_history;
    QList<QStringList> m_log; // the raw-data log, one entry per lookup, also while it is hidden

    QPointer<LookupSession> m_session;
    QPointer<LookupSession> m_boardSession;
    ProgressWindow* m_progress = nullptr;
    OptionsDialog* m_options = nullptr;
    TableSorting* m_sorting = nullptr;
    UpdaterWindow* m_updater = nullptr;
    AboutBox* m_about = nullptr;
    ChangelogWindow* m_changelog = nullptr;
    QStackedWidget* m_pageStack = nullptr;
    OverviewPage* m_overview = nullptr;
    DataPage* m_data = nullptr;
    std::array<AwardPage*, 3> m_awardPages{}; // badges, ribbons, medals
    UnlocksPage* m_unlocks = nullptr;

    QComboBox* m_input = nullptr;
    QComboBox* m_historyBox = nullptr;
    QPushButton* m_go = nullptr;
    QLabel* m_rankPicture = nullptr;
    QLabel* m_nameLine = nullptr;
    QToolButton* m_matches = nullptr;
    QTabWidget* m_tabs = nullptr;
    QLabel* m_status = nullptr;
};
