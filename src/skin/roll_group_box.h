#pragma once

#include <QGroupBox>

// A group box that rolls up to its caption when the caption is clicked, and down again on the next click.
class RollGroupBox final : public QGroupBox {
    Q_OBJECT

public:
    explicit RollGroupBox(const QString& title, QWidget* parent = nullptr);

    bool isRolledUp() const { return m_rolledUp; }
    void setRolledUp(bool rolledUp);
    // Shows or hides one of the box's own children as its content asks. While the box is rolled up
    // the child stays out of sight and comes back in that state when the box unrolls.
    void setContentVisible(QWidget* child, bool visible);
    // Height of the caption strip that stays visible when rolled up.
    static constexpr int CaptionHeight = 20;

signals:
    void rolledUpChanged(bool rolledUp);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_rolledUp = false;
    int m_fullHeight = 0;
};
