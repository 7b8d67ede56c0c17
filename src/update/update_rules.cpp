#include "update/update_rules.h"

#include <QSysInfo>
#include <QtEndian>
#include <elf.h>

namespace Update {

bool IsAcceptableVersion(QByteArrayView text) {
    if (text.isEmpty() || text.size() > 32)
        return false;
    for (const char c : text) {
        const bool ok = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '.' ||
                        c == '_' || c == '-';
        if (!ok)
            return false;
    }
    return true;
}

Platform BuildPlatform() {
#ifdef Q_OS_WIN
    return Platform::Windows;
#else
    return Platform::Linux;
#endif
}

QByteArray BuildArchitecture() {
    return QSysInfo::buildCpuArchitecture().toLatin1();
}

QByteArray DownloadName(QByteArrayView version, Platform platform, QByteArrayView architecture) {
    QByteArray name = "orvane_v" + version.toByteArray();
    if (platform == Platform::Windows)
        return name + ".exe";
    return name + "-linux-" + architecture.toByteArray();
}

QByteArray DownloadUrl(QByteArrayView server, QByteArrayView version) {
    return "http://" + server.toByteArray() + "/code/orvane/" +
           DownloadName(version, BuildPlatform(), BuildArchitecture());
}

QByteArray VersionUrl(QByteArrayView server) {
    return "http://" + server.toByteArray() + "/code/orvane/version.txt";
}

CheckOutcome JudgeVersion(QByteArrayView remote, QByteArrayView own, bool packageManaged) {
    // Any other version is offered, an older one too: it is the way back from a bad release.
    if (remote == own)
        return {CheckResult::SameVersion, QStringLiteral("No new version available")};
    if (packageManaged)
        return {CheckResult::PackageManaged, QStringLiteral("Update Orvane with your package manager")};
    return {CheckResult::Offered, QStringLiteral("Version %1 is available (this is %2)")
                                      .arg(QString::fromLatin1(remote), QString::fromLatin1(own))};
}

namespace {

constexpr quint16 ThisMachine =
#if defined(__x86_64__)
    EM_X86_64;
#elif defined(__i386__)
    EM_386;
#elif defined(__aarch64__)
    EM_AARCH64;
#elif defined(__arm__)
    EM_ARM;
#elif defined(__riscv)
    EM_RISCV;
#elif defined(__powerpc64__)
    EM_PPC64;
#elif defined(__s390x__)
    EM_S390;
#else
    EM_NONE;
#endif

} // namespace

bool IsProgramForThisSystem(QByteArrayView head) {
    if (head.size() < 20 || ThisMachine == EM_NONE)
        return false;
    const auto* bytes = reinterpret_cast<const unsigned char*>(head.data());
    if (bytes[EI_MAG0] != ELFMAG0 || bytes[EI_MAG1] != ELFMAG1 || bytes[EI_MAG2] != ELFMAG2 ||
        bytes[EI_MAG3] != ELFMAG3)
        return false;
    const unsigned char wordSize = sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32;
    const unsigned char byteOrder = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? ELFDATA2LSB : ELFDATA2MSB;
    if (bytes[EI_CLASS] != wordSize || bytes[EI_DATA] != byteOrder || bytes[EI_VERSION] != EV_CURRENT)
        return false;
    // e_type at 16 and e_machine at 18 are in the file's byte order, which is ours.
    const quint16 type = qFromUnaligned<quint16>(bytes + 16);
    const quint16 machine = qFromUnaligned<quint16>(bytes + 18);
    return (type == ET_EXEC || type == ET_DYN) && machine == ThisMachine;
}

} // namespace Update
