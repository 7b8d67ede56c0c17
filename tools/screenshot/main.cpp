// Takes the screenshots of the documentation: starts the main window offscreen against a
// statistics service, optionally looks a player up, and grabs the window and its pages to PNG.
//   orvane-screenshot OUTDIR [--server HOST:PORT] [--lookup NICK] [--board NICK]...
// Each --board names a player of the personal leaderboard, in order.
#include "app/main_window.h"
#include "app/platform_hooks.h"
#include "app/progress_window.h"
#include "settings/options_dialog.h"
#include "resources/art.h"
#include "skin/skin.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    initOrvaneArt();
    Skin::apply(app);

    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("outdir"), QStringLiteral("folder for the PNG files"));
    parser.addOption({QStringLiteral("server"), QStringLiteral("statistics service"), QStringLiteral("host:port"),
                      QStringLiteral("127.0.0.1:28080")});
    parser.addOption({QStringLiteral("lookup"), QStringLiteral("player to look up"), QStringLiteral("nick")});
    parser.addOption({QStringLiteral("board"), QStringLiteral("player of the personal leaderboard (repeatable)"),
                      QStringLiteral("nick")});
    parser.process(app);
    if (parser.positionalArguments().isEmpty())
        parser.showHelp(1);
    const QDir out(parser.positionalArguments().first());
    QDir().mkpath(out.path());

    QTemporaryDir settingsDir;
    const QString settings = settingsDir.filePath(QStringLiteral("Settings.ini"));
    QFile file(settings);
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    file.write("[Allgemein]\r\nstatsserver=" + parser.value(QStringLiteral("server")).toLatin1() + "\r\n");
    const QStringList board = parser.values(QStringLiteral("board"));
    file.write("[Leaderboard]\r\n");
    for (qsizetype i = 0; i < board.size() && i < 10; ++i)
        file.write("Nick" + QByteArray::number(i + 1) + "=" + board[i].toLatin1() + "\r\n");
    file.close();

    // The pictures show the window at its design size, whatever the offscreen screen is.
    PlatformHooks::setPrimaryScreenHeight([] { return 1080; });
    PlatformHooks::setAvailableScreenSize([] { return QSize(1920, 1040); });
    MainWindowOptions options;
    options.settingsPath = settings;
    MainWindow window(std::move(options));
    window.show();
    window.activateWindow();
    (void)QTest::qWaitForWindowActive(&window);
    QTest::qWait(100);
    if (parser.isSet(QStringLiteral("lookup"))) {
        auto* input = window.findChild<QComboBox*>(QLatin1String(MainNames::Input));
        input->setEditText(parser.value(QStringLiteral("lookup")));
        QTest::keyClick(input->lineEdit(), Qt::Key_Return);
        window.progressWindow()->grab().save(out.filePath(QStringLiteral("progress-window.png")));
        (void)QTest::qWaitFor([&] { return window.session() && !window.session()->isRunning(); }, 15000);
        QTest::qWait(300);
    }
    auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("Tabmain"));
    window.grab().save(out.filePath(QStringLiteral("main-window.png")));
    const QStringList names = {"overview", "data", "badges", "ribbons", "medals", "unlocks"};
    for (int i = 0; i < tabs->count() && i < names.size(); ++i) {
        tabs->setCurrentIndex(i);
        QTest::qWait(50);
        window.grab().save(out.filePath(QStringLiteral("page-%1.png").arg(names[i])));
    }
    // The keyboard's view: an award with the focus, and the tab bar with the focus.
    if (auto* badge = window.findChild<QWidget*>(QStringLiteral("Im_1031105_0"))) {
        tabs->setCurrentIndex(2);
        QApplication::setActiveWindow(&window);
        badge->parentWidget()->setFocus(Qt::TabFocusReason);
        QTest::qWait(50);
        badge->parentWidget()
            ->parentWidget()
            ->grab(QRect(0, 0, 330, 193))
            .save(out.filePath(QStringLiteral("focus-award.png")));
    }
    // The keyboard's view: the tab bar with the focus.
    tabs->setCurrentIndex(1);
    tabs->tabBar()->setFocus();
    QTest::qWait(50);
    tabs->tabBar()->grab().save(out.filePath(QStringLiteral("focus-tab.png")));

    // The options dialog as the menu opens it.
    tabs->setCurrentIndex(0);
    window.findChild<QAction*>(QLatin1String(MainNames::Options))->trigger();
    QTest::qWait(100);
    window.optionsDialog()->grab().save(out.filePath(QStringLiteral("options-dialog.png")));
    return 0;
}
