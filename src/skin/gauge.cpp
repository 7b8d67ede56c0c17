#include "skin/gauge.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLinearGradient>
#include <QPainter>
#include <algorithm>
#include <cmath>

Gauge::Gauge(QWidget* parent) : QWidget(parent) {
    setMinimumSize(40, 14);
    setAccessibleName(QStringLiteral("Progress"));
    changed();
}

void Gauge::setValue(int value) {
    value = std::clamp(value, m_minimum, std::max(m_minimum, m_maximum));
    if (value == m_value)
        return;
    m_value = value;
    changed();
}

void Gauge::setMinimum(int minimum) {
    setRange(minimum, std::max(m_maximum, minimum));
}

void Gauge::setMaximum(int maximum) {
    setRange(m_minimum, std::max(maximum, m_minimum));
}

// A range that changes nothing (the progress handlers set the same maximum for every block) is not
// shown or announced again.
void Gauge::setRange(int minimum, int maximum) {
    const int value = std::clamp(m_value, minimum, maximum);
    if (minimum == m_minimum && maximum == m_maximum && value == m_value)
        return;
    m_minimum = minimum;
    m_maximum = maximum;
    m_value = value;
    changed();
}

int Gauge::percent() const {
    if (m_maximum == m_minimum)
        return 0;
    const double share = (static_cast<double>(m_value) - m_minimum) / (static_cast<double>(m_maximum) - m_minimum);
    return static_cast<int>(std::lround(share * 100.0));
}

QString Gauge::text() const {
    return QStringLiteral("%1 %").arg(percent());
}

void Gauge::changed() {
    setAccessibleDescription(text());
    update();
    if (QAccessible::isActive()) {
        // Screen readers follow the value as it moves.
        QAccessibleValueChangeEvent event(this, m_value);
        QAccessible::updateAccessibility(&event);
    }
    emit valueChanged(m_value);
}

void Gauge::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QColor(0x3a, 0x42, 0x48));
    p.setBrush(QColor(0xf2, 0xf2, 0xf0));
    p.drawRoundedRect(frame, 3, 3);

    const double share = percent() / 100.0;
    if (share > 0) {
        QRectF bar = frame.adjusted(2, 2, -2, -2);
        bar.setWidth(bar.width() * share);
        QLinearGradient fill(bar.topLeft(), bar.bottomLeft());
        fill.setColorAt(0, QColor(0xe8, 0xb0, 0x4a));
        fill.setColorAt(1, QColor(0xb9, 0x7a, 0x1c));
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawRoundedRect(bar, 2, 2);
    }
    QFont f = font();
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(0x1b, 0x1f, 0x23));
    p.drawText(rect(), Qt::AlignCenter, text());
}

namespace {
// Exposes the gauge to screen readers as a progress bar with a current value and its percentage text.
class GaugeAccessible final : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit GaugeAccessible(Gauge* gauge) : QAccessibleWidget(gauge, QAccessible::ProgressBar) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value)
            return gauge()->text();
        return QAccessibleWidget::text(t);
    }
    QVariant currentValue() const override { return gauge()->value(); }
    void setCurrentValue(const QVariant&) override {}
    QVariant maximumValue() const override { return gauge()->maximum(); }
    QVariant minimumValue() const override { return gauge()->minimum(); }
    QVariant minimumStepSize() const override { return 1; }

private:
    Gauge* gauge() const { return static_cast<Gauge*>(widget()); }
};

QAccessibleInterface* gaugeAccessibleFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("Gauge") && object && object->isWidgetType())
        return new GaugeAccessible(static_cast<Gauge*>(object));
    return nullptr;
}

const bool gaugeFactoryInstalled = [] {
    QAccessible::installFactory(gaugeAccessibleFactory);
    return true;
}();
} // namespace
