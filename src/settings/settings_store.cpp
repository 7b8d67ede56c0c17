#include "settings/settings_store.h"

#include "service/httpget.h"
#include "service/protocol.h"
#include "settings/ini_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

constexpr char General[] = "Allgemein";
constexpr char Favorites[] = "Favoriten";
constexpr char Leaderboard[] = "Leaderboard";

QByteArray numberedKey(const char* prefix, int n) {
    return prefix + QByteArray::number(n);
}

QString writeError(const QString& path) {
    return QStringLiteral("Unable to write to %1").arg(QDir::toNativeSeparators(path));
}

// Loads the file, lets `change` set its keys and writes it back in one step. An existing file
// that cannot be read is not replaced, since its contents would be lost.
template <typename Change> SettingsWriteResult rewrite(const QString& path, Change change) {
    IniFile file;
    if (file.load(path) == IniFile::LoadResult::Unreadable)
        return {writeError(path)};
    change(file);
    if (!file.save(path))
        return {writeError(path)};
    return {};
}

bool isDigits(QByteArrayView text, int base) {
    if (text.isEmpty())
        return false;
    for (const char c : text) {
        const bool dec = c >= '0' && c <= '9';
        const bool hex = (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (!dec && !(base == 16 && hex))
            return false;
    }
    return true;
}

} // namespace

QString SettingsPath() {
    const QString path = ChooseSettingsPath(QCoreApplication::applicationDirPath(),
                                            ConfigHome(qEnvironmentVariable("XDG_CONFIG_HOME"), QDir::homePath()));
    QDir().mkpath(QFileInfo(path).absolutePath());
    return path;
}

QString ChooseSettingsPath(const QString& programFolder, const QString& configHome) {
    const QString beside = QDir(programFolder).filePath(QStringLiteral("Settings.ini"));
    if (QFileInfo::exists(beside) || !IsInstalledFolder(programFolder))
        return beside;
    return QDir(configHome).filePath(QStringLiteral("orvane/Settings.ini"));
}

bool IsInstalledFolder(const QString& folder) {
    const QFileInfo info(folder);
    const QString path = QDir::cleanPath(info.absoluteFilePath());
    return !info.isWritable() || path == QLatin1String("/usr") || path.startsWith(QLatin1String("/usr/"));
}

QString ConfigHome(const QString& xdgConfigHome, const QString& home) {
    if (!xdgConfigHome.isEmpty() && QDir::isAbsolutePath(xdgConfigHome))
        return xdgConfigHome;
    return QDir(home).filePath(QStringLiteral(".config"));
}

// Only zero against non-zero matters, so the digits are checked, not converted: any length is
// a valid integer here.
bool ReadTruth(QByteArrayView value, bool defaultValue) {
    QByteArrayView digits = value;
    if (digits.startsWith('-') || digits.startsWith('+'))
        digits = digits.sliced(1);
    int base = 10;
    if (digits.startsWith("0x") || digits.startsWith("0X")) {
        digits = digits.sliced(2);
        base = 16;
    }
    if (!isDigits(digits, base))
        return defaultValue;
    for (const char c : digits) {
        if (c != '0')
            return true;
    }
    return false;
}

bool IsServerAddress(QByteArrayView value) {
    return SplitHostPort(value).has_value();
}

StartupSettings ReadStartupSettings(const QString& path) {
    StartupSettings settings;
    settings.leaderboardNicks = QList<QByteArray>(LeaderboardNickCount);
    IniFile file;
    const IniFile::LoadResult loaded = file.load(path);
    if (loaded == IniFile::LoadResult::Missing)
        return settings;
    settings.fileExists = true;

    for (int j = 1; j <= FavoriteCount; ++j) {
        const QByteArray entry = file.value(Favorites, numberedKey("Fav", j));
        if (j == 1)
            settings.inputText = entry;
        if (!entry.isEmpty())
            settings.history.append(entry);
    }
    for (int n = 1; n <= LeaderboardNickCount; ++n)
        settings.leaderboardNicks[n - 1] = file.value(Leaderboard, numberedKey("Nick", n));
    settings.startNick = file.value(General, "getstatsnick");
    settings.statsOnStartPending =
        !settings.startNick.isEmpty() && ReadTruth(file.value(General, "getstatsonstart"), true);

    for (auto [key, target] :
         {std::pair{"statsserver", &settings.statsServer}, std::pair{"updateserver", &settings.updateServer}}) {
        const QByteArray address = file.value(General, key);
        if (IsServerAddress(address))
            *target = address;
    }
    return settings;
}

SettingsWriteResult WriteFavorites(const QString& path, const QList<QByteArray>& history) {
    const qsizetype count = qMin<qsizetype>(history.size(), FavoriteCount);
    if (count == 0)
        return {};
    return rewrite(path, [&](IniFile& file) {
        for (qsizetype j = 0; j < count; ++j)
            file.setValue(Favorites, numberedKey("Fav", int(j + 1)), history[j]);
    });
}

SettingsWriteResult WriteOptions(const QString& path, bool startOption, const QList<QByteArray>& nicks,
                                 const QByteArray& startField) {
    return rewrite(path, [&](IniFile& file) {
        file.setValue(General, "getstatsonstart", startOption ? "1" : "0");
        for (int n = 1; n <= LeaderboardNickCount; ++n)
            file.setValue(Leaderboard, numberedKey("Nick", n), n <= nicks.size() ? nicks[n - 1] : QByteArray());
        if (!startField.isEmpty()) {
            const ReplyTokens tokens = CutReply(startField);
            if (!tokens.isEmpty())
                file.setValue(General, "getstatsnick", tokens.first());
        }
    });
}

SettingsWriteResult WriteStatsServer(const QString& path, const QByteArray& address) {
    return rewrite(path, [&](IniFile& file) { file.setValue(General, "statsserver", address); });
}

SettingsWriteResult ClearFavorites(const QString& path) {
    return rewrite(path, [](IniFile& file) {
        for (int j = 1; j <= FavoriteCount; ++j)
            file.setValue(Favorites, numberedKey("Fav", j), {});
    });
}

std::optional<bool> ReadStartOption(const QString& path) {
    IniFile file;
    if (file.load(path) == IniFile::LoadResult::Missing)
        return std::nullopt;
    return ReadTruth(file.value(General, "getstatsonstart"), true);
}
