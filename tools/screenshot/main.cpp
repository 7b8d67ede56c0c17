// Takes the screenshots of the documentation: starts the main window offscreen against a
// statistics service, optionally looks a player up, and grabs the window and its pages to PNG.
//   orvane-screenshot OUTDIR [--server HOST:PORT] [--lookup NICK]
#include "app/main_window.h"
#include "app/progress_window.h"
#include "resources/art.h"
#include "skin/skin.h"

#include <QApplication>
#include <QComboBox>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
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
    file.close();

    TForm3 window(MainWindowOptions{settings, {}});
    window.show();
    window.FormActivate();
    QTest::qWait(100);
    if (parser.isSet(QStringLiteral("lookup"))) {
        window.findChild<QComboBox*>(QStringLiteral("Ed_Username"))
            ->setEditText(parser.value(QStringLiteral("lookup")));
        window.Ed_EingabeClick();
        window.progressWindow()->grab().save(out.filePath(QStringLiteral("progress-window.png")));
        QElapsedTimer timer;
        timer.start();
        while (window.progressWindow()->isVisible() && timer.elapsed() < 15000)
            QTest::qWait(20);
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
    return 0;
}
