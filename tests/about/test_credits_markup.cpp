#include "about/changelog_text.h"
#include "about/credits_markup.h"
#include "about/credits_text.h"

#include <QTest>

Q_DECLARE_METATYPE(CreditLine)

namespace {

CreditLine line(const char* text) {
    CreditLine l;
    l.text = QString::fromUtf8(text);
    return l;
}

CreditLine with(CreditLine l, void (*set)(CreditLine&)) {
    set(l);
    return l;
}

} // namespace

class TestCreditsMarkup final : public QObject {
    Q_OBJECT

private slots:
    void parse_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<CreditLine>("expected");
        QTest::newRow("plain") << "Orvane" << line("Orvane");
        QTest::newRow("empty") << "" << line("");
        QTest::newRow("escaped bold tag") << "<<b>" << line("<b>");
        QTest::newRow("bold between halves")
            << "Code<b> and more" << with(line("Code and more"), [](CreditLine& l) { l.bold = true; });
        QTest::newRow("tags in capitals")
            << "<B><I><U>x" << with(line("x"), [](CreditLine& l) { l.bold = l.italic = l.underline = true; });
        QTest::newRow("third letter not checked") << "<bXy" << with(line("y"), [](CreditLine& l) { l.bold = true; });
        QTest::newRow("title") << "<u><b><s14><nArial>Orvane" << with(line("Orvane"), [](CreditLine& l) {
            l.underline = l.bold = true;
            l.pointSize = 14;
            l.fontName = QStringLiteral("Arial");
        });
        QTest::newRow("size 0 keeps the base") << "<s0>x" << line("x");
        QTest::newRow("negative size keeps the base") << "<s-3>x" << line("x");
        QTest::newRow("size not a number") << "<sbig>x" << line("x");
        QTest::newRow("size in capitals") << "<S9>x" << with(line("x"), [](CreditLine& l) { l.pointSize = 9; });
        QTest::newRow("name only") << "<nTerminal>"
                                   << with(line(""), [](CreditLine& l) { l.fontName = QStringLiteral("Terminal"); });
        QTest::newRow("decimal red") << "<c255,0,0>r" << with(line("r"), [](CreditLine& l) { l.rgb = 0xff0000; });
        QTest::newRow("hexadecimal red") << "<c$000000FF>r" << with(line("r"), [](CreditLine& l) { l.rgb = 0xff0000; });
        QTest::newRow("hexadecimal blue-green-red order")
            << "<C$0004FFFF>y" << with(line("y"), [](CreditLine& l) { l.rgb = 0xffff04; });
        QTest::newRow("two components") << "<c1,2>x" << line("x");
        QTest::newRow("component over 255") << "<c256,0,0>x" << line("x");
        QTest::newRow("hex not a number") << "<c$zz>x" << line("x");
        QTest::newRow("unknown tag hides two characters") << "a<xb" << line("ab");
        QTest::newRow("lone < at the end") << "a<" << line("a");
        QTest::newRow("size without > takes the rest") << "x<s12 more" << line("x");
        QTest::newRow("name without > takes the rest")
            << "x<nArial" << with(line("x"), [](CreditLine& l) { l.fontName = QStringLiteral("Arial"); });
        QTest::newRow("bold tag cut short") << "x<b" << with(line("x"), [](CreditLine& l) { l.bold = true; });
        QTest::newRow("trademark") << "<b>Battlefield 2\u2122:"
                                   << with(line("Battlefield 2\u2122:"), [](CreditLine& l) { l.bold = true; });
    }
    void parse() {
        QFETCH(QString, entry);
        QFETCH(CreditLine, expected);
        const CreditLine parsed = ParseCreditLine(entry);
        QCOMPARE(parsed.text, expected.text);
        QCOMPARE(parsed.fontName, expected.fontName);
        QCOMPARE(parsed.pointSize, expected.pointSize);
        QCOMPARE(parsed.rgb.value_or(0x1000000), expected.rgb.value_or(0x1000000));
        QCOMPARE(parsed.bold, expected.bold);
        QCOMPARE(parsed.italic, expected.italic);
        QCOMPARE(parsed.underline, expected.underline);
    }

    void creditsStructure() {
        const QStringList lines = CreditsText();
        QCOMPARE(lines.size(), 71);
        QCOMPARE(lines.first(), QStringLiteral("<u><b><s14><nArial>Orvane"));
        for (const char* heading :
             {"<b>Code:", "<b>GUI:", "<b>Gfx:", "<b>Chaos:", "<b>Special Thanks to:", "<b>Beta Testing: ",
              "<b>Useful Information:", "<b>Battlefield 2\u2122:", "<b>Coffee:"})
            QVERIFY2(lines.contains(QString::fromUtf8(heading)), heading);
        QCOMPARE(lines.filter(QStringLiteral("<b><nTerminal>")).size(), 6);
        QCOMPARE(lines[67], QStringLiteral("(42)"));
        // Nothing in the text is lost to the mark-up by accident: every "<" is a tag or written "<<".
        const QString all = lines.join(u'\n');
        for (const char* name : {"Qt", "libcurl", "SQLite", "cpp-httplib", "Orvane contributors"})
            QVERIFY2(all.contains(QLatin1String(name)), name);
    }

    void changelog() {
        const QList<ChangelogLine> lines = ChangelogText();
        QList<QString> headings;
        int entries = 0, gaps = 0;
        for (const ChangelogLine& line : lines) {
            if (line.kind == ChangelogLine::Heading)
                headings << line.text;
            entries += line.kind == ChangelogLine::Entry && line.text.startsWith(QLatin1String("- "));
            gaps += line.kind == ChangelogLine::Gap && line.text.isEmpty();
        }
        QCOMPARE(headings,
                 (QList<QString>{"22.01.2006 Version 0.50", "13.01.2006 Version 0.25", "05.01.2006 Version 0.20",
                                 "13.12.2005 Version 0.15", "11.12.2005 Version 0.10"}));
        QCOMPARE(entries, 33);
        QCOMPARE(gaps, 4);
        QCOMPARE(lines.size(), 42);
        QCOMPARE(lines.last().text, QStringLiteral("- Beschreibungen noch nicht implementiert"));
        QCOMPARE(lines[1].text, QStringLiteral("- \"Top Ten\" added"));
        // The German letters, as characters and not as the bytes of some encoding.
        QCOMPARE(lines[21].text, QString::fromUtf8("- Gr\xc3\xb6\xc3\x9f"
                                                   "e an 1042x786 automatisch anpassbar"));
        const QString all = [&] {
            QString text;
            for (const ChangelogLine& line : lines)
                text += line.text;
            return text;
        }();
        for (const char16_t letter : {u'\u00e4', u'\u00f6', u'\u00fc', u'\u00c4', u'\u00dc', u'\u00df'})
            QVERIFY(all.contains(QChar(letter)));
    }
};

QTEST_GUILESS_MAIN(TestCreditsMarkup)
#include "test_credits_markup.moc"
