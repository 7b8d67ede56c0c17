#include "app/progress_window.h"

#include "skin/gauge.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QShowEvent>
#include <QStyle>
#include <QTimer>

const QColor ProgressWindow::Working(0, 0, 0);
const QColor ProgressWindow::Success(0, 255, 0);
const QColor ProgressWindow::Failure(255, 0, 0);

ProgressWindow::ProgressWindow(QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Tool | Qt::FramelessWindowHint), m_mainWindow(mainWindow) {
    setObjectName(QLatin1String(ProgressNames::Window));
    setWindowTitle(QStringLiteral("Receiving Data"));
    setFixedSize(286, 78);
    setWindowOpacity(210.0 / 255.0);
    setAttribute(Qt::WA_StyledBackground);
    setAutoFillBackground(true);
    QPalette grey = palette();
    grey.setColor(QPalette::Window, QColor(0xC7, 0xC7, 0xC7));
    setPalette(grey);

    // No accessible name: a screen reader reads the status line as what it says now.
    m_status = new QLabel(QStringLiteral("Status"), this);
    m_status->setObjectName(QLatin1String(ProgressNames::Status));
    QFont bold = m_status->font();
    bold.setBold(true);
    m_status->setFont(bold);
    m_status->setGeometry(16, 2, 262, 16);

    m_request = new Gauge(this);
    m_request->setObjectName(QLatin1String(ProgressNames::RequestGauge));
    m_request->setAccessibleName(QStringLiteral("Request progress"));
    m_request->setGeometry(16, 19, 249, 22);

    m_overall = new Gauge(this);
    m_overall->setObjectName(QLatin1String(ProgressNames::OverallGauge));
    m_overall->setAccessibleName(QStringLiteral("Overall progress"));
    m_overall->setGeometry(16, 51, 249, 22);

    m_close = new QPushButton(QStringLiteral(" &Schlie\u00DFen"), this);
    m_close->setObjectName(QLatin1String(ProgressNames::Close));
    m_close->setGeometry(90, 48, 89, 25);
    m_close->hide();
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);

    // The window never takes the focus from the main window, so Escape is heard application-wide
    // while it is shown (a hidden window's shortcut is inactive).
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::ApplicationShortcut);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    setStatus(QStringLiteral("Status"), Working);
}

void ProgressWindow::setStatus(const QString& text, const QColor& colour) {
    if (m_status->text() != text)
        m_status->setText(text);
    // The style sheet picks the colour by outcome; re-polishing only on a change keeps the many
    // progress events of a lookup cheap.
    const char* outcome = colour == Success ? "success" : colour == Failure ? "failure" : "working";
    if (m_status->property("outcome").toByteArray() != outcome) {
        QPalette p = m_status->palette();
        p.setColor(QPalette::WindowText, colour);
        m_status->setPalette(p);
        m_status->setProperty("outcome", outcome);
        m_status->style()->unpolish(m_status);
        m_status->style()->polish(m_status);
    }
}

QString ProgressWindow::statusText() const {
    return m_status->text();
}

QColor ProgressWindow::statusColour() const {
    return m_status->palette().color(QPalette::WindowText);
}

void ProgressWindow::addOverallProgress(int share) {
    m_overall->setValue(m_overall->value() + share);
    // A failure stays up with its close button until the user has read it.
    if (m_overall->value() == 100 && !closeButtonShown())
        close();
}

void ProgressWindow::setOverallProgress(int value) {
    m_overall->setValue(value);
}

int ProgressWindow::overallProgress() const {
    return m_overall->value();
}

void ProgressWindow::setRequestProgress(qint64 total, qint64 received) {
    // Replies are limited far below this; the gauge counts in int.
    const auto clamp = [](qint64 v) { return int(std::clamp<qint64>(v, 0, std::numeric_limits<int>::max())); };
    m_request->setMaximum(clamp(total));
    m_request->setValue(clamp(received));
}

void ProgressWindow::showCloseButton() {
    m_overall->hide();
    m_close->show();
    if (isVisible())
        m_close->setFocus();
}

void ProgressWindow::showOverallGauge() {
    m_close->hide();
    m_overall->show();
}

bool ProgressWindow::closeButtonShown() const {
    return !m_close->isHidden();
}

void ProgressWindow::showCentred() {
    if (m_mainWindow) {
        const QRect main = m_mainWindow->frameGeometry();
        move(main.center() - QPoint(width() / 2, height() / 2));
    }
    show();
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        raise();
}

void ProgressWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    m_overall->setMaximum(100);
    // Every counted reply may have arrived before the window came up: close at once then.
    if (m_overall->value() == 100 && !closeButtonShown())
        QTimer::singleShot(0, this, [this] {
            if (m_overall->value() == 100 && !closeButtonShown())
                close();
        });
}
