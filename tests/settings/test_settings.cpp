#include "settings/ini_file.h"
#include "settings/settings_store.h"
#include "test_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

namespace {

using Texts = QList<QByteArray>;

using TestFiles::readFile;

void writeAll(const QString& path, const QByteArray& content) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) != content.size())
        qFatal("cannot prepare %s", qPrintable(path));
}

Texts nicks(std::initializer_list<QByteArray> first) {
    Texts list(first);
    list.resize(LeaderboardNickCount);
    return list;
}

QString errorFor(const QString& path) {
    return QStringLiteral("Unable to write to ") + QDir::toNativeSeparators(path);
}

enum class Op { Favorites, Options, Clear };

} // namespace

class TestSettings final : public QObject {
    Q_OBJECT

private slots:
    void init();

    void startupRead_data();
    void startupRead();
    void values_data();
    void values();
    void truth_data();
    void truth();
    void serverAddress_data();
    void serverAddress();
    void writes_data();
    void writes();
    void firstLookupThenOptions();
    void favoritesGapThenLookup();
    void failedWriteNamesThePath_data();
    void failedWriteNamesThePath();
    void failedWriteKeepsOldFile();

private:
    QString path() const { return m_dir->filePath(QStringLiteral("Settings.ini")); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestSettings::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestSettings::startupRead_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<Texts>("history");
    QTest::addColumn<QByteArray>("inputText");
    QTest::addColumn<Texts>("board");
    QTest::addColumn<QByteArray>("startNick");
    QTest::addColumn<bool>("pending");

    QTest::newRow("empty file") << QByteArray() << Texts{} << QByteArray() << nicks({}) << QByteArray() << false;
    QTest::newRow("Fav2 and Fav4 only") << QByteArray("[Favoriten]\r\nFav1=\r\nFav2=Rook\r\nFav4=4711\r\n")
                                        << Texts{"Rook", "4711"} << QByteArray() << nicks({}) << QByteArray() << false;
    QTest::newRow("Fav1 is the input") << QByteArray("[Favoriten]\nFav1=Sarge\nFav2=Rook\n") << Texts{"Sarge", "Rook"}
                                       << QByteArray("Sarge") << nicks({}) << QByteArray() << false;
    QTest::newRow("Nick2 empty between") << QByteArray("[Leaderboard]\nNick1=a\nNick2=\nNick3=123\n") << Texts{}
                                         << QByteArray() << nicks({"a", "", "123"}) << QByteArray() << false;
    QTest::newRow("start option absent") << QByteArray("[Allgemein]\ngetstatsnick=Sarge\n") << Texts{} << QByteArray()
                                         << nicks({}) << QByteArray("Sarge") << true;
    QTest::newRow("start option 0") << QByteArray("[Allgemein]\ngetstatsonstart=0\ngetstatsnick=Sarge\n") << Texts{}
                                    << QByteArray() << nicks({}) << QByteArray("Sarge") << false;
    QTest::newRow("start option yes") << QByteArray("[Allgemein]\ngetstatsonstart=yes\ngetstatsnick=Sarge\n") << Texts{}
                                      << QByteArray() << nicks({}) << QByteArray("Sarge") << true;
    QTest::newRow("start option 0x10") << QByteArray("[Allgemein]\ngetstatsonstart=0x10\ngetstatsnick=Sarge\n")
                                       << Texts{} << QByteArray() << nicks({}) << QByteArray("Sarge") << true;
    QTest::newRow("start option empty") << QByteArray("[Allgemein]\ngetstatsonstart=\ngetstatsnick=Sarge\n") << Texts{}
                                        << QByteArray() << nicks({}) << QByteArray("Sarge") << true;
    QTest::newRow("start nick empty") << QByteArray("[Allgemein]\ngetstatsonstart=1\ngetstatsnick=\n") << Texts{}
                                      << QByteArray() << nicks({}) << QByteArray() << false;
    QTest::newRow("names in any case")
        << QByteArray("[FAVORITEN]\nfav1=Sarge\n[allgemein]\nGetStatsNick=Rook\n[LeaderBoard]\nNICK10=z\n")
        << Texts{"Sarge"} << QByteArray("Sarge") << nicks({"", "", "", "", "", "", "", "", "", "z"})
        << QByteArray("Rook") << true;
}

void TestSettings::startupRead() {
    QFETCH(QByteArray, content);
    writeAll(path(), content);
    const StartupSettings s = ReadStartupSettings(path());
    QVERIFY(s.fileExists);
    QTEST(s.history, "history");
    QTEST(s.inputText, "inputText");
    QTEST(s.leaderboardNicks, "board");
    QTEST(s.startNick, "startNick");
    QTEST(s.statsOnStartPending, "pending");
}

// The profile-string reading rules, on single values.
void TestSettings::values_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("value"); // of [S] k

    QTest::newRow("plain") << QByteArray("[S]\nk=v\n") << QByteArray("v");
    QTest::newRow("blanks around") << QByteArray("[S]\n  k  =  \t v w \t\n") << QByteArray("v w");
    QTest::newRow("double quotes") << QByteArray("[S]\nk= \"  =DOG= Sarge \" \n") << QByteArray("  =DOG= Sarge ");
    QTest::newRow("single quotes") << QByteArray("[S]\nk='x'\n") << QByteArray("x");
    QTest::newRow("one pair only") << QByteArray("[S]\nk=\"\"x\"\"\n") << QByteArray("\"x\"");
    QTest::newRow("unpaired quote") << QByteArray("[S]\nk=\"x\n") << QByteArray("\"x");
    QTest::newRow("equals in value") << QByteArray("[S]\nk=a=b\n") << QByteArray("a=b");
    QTest::newRow("over 2047") << "[S]\nk=" + QByteArray(3000, 'x') + "\n" << QByteArray(2047, 'x');
    QTest::newRow("CRLF") << QByteArray("[S]\r\nk=v\r\n") << QByteArray("v");
    QTest::newRow("no final line end") << QByteArray("[S]\nk=v") << QByteArray("v");
    QTest::newRow("Windows-1252") << QByteArray("[S]\nk=M\xfcller \x80\n") << QByteArray("M\xfcller \x80");
    QTest::newRow("section name blanks") << QByteArray("  [ s ]  \nK=v\n") << QByteArray("v");
    QTest::newRow("comment is no key") << QByteArray("[S]\n;k=hidden\n") << QByteArray();
    QTest::newRow("comment then key") << QByteArray("[S]\n ; k=hidden\nk=v\n") << QByteArray("v");
    QTest::newRow("first of two keys") << QByteArray("[S]\nk=1\nk=2\n") << QByteArray("1");
    QTest::newRow("first of two sections") << QByteArray("[S]\nx=1\n[S]\nk=2\n") << QByteArray();
    QTest::newRow("key in another section") << QByteArray("[T]\nk=v\n[S]\n") << QByteArray();
    QTest::newRow("key before any section") << QByteArray("k=v\n[S]\n") << QByteArray();
    QTest::newRow("line without equals") << QByteArray("[S]\nk\n") << QByteArray();
    QTest::newRow("UTF-8 byte-order mark") << QByteArray("\xEF\xBB\xBF[S]\r\nk=v\r\n") << QByteArray("v");
}

void TestSettings::values() {
    QFETCH(QByteArray, content);
    QTEST(IniFile::fromBytes(content).value("S", "k"), "value");
    // Whatever was read, an untouched file is written back byte for byte (a byte-order mark too).
    QCOMPARE(IniFile::fromBytes(content).toBytes(), content);
}

void TestSettings::truth_data() {
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<bool>("fromTrue");  // with default true
    QTest::addColumn<bool>("fromFalse"); // with default false

    QTest::newRow("1") << QByteArray("1") << true << true;
    QTest::newRow("0") << QByteArray("0") << false << false;
    QTest::newRow("000") << QByteArray("000") << false << false;
    QTest::newRow("-1") << QByteArray("-1") << true << true;
    QTest::newRow("0x10") << QByteArray("0x10") << true << true;
    QTest::newRow("0X0") << QByteArray("0X0") << false << false;
    QTest::newRow("0xff") << QByteArray("0xff") << true << true;
    QTest::newRow("huge") << QByteArray("123456789012345678901234567890") << true << true;
    QTest::newRow("empty") << QByteArray() << true << false;
    QTest::newRow("yes") << QByteArray("yes") << true << false;
    QTest::newRow("0x alone") << QByteArray("0x") << true << false;
    QTest::newRow("12a") << QByteArray("12a") << true << false;
    QTest::newRow("ff without 0x") << QByteArray("ff") << true << false;
}

void TestSettings::truth() {
    QFETCH(QByteArray, value);
    QTEST(ReadTruth(value, true), "fromTrue");
    QTEST(ReadTruth(value, false), "fromFalse");
}

void TestSettings::serverAddress_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("statsServer");

    const QByteArray fallback = DefaultServer;
    QTest::newRow("absent") << QByteArray() << fallback;
    QTest::newRow("host") << QByteArray("statsserver=stats.example.org") << QByteArray("stats.example.org");
    QTest::newRow("host:port") << QByteArray("statsserver = 10.0.0.5:8080 ") << QByteArray("10.0.0.5:8080");
    QTest::newRow("IPv6") << QByteArray("statsserver=[::1]:28080") << QByteArray("[::1]:28080");
    // Refused here exactly as the fetcher would refuse it, so the default stands in.
    QTest::newRow("IPv6 not hex") << QByteArray("statsserver=[zz::1]:80") << fallback;
    QTest::newRow("with scheme") << QByteArray("statsserver=http://x/") << fallback;
    QTest::newRow("with path") << QByteArray("statsserver=x/ASP") << fallback;
    QTest::newRow("blank inside") << QByteArray("statsserver=a b") << fallback;
    QTest::newRow("port 0") << QByteArray("statsserver=x:0") << fallback;
    QTest::newRow("port too big") << QByteArray("statsserver=x:65536") << fallback;
    QTest::newRow("port empty") << QByteArray("statsserver=x:") << fallback;
    QTest::newRow("port only") << QByteArray("statsserver=:80") << fallback;
}

void TestSettings::serverAddress() {
    QFETCH(QByteArray, line);
    writeAll(path(), "[Allgemein]\n" + line + "\nupdateserver=updates.example.org:81\n");
    const StartupSettings s = ReadStartupSettings(path());
    QTEST(s.statsServer, "statsServer");
    QCOMPARE(s.updateServer, "updates.example.org:81");
}

void TestSettings::writes_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<Op>("op");
    QTest::addColumn<Texts>("list");
    QTest::addColumn<bool>("startOption");
    QTest::addColumn<QByteArray>("startField");
    QTest::addColumn<QByteArray>("after");

    const QByteArray noField;
    QTest::newRow("key replaced in place")
        << QByteArray("[Favoriten]\r\nFav1=old\r\nFav2=keep\r\n") << Op::Favorites << Texts{"new"} << false << noField
        << QByteArray("[Favoriten]\r\nFav1=new\r\nFav2=keep\r\n");
    QTest::newRow("spelling before = kept")
        << QByteArray("[favoriten]\n  FAV1 = old  \n") << Op::Favorites << Texts{"new"} << false << noField
        << QByteArray("[favoriten]\n  FAV1 =new\n");
    QTest::newRow("new key at the end of its section")
        << QByteArray("[Favoriten]\nFav1=a\n\n; next\n[Other]\nx=1\n") << Op::Favorites << Texts{"n", "a"} << false
        << noField << QByteArray("[Favoriten]\nFav1=n\nFav2=a\n\n; next\n[Other]\nx=1\n");
    QTest::newRow("new section at the end, no final line end")
        << QByteArray("[Other]\nx=1") << Op::Favorites << Texts{"n"} << false << noField
        << QByteArray("[Other]\nx=1\n[Favoriten]\nFav1=n\n");
    QTest::newRow("higher keys keep their values")
        << QByteArray("[Favoriten]\nFav1=a\nFav2=b\nFav3=c\n") << Op::Favorites << Texts{"z"} << false << noField
        << QByteArray("[Favoriten]\nFav1=z\nFav2=b\nFav3=c\n");
    QTest::newRow("at most five") << QByteArray() << Op::Favorites << Texts{"1", "2", "3", "4", "5", "6"} << false
                                  << noField
                                  << QByteArray("[Favoriten]\r\nFav1=1\r\nFav2=2\r\nFav3=3\r\nFav4=4\r\nFav5=5\r\n");
    QTest::newRow("line break in a value") << QByteArray() << Op::Favorites << Texts{"a\r\n[Leaderboard]"} << false
                                           << noField << QByteArray("[Favoriten]\r\nFav1=a\r\n");
    QTest::newRow("clear keeps unknown keys, sections and comments")
        << QByteArray("; mine\n[Favoriten]\n; recent\nFav1=a\nColour=blue\nFav3=c\n[Mine]\nk = v \n") << Op::Clear
        << Texts{} << false << noField
        << QByteArray(
               "; mine\n[Favoriten]\n; recent\nFav1=\nColour=blue\nFav3=\nFav2=\nFav4=\nFav5=\n[Mine]\nk = v \n");
    QTest::newRow("options: first token of the start field")
        << QByteArray("[Allgemein]\ngetstatsnick=old\n") << Op::Options << Texts{"x"} << true
        << QByteArray("  =DOG= Sarge, y")
        << QByteArray("[Allgemein]\ngetstatsnick==DOG=\ngetstatsonstart=1\n[Leaderboard]\nNick1=x\nNick2=\nNick3=\n"
                      "Nick4=\nNick5=\nNick6=\nNick7=\nNick8=\nNick9=\nNick10=\n");
    QTest::newRow("options: field without a token keeps the nick")
        << QByteArray("[Allgemein]\ngetstatsnick=old\ngetstatsonstart=1\n[Leaderboard]\nNick1=a\nNick2=b\nNick3=c\n")
        << Op::Options << Texts{"d"} << false << QByteArray(" \t ")
        << QByteArray("[Allgemein]\ngetstatsnick=old\ngetstatsonstart=0\n[Leaderboard]\nNick1=d\nNick2=\nNick3=\n"
                      "Nick4=\nNick5=\nNick6=\nNick7=\nNick8=\nNick9=\nNick10=\n");
}

void TestSettings::writes() {
    QFETCH(QByteArray, before);
    QFETCH(Op, op);
    QFETCH(Texts, list);
    QFETCH(bool, startOption);
    QFETCH(QByteArray, startField);
    if (!before.isEmpty())
        writeAll(path(), before);

    SettingsWriteResult result;
    switch (op) {
    case Op::Favorites:
        result = WriteFavorites(path(), list);
        break;
    case Op::Options:
        result = WriteOptions(path(), startOption, list, startField);
        break;
    case Op::Clear:
        result = ClearFavorites(path());
        break;
    }
    QVERIFY2(result.ok(), qPrintable(result.errorText));
    QTEST(readFile(path()), "after");
}

// The file appears with the first lookup and grows its sections in the order first written.
void TestSettings::firstLookupThenOptions() {
    const StartupSettings none = ReadStartupSettings(path());
    QVERIFY(!none.fileExists);
    QVERIFY(none.history.isEmpty());
    QCOMPARE(none.leaderboardNicks, nicks({}));
    QVERIFY(!none.statsOnStartPending);
    QCOMPARE(none.statsServer, DefaultServer);
    QCOMPARE(ReadStartOption(path()), std::nullopt);
    QVERIFY(!QFile::exists(path()));

    QVERIFY(WriteFavorites(path(), {"=DOG= Sarge"}).ok());
    QCOMPARE(readFile(path()), "[Favoriten]\r\nFav1==DOG= Sarge\r\n");

    QVERIFY(WriteOptions(path(), true, {"Rook", "45000001"}, "Vortex").ok());
    QCOMPARE(readFile(path()), "[Favoriten]\r\nFav1==DOG= Sarge\r\n"
                               "[Allgemein]\r\ngetstatsonstart=1\r\ngetstatsnick=Vortex\r\n"
                               "[Leaderboard]\r\nNick1=Rook\r\nNick2=45000001\r\nNick3=\r\nNick4=\r\nNick5=\r\n"
                               "Nick6=\r\nNick7=\r\nNick8=\r\nNick9=\r\nNick10=\r\n");

    const StartupSettings s = ReadStartupSettings(path());
    QCOMPARE(s.history, Texts{"=DOG= Sarge"});
    QCOMPARE(s.inputText, "=DOG= Sarge");
    QCOMPARE(s.leaderboardNicks, nicks({"Rook", "45000001"}));
    QCOMPARE(s.startNick, "Vortex");
    QVERIFY(s.statsOnStartPending);
    QCOMPARE(ReadStartOption(path()), std::optional<bool>(true));

    QVERIFY(ClearFavorites(path()).ok());
    QVERIFY(ReadStartupSettings(path()).history.isEmpty());
    QVERIFY(WriteOptions(path(), false, {}, {}).ok());
    QCOMPARE(ReadStartOption(path()), std::optional<bool>(false));
    QCOMPARE(ReadStartupSettings(path()).startNick, "Vortex");
}

// Fav2 empty between Fav1 and Fav3: the history closes the gap, so the next lookup moves the old
// entries up by one key each.
void TestSettings::favoritesGapThenLookup() {
    writeAll(path(), "[Favoriten]\nFav1=a\nFav2=\nFav3=c\n");
    Texts history = ReadStartupSettings(path()).history;
    QCOMPARE(history, (Texts{"a", "c"}));
    history.prepend("new");
    QVERIFY(WriteFavorites(path(), history).ok());
    QCOMPARE(readFile(path()), "[Favoriten]\nFav1=new\nFav2=a\nFav3=c\n");
}

void TestSettings::failedWriteNamesThePath_data() {
    QTest::addColumn<QString>("relative");
    QTest::newRow("folder missing") << QStringLiteral("missing/Settings.ini");
    QTest::newRow("folder is a file") << QStringLiteral("plain/Settings.ini");
    QTest::newRow("path is a folder") << QStringLiteral("folder");
}

// Root ignores permission bits, so these paths fail for everyone.
void TestSettings::failedWriteNamesThePath() {
    QFETCH(QString, relative);
    writeAll(m_dir->filePath(QStringLiteral("plain")), "x");
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("folder")));
    const QString target = m_dir->filePath(relative);

    QCOMPARE(WriteFavorites(target, {"a"}).errorText, errorFor(target));
    QCOMPARE(WriteOptions(target, true, {"a"}, "b").errorText, errorFor(target));
    QCOMPARE(ClearFavorites(target).errorText, errorFor(target));
    QCOMPARE(readFile(m_dir->filePath(QStringLiteral("plain"))), "x");
    QVERIFY(QFileInfo(m_dir->filePath(QStringLiteral("folder"))).isDir());
}

// A write that fails half-way (here the file-size limit, which binds root as well, standing in
// for a full disk) leaves the old file whole and no temporary file behind.
void TestSettings::failedWriteKeepsOldFile() {
    const QByteArray old = "; mine\n[Favoriten]\nFav1=a\nFav2=b\n[Leaderboard]\nNick1=z\n";
    writeAll(path(), old);

    rlimit saved{};
    QVERIFY(getrlimit(RLIMIT_FSIZE, &saved) == 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 128;
    QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
    const SettingsWriteResult favorites = WriteFavorites(path(), {QByteArray(4000, 'n'), "a", "b"});
    const SettingsWriteResult options = WriteOptions(path(), true, Texts(10, QByteArray(100, 'r')), "x");
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    QCOMPARE(favorites.errorText, errorFor(path()));
    QCOMPARE(options.errorText, errorFor(path()));
    QCOMPARE(readFile(path()), old);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Settings.ini")});

    // The same write goes through once the limit is lifted.
    QVERIFY(WriteFavorites(path(), {QByteArray(4000, 'n'), "a", "b"}).ok());
    QCOMPARE(ReadStartupSettings(path()).history.first(), QByteArray(2047, 'n'));
    QCOMPARE(ReadStartupSettings(path()).leaderboardNicks.first(), "z");
}

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
