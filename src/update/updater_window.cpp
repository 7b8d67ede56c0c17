#include "update/updater_window.h"

#include "resources/art.h"
#include "service/httpget.h"
#include "settings/settings_store.h"
#include "skin/gauge.h"
#include "skin/header_panel.h"
#include "update/own_version.h"
#include "update/update_rules.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <algorithm>
#include <cstdio>
#include <limits>

const QColor UpdaterWindow::Working(0, 0, 0);
const QColor UpdaterWindow::Success(0, 255, 0);
const QColor UpdaterWindow::Failure(255, 0, 0);

namespace {

constexpr char OldProgramName[] = "orvane.old";
// A program is far larger than a statistics reply; the limit only keeps a wrong reply from filling the disk.
constexpr qint64 MaxDownloadBytes = qint64(512) * 1024 * 1024;
constexpr int DownloadDeadlineMs = 30 * 60 * 1000;

bool startDetached(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments, QFileInfo(program).absolutePath());
}

} // namespace

UpdaterWindow::UpdaterWindow(UpdaterOptions options, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_options(std::move(options)),
      m_ownVersion(QString::fromLatin1(OwnVersion)) {
    setObjectName(QLatin1String(UpdaterNames::Window));
    setWindowTitle(QStringLiteral("Orvane Updater"));
    setWindowIcon(QIcon(QStringLiteral(":/art/icon.png")));
    setFixedSize(401, 146);
    setAttribute(Qt::WA_StyledBackground);

    m_executablePath =
        m_options.executablePath.isEmpty() ? QCoreApplication::applicationFilePath() : m_options.executablePath;
    m_packageManaged = m_options.packageManaged.value_or(IsInstalledFolder(QFileInfo(m_executablePath).absolutePath()));
    if (!m_options.startProgram)
        m_options.startProgram = startDetached;

    auto* header =
        new HeaderPanel(QStringLiteral("Updater"), QStringLiteral("Check if a newer Orvane Version is available"),
                        QPixmap(QStringLiteral(":/art/header48.png")), this);
    header->setGeometry(0, 0, 401, 65);
    header->setFixedHeight(65);

    // No accessible name: a screen reader reads the status line as what it says now.
    m_status = new QLabel(this);
    m_status->setObjectName(QLatin1String(UpdaterNames::Status));
    QFont bold = m_status->font();
    bold.setBold(true);
    m_status->setFont(bold);
    m_status->setGeometry(8, 74, 296, 20);

    m_gauge = new Gauge(this);
    m_gauge->setObjectName(QLatin1String(UpdaterNames::Gauge));
    m_gauge->setAccessibleName(QStringLiteral("Update progress"));
    m_gauge->setGeometry(8, 99, 249, 20);

    m_check = new QPushButton(QStringLiteral("&Check Version"), this);
    m_check->setObjectName(QLatin1String(UpdaterNames::Check));
    m_check->setGeometry(312, 74, 81, 20);
    m_update = new QPushButton(QStringLiteral("&Update"), this);
    m_update->setObjectName(QLatin1String(UpdaterNames::Update));
    m_update->setGeometry(312, 99, 81, 20);
    m_update->setEnabled(false);
    // The window has no caption buttons; this and Escape put it away.
    auto* close = new QPushButton(QStringLiteral("C&lose"), this);
    close->setObjectName(QLatin1String(UpdaterNames::Close));
    close->setGeometry(312, 124, 81, 20);
    for (QPushButton* button : {m_check, m_update, close}) {
        button->setAutoDefault(false);
        button->setStyleSheet(QStringLiteral("padding: 0px 2px;"));
    }
    connect(m_check, &QPushButton::clicked, this, &UpdaterWindow::checkVersion);
    connect(m_update, &QPushButton::clicked, this, &UpdaterWindow::startDownload);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    m_versionFetch = new HttpGet(this);
    m_versionFetch->setObjectName(QLatin1String(UpdaterNames::VersionFetch));
    m_fileFetch = new HttpGet(this);
    m_fileFetch->setObjectName(QLatin1String(UpdaterNames::FileFetch));
    m_fileFetch->setBinaryData(true);
    m_fileFetch->setMaxReplyBytes(MaxDownloadBytes);
    m_fileFetch->setDeadlineMs(DownloadDeadlineMs);
    for (HttpGet* fetch : {m_versionFetch, m_fileFetch}) {
        fetch->setAgent("Orvane HTTPGet");
        fetch->setAcceptTypes("*/*");
        fetch->setUseCache(false);
        fetch->setConnectTimeoutMs(m_options.connectTimeoutMs);
        fetch->setIdleTimeoutMs(m_options.idleTimeoutMs);
        connect(fetch, &HttpGet::progress, this,
                [this](HttpGet*, qint64 total, qint64 received) { onProgress(total, received); });
    }
    connect(m_versionFetch, &HttpGet::doneString, this, [this](HttpGet*, const QByteArray& body) { onVersion(body); });
    connect(m_versionFetch, &HttpGet::failed, this, [this](HttpGet*, const FetchError& e) { onVersionFailed(e); });
    connect(m_fileFetch, &HttpGet::doneFile, this, [this](HttpGet*, const QString& file, qint64) { onFile(file); });
    connect(m_fileFetch, &HttpGet::failed, this, [this](HttpGet*, const FetchError& e) { onFileFailed(e); });

    setStatus(QStringLiteral("Status"), Working);
}

UpdaterWindow::~UpdaterWindow() = default;

QString UpdaterWindow::statusText() const {
    return m_status->text();
}

QString UpdaterWindow::downloadPath() const {
    const QString name = QString::fromLatin1(
        Update::DownloadName(m_remoteVersion, Update::BuildPlatform(), Update::BuildArchitecture()));
    return QFileInfo(m_executablePath).absoluteDir().filePath(name + QStringLiteral(".download"));
}

void UpdaterWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void UpdaterWindow::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        formActivate();
}

void UpdaterWindow::formActivate() {
    m_gauge->setMaximum(100);
    m_gauge->setValue(0);
    setStatus(QStringLiteral("Status"), Working);
}

void UpdaterWindow::checkVersion() {
    if (m_versionFetch->isBusy() || m_fileFetch->isBusy())
        return;
    m_gauge->setValue(0);
    m_versionFetch->setUrl(Update::VersionUrl(m_options.server));
    m_versionFetch->fetchString();
    setStatus(QStringLiteral("Searching for new versions..."), Working);
}

void UpdaterWindow::onProgress(qint64 total, qint64 received) {
    constexpr qint64 Most = std::numeric_limits<int>::max();
    m_gauge->setMaximum(static_cast<int>(std::clamp<qint64>(total, 0, Most)));
    m_gauge->setValue(static_cast<int>(std::clamp<qint64>(received, 0, Most)));
}

void UpdaterWindow::onVersion(const QByteArray& body) {
    // The text names a file and an address: a path, a line end or an error page is no version.
    if (!Update::IsAcceptableVersion(body)) {
        m_update->setEnabled(false);
        setStatus(QStringLiteral("Connection Error"), Failure);
        emit checkFinished();
        return;
    }
    m_remoteVersion = body;
    const Update::CheckOutcome outcome = Update::JudgeVersion(body, OwnVersion, m_packageManaged);
    m_update->setEnabled(outcome.result == Update::CheckResult::Offered);
    setStatus(outcome.status, outcome.result == Update::CheckResult::Offered       ? Success
                              : outcome.result == Update::CheckResult::SameVersion ? Failure
                                                                                   : Working);
    emit checkFinished();
}

void UpdaterWindow::onVersionFailed(const FetchError& error) {
    setStatus(FetchFailureText(error), Failure);
    emit checkFinished();
}

void UpdaterWindow::startDownload() {
    if (m_remoteVersion.isEmpty() || m_packageManaged || m_versionFetch->isBusy() || m_fileFetch->isBusy())
        return;
    m_gauge->setValue(0);
    m_fileFetch->setUrl(Update::DownloadUrl(m_options.server, m_remoteVersion));
    m_fileFetch->setFileName(downloadPath());
    m_fileFetch->fetchFile();
    setStatus(QStringLiteral("Downloading version %1...").arg(QString::fromLatin1(m_remoteVersion)), Working);
}

void UpdaterWindow::onFileFailed(const FetchError& error) {
    setStatus(FetchFailureText(error), Failure);
    emit downloadFinished();
}

void UpdaterWindow::onFile(const QString& fileName) {
    if (install(fileName)) {
        emit downloadFinished();
        emit quitRequested();
        return;
    }
    QFile::remove(fileName);
    emit downloadFinished();
}

bool UpdaterWindow::install(const QString& download) {
    QFile file(download);
    const QByteArray head = file.open(QIODevice::ReadOnly) ? file.read(64) : QByteArray();
    file.close();
    if (!Update::IsProgramForThisSystem(head)) {
        setStatus(QStringLiteral("Download is not a program for this system"), Failure);
        return false;
    }
    const QFileInfo program(m_executablePath);
    const QString folder = program.absolutePath();
    const QString old = QDir(folder).filePath(QLatin1String(OldProgramName));
    const QString target = program.absoluteFilePath();
    const QString cannotWrite = QStringLiteral("Unable to write to %1").arg(QDir::toNativeSeparators(folder));

    const QFile::Permissions runnable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                        QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
    if (!QFile::setPermissions(download, runnable)) {
        setStatus(cannotWrite, Failure);
        return false;
    }
    // The running program is kept as it is until the new one has started.
    QFile::remove(old);
    if (!QFile::copy(target, old)) {
        setStatus(cannotWrite, Failure);
        return false;
    }
    // One rename: at every moment there is a whole program under the program's name.
    if (std::rename(QFile::encodeName(download).constData(), QFile::encodeName(target).constData()) != 0) {
        QFile::remove(old);
        setStatus(cannotWrite, Failure);
        return false;
    }
    setStatus(QStringLiteral("Download completed."), Success);
    if (!m_options.startProgram(target, {QStringLiteral("-chlog")})) {
        // Back to the old program: the new one is not worth keeping if it does not start.
        std::rename(QFile::encodeName(old).constData(), QFile::encodeName(target).constData());
        setStatus(QStringLiteral("The new version did not start"), Failure);
        return false;
    }
    return true;
}

void UpdaterWindow::setStatus(const QString& text, const QColor& colour) {
    m_status->setText(text);
    m_statusColour = colour;
    const char* outcome = colour == Success ? "success" : colour == Failure ? "failure" : "working";
    m_status->setProperty("outcome", outcome);
    m_status->style()->unpolish(m_status);
    m_status->style()->polish(m_status);
}

// The old program, kept by an update until the new one started, is not needed any more.
void RemoveOldProgram(const QString& executablePath) {
    QFile::remove(QFileInfo(executablePath).absoluteDir().filePath(QLatin1String(OldProgramName)));
}
