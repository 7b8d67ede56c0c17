#include "settings/settings_store.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestSettingsLocation final : public QObject {
    Q_OBJECT

private slots:
    void configHome_data() {
        QTest::addColumn<QString>("xdg");
        QTest::addColumn<QString>("expected");
        QTest::newRow("unset") << QString() << "/home/u/.config";
        QTest::newRow("absolute") << "/srv/conf"
                                  << "/srv/conf";
        // A relative value is not a configuration folder; it would follow the working directory.
        QTest::newRow("relative") << "conf"
                                  << "/home/u/.config";
    }
    void configHome() {
        QFETCH(QString, xdg);
        QFETCH(QString, expected);
        QCOMPARE(ConfigHome(xdg, QStringLiteral("/home/u")), expected);
    }

    // Beside the program when it is portable or already has its settings there; else the user's
    // configuration folder.
    void location_data() {
        QTest::addColumn<QString>("folder"); // "TMP" stands for a folder of the user's own
        QTest::addColumn<bool>("settingsThere");
        QTest::addColumn<bool>("beside");
        QTest::newRow("portable") << "TMP" << false << true;
        QTest::newRow("portable with settings") << "TMP" << true << true;
        QTest::newRow("below /usr") << "/usr/bin" << false << false;
        QTest::newRow("/usr itself") << "/usr" << false << false;
        QTest::newRow("folder that cannot be written") << "TMP/gone" << false << false;
    }
    void location() {
        QFETCH(QString, folder);
        QFETCH(bool, settingsThere);
        QFETCH(bool, beside);
        QTemporaryDir own;
        QVERIFY(own.isValid());
        folder.replace(QLatin1String("TMP"), own.path());
        if (settingsThere) {
            QFile file(QDir(folder).filePath(QStringLiteral("Settings.ini")));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        const QString config = QStringLiteral("/home/u/.config");
        QCOMPARE(IsInstalledFolder(folder), !beside && !settingsThere);
        QCOMPARE(ChooseSettingsPath(folder, config), beside ? QDir(folder).filePath(QStringLiteral("Settings.ini"))
                                                            : config + QStringLiteral("/orvane/Settings.ini"));
    }
};

QTEST_GUILESS_MAIN(TestSettingsLocation)
#include "test_settings_location.moc"
