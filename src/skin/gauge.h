#pragma once

#include <QWidget>

// A progress gauge that always shows its rounded percentage. Unlike QProgressBar it never turns
// into a busy indicator: a gauge whose minimum equals its maximum simply shows 0 %.
class Gauge final : public QWidget {
    Q_OBJECT

public:
    explicit Gauge(QWidget* parent = nullptr);

    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    int value() const { return m_value; }
    // Kept within the range: above the maximum becomes the maximum, below the minimum the minimum.
    void setValue(int value);
    void setMinimum(int minimum);
    // Lowering the maximum below the value lowers the value with it.
    void setMaximum(int maximum);
    int percent() const;
    QString text() const;

    QSize sizeHint() const override { return {249, 22}; }

signals:
    void valueChanged(int value);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void setRange(int minimum, int maximum);
    void changed();

    int m_minimum = 0;
    int m_maximum = 100;
    int m_value = 0;
};
