#include "awards/unlocks_page.h"

#include "service/text_codec.h"
#include "skin/lazy_picture.h"
#include "skin/roll_group_box.h"

#include <QLabel>
#include <QPixmap>

QString UnlockNames::unlockedPicture(int unlock) {
    return QStringLiteral("Im_") + QLatin1String(Awards::Unlocks[std::size_t(unlock)].id);
}

namespace {

constexpr int PictureHeight = 49;

QLabel* addPicture(QWidget* parent, const QString& name, const QString& resource, const QString& tooltip, QRect place) {
    auto* picture = new QLabel(parent);
    picture->setObjectName(name);
    picture->setGeometry(place);
    // Drawn from the area's top left corner and clipped to it.
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    LazyPicture::set(picture, resource);
    picture->setToolTip(tooltip);
    picture->setAttribute(Qt::WA_TranslucentBackground);
    return picture;
}

} // namespace

UnlocksPage::UnlocksPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QLatin1String(UnlockNames::Page));
    setMinimumSize(DesignSize);
    RollGroupBox* panels[2];
    const QRect places[2] = {{2, 8, 1000, 137}, {2, 160, 1000, 81}};
    for (int p = 0; p < 2; ++p) {
        panels[p] = new RollGroupBox(QLatin1String(Awards::UnlockPanelCaptions[p]), this);
        panels[p]->setObjectName(QLatin1String(UnlockNames::Panels[p]));
        panels[p]->setGeometry(places[p]);
    }
    for (int u = 0; u < Awards::UnlockCount; ++u) {
        const Awards::Unlock& unlock = Awards::Unlocks[std::size_t(u)];
        QWidget* panel = panels[unlock.panel == Awards::Panel::Bf2 ? 0 : 1];
        const QString name = FromWin1252(QByteArray(unlock.name));
        Pictures pictures;
        pictures.locked = addPicture(panel, QLatin1String(unlock.notEarnedName), Awards::unlockPicture(u, false), name,
                                     QRect(unlock.x, unlock.y, unlock.notEarnedWidth, PictureHeight));
        pictures.unlocked = addPicture(panel, UnlockNames::unlockedPicture(u), Awards::unlockPicture(u, true), name,
                                       QRect(unlock.x, unlock.y, unlock.width, PictureHeight));
        m_unlocks.append(pictures);
    }
    reset();
}

void UnlocksPage::showUnlocks(const UnlockStatus& status) {
    for (int u = 0; u < Awards::UnlockCount; ++u) {
        const bool unlocked = status[std::size_t(u)];
        const Pictures& pictures = m_unlocks[u];
        pictures.unlocked->setVisible(unlocked);
        // Both pictures say the same, so that whichever a screen reader meets tells the state.
        const QString spoken =
            pictures.locked->toolTip() + (unlocked ? QStringLiteral(", unlocked") : QStringLiteral(", locked"));
        pictures.locked->setAccessibleName(spoken);
        pictures.unlocked->setAccessibleName(spoken);
    }
}
