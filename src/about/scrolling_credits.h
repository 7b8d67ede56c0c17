#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QStringList>
#include <QWidget>

class QTimer;

// Credits that scroll upwards in an endless loop: one line per entry of lines(), each centred and
// drawn in the font its mark-up gives (about/credits_markup.h), over a background colour and
// picture, under a border and a foreground picture. Still when not scrolling.
//
// Each tick moves the text up by scrollSteps() pixels and draws the whole control into its own
// picture at once; a line is reported by showCredit() the first time it is drawn in a pass, and
// afterLastCredit() marks the end of a pass, once the last line has left the top edge.
class ScrollingCredits final : public QWidget {
    Q_OBJECT

public:
    enum class Placement { None, Top, Bottom, Left, Right, Client };

    explicit ScrollingCredits(QWidget* parent = nullptr);

    QStringList lines() const { return m_lines; }
    void setLines(const QStringList& lines);
    QFont baseFont() const { return m_font; }
    void setBaseFont(const QFont& font);
    QColor baseColour() const { return m_fontColour; }
    void setBaseColour(const QColor& colour);
    QColor colour() const { return m_colour; }
    void setColour(const QColor& colour);
    QColor borderColour() const { return m_borderColour; }
    void setBorderColour(const QColor& colour);
    bool showBorder() const { return m_showBorder; }
    void setShowBorder(bool show);

    bool isScrolling() const { return m_scrolling; }
    // Starts a pass from below the bottom edge (also when already scrolling), or stops.
    void setScrolling(bool scrolling);
    unsigned scrollInterval() const { return m_interval; }
    void setScrollInterval(unsigned milliseconds);
    unsigned scrollSteps() const { return m_steps; }
    void setScrollSteps(unsigned pixels) { m_steps = pixels; }

    QImage backgroundImage() const { return m_background; }
    void setBackgroundImage(const QImage& image);
    QImage foregroundImage() const { return m_foreground; }
    void setForegroundImage(const QImage& image);
    Placement backgroundPlacement() const { return m_backgroundPlacement; }
    void setBackgroundPlacement(Placement placement);
    Placement foregroundPlacement() const { return m_foregroundPlacement; }
    void setForegroundPlacement(Placement placement);
    bool backgroundStretch() const { return m_backgroundStretch; }
    void setBackgroundStretch(bool stretch);
    bool foregroundStretch() const { return m_foregroundStretch; }
    void setForegroundStretch(bool stretch);

    void setVisible(bool visible) override;

    // One scroll step, as the timer makes it; tests step with it instead of waiting.
    void tick();
    // The first line's top edge while scrolling; the sum of the heights measured by the last drawing;
    // the highest line reported in this pass (-1 at its start).
    int scrollPos() const { return m_scrollPos; }
    int totalHeight() const { return m_totalHeight; }
    int lastShownLine() const { return m_lastShownLine; }
    // The control as it was drawn last.
    QImage picture() const { return m_picture; }

    QSize sizeHint() const override { return {401, 257}; }

signals:
    void showCredit(const QString& text);
    void afterLastCredit();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void restartPass();
    void render();
    void changed();
    void drawPicture(QPainter& p, const QImage& image, Placement placement, bool stretch) const;
    int baseLineHeight() const;

    QStringList m_lines;
    QFont m_font;
    QColor m_fontColour = Qt::white;
    QColor m_colour = Qt::black;
    QColor m_borderColour = Qt::white;
    bool m_showBorder = true;
    bool m_visible = true; // false only after an explicit hide: then nothing is drawn and nothing scrolls
    bool m_scrolling = false;
    unsigned m_interval = 10;
    unsigned m_steps = 1;
    QImage m_background;
    QImage m_foreground;
    Placement m_backgroundPlacement = Placement::Client;
    Placement m_foregroundPlacement = Placement::Top;
    bool m_backgroundStretch = false;
    bool m_foregroundStretch = false;

    QTimer* m_timer;
    QImage m_picture;
    static constexpr int TopMargin = 4;
    int m_scrollPos = 0;
    int m_lastShownLine = -1;
    int m_totalHeight = 0;
};
