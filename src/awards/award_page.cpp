#include "awards/award_page.h"

#include "awards/award_slot.h"
#include "service/text_codec.h"
#include "skin/lazy_picture.h"
#include "skin/roll_group_box.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPixmap>

using Awards::Kind;

namespace AwardNames {

QString badgePicture(int badge, int level) {
    return QStringLiteral("Im_%1_%2").arg(QLatin1String(Awards::Badges[std::size_t(badge)].id)).arg(level);
}

QString earnedPicture(Kind kind, int index) {
    const char* id =
        kind == Kind::Medal ? Awards::Medals[std::size_t(index)].id : Awards::Ribbons[std::size_t(index)].id;
    return QStringLiteral("Im_") + QLatin1String(id);
}

QString notEarnedPicture(Kind kind, int index) {
    return QLatin1String(kind == Kind::Medal ? Awards::Medals[std::size_t(index)].notEarnedName
                                             : Awards::Ribbons[std::size_t(index)].notEarnedName);
}

QString countLabel(int medal) {
    return QStringLiteral("La_") + QLatin1String(Awards::Medals[std::size_t(medal)].id);
}

} // namespace AwardNames

namespace {

constexpr int PanelWidth = 1000;
constexpr int PanelLeft = 2;
constexpr int PanelGap = 8;
constexpr int DescriptionHeight = 129;
constexpr int LinePitch = 17;
constexpr int FirstLine = 53;

// Where the awards of one panel go: the slot size, the pitch from one slot to the next, the top of
// each line within the panel and the left edge of a line's first slot.
struct PanelLayout {
    int height;
    int slotSize;
    int pitch;
    QList<int> lines;
    int perLine;
    int firstLeft;
};

PanelLayout layoutOf(Kind kind, Awards::Panel panel) {
    const bool bf2 = panel == Awards::Panel::Bf2;
    switch (kind) {
    case Kind::Badge:
        return bf2 ? PanelLayout{193, 105, 100, {8, 96}, 10, 2} : PanelLayout{185, 105, 100, {15, 91}, 10, 2};
    case Kind::Ribbon:
        return bf2 ? PanelLayout{153, 95, 100, {0, 64}, 10, 2} : PanelLayout{89, 95, 100, {0}, 10, 2};
    case Kind::Medal:
        return bf2 ? PanelLayout{241, 105, 110, {24, 128}, 9, 10} : PanelLayout{137, 105, 110, {24}, 9, 10};
    }
    return {};
}

int awardCount(Kind kind) {
    switch (kind) {
    case Kind::Badge:
        return Awards::BadgeCount;
    case Kind::Medal:
        return Awards::MedalCount;
    case Kind::Ribbon:
        return Awards::RibbonCount;
    }
    return 0;
}

Awards::Panel panelOf(Kind kind, int index) {
    switch (kind) {
    case Kind::Badge:
        return Awards::Badges[std::size_t(index)].panel;
    case Kind::Medal:
        return Awards::Medals[std::size_t(index)].panel;
    case Kind::Ribbon:
        return Awards::Ribbons[std::size_t(index)].panel;
    }
    return Awards::Panel::Bf2;
}

const Awards::Decoration& decoration(Kind kind, int index) {
    return kind == Kind::Medal ? Awards::Medals[std::size_t(index)] : Awards::Ribbons[std::size_t(index)];
}

// Catalogue texts are the program's own Windows-1252 text.
QString text(const char* catalogueText) {
    return FromWin1252(QByteArray(catalogueText));
}

QLabel* addLabel(QWidget* parent, const QString& name, const QString& initial, const char* role, QRect place) {
    auto* label = new QLabel(initial, parent);
    label->setObjectName(name);
    if (role)
        label->setProperty("role", role);
    label->setGeometry(place);
    return label;
}

// A label read together with its caption: "Requirement 1: IAR: First place".
void setSpoken(QLabel* label, const QString& caption, const QString& value) {
    label->setText(value);
    label->setAccessibleName(caption + QStringLiteral(": ") + value.trimmed());
}

QLabel* addPicture(QWidget* parent, const QString& name, QRect place) {
    auto* picture = new QLabel(parent);
    picture->setObjectName(name);
    picture->setGeometry(place);
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picture->setAttribute(Qt::WA_TranslucentBackground);
    return picture;
}

void addSeparator(QWidget* parent, int x, int y, const QString& name = {}) {
    auto* line = new QFrame(parent);
    line->setObjectName(name);
    line->setAccessibleName(QStringLiteral("Divider"));
    line->setProperty("role", "vdivider");
    line->setGeometry(x, y, 2, 100);
}

// The arrow bullet of a requirement line, cleared where the line has no text.
void setBullet(QLabel* bullet, bool hasText) {
    if (hasText)
        bullet->setPixmap(QPixmap(Awards::statusIcon(Awards::ArrowIcon)));
    else
        bullet->clear();
    bullet->setAccessibleName(hasText ? QStringLiteral("Arrow") : QStringLiteral("No requirement"));
}

QString spokenState(const QString& name, bool earned, const QString& count = {}) {
    QString spoken = name.trimmed() + (earned ? QStringLiteral(", earned") : QStringLiteral(", not earned"));
    if (earned && !count.isEmpty())
        spoken += QStringLiteral(", ") + count;
    return spoken;
}

const char* pageName(Kind kind) {
    switch (kind) {
    case Kind::Badge:
        return AwardNames::BadgesPage;
    case Kind::Medal:
        return AwardNames::MedalsPage;
    case Kind::Ribbon:
        return AwardNames::RibbonsPage;
    }
    return "";
}

const char* panelName(Kind kind, Awards::Panel panel) {
    const int i = panel == Awards::Panel::Bf2 ? 0 : 1;
    switch (kind) {
    case Kind::Badge:
        return AwardNames::BadgePanels[i];
    case Kind::Medal:
        return AwardNames::MedalPanels[i];
    case Kind::Ribbon:
        return AwardNames::RibbonPanels[i];
    }
    return "";
}

} // namespace

AwardPage::AwardPage(Kind kind, QWidget* parent) : QWidget(parent), m_kind(kind) {
    setObjectName(QLatin1String(pageName(kind)));
    buildPanels();
    setMinimumSize(m_designSize);
}

void AwardPage::buildPanels() {
    int top = PanelGap;
    QWidget* panels[2] = {};
    for (Awards::Panel panel : {Awards::Panel::Bf2, Awards::Panel::SpecialForces}) {
        const PanelLayout layout = layoutOf(m_kind, panel);
        const QString caption = QLatin1String(Awards::panelCaption(m_kind, panel));
        // The ribbon panels stay open; the others fold by their caption bar.
        QGroupBox* box = m_kind == Kind::Ribbon ? new QGroupBox(caption, this) : new RollGroupBox(caption, this);
        box->setObjectName(QLatin1String(panelName(m_kind, panel)));
        box->setGeometry(PanelLeft, top, PanelWidth, layout.height);
        panels[panel == Awards::Panel::Bf2 ? 0 : 1] = box;
        top += layout.height + PanelGap;
    }

    int placed[2] = {0, 0};
    const int count = awardCount(m_kind);
    for (int i = 0; i < count; ++i) {
        const Awards::Panel panel = panelOf(m_kind, i);
        const int p = panel == Awards::Panel::Bf2 ? 0 : 1;
        const PanelLayout layout = layoutOf(m_kind, panel);
        const int n = placed[p]++;
        const QPoint at(layout.firstLeft + (n % layout.perLine) * layout.pitch,
                        layout.lines.value(n / layout.perLine, layout.lines.last()));
        const QSize size(layout.slotSize, layout.slotSize);
        // The focus frame goes round the drawing: a ribbon's bar, a badge's or medal's whole picture.
        const QRect mark = m_kind == Kind::Ribbon  ? QRect(2, 30, 91, 34)
                           : m_kind == Kind::Badge ? QRect(10, 0, 80, 78)
                                                   : QRect(0, 0, 100, 100);
        Slot slot;
        slot.slot = new AwardSlot(size, mark, panels[p]);
        slot.slot->move(at);
        if (m_kind == Kind::Badge) {
            const Awards::Badge& badge = Awards::Badges[std::size_t(i)];
            for (int level = 0; level < Awards::BadgeLevels; ++level) {
                QLabel* picture =
                    slot.slot->addPicture(AwardNames::badgePicture(i, level), Awards::badgePicture(i, level),
                                          text(badge.names[std::size_t(level)]));
                picture->setAccessibleName(text(badge.names[std::size_t(level)]).trimmed());
                picture->setVisible(level == 0);
                slot.pictures.append(picture);
            }
        } else {
            const Awards::Decoration& d = decoration(m_kind, i);
            const QString name = text(d.name);
            const bool medal = m_kind == Kind::Medal;
            for (bool earned : {false, true}) {
                const QString resource = medal ? Awards::medalPicture(i, earned) : Awards::ribbonPicture(i, earned);
                QLabel* picture = slot.slot->addPicture(earned ? AwardNames::earnedPicture(m_kind, i)
                                                               : AwardNames::notEarnedPicture(m_kind, i),
                                                        resource, name);
                picture->setAccessibleName(spokenState(name, earned));
                picture->setVisible(!earned);
                slot.pictures.append(picture);
            }
            if (medal) {
                // Over the slot's lower right corner, above the pictures, letting clicks through to them.
                slot.count = addLabel(panels[p], AwardNames::countLabel(i), QStringLiteral("x0"), "medalcount",
                                      QRect(at + QPoint(84, 86), QSize(40, 17)));
                slot.count->setAttribute(Qt::WA_TransparentForMouseEvents);
                slot.count->setAccessibleName(name.trimmed() + QStringLiteral(" awarded: x0"));
            }
        }
        connect(slot.slot, &AwardSlot::activated, this, [this, i](QLabel* picture) { activate(i, picture); });
        m_slots.append(slot);
    }
    for (const Slot& slot : std::as_const(m_slots))
        if (slot.count)
            slot.count->raise();
    for (int i = 0; i < count; ++i)
        speak(i);

    const char* descriptionCaption = m_kind == Kind::Badge    ? "Description - Badges"
                                     : m_kind == Kind::Ribbon ? "Description - Ribbons"
                                                              : "Description - Medals";
    const char* descriptionName = m_kind == Kind::Badge    ? AwardNames::BadgeDescription
                                  : m_kind == Kind::Ribbon ? AwardNames::RibbonDescription
                                                           : AwardNames::MedalDescription;
    m_description = new RollGroupBox(QLatin1String(descriptionCaption), this);
    m_description->setObjectName(QLatin1String(descriptionName));
    m_description->setGeometry(PanelLeft, top, PanelWidth, DescriptionHeight);
    buildDescription(m_description);
    m_designSize = QSize(PanelLeft + PanelWidth + 2, top + DescriptionHeight + PanelGap);
}

QList<AwardPage::Line> AwardPage::buildLines(QWidget* parent, int x, int count, const char* const* bullets,
                                             const char* const* texts, const QString& caption) {
    QList<Line> lines;
    const int right = parent == m_nextPart ? m_nextPart->width() : (m_kind == Kind::Badge ? 480 : PanelWidth - 6);
    const int offsetY = parent == m_nextPart ? m_nextPart->y() : 0;
    for (int n = 0; n < count; ++n) {
        const int y = FirstLine + n * LinePitch - offsetY;
        Line line;
        line.bullet = addPicture(parent, QLatin1String(bullets[n]), QRect(x, y, 16, 16));
        line.bullet->setAccessibleName(QStringLiteral("No requirement"));
        line.text = addLabel(parent, QLatin1String(texts[n]), QString(), nullptr, QRect(x + 24, y, right - x - 24, 16));
        setSpoken(line.text, caption.arg(n + 1), QStringLiteral("Requirement #%1").arg(n + 1));
        line.progress = addLabel(parent, QLatin1String(texts[n]) + QStringLiteral("_progress"), QString(), "progress",
                                 QRect(x + 24, y, 220, 16));
        line.progress->hide();
        lines.append(line);
    }
    return lines;
}

void AwardPage::buildDescription(RollGroupBox* box) {
    switch (m_kind) {
    case Kind::Badge: {
        m_picture = addPicture(box, QLatin1String(AwardNames::BadgePicture), QRect(10, 23, 105, 105));
        addSeparator(box, 144, 24);
        m_name = addLabel(box, QLatin1String(AwardNames::BadgeName), QString(), "awardname", QRect(152, 20, 330, 17));
        setSpoken(m_name, QStringLiteral("Badge"), QStringLiteral("Badgename"));
        addLabel(box, QStringLiteral("La_Voraussetzung1"), QStringLiteral("Requirements:"), "awardheading",
                 QRect(152, 36, 330, 17));
        m_lines = buildLines(box, 152, Awards::BadgeSlots, AwardNames::BadgeBullets, AwardNames::BadgeLines,
                             QStringLiteral("Requirement %1"));
        // The next level's part, shown or hidden as a whole; it starts below the caption bar so
        // that the bar stays clickable.
        const QPoint origin(480, RollGroupBox::CaptionHeight);
        m_nextPart = new QWidget(box);
        m_nextPart->setObjectName(QLatin1String(AwardNames::NextPart));
        m_nextPart->setAccessibleName(QStringLiteral("Next badge"));
        m_nextPart->setGeometry(QRect(origin, QSize(PanelWidth - origin.x(), DescriptionHeight - origin.y())));
        m_nextPicture = addPicture(m_nextPart, QLatin1String(AwardNames::NextPicture),
                                   QRect(QPoint(490, 24) - origin, QSize(105, 105)));
        addSeparator(m_nextPart, 608 - origin.x(), 24 - origin.y(), QStringLiteral("Be_next"));
        m_nextName = addLabel(m_nextPart, QLatin1String(AwardNames::NextName), QString(), "awardname",
                              QRect(QPoint(616, 20) - origin, QSize(370, 17)));
        setSpoken(m_nextName, QStringLiteral("Next badge"), QStringLiteral("Badgename2"));
        addLabel(m_nextPart, QStringLiteral("La_Voraussetzung2"), QStringLiteral("Requirements (Next Badge):"),
                 "awardheading", QRect(QPoint(616, 36) - origin, QSize(370, 17)));
        m_nextLines = buildLines(m_nextPart, 616 - origin.x(), Awards::BadgeSlots, AwardNames::NextBullets,
                                 AwardNames::NextLines, QStringLiteral("Next badge requirement %1"));
        break;
    }
    case Kind::Ribbon:
        m_picture = addPicture(box, QLatin1String(AwardNames::RibbonPicture), QRect(10, 26, 95, 95));
        addSeparator(box, 120, 24);
        m_name = addLabel(box, QLatin1String(AwardNames::RibbonName), QString(), "awardname", QRect(128, 20, 860, 17));
        setSpoken(m_name, QStringLiteral("Ribbon"), QStringLiteral("Ribbonname:"));
        addLabel(box, QStringLiteral("La_Voraussetzung3"), QStringLiteral("Requirements:"), "awardheading",
                 QRect(128, 36, 860, 17));
        m_lines = buildLines(box, 128, Awards::RibbonSlots, AwardNames::RibbonBullets, AwardNames::RibbonLines,
                             QStringLiteral("Requirement %1"));
        break;
    case Kind::Medal:
        m_picture = addPicture(box, QLatin1String(AwardNames::MedalPicture), QRect(10, 23, 105, 105));
        m_count =
            addLabel(box, QLatin1String(AwardNames::MedalCount), QString(), "medalcount", QRect(100, 112, 40, 17));
        setSpoken(m_count, QStringLiteral("Awarded"), QStringLiteral("x0"));
        addSeparator(box, 144, 24);
        m_name = addLabel(box, QLatin1String(AwardNames::MedalName), QString(), "awardname", QRect(152, 20, 830, 17));
        setSpoken(m_name, QStringLiteral("Medal"), QStringLiteral("Medalname:"));
        addLabel(box, QStringLiteral("La_Voraussetzung4"), QStringLiteral("Requirements:"), "awardheading",
                 QRect(152, 36, 830, 17));
        m_lines = buildLines(box, 152, Awards::MedalSlots, AwardNames::MedalBullets, AwardNames::MedalLines,
                             QStringLiteral("Requirement %1"));
        break;
    }
}

void AwardPage::activate(int index, QLabel* picture) {
    if (m_kind == Kind::Badge)
        showBadge(index, int(m_slots[index].pictures.indexOf(picture)));
    else
        showDecoration(index, picture);
}

void AwardPage::setLines(const QList<Line>& lines, const QList<QByteArray>& texts) {
    const bool next = !lines.isEmpty() && lines.first().text->parentWidget() == m_nextPart;
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString value = text(texts.value(n).constData());
        setSpoken(lines[n].text,
                  (next ? QStringLiteral("Next badge requirement %1") : QStringLiteral("Requirement %1")).arg(n + 1),
                  value);
        lines[n].text->setProperty("spokenBase", lines[n].text->accessibleName());
        setBullet(lines[n].bullet, !value.isEmpty());
    }
}

// Beside each requirement that is a career total: the player's figure with a tick when it is
// met, or how far there is still to go.
// A badge's lines at a level, or (level < 0) a medal's or ribbon's.
void AwardPage::showProgress(const QList<Line>& lines, QByteArrayView id, int level) {
    for (qsizetype n = 0; n < lines.size(); ++n) {
        QLabel* label = lines[n].progress;
        if (!label)
            continue;
        const int slot = int(n) + 1;
        const std::optional<RequirementProgress> progress =
            m_career.isEmpty()
                ? std::nullopt
                : (level < 0 ? DecorationProgress(id, slot, m_career) : BadgeProgress(id, level, slot, m_career));
        QLabel* text = lines[n].text;
        const QVariant base = text->property("spokenBase");
        const QString spoken = base.isValid() ? base.toString() : text->accessibleName();
        text->setAccessibleName(spoken);
        if (!progress) {
            label->hide();
            continue;
        }
        const int left = text->x() + text->fontMetrics().horizontalAdvance(text->text()) + 12;
        label->setGeometry(left, text->y(), 220, text->height());
        label->setText(progress->text);
        label->setProperty("met", progress->met);
        label->setToolTip(progress->met ? QStringLiteral("Met") : QStringLiteral("Still to go"));
        label->setAccessibleName((progress->met ? QStringLiteral("Met: ") : QStringLiteral("Progress: ")) + progress->text);
        label->show();
        // The line is read with its progress.
        text->setAccessibleName(spoken + QStringLiteral(", ") + label->accessibleName());
    }
}

void AwardPage::showCareer(const CareerFigures& figures) {
    m_career = figures;
    if (m_kind == Kind::Badge)
        showBadge(m_described, m_describedLevel);
    else
        showProgress(m_lines, decoration(m_kind, m_described).id, -1);
}

void AwardPage::showBadge(int badge, int level) {
    if (level < 0 || level >= Awards::BadgeLevels)
        return;
    m_described = badge;
    m_describedLevel = level;
    const Awards::Badge& b = Awards::Badges[std::size_t(badge)];
    QLabel* clicked = m_slots[badge].pictures[level];
    m_picture->setPixmap(LazyPicture::pixmap(clicked));
    m_picture->setToolTip(clicked->toolTip());
    m_picture->setAccessibleName(clicked->toolTip().trimmed());
    setSpoken(m_name, QStringLiteral("Badge"), text(b.names[std::size_t(level)]));
    QList<QByteArray> texts;
    for (int s = 1; s <= Awards::BadgeSlots; ++s)
        texts << Awards::badgeRequirement(Awards::badgeRow(badge, level), s);
    setLines(m_lines, texts);
    showProgress(m_lines, b.id, level);

    // The next level; after the expert level there is none to show.
    const int next = level < 3 ? level + 1 : 0;
    QList<QByteArray> nextTexts;
    for (int s = 1; s <= Awards::BadgeSlots; ++s)
        nextTexts << Awards::badgeRequirement(Awards::badgeRow(badge, next), s);
    setLines(m_nextLines, nextTexts);
    showProgress(m_nextLines, b.id, next);
    setSpoken(m_nextName, QStringLiteral("Next badge"), text(b.names[std::size_t(next)]));
    if (level < 3) {
        QLabel* nextPicture = m_slots[badge].pictures[next];
        m_nextPicture->setPixmap(LazyPicture::pixmap(nextPicture));
        m_nextPicture->setToolTip(nextPicture->toolTip());
        m_nextPicture->setAccessibleName(nextPicture->toolTip().trimmed());
        m_description->setContentVisible(m_nextPart, true);
    } else {
        m_description->setContentVisible(m_nextPart, false);
        for (const Line& line : std::as_const(m_nextLines))
            setBullet(line.bullet, false);
    }
}

void AwardPage::showDecoration(int index, QLabel* picture) {
    m_described = index;
    const Awards::Decoration& d = decoration(m_kind, index);
    m_picture->setPixmap(LazyPicture::pixmap(picture));
    m_picture->setToolTip(text(d.name));
    m_picture->setAccessibleName(text(d.name).trimmed());
    QList<QByteArray> texts;
    for (const char* requirement : d.requirements)
        texts << requirement;
    setLines(m_lines, texts);
    showProgress(m_lines, d.id, -1);
    setSpoken(m_name, m_kind == Kind::Medal ? QStringLiteral("Medal") : QStringLiteral("Ribbon"), text(d.name));
    if (m_kind == Kind::Medal) {
        // The earned picture lies on top, so it is the one clicked exactly when the medal is earned.
        const bool earned = picture == m_slots[index].pictures[1];
        setSpoken(m_count, QStringLiteral("Awarded"), earned ? m_slots[index].count->text() : QStringLiteral("x0"));
    }
}

int AwardPage::shownLevel(int badge) const {
    int level = 0;
    for (int l = 0; l < Awards::BadgeLevels; ++l)
        if (!m_slots[badge].pictures[l]->isHidden())
            level = l;
    return level;
}

bool AwardPage::earnedShown(int index) const {
    return !m_slots[index].pictures[1]->isHidden();
}

void AwardPage::resetDescription() {
    if (m_kind == Kind::Badge) {
        // Every level shown is visited in turn; the highest one stays.
        m_description->setContentVisible(m_nextPart, true);
        for (int level = 0; level < Awards::BadgeLevels; ++level)
            if (!m_slots[0].pictures[level]->isHidden())
                showBadge(0, level);
        for (const QList<Line>* lines : {&m_lines, &m_nextLines})
            for (const Line& line : *lines)
                setBullet(line.bullet, !line.text->text().isEmpty());
        return;
    }
    showDecoration(0, m_slots[0].pictures[earnedShown(0) ? 1 : 0]);
    if (m_kind == Kind::Medal)
        setSpoken(m_count, QStringLiteral("Awarded"), m_slots[0].count->text());
}

void AwardPage::showAwards(const AwardStatus& status) {
    for (int i = 0; i < int(m_slots.size()); ++i) {
        const Slot& slot = m_slots[i];
        switch (m_kind) {
        case Kind::Badge: {
            const int level = status.badges[std::size_t(i)];
            for (int l = 1; l < Awards::BadgeLevels; ++l)
                slot.pictures[l]->setVisible(l == level);
            break;
        }
        case Kind::Ribbon:
            slot.pictures[1]->setVisible(status.ribbons[std::size_t(i)]);
            break;
        case Kind::Medal: {
            const AwardStatus::Medal& medal = status.medals[std::size_t(i)];
            slot.pictures[1]->setVisible(medal.earned);
            slot.count->setText(FromWin1252(medalCountText(medal)));
            slot.count->setAccessibleName(text(Awards::Medals[std::size_t(i)].name).trimmed() +
                                          QStringLiteral(" awarded: ") + slot.count->text());
            break;
        }
        }
        speak(i);
    }
    // The description follows the page: it shows the same award, as this player holds it.
    if (m_kind == Kind::Badge)
        showBadge(m_described, shownLevel(m_described));
    else
        showDecoration(m_described, m_slots[m_described].pictures[earnedShown(m_described) ? 1 : 0]);
}

void AwardPage::reset() {
    showAwards(AwardStatus{});
    resetDescription();
}

// What assistive technology reads for a slot: the award and how far the player has it.
void AwardPage::speak(int index) {
    const Slot& slot = m_slots[index];
    if (m_kind == Kind::Badge) {
        const int level = shownLevel(index);
        const QString name = text(Awards::Badges[std::size_t(index)].names[std::size_t(level)]).trimmed();
        slot.slot->setAccessibleName(level == 0 ? name + QStringLiteral(", not earned") : name);
        return;
    }
    const bool earned = earnedShown(index);
    QString count;
    if (slot.count && earned && slot.count->text() != QLatin1String("x"))
        count = slot.count->text();
    slot.slot->setAccessibleName(spokenState(text(decoration(m_kind, index).name), earned, count));
}
