#include "about/about_box.h"

#include "about/changelog_window.h"
#include "about/credits_text.h"
#include "about/scrolling_credits.h"
#include "app/platform_hooks.h"
#include "update/own_version.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>

AboutBox::AboutBox(ChangelogWindow* changelog, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_changelog(changelog) {
    setObjectName(QLatin1String(AboutNames::Window));
    setWindowTitle(QStringLiteral("About"));
    setWindowIcon(QIcon(QStringLiteral(":/art/icon.png")));
    setFixedSize(485, 306);
    setAttribute(Qt::WA_StyledBackground);

    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("BannerPanel"));
    panel->setAttribute(Qt::WA_StyledBackground);
    panel->setGeometry(0, 0, 485, 86);
    m_banner = new QLabel(panel);
    m_banner->setObjectName(QLatin1String(AboutNames::Banner));
    m_banner->setPixmap(QPixmap(QStringLiteral(":/art/about.png")));
    m_banner->setGeometry(0, 1, 484, 83);
    m_banner->setCursor(Qt::PointingHandCursor);
    m_banner->setAccessibleName(QStringLiteral("Home page: %1").arg(QLatin1String(HomePage)));
    m_banner->setToolTip(QString::fromLatin1(HomePage));
    m_banner->installEventFilter(this);

    auto* version = new QLabel(QStringLiteral("Version: %1").arg(QLatin1String(OwnVersion)), this);
    version->setObjectName(QLatin1String(AboutNames::Version));
    QFont bold = version->font();
    bold.setBold(true);
    version->setFont(bold);
    version->setGeometry(10, 91, 300, 17);

    m_credits = new ScrollingCredits(this);
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    m_credits->setBaseFont(font);
    m_credits->setBaseColour(QColor(100, 100, 100));
    m_credits->setColour(QColor(213, 218, 219));
    m_credits->setBorderColour(QColor(138, 152, 157));
    m_credits->setShowBorder(true);
    m_credits->setScrollInterval(55);
    m_credits->setScrollSteps(1);
    m_credits->setGeometry(10, 110, 465, 153);
    m_credits->setLines(CreditsText());

    auto* changelogButton = new QPushButton(QStringLiteral("&View Changelog"), this);
    changelogButton->setObjectName(QLatin1String(AboutNames::Changelog));
    changelogButton->setGeometry(10, 272, 122, 25);
    auto* close = new QPushButton(QStringLiteral("&Close"), this);
    close->setObjectName(QLatin1String(AboutNames::Close));
    close->setGeometry(386, 272, 89, 25);
    for (QPushButton* button : {changelogButton, close})
        button->setAutoDefault(false);
    connect(changelogButton, &QPushButton::clicked, this, [this] {
        if (m_changelog) {
            m_changelog->show();
            m_changelog->raise();
            m_changelog->activateWindow();
        }
    });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void AboutBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void AboutBox::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        formActivate();
}

void AboutBox::formActivate() {
    m_credits->setScrolling(true);
}

bool AboutBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_banner && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        PlatformHooks::openUrl(QString::fromLatin1(HomePage));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
