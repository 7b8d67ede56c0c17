#pragma once

#include <QPixmap>
#include <QWidget>

// The white header panel across the top of the secondary windows: an embossed title, a subtitle
// below it and a 48 by 48 picture at the right.
class HeaderPanel final : public QWidget {
    Q_OBJECT

public:
    HeaderPanel(const QString& title, const QString& subtitle, const QPixmap& picture, QWidget* parent = nullptr);

    QString title() const { return m_title; }
    QString subtitle() const { return m_subtitle; }
    QSize sizeHint() const override { return {400, 64}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_title;
    QString m_subtitle;
    QPixmap m_picture;
};
