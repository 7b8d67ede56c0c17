#include "stats/next_rank_panel.h"

#include "skin/gauge.h"

#include <QLabel>
#include <QLocale>
#include <QPixmap>

namespace {

// The bar counts in percent of the way, which is also what a screen reader announces.
constexpr int BarSteps = 100;

QLabel* panelLabel(QWidget* parent, const char* name, bool bold) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setProperty("role", bold ? "caption" : "value");
    QFont f = label->font();
    f.setBold(bold);
    f.setPixelSize(11);
    label->setFont(f);
    return label;
}

} // namespace

NextRankPanel::NextRankPanel(QWidget* parent) : QWidget(parent) {
    m_insignia = new QLabel(this);
    m_insignia->setObjectName(QLatin1String(NextRankNames::Insignia));
    m_insignia->setGeometry(8, 4, 32, 32);
    m_insignia->setAlignment(Qt::AlignCenter);

    m_name = panelLabel(this, NextRankNames::Name, true);
    m_name->setGeometry(48, 2, 300, 18);
    m_bar = new Gauge(this);
    m_bar->setObjectName(QLatin1String(NextRankNames::Bar));
    m_bar->setGeometry(48, 22, 300, 16);
    m_bar->setMaximum(BarSteps);

    m_toGo = panelLabel(this, NextRankNames::ToGo, false);
    m_toGo->setGeometry(364, 2, 600, 18);
    m_missing = panelLabel(this, NextRankNames::Badges, false);
    m_missing->setGeometry(364, 22, 600, 18);
    m_missing->setTextFormat(Qt::PlainText);
    reset();
}

void NextRankPanel::showFacts(const PlayerFacts& facts) {
    m_facts = facts;
    m_badges.reset();
    refresh();
}

void NextRankPanel::showBadges(const BadgeLevels& badges) {
    m_badges = badges;
    refresh();
}

void NextRankPanel::reset() {
    m_facts.reset();
    m_badges.reset();
    refresh();
}

void NextRankPanel::refresh() {
    m_next = m_facts ? NextRankOf(*m_facts, m_badges.value_or(BadgeLevels{})) : NextRank{};
    const QLocale locale;
    QString name;
    QString toGo;
    QString missing;
    QString insignia;
    switch (m_next.state) {
    case NextRank::State::Unknown:
        name = QStringLiteral("Next rank: N/A");
        break;
    case NextRank::State::Highest:
        name = QStringLiteral("Highest rank");
        toGo = QStringLiteral("There is no rank above.");
        break;
    case NextRank::State::AwardedOnly:
        name = QStringLiteral("Next rank: %1").arg(QString::fromLatin1(m_next.skippedAwarded));
        toGo = QStringLiteral("%1 is awarded to one holder, not earned.").arg(QString::fromLatin1(m_next.skippedAwarded));
        break;
    case NextRank::State::Score:
        name = QStringLiteral("Next rank: %1").arg(QString::fromLatin1(m_next.name));
        insignia = QLatin1String(m_next.insignia ? m_next.insignia : "");
        if (m_next.pointsToGo > 0) {
            toGo = QStringLiteral("%1 points to go").arg(locale.toString(m_next.pointsToGo));
            const QString estimate = EstimateText(m_next, m_facts->scorePerMinute);
            if (!estimate.isEmpty())
                toGo += QStringLiteral(", ") + estimate;
        } else {
            toGo = QStringLiteral("Score reached (%1)").arg(locale.toString(m_next.toScore));
        }
        if (!m_next.skippedAwarded.isEmpty())
            toGo += QStringLiteral("; %1 is awarded, not earned").arg(QString::fromLatin1(m_next.skippedAwarded));
        if (!m_badges) {
            if (m_next.badgesAsked > 0)
                missing = QStringLiteral("Also needs badges (waiting for the awards)");
        } else if (!m_next.missingBadges.isEmpty()) {
            QStringList names;
            for (const BadgeNeed* need : m_next.missingBadges)
                names.append(QString::fromLatin1(BadgeNeedName(*need)));
            missing = QStringLiteral("Still needs: ") + names.join(QStringLiteral(", "));
        }
        break;
    }

    m_name->setText(name);
    m_name->setAccessibleName(name);
    m_toGo->setText(toGo);
    m_toGo->setAccessibleName(toGo.isEmpty() ? QString() : QStringLiteral("To go: ") + toGo);
    m_toGo->setToolTip(toGo);
    const QString shortMissing =
        m_missing->fontMetrics().elidedText(missing, Qt::ElideRight, m_missing->width());
    m_missing->setText(shortMissing);
    m_missing->setToolTip(missing);
    m_missing->setAccessibleName(missing);

    const bool bar = m_next.state == NextRank::State::Score;
    m_bar->setVisible(bar);
    m_bar->setValue(bar ? int(m_next.share() * BarSteps) : 0);
    m_bar->setAccessibleName(bar ? QStringLiteral("Progress to %1").arg(QString::fromLatin1(m_next.name))
                                 : QStringLiteral("Progress to the next rank"));

    if (insignia.isEmpty()) {
        m_insignia->clear();
        m_insignia->setAccessibleName(QString());
    } else {
        const QPixmap picture(insignia);
        m_insignia->setPixmap(picture.scaled(32, 32, Qt::KeepAspectRatio, Qt::FastTransformation));
        m_insignia->setAccessibleName(QString::fromLatin1(m_next.name));
    }
}
