#pragma once

#include <QMessageBox>
#include <QSize>
#include <QString>
#include <functional>

class QWidget;

// Thin seams over what the desktop provides, so that tests can stand in for the user and the screen.
namespace PlatformHooks {

// Answers a message box instead of showing it (tests set it; nullptr shows the real box).
using MessageBoxAnswer =
    std::function<QMessageBox::StandardButton(QMessageBox::Icon icon, const QString& caption, const QString& text)>;
void setMessageBoxAnswer(MessageBoxAnswer answer);

// Shows a message box with one OK button (or lets the test hook answer it).
QMessageBox::StandardButton showMessage(QWidget* parent, QMessageBox::Icon icon, const QString& caption,
                                        const QString& text);

// Height of the primary screen in pixels; replaceable for tests.
using ScreenHeight = std::function<int()>;
void setPrimaryScreenHeight(ScreenHeight height);
int primaryScreenHeight();

// The room the primary screen offers a window (without task bars), in device-independent pixels;
// replaceable for tests.
using ScreenSize = std::function<QSize()>;
void setAvailableScreenSize(ScreenSize size);
QSize availableScreenSize();

// Opens an address in the user's browser; a failure is not reported. Tests may catch the call.
using OpenUrl = std::function<void(const QString& url)>;
void setOpenUrl(OpenUrl open);
void openUrl(const QString& url);

} // namespace PlatformHooks
