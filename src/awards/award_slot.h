#pragma once

#include <QList>
#include <QRect>
#include <QString>
#include <QWidget>

class QLabel;

// One award's place on its page: its pictures lie exactly on top of each other, the last added on
// top. A click reaches the highest picture that is shown; with the keyboard the slot takes the
// focus (Tab) and Enter or Space activates that same picture.
class AwardSlot final : public QWidget {
    Q_OBJECT

public:
    // `focusMark` is where the drawing is, within the slot: the focus frame goes round it.
    AwardSlot(QSize size, QRect focusMark, QWidget* parent);

    // A picture drawn from the slot's top left corner and clipped to the slot.
    QLabel* addPicture(const QString& objectName, const QString& resource, const QString& tooltip);
    // The highest picture that is shown; nullptr when none is.
    QLabel* topPicture() const;
    // What a click on the slot, Enter or Space, or assistive technology's press does.
    void activateTop();

signals:
    void activated(QLabel* picture);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QList<QLabel*> m_pictures; // bottom first
    QRect m_focusMark;
};
