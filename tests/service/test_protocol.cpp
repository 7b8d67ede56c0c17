#include "service/protocol.h"
#include "service/text_codec.h"
#include "test_files.h"

#include <QFile>
#include <QTest>

namespace {

using TestFiles::fixture;

// A well-formed reply of exactly `count` tokens: "O" and then count-1 fields of one line.
QByteArray replyOfTokens(qsizetype count) {
    QByteArray body = "O";
    if (count > 1)
        body += '\n';
    for (qsizetype i = 1; i < count; ++i)
        body += (i > 1 ? "\t" : "") + QByteArray::number(i);
    return body;
}

} // namespace

class TestProtocol final : public QObject {
    Q_OBJECT

private slots:
    void cutReply_data();
    void cutReply();
    void cutServiceReply_data();
    void cutServiceReply();
    void fixturesUnderBothRules();
    void replyCheck_data();
    void replyCheck();
    void acceptReply_data();
    void acceptReply();
    void acceptReplyLengthBoundary();
    void replyKindTable();
    void tokenNumber_data();
    void tokenNumber();
    void logLines();
    void requests_data();
    void requests();
    void infoKeys();
    void win1252();
};

void TestProtocol::cutReply_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<ReplyTokens>("tokens");

    QTest::newRow("empty") << QByteArray() << ReplyTokens{};
    QTest::newRow("only blanks") << QByteArray(" \t\r\n") << ReplyTokens{};
    QTest::newRow("letter, LF, letter, TAB, word") << QByteArray("a\nb\tword") << ReplyTokens{"a", "b", "word"};
    QTest::newRow("comma blank comma") << QByteArray("one, ,two") << ReplyTokens{"one", "", "two"};
    QTest::newRow("blank before single comma") << QByteArray("one ,two") << ReplyTokens{"one", "two"};
    QTest::newRow("two commas") << QByteArray("a,,b") << ReplyTokens{"a", "", "b"};
    QTest::newRow("leading comma") << QByteArray(",a") << ReplyTokens{"", "a"};
    QTest::newRow("trailing comma") << QByteArray("a,") << ReplyTokens{"a", ""};
    // Only a comma that is the very last character gives the final empty token.
    QTest::newRow("comma then blank at end") << QByteArray("a, ") << ReplyTokens{"a"};
    QTest::newRow("doubled quote") << QByteArray("\"a\"\"b\"") << ReplyTokens{"a\"b"};
    QTest::newRow("quoted with blank and comma") << QByteArray("\"x y,z\",w") << ReplyTokens{"x y,z", "w"};
    QTest::newRow("empty quoted") << QByteArray("\"\",a") << ReplyTokens{"", "a"};
    QTest::newRow("text glued to closing quote") << QByteArray("\"ab\"cd") << ReplyTokens{"ab", "cd"};
    QTest::newRow("unclosed quote") << QByteArray("x \"open, end") << ReplyTokens{"x", "open, end"};
    QTest::newRow("NUL ends the text") << QByteArray("a b\0c d", 7) << ReplyTokens{"a", "b"};
    QTest::newRow("control characters are blanks") << QByteArray("\x01"
                                                                 "a\x1f"
                                                                 "b")
                                                   << ReplyTokens{"a", "b"};
    // Bytes above 127 are characters, not blanks (a signed char would make them negative).
    QTest::newRow("high bytes") << QByteArray("M\xfcller \x7f\xa0") << ReplyTokens{"M\xfcller", "\x7f\xa0"};
    QTest::newRow("tagged nickname") << QByteArray("=DOG= Sarge") << ReplyTokens{"=DOG=", "Sarge"};
}

void TestProtocol::cutReply() {
    QFETCH(QByteArray, text);
    QFETCH(ReplyTokens, tokens);
    QCOMPARE(CutReply(text), tokens);
}

void TestProtocol::cutServiceReply_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<ReplyTokens>("tokens");

    QTest::newRow("empty") << QByteArray() << ReplyTokens{};
    QTest::newRow("empty lines") << QByteArray("\n\r\n\n") << ReplyTokens{};
    QTest::newRow("lines and fields") << QByteArray("O\nH\tpid\tnick\nD\t7\tSarge\n$\t12\t$")
                                      << ReplyTokens{"O", "H", "pid", "nick", "D", "7", "Sarge", "$", "12", "$"};
    QTest::newRow("field kept whole") << QByteArray("D\t=DOG= Sarge\ta,\"b\"\t x ")
                                      << ReplyTokens{"D", "=DOG= Sarge", "a,\"b\"", " x "};
    QTest::newRow("CRLF") << QByteArray("a\tb\r\nc\r\n") << ReplyTokens{"a", "b", "c"};
    QTest::newRow("CR at the end of the text") << QByteArray("a\r") << ReplyTokens{"a"};
    QTest::newRow("CR inside a field") << QByteArray("a\rb") << ReplyTokens{"a\rb"};
    QTest::newRow("empty field between TABs") << QByteArray("a\t\tb") << ReplyTokens{"a", "", "b"};
    QTest::newRow("trailing TAB") << QByteArray("E\t107\t\n$\t4\t$") << ReplyTokens{"E", "107", "$", "4", "$"};
    QTest::newRow("leading TAB") << QByteArray("\ta") << ReplyTokens{"", "a"};
    QTest::newRow("lone TAB is one empty field") << QByteArray("\t\nx") << ReplyTokens{"", "x"};
    QTest::newRow("NUL ends the text") << QByteArray("a\tb\0c\nd", 7) << ReplyTokens{"a", "b"};
    QTest::newRow("high bytes") << QByteArray("M\xfcller\t\xa0") << ReplyTokens{"M\xfcller", "\xa0"};
}

void TestProtocol::cutServiceReply() {
    QFETCH(QByteArray, body);
    QFETCH(ReplyTokens, tokens);
    QCOMPARE(CutServiceReply(body), tokens);
}

// Where no field holds a blank, comma or quote both rules give the same list; a tagged nickname
// splits under the comma-text rule and shifts every later position, so replies use the service's.
void TestProtocol::fixturesUnderBothRules() {
    for (const char* name :
         {"getleaderboard_topten.txt", "error_107.txt", "getleaderboard_norecord.txt", "searchforplayers_none.txt"}) {
        const QByteArray body = fixture(name);
        QCOMPARE(CutServiceReply(body), CutReply(body));
    }

    const ReplyTokens stats = CutServiceReply(fixture("getplayerinfo_stats.txt"));
    QCOMPARE(stats.size(), 5 + 1 + 232 + 1 + 232 + 3);
    QCOMPARE(stats[239], "43917456");
    QCOMPARE(stats[240], "=DOG= Sarge");
    QCOMPARE(stats[241], "48211");       // scor
    QCOMPARE(stats[291], "[SAS] Price"); // vmns
    QCOMPARE(stats[460], "1440");        // kdt-6
    const ReplyTokens statsComma = CutReply(fixture("getplayerinfo_stats.txt"));
    QCOMPARE(statsComma[240], "=DOG=");
    QCOMPARE(statsComma[241], "Sarge");
    QCOMPARE(statsComma.size(), stats.size() + 2);

    const ReplyTokens search = CutServiceReply(fixture("searchforplayers_tagged.txt"));
    QCOMPARE(search[12], "43917456");
    QCOMPARE(search[13], "=DOG= Sarge");
    QCOMPARE(search[17], "43917500");
    QCOMPARE(CutReply(fixture("searchforplayers_tagged.txt"))[17], "2");

    const ReplyTokens rank = CutServiceReply(fixture("getleaderboard_rank.txt"));
    QCOMPARE(rank.mid(16, 7), (ReplyTokens{"1523", "43917456", "=DOG= Sarge", "48211", "2345678", "11", "DE"}));
    QCOMPARE(CutReply(fixture("getleaderboard_rank.txt"))[22], "11");

    const ReplyTokens top = CutServiceReply(fixture("getleaderboard_topten.txt"));
    QCOMPARE(top.size(), 98);
    QCOMPARE(top[8 * 9 + 17], "45000010");
    QCOMPARE(top[8 * 9 + 18], "Ironside");
    QCOMPARE(top[94], "FI");
}

void TestProtocol::replyCheck_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<ReplyTest>("test");
    QTest::addColumn<bool>("accepted");

    const auto general = ReplyTest::GeneralStatistics;
    const auto search = ReplyTest::NicknameSearch;
    const auto rank = ReplyTest::Rank;
    const auto plain = ReplyTest::Plain;

    // "<" first: rejected by all but the nickname search, which looks for it at position 1.
    QTest::newRow("< general") << QByteArray("<html>") << general << false;
    QTest::newRow("< rank") << QByteArray("<html>") << rank << false;
    QTest::newRow("< plain") << QByteArray("<html>") << plain << false;
    QTest::newRow("< search") << QByteArray("<html>") << search << true;
    QTest::newRow("x< search") << QByteArray("x<") << search << false;
    QTest::newRow("x< general") << QByteArray("x<") << general << true;

    QTest::newRow("CR first general") << QByteArray("\rO\n") << general << false;
    QTest::newRow("LF first general") << QByteArray("\nO\n") << general << true;
    QTest::newRow("CR first plain") << QByteArray("\rO\n") << plain << true;

    QTest::newRow("$ first general") << QByteArray("$x") << general << false;
    QTest::newRow("$ first search") << QByteArray("$x") << search << false;
    QTest::newRow("$ first rank") << QByteArray("$x") << rank << false;
    QTest::newRow("$ first plain") << QByteArray("$x") << plain << true;
    QTest::newRow("$ second plain") << QByteArray("x$") << plain << false;
    QTest::newRow("$ second general") << QByteArray("x$") << general << false;
    QTest::newRow("$ third rank") << QByteArray("xx$") << rank << false;
    QTest::newRow("$ third general") << QByteArray("xx$") << general << true;
    QTest::newRow("# first search") << QByteArray("#x") << search << false;
    QTest::newRow("# second search") << QByteArray("x#") << search << false;
    QTest::newRow("# first general") << QByteArray("#x") << general << true;
    QTest::newRow("$ at 11 search") << QByteArray("O\nH\tasof\nD\t$") << search << false;
    QTest::newRow("$ at 11 rank") << QByteArray("O\nH\tasof\nD\t$") << rank << true;
    QTest::newRow("$ at 10 search") << QByteArray("O\nH\tasof\nD$") << search << true;

    // One character: only position 0 is judged.
    QTest::newRow("one char < search") << QByteArray("<") << search << true;
    QTest::newRow("one char $ plain") << QByteArray("$") << plain << true;
    QTest::newRow("one char $ rank") << QByteArray("$") << rank << false;
    QTest::newRow("one char O general") << QByteArray("O") << general << true;
    QTest::newRow("empty plain") << QByteArray() << plain << true;

    QTest::newRow("fixture stats") << fixture("getplayerinfo_stats.txt") << general << true;
    QTest::newRow("fixture search") << fixture("searchforplayers_tagged.txt") << search << true;
    QTest::newRow("fixture rank") << fixture("getleaderboard_rank.txt") << rank << true;
    QTest::newRow("fixture top ten") << fixture("getleaderboard_topten.txt") << plain << true;
    QTest::newRow("fixture no record") << fixture("getleaderboard_norecord.txt") << plain << true;
    QTest::newRow("fixture error reply") << fixture("error_107.txt") << general << true;
}

void TestProtocol::replyCheck() {
    QFETCH(QByteArray, body);
    QFETCH(ReplyTest, test);
    QFETCH(bool, accepted);
    QCOMPARE(ReplyCheck(body, test), accepted);
}

void TestProtocol::acceptReply_data() {
    QTest::addColumn<ReplyKind>("kind");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("accepted");

    const QByteArray stats = fixture("getplayerinfo_stats.txt");
    const QByteArray search = fixture("searchforplayers_tagged.txt");
    const QByteArray record = fixture("getleaderboard_rank.txt");
    const QByteArray error = fixture("error_107.txt");

    QTest::newRow("PID search") << ReplyKind::Search << search << true;
    QTest::newRow("PID search without match") << ReplyKind::Search << fixture("searchforplayers_none.txt") << true;
    QTest::newRow("Stats") << ReplyKind::Stats << stats << true;
    QTest::newRow("Rank") << ReplyKind::Rank << record << true;
    QTest::newRow("TopTen") << ReplyKind::TopTen << fixture("getleaderboard_topten.txt") << true;
    QTest::newRow("pa record") << ReplyKind::BoardRecord << record << true;
    QTest::newRow("pa no record") << ReplyKind::BoardRecord << fixture("getleaderboard_norecord.txt") << true;
    QTest::newRow("papid search") << ReplyKind::BoardSearch << search << true;
    QTest::newRow("Awards") << ReplyKind::Awards << QByteArray("O\nH\tpid\tnick\nD\t1\tx\n$\t6\t$") << true;
    QTest::newRow("Unlocks") << ReplyKind::Unlocks << QByteArray("O\nH\tpid\nD\t1\n$\t5\t$") << true;
    for (int k = 0; k < ReplyKindCount; ++k) {
        const auto kind = static_cast<ReplyKind>(k);
        QTest::addRow("error reply %s", replyKindInfo(kind).fetcherName) << kind << error << false;
    }
    QTest::newRow("error reply, CRLF") << ReplyKind::Awards << QByteArray("E\t107\t\r\n$\t4\t$") << false;
    QTest::newRow("character test") << ReplyKind::Stats << QByteArray("<html>" + stats) << false;
    QTest::newRow("Stats cut short") << ReplyKind::Stats << stats.left(stats.indexOf("\t1440\t")) << false;
    QTest::newRow("Rank cut short") << ReplyKind::Rank << record.left(record.indexOf("\tDE\n")) << false;
    QTest::newRow("first field E only counts alone") << ReplyKind::Awards << QByteArray("EX\t1") << true;
}

void TestProtocol::acceptReply() {
    QFETCH(ReplyKind, kind);
    QFETCH(QByteArray, body);
    QFETCH(bool, accepted);
    const std::optional<ServiceReply> reply = AcceptReply(kind, body);
    QCOMPARE(reply.has_value(), accepted);
    if (accepted)
        QCOMPARE(reply->tokens(), CutServiceReply(body));
}

// Every handler may read up to minTokens - 1 without a check of its own; one token less rejects.
void TestProtocol::acceptReplyLengthBoundary() {
    for (int k = 0; k < ReplyKindCount; ++k) {
        const auto kind = static_cast<ReplyKind>(k);
        const int need = replyKindInfo(kind).minTokens;
        const QByteArray body = replyOfTokens(need);
        QVERIFY2(AcceptReply(kind, body).has_value(), replyKindInfo(kind).fetcherName);
        if (need > 0)
            QVERIFY2(!AcceptReply(kind, replyOfTokens(need - 1)).has_value(), replyKindInfo(kind).fetcherName);
    }
}

void TestProtocol::replyKindTable() {
    struct Row {
        const char* fetcher;
        ReplyTest test;
        const char* failure;
        bool close;
        int share;
        const char* log;
        int minTokens;
        const char* progress;
    };
    const Row expected[ReplyKindCount] = {
        {"HTTPGetStringPID", ReplyTest::NicknameSearch, "Fehler", true, 0, nullptr, 13, "Receiving Data (PID)..."},
        {"HTTPGetString", ReplyTest::GeneralStatistics, "Error: Nickname does not exist", true, 20, "Stats", 461,
         "Receiving Data..."},
        {"HTTPGetStringRank", ReplyTest::Rank, "Error: Unknown rank", false, 20, "Ranks", 23,
         "Receiving Data (Rank)..."},
        {"HTTPGetStringMaps", ReplyTest::Plain, "Error", false, 20, "Maps", 143, "Receiving Data (Data)..."},
        {"HTTPGetStringAwards", ReplyTest::Plain, "Error", false, 20, "Awards", 0, "Receiving Data (PID)..."},
        {"HTTPGetStringUnlocks", ReplyTest::Plain, "Error", false, 20, "Unlocks", 0, "Receiving Data (Unlocks)..."},
        {"HTTPGetStringTopTen", ReplyTest::Plain, "Error", false, 0, "Top Ten", 95, "Receiving Data (Top Ten)..."},
        {"HTTPGetStringpa", ReplyTest::Plain, "Error", false, 0, "Personal Leaderboard", 2,
         "Receiving Data (Pers. Leadb. Data)..."},
        {"HTTPGetStringpapid", ReplyTest::NicknameSearch, "Error", true, 0, nullptr, 13,
         "Receiving Data (Pers. Leadb. PID)..."},
    };
    int shares = 0;
    for (int k = 0; k < ReplyKindCount; ++k) {
        const ReplyKindInfo& info = replyKindInfo(static_cast<ReplyKind>(k));
        const Row& row = expected[k];
        QCOMPARE(int(info.kind), k);
        QCOMPARE(info.fetcherName, row.fetcher);
        QCOMPARE(info.test, row.test);
        QCOMPARE(info.failureText, row.failure);
        QCOMPARE(info.failureShowsClose, row.close);
        QCOMPARE(info.progressShare, row.share);
        QCOMPARE(QByteArray(info.logName), QByteArray(row.log));
        QCOMPARE(info.minTokens, row.minTokens);
        QCOMPARE(info.progressText, row.progress);
        shares += info.progressShare;
    }
    QCOMPARE(shares, 100); // the five counted replies close the progress window
}

void TestProtocol::tokenNumber_data() {
    QTest::addColumn<QByteArray>("token");
    QTest::addColumn<qint64>("value");

    QTest::newRow("zero") << QByteArray("0") << qint64(0);
    QTest::newRow("plain") << QByteArray("3723") << qint64(3723);
    QTest::newRow("leading zeros") << QByteArray("007") << qint64(7);
    QTest::newRow("negative") << QByteArray("-12") << qint64(-12);
    QTest::newRow("largest") << QByteArray("9223372036854775807") << std::numeric_limits<qint64>::max();
    QTest::newRow("smallest") << QByteArray("-9223372036854775808") << std::numeric_limits<qint64>::min();
    QTest::newRow("overflow") << QByteArray("9223372036854775808") << qint64(0);
    QTest::newRow("negative overflow") << QByteArray("-9223372036854775809") << qint64(0);
    QTest::newRow("far overflow") << QByteArray("99999999999999999999999") << qint64(0);
    QTest::newRow("empty") << QByteArray() << qint64(0);
    QTest::newRow("minus only") << QByteArray("-") << qint64(0);
    QTest::newRow("plus sign") << QByteArray("+5") << qint64(0);
    QTest::newRow("blank") << QByteArray(" 5") << qint64(0);
    QTest::newRow("decimal point") << QByteArray("1.5") << qint64(0);
    QTest::newRow("trailing text") << QByteArray("12a") << qint64(0);
    QTest::newRow("dollar") << QByteArray("$") << qint64(0);
}

void TestProtocol::tokenNumber() {
    QFETCH(QByteArray, token);
    QFETCH(qint64, value);
    QCOMPARE(TokenNumber(token), value);
}

void TestProtocol::logLines() {
    ReplyTokens tokens;
    for (int i = 0; i < 11; ++i)
        tokens.append(i == 3 ? QByteArray() : "t" + QByteArray::number(i));
    tokens[10] = "=DOG= Sarge";
    const QList<QByteArray> lines = LogReplyTokens("Maps", tokens);
    QCOMPARE(lines.size(), 12);
    QCOMPARE(lines[0], QByteArray(22, '/') + "Maps" + QByteArray(24, '\\'));
    QCOMPARE(lines[0].size(), 50);
    QCOMPARE(lines[1], "0  t0");
    QCOMPARE(lines[4], "3  "); // an empty token keeps its two blanks
    QCOMPARE(lines[11], "10  =DOG= Sarge");

    QCOMPARE(LogReplyTokens("Personal Leaderboard", {}),
             QList<QByteArray>{QByteArray(22, '/') + "Personal Leaderboard" + QByteArray(24, '\\')});
}

void TestProtocol::requests_data() {
    QTest::addColumn<QByteArray>("url");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray host = "127.0.0.1:28080";
    const QByteArray base = "http://127.0.0.1:28080/ASP/";
    QTest::newRow("1 player search") << Requests::PlayerSearch(host, "=DOG= Sarge")
                                     << base + "searchforplayers.aspx?where=a&nick=%3DDOG%3D%20Sarge";
    QTest::newRow("2 general") << Requests::GeneralStats(host, "43917456")
                               << base + "getplayerinfo.aspx?pid=43917456&info=" + InfoKeys;
    QTest::newRow("3 rank") << Requests::Rank(host, "43917456")
                            << base + "getleaderboard.aspx?type=score&id=overall&pid=43917456&info=" + InfoKeys;
    QTest::newRow("4 maps") << Requests::Maps(host, "43917456")
                            << base + "getplayerinfo.aspx?pid=43917456&info=mtm-,mwn-,mls-";
    QTest::newRow("5 awards") << Requests::Awards(host, "43917456") << base + "getawardsinfo.aspx?pid=43917456";
    QTest::newRow("6 unlocks") << Requests::Unlocks(host, "43917456") << base + "getunlocksinfo.aspx?pid=43917456";
    QTest::newRow("7 top ten") << Requests::TopTen(host) << base + "getleaderboard.aspx?type=score&id=overall&after=9";
    QTest::newRow("8 board record") << Requests::BoardRecord(host, "45000001")
                                    << base + "getleaderboard.aspx?pid=45000001&type=score&id=overall";
    QTest::newRow("9 board search") << Requests::BoardSearch(host, "Rook")
                                    << base + "searchforplayers.aspx?where=a&nick=Rook";
    QTest::newRow("typed text is one query value")
        << Requests::PlayerSearch(host, "a&b#c?d%e+f=g/h~i.j_k-l\xfc")
        << base + "searchforplayers.aspx?where=a&nick=a%26b%23c%3Fd%25e%2Bf%3Dg%2Fh~i.j_k-l%FC";
    QTest::newRow("a PID from a reply too") << Requests::BoardRecord(host, "1&type=x")
                                            << base + "getleaderboard.aspx?pid=1%26type%3Dx&type=score&id=overall";
    QTest::newRow("host without port") << Requests::TopTen("stats.example.org")
                                       << QByteArray("http://stats.example.org/ASP/getleaderboard.aspx?type=score"
                                                     "&id=overall&after=9");
}

void TestProtocol::requests() {
    QFETCH(QByteArray, url);
    QFETCH(QByteArray, expected);
    QCOMPARE(url, expected);
}

void TestProtocol::infoKeys() {
    QCOMPARE(InfoKeys.size(), 317);
    QCOMPARE(InfoKeys.count(',') + 1, 64);
    QVERIFY(InfoKeys.startsWith("jond,per*,cmb*,twsc,"));
    QVERIFY(InfoKeys.contains(",mvn*,vmr*,"));
    QVERIFY(InfoKeys.endsWith(",ktm-,kkl-,kdt-,kkd-"));
}

void TestProtocol::win1252() {
    QByteArray every(256, '\0');
    for (int i = 0; i < 256; ++i)
        every[i] = char(i);
    const QString decoded = FromWin1252(every);
    QCOMPARE(decoded.size(), 256);
    QCOMPARE(ToWin1252(decoded), every);

    QCOMPARE(FromWin1252("\x80\x8a\x93\x94\x99\x9f"), QStringLiteral("\u20ac\u0160\u201c\u201d\u2122\u0178"));
    QCOMPARE(FromWin1252("M\xfcller \xe4\xdf"), QStringLiteral("M\u00fcller \u00e4\u00df"));
    QCOMPARE(decoded[0x81], QChar(0x81)); // unassigned: kept as the control of the same value
    QCOMPARE(ToWin1252(u"\u20ac5 \u0100\u4e2d \U0001F600 \u0085"), QByteArray("\x80"
                                                                              "5 ?? ? ?"));
}

QTEST_GUILESS_MAIN(TestProtocol)
#include "test_protocol.moc"
