#include "app/progress_window.h"

#include "skin/gauge.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QTimer>

const QColor TLoad::Working(0, 0, 0);
const QColor TLoad::Success(0, 255, 0);
const QColor TLoad::Failure(255, 0, 0);

TLoad::TLoad(QWidget* mainWindow) : QWidget(mainWindow, Qt::Tool | Qt::FramelessWindowHint), m_mainWindow(mainWindow) {
    setObjectName(QStringLiteral("TLoad"));
    setWindowTitle(QStringLiteral("Receiving Data"));
    setFixedSize(286, 78);
    setWindowOpacity(210.0 / 255.0);
    setAttribute(Qt::WA_StyledBackground);
    setAutoFillBackground(true);
    QPalette grey = palette();
    grey.setColor(QPalette::Window, QColor(0xC7, 0xC7, 0xC7));
    setPalette(grey);

    m_status = new QLabel(QStringLiteral("Status"), this);
    m_status->setObjectName(QStringLiteral("La_status"));
    QFont bold = m_status->font();
    bold.setBold(true);
    m_status->setFont(bold);
    m_status->setGeometry(16, 2, 262, 16);
    m_status->setAccessibleName(QStringLiteral("Status"));

    m_request = new TGauge(this);
    m_request->setObjectName(QStringLiteral("PB_fortschritt"));
    m_request->setAccessibleName(QStringLiteral("Request progress"));
    m_request->setGeometry(16, 19, 249, 22);

    m_overall = new TGauge(this);
    m_overall->setObjectName(QStringLiteral("PB_fortschrittgesamt"));
    m_overall->setAccessibleName(QStringLiteral("Overall progress"));
    m_overall->setGeometry(16, 51, 249, 22);

    m_close = new QPushButton(QStringLiteral(" &Schlie\u00DFen"), this);
    m_close->setObjectName(QStringLiteral("Bu_schliessen"));
    m_close->setGeometry(90, 48, 89, 25);
    m_close->hide();
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);

    setStatus(QStringLiteral("Status"), Working);
}

void TLoad::setStatus(const QString& text, const QColor& colour) {
    m_status->setText(text);
    QPalette p = m_status->palette();
    p.setColor(QPalette::WindowText, colour);
    m_status->setPalette(p);
    // The style sheet picks the colour by outcome; re-polishing only on a change keeps the many
    // progress events of a lookup cheap.
    const char* outcome = colour == Success ? "success" : colour == Failure ? "failure" : "working";
    if (m_status->property("outcome").toByteArray() != outcome) {
        m_status->setProperty("outcome", outcome);
        m_status->style()->unpolish(m_status);
        m_status->style()->polish(m_status);
    }
}

QString TLoad::statusText() const {
    return m_status->text();
}

QColor TLoad::statusColour() const {
    return m_status->palette().color(QPalette::WindowText);
}

void TLoad::AddOverallProgress(int share) {
    m_overall->setValue(m_overall->value() + share);
    if (m_overall->value() == 100)
        close();
}

void TLoad::setOverallProgress(int value) {
    m_overall->setValue(value);
}

int TLoad::overallProgress() const {
    return m_overall->value();
}

void TLoad::showCloseButton() {
    m_overall->hide();
    m_close->show();
}

void TLoad::showOverallGauge() {
    m_close->hide();
    m_overall->show();
}

void TLoad::showCentred() {
    if (m_mainWindow) {
        const QRect main = m_mainWindow->frameGeometry();
        move(main.center() - QPoint(width() / 2, height() / 2));
    }
    show();
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        raise();
}

void TLoad::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FormActivate();
}

void TLoad::FormActivate() {
    m_overall->setMaximum(100);
    // Every counted reply may have arrived before the window came up: close at once then.
    if (m_overall->value() == 100)
        QTimer::singleShot(0, this, [this] {
            if (m_overall->value() == 100)
                close();
        });
}
