#include "app/main_window.h"
#include "resources/art.h"
#include "skin/skin.h"
#include "update/own_version.h"
#include "update/updater_window.h"

#include <QApplication>
#include <cstdio>
#include <cstring>

int main(int argc, char* argv[]) {
    // Answered before any window system is asked for: package checks run it without a display.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("Orvane %s\n", OwnVersion);
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvane"));
    initOrvaneArt();
    Skin::apply(app);

    MainWindowOptions options;
    options.arguments = QApplication::arguments().mid(1);
    // Started by an update: the new version runs, the kept old one can go.
    if (!options.arguments.isEmpty() && options.arguments.first() == QLatin1String("-chlog"))
        RemoveOldProgram(QApplication::applicationFilePath());
    MainWindow mainWindow(std::move(options));
    mainWindow.show();
    return QApplication::exec();
}
