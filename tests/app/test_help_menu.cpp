#include "about/about_box.h"
#include "about/changelog_window.h"
#include "about/scrolling_credits.h"
#include "scripted_server.h"
#include "ui_test_main.h"
#include "update/updater_window.h"
#include "window_driver.h"

#include <QAction>
#include <QFile>
#include <QTemporaryDir>
#include <QTextEdit>
#include <memory>

// Help > Update and Help > About, and the changelog after an update, from the main window.
class TestHelpMenu final : public QObject {
    Q_OBJECT

private slots:
    void init() {
        QVERIFY(m_dir.isValid());
        QFile settings(m_dir.filePath(QStringLiteral("Settings.ini")));
        QVERIFY(settings.open(QIODevice::WriteOnly | QIODevice::Truncate));
        const QByteArray dead = "127.0.0.1:" + QByteArray::number(ScriptedServer::refusingPort());
        settings.write("[Allgemein]\r\nstatsserver=" + dead + "\r\nupdateserver=" + dead + "\r\n");
    }

    void menuOpensTheWindows() {
        auto w = makeWindow({});
        WindowDriver d(*w);
        d.activate();
        for (const char* name : {MainNames::Update, MainNames::About})
            QVERIFY2(d.find<QAction>(name)->isEnabled(), name);
        QVERIFY(w->updaterWindow()->isHidden());
        d.trigger(MainNames::Update);
        QVERIFY(w->updaterWindow()->isVisible());
        QVERIFY(!w->updaterWindow()->isModal());
        QCOMPARE(w->updaterWindow()->parentWidget(), w.get());

        d.trigger(MainNames::About);
        QVERIFY(w->aboutBox()->isVisible());
        QVERIFY(!w->aboutBox()->isModal());
        w->aboutBox()->formActivate();
        QVERIFY(w->aboutBox()->credits()->isScrolling());
        QVERIFY(w->changelogWindow()->isHidden());
    }

    // The updater's Close ends no program; its quit request does.
    void updaterQuitClosesTheProgram() {
        auto w = makeWindow({});
        WindowDriver d(*w);
        d.activate();
        d.trigger(MainNames::Update);
        emit w->updaterWindow()->quitRequested();
        QVERIFY(!w->isVisible());
    }

    void changelogAfterAnUpdate_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("shown");
        QTest::newRow("-chlog") << QStringList{"-chlog"} << true;
        QTest::newRow("capitals") << QStringList{"-CHLOG"} << false;
        QTest::newRow("second argument") << QStringList{"x", "-chlog"} << false;
        QTest::newRow("none") << QStringList{} << false;
    }
    void changelogAfterAnUpdate() {
        QFETCH(QStringList, args);
        QFETCH(bool, shown);
        auto w = makeWindow(args);
        WindowDriver d(*w);
        d.activate();
        ChangelogWindow* changelog = w->changelogWindow();
        QCOMPARE(changelog->isVisible(), shown);
        if (!shown)
            return;
        QVERIFY(changelog->isModal());
        QCOMPARE(changelog->textBox()->document()->blockCount(), 42);
        changelog->reject();
        QVERIFY(!changelog->isModal()); // from the about box it comes without blocking
        // Once: later activations do not show it again.
        w->formActivate();
        QVERIFY(changelog->isHidden());
    }

private:
    std::unique_ptr<MainWindow> makeWindow(QStringList args) {
        MainWindowOptions options;
        options.settingsPath = m_dir.filePath(QStringLiteral("Settings.ini"));
        options.arguments = std::move(args);
        return std::make_unique<MainWindow>(std::move(options));
    }

    QTemporaryDir m_dir;
};

ORVANE_UI_TEST_MAIN(TestHelpMenu)
#include "test_help_menu.moc"
