#include "statsd_process.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QRegularExpression>

namespace {

// Seeding a new database under the sanitizers takes a few seconds; this bounds a hung start.
constexpr int StartTimeoutMs = 60000;
constexpr int StopGraceMs = 15000;

} // namespace

StatsdProcess::StatsdProcess(const QStringList& extraArguments, const QString& databasePath)
    : m_dir(std::make_unique<QTemporaryDir>()) {
    if (!m_dir->isValid()) {
        m_error = QStringLiteral("cannot create a temporary folder");
        return;
    }
    m_databasePath = databasePath.isEmpty() ? m_dir->filePath(QStringLiteral("statsd.sqlite")) : databasePath;
    // The request log goes to a file: a pipe nobody drains would fill and block the service.
    m_stderrPath = m_dir->filePath(QStringLiteral("statsd.log"));
    m_process.setStandardErrorFile(m_stderrPath);
    m_process.setProgram(QStringLiteral(ORVANE_STATSD_PATH));
    m_process.setArguments(
        QStringList{QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0"), QStringLiteral("--db"), m_databasePath} +
        extraArguments);
    m_process.start();
    if (!m_process.waitForStarted(StartTimeoutMs)) {
        m_error =
            QStringLiteral("cannot start %1: %2").arg(QStringLiteral(ORVANE_STATSD_PATH), m_process.errorString());
        return;
    }
    static const QRegularExpression listening(QStringLiteral("listening on 127\\.0\\.0\\.1:(\\d+)"));
    QByteArray out;
    const QDeadlineTimer deadline(StartTimeoutMs);
    while (!deadline.hasExpired()) {
        m_process.waitForReadyRead(100);
        out += m_process.readAllStandardOutput();
        const QRegularExpressionMatch match = listening.match(QString::fromLatin1(out));
        if (match.hasMatch()) {
            m_port = static_cast<quint16>(match.captured(1).toUInt());
            return;
        }
        if (m_process.state() == QProcess::NotRunning) {
            m_error = QStringLiteral("orvane-statsd ended (exit code %1): %2")
                          .arg(m_process.exitCode())
                          .arg(QString::fromLocal8Bit(standardError()));
            return;
        }
    }
    m_error = QStringLiteral("orvane-statsd did not report its address in time");
}

StatsdProcess::~StatsdProcess() {
    stop();
}

QByteArray StatsdProcess::hostPort() const {
    return m_port == 0 ? QByteArray() : QByteArray("127.0.0.1:") + QByteArray::number(m_port);
}

bool StatsdProcess::stop() {
    m_port = 0;
    if (m_process.state() == QProcess::NotRunning) {
        return m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0 &&
               m_process.error() == QProcess::UnknownError;
    }
    m_process.terminate();
    if (!m_process.waitForFinished(StopGraceMs)) {
        m_process.kill();
        m_process.waitForFinished(StopGraceMs);
        return false;
    }
    return m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
}

QByteArray StatsdProcess::standardError() const {
    QFile log(m_stderrPath);
    return log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
}
