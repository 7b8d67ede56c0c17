#include "app/platform_hooks.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QScreen>
#include <QUrl>

namespace PlatformHooks {
namespace {
MessageBoxAnswer& messageBoxAnswer() {
    static MessageBoxAnswer answer;
    return answer;
}
ScreenHeight& screenHeight() {
    static ScreenHeight height;
    return height;
}
ScreenSize& screenSize() {
    static ScreenSize size;
    return size;
}
OpenUrl& openUrlHook() {
    static OpenUrl open;
    return open;
}
} // namespace

void setMessageBoxAnswer(MessageBoxAnswer answer) {
    messageBoxAnswer() = std::move(answer);
}

QMessageBox::StandardButton showMessage(QWidget* parent, QMessageBox::Icon icon, const QString& caption,
                                        const QString& text) {
    if (messageBoxAnswer())
        return messageBoxAnswer()(icon, caption, text);
    QMessageBox box(icon, caption, text, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("MessageBox"));
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void setPrimaryScreenHeight(ScreenHeight height) {
    screenHeight() = std::move(height);
}

int primaryScreenHeight() {
    if (screenHeight())
        return screenHeight()();
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().height() : 1080;
}

void setAvailableScreenSize(ScreenSize size) {
    screenSize() = std::move(size);
}

QSize availableScreenSize() {
    if (screenSize())
        return screenSize()();
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry().size() : QSize(1920, 1080);
}

void setOpenUrl(OpenUrl open) {
    openUrlHook() = std::move(open);
}

void openUrl(const QString& url) {
    if (openUrlHook()) {
        openUrlHook()(url);
        return;
    }
    QDesktopServices::openUrl(QUrl(url));
}

} // namespace PlatformHooks
