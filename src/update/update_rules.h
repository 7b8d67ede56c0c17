#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// What the updater decides without a window: which version texts it takes from the server, what
// the download is called, and whether a downloaded file is a program this machine can run.
namespace Update {

// A version text goes into a file name and a URL: 1 to 32 characters of 0-9 A-Z a-z . _ - and
// nothing else (no path, no line end, no error page).
bool IsAcceptableVersion(QByteArrayView text);

enum class Platform { Windows, Linux };
// The platform and processor this program was built for; the architecture as the download names
// it ("x86_64", "arm64", ...).
Platform BuildPlatform();
QByteArray BuildArchitecture();

// The file on the server: "orvane_v" + version + ".exe" on Windows, "orvane_v" + version +
// "-linux-" + architecture on Linux.
QByteArray DownloadName(QByteArrayView version, Platform platform, QByteArrayView architecture);
// The download's address on the update server ("host" or "host:port").
QByteArray DownloadUrl(QByteArrayView server, QByteArrayView version);
QByteArray VersionUrl(QByteArrayView server);

// The status line after a version check of an acceptable text.
enum class CheckResult { SameVersion, Offered, PackageManaged };
struct CheckOutcome {
    CheckResult result = CheckResult::SameVersion;
    QString status;
};
CheckOutcome JudgeVersion(QByteArrayView remote, QByteArrayView own, bool packageManaged);

// The first bytes of a file (at least 20): true when they begin an ELF executable (or
// position-independent executable) of this machine's word size, byte order and processor.
bool IsProgramForThisSystem(QByteArrayView head);

} // namespace Update
