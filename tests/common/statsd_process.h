#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

// Runs the orvane-statsd binary (ORVANE_STATSD_PATH) for a test: on 127.0.0.1 with an ephemeral
// port and, unless a database file is given, a new database in a temporary folder. The constructor
// waits until the service listens (bounded); the destructor stops it.
class StatsdProcess final {
public:
    explicit StatsdProcess(const QStringList& extraArguments = {}, const QString& databasePath = {});
    ~StatsdProcess();
    StatsdProcess(const StatsdProcess&) = delete;
    StatsdProcess& operator=(const StatsdProcess&) = delete;

    // True once the service printed its listen address; errorString() says why not otherwise.
    bool isReady() const { return m_port != 0; }
    QString errorString() const { return m_error; }

    // "127.0.0.1:PORT"; empty when not ready.
    QByteArray hostPort() const;
    quint16 port() const { return m_port; }
    QString databasePath() const { return m_databasePath; }

    // Ends the service with SIGTERM (SIGKILL after a grace time). True when it exited by itself
    // with exit code 0, which also means a clean shutdown under the sanitizers.
    bool stop();
    // What the service wrote to stderr so far (its request log and messages).
    QByteArray standardError() const;

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QProcess m_process;
    QString m_databasePath;
    QString m_stderrPath;
    QString m_error;
    quint16 m_port = 0;
};
