#include "skin/roll_group_box.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

RollGroupBox::RollGroupBox(const QString& title, QWidget* parent) : QGroupBox(title, parent) {
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName(title);
}

void RollGroupBox::setRolledUp(bool rolledUp) {
    if (rolledUp == m_rolledUp)
        return;
    m_rolledUp = rolledUp;
    if (rolledUp) {
        m_fullHeight = height();
        for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            child->setProperty("orvaneRolledHidden", child->isVisibleTo(this));
            child->hide();
        }
        resize(width(), CaptionHeight);
    } else {
        resize(width(), m_fullHeight);
        for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (child->property("orvaneRolledHidden").toBool())
                child->show();
    }
    setAccessibleDescription(rolledUp ? tr("rolled up") : QString());
    emit rolledUpChanged(rolledUp);
}

void RollGroupBox::setContentVisible(QWidget* child, bool visible) {
    if (m_rolledUp)
        child->setProperty("orvaneRolledHidden", visible);
    else
        child->setVisible(visible);
}

void RollGroupBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && event->position().y() < CaptionHeight) {
        setRolledUp(!m_rolledUp);
        event->accept();
        return;
    }
    QGroupBox::mousePressEvent(event);
}

void RollGroupBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return) {
        setRolledUp(!m_rolledUp);
        return;
    }
    QGroupBox::keyPressEvent(event);
}

void RollGroupBox::paintEvent(QPaintEvent* event) {
    QGroupBox::paintEvent(event);
    // The roll-up arrow at the right end of the caption.
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xe0, 0xa8, 0x3c));
    const qreal x = width() - 16, y = CaptionHeight / 2.0;
    QPolygonF arrow;
    if (m_rolledUp)
        arrow << QPointF(x, y - 3) << QPointF(x + 8, y - 3) << QPointF(x + 4, y + 3);
    else
        arrow << QPointF(x, y + 3) << QPointF(x + 8, y + 3) << QPointF(x + 4, y - 3);
    p.drawPolygon(arrow);
}
