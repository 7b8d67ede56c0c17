#include "app/main_window.h"
#include "resources/art.h"
#include "skin/skin.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvane"));
    initOrvaneArt();
    Skin::apply(app);

    MainWindowOptions options;
    options.arguments = QApplication::arguments().mid(1);
    MainWindow mainWindow(std::move(options));
    mainWindow.show();
    return QApplication::exec();
}
