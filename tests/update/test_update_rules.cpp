#include "update/own_version.h"
#include "update/update_rules.h"

#include <QCoreApplication>
#include <QFile>
#include <QTest>
#include <QtEndian>
#include <elf.h>

namespace {

// The first bytes of the running test program: an ELF of this machine by definition.
QByteArray ownHead() {
    QFile self(QCoreApplication::applicationFilePath());
    return self.open(QIODevice::ReadOnly) ? self.read(64) : QByteArray();
}

QByteArray patched(QByteArray head, int at, QByteArray bytes) {
    head.replace(at, bytes.size(), bytes);
    return head;
}

QByteArray machineBytes(quint16 machine) {
    return QByteArray(reinterpret_cast<const char*>(&machine), 2);
}

} // namespace

class TestUpdateRules final : public QObject {
    Q_OBJECT

private slots:
    void ownVersion() { QCOMPARE(QByteArray(OwnVersion), QByteArray("0.50")); }

    void acceptableVersion_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("plain") << QByteArray("0.51") << true;
        QTest::newRow("all allowed characters") << QByteArray("Az09._-") << true;
        QTest::newRow("32 characters") << QByteArray(32, '1') << true;
        QTest::newRow("33 characters") << QByteArray(33, '1') << false;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("path") << QByteArray("../x") << false;
        QTest::newRow("absolute path") << QByteArray("/etc/passwd") << false;
        QTest::newRow("backslash") << QByteArray("..\\x") << false;
        QTest::newRow("line end") << QByteArray("0.51\n") << false;
        QTest::newRow("windows line end") << QByteArray("0.51\r\n") << false;
        QTest::newRow("blank") << QByteArray("0.51 beta") << false;
        QTest::newRow("html page") << QByteArray("<html><body>404</body></html>") << false;
        QTest::newRow("query") << QByteArray("0.51?x=1") << false;
        QTest::newRow("NUL") << QByteArray("0.5\0"
                                           "1",
                                           5)
                             << false;
        QTest::newRow("byte above 127") << QByteArray("0.5\xe4") << false;
    }
    void acceptableVersion() {
        QFETCH(QByteArray, text);
        QFETCH(bool, accepted);
        QCOMPARE(Update::IsAcceptableVersion(text), accepted);
    }

    void downloadName_data() {
        QTest::addColumn<int>("platform");
        QTest::addColumn<QByteArray>("architecture");
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("windows") << int(Update::Platform::Windows) << QByteArray("x86_64")
                                 << QByteArray("orvane_v0.51.exe");
        QTest::newRow("linux x86_64") << int(Update::Platform::Linux) << QByteArray("x86_64")
                                      << QByteArray("orvane_v0.51-linux-x86_64");
        QTest::newRow("linux arm64") << int(Update::Platform::Linux) << QByteArray("arm64")
                                     << QByteArray("orvane_v0.51-linux-arm64");
    }
    void downloadName() {
        QFETCH(int, platform);
        QFETCH(QByteArray, architecture);
        QFETCH(QByteArray, name);
        QCOMPARE(Update::DownloadName("0.51", Update::Platform(platform), architecture), name);
    }

    void urls() {
        QCOMPARE(Update::VersionUrl("127.0.0.1:28080"), QByteArray("http://127.0.0.1:28080/code/orvane/version.txt"));
        QCOMPARE(Update::DownloadUrl("host", "0.51"),
                 "http://host/code/orvane/" +
                     Update::DownloadName("0.51", Update::BuildPlatform(), Update::BuildArchitecture()));
    }

    void judgeVersion_data() {
        QTest::addColumn<QByteArray>("remote");
        QTest::addColumn<bool>("packaged");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("status");
        QTest::newRow("same") << QByteArray("0.50") << false << int(Update::CheckResult::SameVersion)
                              << "No new version available";
        QTest::newRow("same, packaged") << QByteArray("0.50") << true << int(Update::CheckResult::SameVersion)
                                        << "No new version available";
        QTest::newRow("newer") << QByteArray("0.51") << false << int(Update::CheckResult::Offered)
                               << "Version 0.51 is available (this is 0.50)";
        // No ordering of versions: an older one is the way back.
        QTest::newRow("older") << QByteArray("0.25") << false << int(Update::CheckResult::Offered)
                               << "Version 0.25 is available (this is 0.50)";
        QTest::newRow("case differs") << QByteArray("0.50A") << false << int(Update::CheckResult::Offered)
                                      << "Version 0.50A is available (this is 0.50)";
        QTest::newRow("newer, packaged") << QByteArray("0.51") << true << int(Update::CheckResult::PackageManaged)
                                         << "Update Orvane with your package manager";
    }
    void judgeVersion() {
        QFETCH(QByteArray, remote);
        QFETCH(bool, packaged);
        QFETCH(int, result);
        QFETCH(QString, status);
        const Update::CheckOutcome outcome = Update::JudgeVersion(remote, "0.50", packaged);
        QCOMPARE(int(outcome.result), result);
        QCOMPARE(outcome.status, status);
    }

    void programForThisSystem_data() {
        const QByteArray head = ownHead();
        QVERIFY(head.startsWith("\x7f"
                                "ELF"));
        const quint16 machine = qFromUnaligned<quint16>(head.constData() + 18);
        const quint16 other = machine == EM_AARCH64 ? EM_X86_64 : EM_AARCH64;
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("runs");
        QTest::newRow("this program") << head << true;
        QTest::newRow("other processor") << patched(head, 18, machineBytes(other)) << false;
        QTest::newRow("other word size")
            << patched(head, EI_CLASS, QByteArray(1, head[EI_CLASS] == ELFCLASS64 ? ELFCLASS32 : ELFCLASS64)) << false;
        QTest::newRow("other byte order")
            << patched(head, EI_DATA, QByteArray(1, head[EI_DATA] == ELFDATA2LSB ? ELFDATA2MSB : ELFDATA2LSB)) << false;
        QTest::newRow("object file") << patched(head, 16, QByteArray("\x01\x00", 2)) << false;
        QTest::newRow("first 19 bytes") << head.left(19) << false;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("windows program") << QByteArray("MZ\x90\0\x03\0\0\0\x04\0\0\0\xff\xff\0\0\xb8\0\0\0\0\0", 22)
                                         << false;
        QTest::newRow("script") << QByteArray("#!/bin/sh\nrm -rf \"$HOME\"\n") << false;
        QTest::newRow("html page") << QByteArray("<html><head><title>404 Not Found</title></head></html>") << false;
    }
    void programForThisSystem() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, runs);
        QCOMPARE(Update::IsProgramForThisSystem(bytes), runs);
    }
};

QTEST_GUILESS_MAIN(TestUpdateRules)
#include "test_update_rules.moc"
