#pragma once

#include <QByteArray>
#include <QColor>
#include <QDialog>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QLabel;
class QPushButton;
class Gauge;
class HttpGet;
struct FetchError;

// The object names of the updater window, shared with the tests.
namespace UpdaterNames {
inline constexpr char Window[] = "TForm2";
inline constexpr char Status[] = "La_status";
inline constexpr char Gauge[] = "PB_fortschritt";
inline constexpr char Check[] = "Bu_version";
inline constexpr char Update[] = "Bu_update";
inline constexpr char Close[] = "Bu_close";
inline constexpr char VersionFetch[] = "HTTPGetString";
inline constexpr char FileFetch[] = "HTTPGetFile";
} // namespace UpdaterNames

// Where the updater looks and what it replaces; tests point it at a stand-in program.
struct UpdaterOptions {
    QByteArray server;      // "host" or "host:port" of the update server
    QString executablePath; // empty: the running program
    // Installed by the package manager: versions are checked but never installed here. Unset: when
    // the program's folder is an installed one (IsInstalledFolder).
    std::optional<bool> packageManaged;
    // Starts the new program detached; false when it could not be started.
    std::function<bool(const QString& program, const QStringList& arguments)> startProgram;
    int connectTimeoutMs = 30000; // tests shorten the transfers' limits
    int idleTimeoutMs = 60000;
};

// The updater: "&Check Version" asks the update server for its version; "&Update" downloads that
// version next to the program, checks that it is a whole program for this system, moves it over
// the running one in one rename (the old one is kept as "orvane.old" until the new one runs),
// starts it with "-chlog" and asks the program to end (quitRequested).
class UpdaterWindow final : public QDialog {
    Q_OBJECT

public:
    explicit UpdaterWindow(UpdaterOptions options, QWidget* parent = nullptr);
    ~UpdaterWindow() override;

    static const QColor Working;
    static const QColor Success;
    static const QColor Failure;

    void setServer(const QByteArray& server) { m_options.server = server; }
    QString ownVersion() const { return m_ownVersion; }
    QByteArray remoteVersion() const { return m_remoteVersion; }
    QString statusText() const;
    QColor statusColour() const { return m_statusColour; }
    bool isPackageManaged() const { return m_packageManaged; }
    QString executablePath() const { return m_executablePath; }
    // The file the download is written to before it is checked.
    QString downloadPath() const;

    // Runs at every activation of the window.
    void formActivate();

signals:
    // The new version runs: the program should end now.
    void quitRequested();
    // A check or a download has ended, whatever its outcome (tests wait for it).
    void checkFinished();
    void downloadFinished();

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void checkVersion();
    void startDownload();
    void onProgress(qint64 total, qint64 received);
    void onVersion(const QByteArray& body);
    void onVersionFailed(const FetchError& error);
    void onFile(const QString& fileName);
    void onFileFailed(const FetchError& error);
    // Puts the checked download in place of the program and starts it; false with the status set.
    bool install(const QString& download);
    void setStatus(const QString& text, const QColor& colour);

    UpdaterOptions m_options;
    QString m_executablePath;
    bool m_packageManaged = false;
    QString m_ownVersion;
    QByteArray m_remoteVersion;
    QColor m_statusColour;

    QLabel* m_status;
    Gauge* m_gauge;
    QPushButton* m_check;
    QPushButton* m_update;
    HttpGet* m_versionFetch;
    HttpGet* m_fileFetch;
};

// Called by a program that an update started ("-chlog"): removes the kept "orvane.old" beside it.
void RemoveOldProgram(const QString& executablePath);
