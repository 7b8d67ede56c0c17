// The yardstick for the program's start-up: a plain Qt Widgets main window with one label, started
// on the same platform plugin and timed at the same points (main() to shown, to first paint).
#include "first_paint.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>

namespace {

constexpr int StartupTimeoutMs = 30000;

void quietMessages(QtMsgType, const QMessageLogContext&, const QString& message) {
    if (message.startsWith(QLatin1String("This plugin does not support")) ||
        message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietMessages);
    QElapsedTimer clock;
    clock.start();

    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Minimal"));
    window.setCentralWidget(new QLabel(QStringLiteral("Hello"), &window));
    window.resize(1009, 815);
    const std::optional<FirstPaint::ShownTimes> times = FirstPaint::showAndPaint(window, clock, StartupTimeoutMs);
    if (!times) {
        std::fprintf(stderr, "minimal window: not shown and painted in time\n");
        return 1;
    }
    FirstPaint::printStartup(*times);
    return 0;
}
