#include "about/scrolling_credits.h"

#include "about/credits_markup.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QTimer>
#include <algorithm>
#include <climits>

namespace {

// The fixed-pitch screen fonts of the old desktop are rarely installed here; where one is missing
// the line keeps a fixed pitch, so that text art keeps its columns.
QFont namedFont(QFont font, const QString& name) {
    font.setFamilies({name});
    static const QStringList FixedPitch = {QStringLiteral("Terminal"), QStringLiteral("Fixedsys"),
                                           QStringLiteral("Courier")};
    if (FixedPitch.contains(name, Qt::CaseInsensitive) && !QFontInfo(font).fixedPitch()) {
        font.setFamilies(
            {name, QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Liberation Mono"), QStringLiteral("monospace")});
        font.setStyleHint(QFont::TypeWriter);
        font.setFixedPitch(true);
    }
    return font;
}

} // namespace

ScrollingCredits::ScrollingCredits(QWidget* parent) : QWidget(parent), m_font(QStringLiteral("Tahoma")) {
    setObjectName(QStringLiteral("Credits"));
    m_lines = {QStringLiteral("<b><s12>Credits"), QString(), QStringLiteral("<i>one line per entry"),
               QStringLiteral("<c255,255,0>in <<b>, <<i>, <<u>, <<s>, <<n> and <<c> mark-up")};
    m_timer = new QTimer(this);
    m_timer->setInterval(static_cast<int>(m_interval));
    connect(m_timer, &QTimer::timeout, this, &ScrollingCredits::tick);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(sizeHint());
    lower();
    changed();
}

void ScrollingCredits::setLines(const QStringList& lines) {
    m_lines = lines;
    changed();
    repaint();
}

void ScrollingCredits::setBaseFont(const QFont& font) {
    m_font = font;
    changed();
}

void ScrollingCredits::setBaseColour(const QColor& colour) {
    m_fontColour = colour;
    changed();
}

void ScrollingCredits::setColour(const QColor& colour) {
    m_colour = colour;
    changed();
}

void ScrollingCredits::setBorderColour(const QColor& colour) {
    m_borderColour = colour;
    changed();
}

void ScrollingCredits::setShowBorder(bool show) {
    m_showBorder = show;
    changed();
}

void ScrollingCredits::setScrolling(bool scrolling) {
    // A new pass: the lines are reported again from the first.
    m_scrollPos = height() + baseLineHeight();
    m_lastShownLine = -1;
    m_scrolling = scrolling;
    if (scrolling && m_visible)
        m_timer->start();
    else
        m_timer->stop();
    render();
    repaint();
}

void ScrollingCredits::setScrollInterval(unsigned milliseconds) {
    m_interval = milliseconds;
    m_timer->setInterval(static_cast<int>(std::min<unsigned>(milliseconds, INT_MAX)));
}

void ScrollingCredits::setBackgroundImage(const QImage& image) {
    m_background = image;
    changed();
}

void ScrollingCredits::setForegroundImage(const QImage& image) {
    m_foreground = image;
    changed();
}

// Without a placement a picture fills the control, unstretched.
void ScrollingCredits::setBackgroundPlacement(Placement placement) {
    m_backgroundPlacement = placement == Placement::None ? Placement::Client : placement;
    if (placement == Placement::None)
        m_backgroundStretch = false;
    changed();
}

void ScrollingCredits::setForegroundPlacement(Placement placement) {
    m_foregroundPlacement = placement == Placement::None ? Placement::Client : placement;
    if (placement == Placement::None)
        m_foregroundStretch = false;
    changed();
}

void ScrollingCredits::setBackgroundStretch(bool stretch) {
    m_backgroundStretch = stretch;
    changed();
}

void ScrollingCredits::setForegroundStretch(bool stretch) {
    m_foregroundStretch = stretch;
    changed();
}

// Only an explicit show or hide comes here; a child shown or hidden with its window does not.
void ScrollingCredits::setVisible(bool visible) {
    QWidget::setVisible(visible);
    if (visible == m_visible)
        return;
    m_visible = visible;
    if (visible && m_scrolling)
        m_timer->start();
    else
        m_timer->stop();
    restartPass();
    render();
    if (parentWidget())
        parentWidget()->update();
}

void ScrollingCredits::restartPass() {
    m_scrollPos = height();
    m_lastShownLine = -1;
}

void ScrollingCredits::tick() {
    if (m_scrollPos < -m_totalHeight) {
        emit afterLastCredit();
        restartPass();
    } else {
        m_scrollPos -= static_cast<int>(std::min<unsigned>(m_steps, INT_MAX));
    }
    render();
    repaint();
}

int ScrollingCredits::baseLineHeight() const {
    return QFontMetrics(m_font).height();
}

// Draws the whole control into its picture; the screen gets it in one piece.
void ScrollingCredits::render() {
    if (!m_visible) {
        m_picture = QImage();
        return;
    }
    const QSize size = this->size().expandedTo(QSize(1, 1));
    if (m_picture.size() != size)
        m_picture = QImage(size, QImage::Format_RGB32);
    QPainter p(&m_picture);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.fillRect(m_picture.rect(), m_colour);
    drawPicture(p, m_background, m_backgroundPlacement, m_backgroundStretch);

    const int width = m_picture.width();
    const int bottom = m_picture.height();
    m_totalHeight = 0;
    int y = m_scrolling ? m_scrollPos : 0;
    for (int index = 0; index < m_lines.size(); ++index) {
        const CreditLine line = ParseCreditLine(m_lines[index]);
        QFont font = m_font;
        if (!line.fontName.isEmpty())
            font = namedFont(font, line.fontName);
        if (line.pointSize > 0)
            font.setPointSize(line.pointSize);
        if (line.bold) {
            font.setBold(true);
            font.setItalic(false);
            font.setUnderline(false);
            font.setStrikeOut(false);
        }
        if (line.italic)
            font.setItalic(true);
        if (line.underline)
            font.setUnderline(true);
        const QFontMetrics metrics(font);
        const int h = metrics.height();
        m_totalHeight += h;
        const bool drawn = !m_scrolling || y + h > 0;
        if (drawn) {
            p.setFont(font);
            p.setPen(line.rgb ? QColor::fromRgb(*line.rgb) : m_fontColour);
            const int x = width / 2 - metrics.horizontalAdvance(line.text) / 2;
            const int top = m_scrolling ? y : TopMargin + y;
            p.drawText(x, top + metrics.ascent(), line.text);
        }
        if (m_scrolling && drawn && index > m_lastShownLine) {
            m_lastShownLine = index;
            emit showCredit(line.text);
        }
        y += h;
        if (m_scrolling && y > bottom)
            break;
    }

    if (m_showBorder) {
        p.setPen(m_borderColour);
        p.setBrush(Qt::NoBrush);
        p.drawRect(m_picture.rect().adjusted(0, 0, -1, -1));
    }
    drawPicture(p, m_foreground, m_foregroundPlacement, m_foregroundStretch);
}

void ScrollingCredits::drawPicture(QPainter& p, const QImage& image, Placement placement, bool stretch) const {
    if (image.isNull())
        return;
    const QRect area = m_picture.rect();
    if (stretch) {
        QRect target = area;
        switch (placement) {
        case Placement::Left:
            target.setWidth(image.width());
            break;
        case Placement::Right:
            target.setLeft(area.right() + 1 - image.width());
            break;
        case Placement::Top:
            target.setHeight(image.height());
            break;
        case Placement::Bottom:
            target.setTop(area.bottom() + 1 - image.height());
            break;
        case Placement::None:
        case Placement::Client:
            break;
        }
        p.drawImage(target, image);
        return;
    }
    QPoint at(0, 0);
    if (placement == Placement::Right)
        at.setX(area.width() - image.width());
    else if (placement == Placement::Bottom)
        at.setY(area.height() - image.height());
    p.drawImage(at, image);
}

// Every change of what is shown also changes what assistive technology reads.
void ScrollingCredits::changed() {
    QStringList plain;
    for (const QString& entry : m_lines)
        plain << ParseCreditLine(entry).text;
    setAccessibleName(QStringLiteral("Credits"));
    setAccessibleDescription(plain.join(u'\n'));
    render();
    update();
}

void ScrollingCredits::paintEvent(QPaintEvent*) {
    if (!m_visible)
        return;
    if (m_picture.size() != size())
        render();
    QPainter p(this);
    p.drawImage(0, 0, m_picture);
}

void ScrollingCredits::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    render();
}
