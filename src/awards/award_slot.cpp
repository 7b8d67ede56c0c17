#include "awards/award_slot.h"

#include "skin/lazy_picture.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

namespace {

// Assistive technology meets a slot as one button, named after the award and its state; the
// stacked pictures inside it, most of them hidden, are not its business.
class AccessibleAwardSlot final : public QAccessibleWidget {
public:
    explicit AccessibleAwardSlot(AwardSlot* slot) : QAccessibleWidget(slot, QAccessible::Button) {}

    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QStringList actionNames() const override { return QStringList{pressAction()} + QAccessibleWidget::actionNames(); }
    void doAction(const QString& action) override {
        if (action == pressAction())
            static_cast<AwardSlot*>(widget())->activateTop();
        else
            QAccessibleWidget::doAction(action);
    }
};

QAccessibleInterface* accessibleSlot(const QString& className, QObject* object) {
    if (className == QLatin1String("AwardSlot") && object && object->isWidgetType())
        return new AccessibleAwardSlot(static_cast<AwardSlot*>(object));
    return nullptr;
}

} // namespace

AwardSlot::AwardSlot(QSize size, QRect focusMark, QWidget* parent) : QWidget(parent), m_focusMark(focusMark) {
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(accessibleSlot);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    resize(size);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
}

QLabel* AwardSlot::addPicture(const QString& objectName, const QString& resource, const QString& tooltip) {
    auto* picture = new QLabel(this);
    picture->setObjectName(objectName);
    picture->setGeometry(0, 0, width(), height());
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    LazyPicture::set(picture, resource);
    picture->setToolTip(tooltip);
    picture->setAttribute(Qt::WA_TranslucentBackground);
    picture->installEventFilter(this);
    m_pictures.append(picture);
    return picture;
}

QLabel* AwardSlot::topPicture() const {
    for (qsizetype i = m_pictures.size() - 1; i >= 0; --i)
        if (!m_pictures[i]->isHidden())
            return m_pictures[i];
    return nullptr;
}

void AwardSlot::activateTop() {
    if (QLabel* picture = topPicture())
        emit activated(picture);
}

bool AwardSlot::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (auto* picture = qobject_cast<QLabel*>(watched); picture && m_pictures.contains(picture)) {
            setFocus(Qt::MouseFocusReason);
            emit activated(picture);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void AwardSlot::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        activateTop();
        event->accept();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

// The focus frame lies under the pictures; their transparent corners let it show.
void AwardSlot::paintEvent(QPaintEvent*) {
    if (!hasFocus())
        return;
    QPainter p(this);
    p.setPen(QPen(QColor(0xe0, 0xa8, 0x3c), 1, Qt::DashLine));
    p.setBrush(QColor(0xe0, 0xa8, 0x3c, 40));
    p.drawRect(m_focusMark.adjusted(0, 0, -1, -1));
}

void AwardSlot::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void AwardSlot::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}
