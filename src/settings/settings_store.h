#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <optional>

// "Settings.ini" next to the executable: nickname history, personal-leaderboard list, look-up at
// start, and the two service hosts. Every operation reads the file anew and writes it in one
// atomic rewrite; nothing is cached in between.

// Where Settings.ini lives: next to the executable when a Settings.ini is already there or the
// program is portable (see IsInstalledFolder); otherwise in "orvane/" under the user's
// configuration folder (ConfigHome), which is then created.
QString SettingsPath();
QString ChooseSettingsPath(const QString& programFolder, const QString& configHome);
// A folder the program was installed into by a package: one the user cannot write, or one below /usr.
bool IsInstalledFolder(const QString& folder);
// $XDG_CONFIG_HOME when it is an absolute path, else the home folder's ".config".
QString ConfigHome(const QString& xdgConfigHome, const QString& home);

inline constexpr int FavoriteCount = 5;
inline constexpr int LeaderboardNickCount = 10;
// Used when `statsserver` or `updateserver` is absent or not "host" or "host:port".
inline constexpr char DefaultServer[] = "127.0.0.1:28080";

struct StartupSettings {
    bool fileExists = false;
    QList<QByteArray> history;          // non-empty Fav1..Fav5, in key order, without gaps
    QByteArray inputText;               // Fav1, which may be empty
    QList<QByteArray> leaderboardNicks; // Nick1..Nick10, always ten, empty where unset
    QByteArray startNick;               // getstatsnick
    bool statsOnStartPending = false;   // startNick set and getstatsonstart true
    QByteArray statsServer = DefaultServer;
    QByteArray updateServer = DefaultServer;
};

// Reads everything the main window needs at creation. A missing file gives the defaults and is
// not created.
StartupSettings ReadStartupSettings(const QString& path);

// The outcome of a write: empty errorText on success, else "Unable to write to <path>" for the
// UI to show. A failed write leaves the file as it was.
struct SettingsWriteResult {
    QString errorText;
    bool ok() const { return errorText.isEmpty(); }
};

// Fav1..FavN := the first N (at most 5) history entries; higher keys keep what they hold.
SettingsWriteResult WriteFavorites(const QString& path, const QList<QByteArray>& history);

// getstatsonstart := "1"/"0"; Nick1..Nick10 := the list (empty beyond it); getstatsnick := the
// first comma-text token of startField, unless the field is empty or yields no token.
SettingsWriteResult WriteOptions(const QString& path, bool startOption, const QList<QByteArray>& nicks,
                                 const QByteArray& startField);

// statsserver := the address ("host" or "host:port"; the caller has checked it).
SettingsWriteResult WriteStatsServer(const QString& path, const QByteArray& address);

// Fav1..Fav5 := empty.
SettingsWriteResult ClearFavorites(const QString& path);

// getstatsonstart (default true) when the file exists; nothing otherwise.
std::optional<bool> ReadStartOption(const QString& path);

// A truth value: an integer, decimal or hexadecimal after "0x"/"0X", with an optional sign;
// non-zero is true. An empty or non-numeric value gives defaultValue.
bool ReadTruth(QByteArrayView value, bool defaultValue);

// "host" or "host:port" (port 1..65535; a bracketed IPv6 address as host), nothing else.
bool IsServerAddress(QByteArrayView value);
