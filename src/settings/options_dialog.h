#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QWidget>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;

// The object names of the options dialog, shared with the tests.
namespace OptionsNames {
inline constexpr char Window[] = "TOptions";
inline constexpr char Pages[] = "PC_options";
inline constexpr char Apply[] = "Bu_apply";
inline constexpr char StartOnLaunch[] = "RB_getstatsonstart";
inline constexpr char StartLabel[] = "La_statsstart";
inline constexpr char StartNick[] = "Ed_startstatsname";
inline constexpr char Nickname[] = "Ed_plnickname";
inline constexpr char Add[] = "Bu_addnick";
inline constexpr char Delete[] = "spSkinButton2";
inline constexpr char ClearAll[] = "spSkinButton3";
inline constexpr char List[] = "LB_plnicks";
inline constexpr char ClearHistory[] = "Bu_historydelete";
inline constexpr char StatsServer[] = "Ed_statsserver";
} // namespace OptionsNames

// What the dialog shows of the main window's memory each time it becomes active.
struct OptionsMemory {
    QList<QByteArray> leaderboardNicks; // ten entries, empty where unset
    QByteArray startNick;
    QByteArray statsServer;
};

// The options dialog: the look-up at start, the personal leaderboard's list, the statistics
// service, and clearing the nickname history. It is not modal; leaving it means Apply, which
// stores everything at once.
class OptionsDialog final : public QWidget {
    Q_OBJECT

public:
    OptionsDialog(QString settingsPath, QWidget* parent = nullptr);

    // Where the dialog reads the main window's memory when it becomes active.
    void setMemory(std::function<OptionsMemory()> memory) { m_memory = std::move(memory); }

    // Runs at every activation: the controls show the memory and the file again, so that changes
    // that were not applied are gone.
    void formActivate();
    void apply();

    QStringList entries() const;

signals:
    // Apply, in this order: the list replaces the old one (the personal leaderboard is reset and
    // its running chain ended), then, once the file holds everything, the new start-up nick and
    // service, and last the request for the new list.
    void listApplied(const QList<QByteArray>& nicks);
    void startNickApplied(const QByteArray& nick);
    void statsServerApplied(const QByteArray& address);
    void boardRequested();
    // The nickname history was cleared in the file; the window empties its own.
    void historyCleared();

protected:
    void changeEvent(QEvent* event) override;

private:
    QWidget* buildGeneralPage();
    QWidget* buildSavedDataPage();
    void applyDimming();
    void addNick();
    void deleteSelected();
    void clearAll();
    void listSelectionChanged();
    void clearHistory();
    void showError(const QString& text);

    QString m_settingsPath;
    std::function<OptionsMemory()> m_memory;

    QTabWidget* m_pages = nullptr;
    QCheckBox* m_startOnLaunch = nullptr;
    QLabel* m_startLabel = nullptr;
    QLineEdit* m_startNick = nullptr;
    QLineEdit* m_nickname = nullptr;
    QListWidget* m_list = nullptr;
    QLineEdit* m_statsServer = nullptr;
    QPushButton* m_apply = nullptr;
};
