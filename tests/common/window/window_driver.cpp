#include "window_driver.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

WindowDriver::WindowDriver(MainWindow& window) : m_window(window), m_finished(&window, &MainWindow::lookupFinished) {}

// Keys go to the combo box, which has the focus and hands them to its line edit, as for the user.
void WindowDriver::type(const QString& text) {
    auto* input = find<QComboBox>(MainNames::Input);
    input->lineEdit()->selectAll();
    QTest::keyClick(input, Qt::Key_Backspace);
    // Typing goes through the key events; text a keyboard cannot type is pasted in as a whole.
    if (std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x20 && c.unicode() < 0x7F; }))
        QTest::keyClicks(input, text);
    else
        input->lineEdit()->insert(text);
}

void WindowDriver::pressEnter() {
    QTest::keyClick(find<QComboBox>(MainNames::Input), Qt::Key_Return);
}

void WindowDriver::clickGo() {
    QTest::mouseClick(find<QPushButton>(MainNames::Go), Qt::LeftButton);
}

bool WindowDriver::lookUp(const QString& text, Submit submit, int timeoutMs) {
    const LookupSession* before = m_window.session();
    type(text);
    if (submit == Submit::Enter)
        pressEnter();
    else
        clickGo();
    if (m_window.session() == before || !m_window.session())
        return true; // nothing was started: a hidden code, an empty input
    return waitForLookup(timeoutMs);
}

bool WindowDriver::waitForLookup(int timeoutMs) {
    const LookupSession* session = m_window.session();
    if (!session || !session->isRunning())
        return true;
    return QTest::qWaitFor([&] { return m_window.session() != session || !session->isRunning(); }, timeoutMs);
}

LookupOutcome WindowDriver::lastOutcome() const {
    return m_finished.isEmpty() ? LookupOutcome::Failed : m_finished.last().at(0).value<LookupOutcome>();
}

void WindowDriver::doubleClickRow(QTreeWidget* list, int row, int column) {
    QTreeWidgetItem* item = list->topLevelItem(row);
    const QRect place = list->visualItemRect(item);
    const QPoint at(list->header()->sectionViewportPosition(column) + 4, place.center().y());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

void WindowDriver::trigger(const char* actionName) {
    find<QAction>(actionName)->trigger();
}

void WindowDriver::pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    // Keys go where the user would type them: into the main window, which is active again once
    // the progress window has gone.
    QWidget* target = QApplication::focusWidget();
    if (!target || target->window() != &m_window) {
        activate();
        target = QApplication::focusWidget();
    }
    QTest::keyClick(target && target->window() == &m_window ? target : &m_window, key, modifiers);
}

void WindowDriver::activate() {
    m_window.show();
    m_window.activateWindow();
    QApplication::setActiveWindow(&m_window);
    if (!QTest::qWaitForWindowActive(&m_window))
        m_window.formActivate();
}
