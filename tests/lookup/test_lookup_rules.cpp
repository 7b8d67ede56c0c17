#include "lookup/lookup_rules.h"

#include <QTest>

class TestLookupRules final : public QObject {
    Q_OBJECT

private slots:
    void isPid_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("pid");
        QTest::newRow("digits") << "45000001" << true;
        QTest::newRow("one digit") << "0" << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("letter appended") << "4500a" << false;
        QTest::newRow("leading blank") << " 4500" << false;
        QTest::newRow("sign") << "-45" << false;
        QTest::newRow("arabic-indic digit") << QString(QChar(0x0661)) << false;
        QTest::newRow("superscript two") << QString(QChar(0x00B2)) << false;
    }
    void isPid() {
        QFETCH(QString, text);
        QTEST(Lookup::IsPid(text), "pid");
    }

    void history_data() {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("first") << QStringList{} << "a" << QStringList{"a"};
        QTest::newRow("moved, not duplicated") << QStringList{"a", "b", "c"} << "c" << QStringList{"c", "a", "b"};
        QTest::newRow("same again") << QStringList{"a", "b"} << "a" << QStringList{"a", "b"};
        QTest::newRow("at most five") << QStringList{"a", "b", "c", "d", "e"} << "f"
                                      << QStringList{"f", "a", "b", "c", "d"};
        QTest::newRow("letter case counts") << QStringList{"abc"} << "ABC" << QStringList{"ABC", "abc"};
    }
    void history() {
        QFETCH(QStringList, before);
        QFETCH(QString, text);
        QTEST(QStringList(Lookup::UpdateHistory(before, text)), "after");
    }

    void hiddenCodes() {
        QCOMPARE(Lookup::MemoCode.size(), 7);
        QVERIFY(!Lookup::IsPid(Lookup::MemoCode));
        QVERIFY(Lookup::EasterNick != Lookup::MemoCode);
    }
};

QTEST_APPLESS_MAIN(TestLookupRules)
#include "test_lookup_rules.moc"
