#pragma once

#include "app/main_window.h"

#include <QSignalSpy>
#include <QString>
#include <QTest>

class QAction;
class QTreeWidget;

// Drives the main window as a user does: types into the input, presses Enter or clicks Go,
// double-clicks a table row, triggers a menu action by its object name, and waits for the lookup
// the window started to finish.
class WindowDriver final {
public:
    enum class Submit { Enter, ClickGo };

    explicit WindowDriver(MainWindow& window);

    MainWindow& window() const { return m_window; }

    // Replaces the input's text by typing it.
    void type(const QString& text);
    void pressEnter();
    void clickGo();
    // Types the text, submits it and waits for the lookup it starts (if any) to finish. False
    // when a lookup was started and did not finish within the time.
    bool lookUp(const QString& text, Submit submit = Submit::Enter, int timeoutMs = 20000);
    // Waits for the current lookup to finish; true at once when none is running.
    bool waitForLookup(int timeoutMs = 20000);
    // How many lookups have finished since the driver was made, and how the last one ended.
    qsizetype finishedCount() const { return m_finished.count(); }
    LookupOutcome lastOutcome() const;

    void doubleClickRow(QTreeWidget* list, int row, int column = 1);
    void trigger(const char* actionName);
    void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

    // The window's activation, as the window system delivers it.
    void activate();

    template <typename T> T* find(const char* objectName) const {
        T* found = m_window.findChild<T*>(QLatin1String(objectName));
        if (!found && m_window.objectName() == QLatin1String(objectName))
            found = qobject_cast<T*>(&m_window);
        return found;
    }

private:
    MainWindow& m_window;
    QSignalSpy m_finished;
};
