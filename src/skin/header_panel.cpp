#include "skin/header_panel.h"

#include <QPainter>

HeaderPanel::HeaderPanel(const QString& title, const QString& subtitle, const QPixmap& picture, QWidget* parent)
    : QWidget(parent), m_title(title), m_subtitle(subtitle),
      m_picture(picture.isNull() ? picture : picture.scaled(48, 48, Qt::KeepAspectRatio, Qt::SmoothTransformation)) {
    setObjectName(QStringLiteral("HeaderPanel"));
    setFixedHeight(64);
    setAccessibleName(title);
    setAccessibleDescription(subtitle);
}

void HeaderPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.fillRect(rect(), Qt::white);
    p.setPen(QColor(0xc8, 0xcc, 0xd0));
    p.drawLine(0, height() - 1, width(), height() - 1);

    QFont titleFont(QStringLiteral("Verdana"));
    titleFont.setPixelSize(24);
    titleFont.setBold(true);
    p.setFont(titleFont);
    // Black text with the same text in light grey one pixel up and to the left: an engraved look.
    p.setPen(Qt::black);
    p.drawText(QPoint(13, 31), m_title);
    p.setPen(QColor(223, 221, 225));
    p.drawText(QPoint(12, 30), m_title);

    QFont subFont(QStringLiteral("Verdana"));
    subFont.setPixelSize(11);
    p.setFont(subFont);
    p.setPen(QColor(0x30, 0x30, 0x30));
    p.drawText(QPoint(14, 50), m_subtitle);

    if (!m_picture.isNull())
        p.drawPixmap(width() - 48 - 10, (height() - 48) / 2, m_picture);
}
