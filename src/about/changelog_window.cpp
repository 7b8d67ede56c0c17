#include "about/changelog_window.h"

#include "about/changelog_text.h"
#include "about/credits_text.h"
#include "app/platform_hooks.h"
#include "skin/header_panel.h"
#include "update/own_version.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextEdit>

ChangelogWindow::ChangelogWindow(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QLatin1String(ChangelogNames::Window));
    setWindowTitle(QStringLiteral("Changelog"));
    setWindowIcon(QIcon(QStringLiteral(":/art/icon.png")));
    setFixedSize(443, 289);
    setAttribute(Qt::WA_StyledBackground);

    auto* header = new HeaderPanel(QStringLiteral("Orvane - Changelog"),
                                   QStringLiteral("New features, fixed bugs and other changes"),
                                   QPixmap(QStringLiteral(":/art/header48.png")), this);
    header->setFixedHeight(73);
    header->setGeometry(0, 0, 443, 73);

    // The label reads as what it says ("Version: 0.50").
    m_version = new QLabel(this);
    m_version->setObjectName(QLatin1String(ChangelogNames::Version));
    QFont bold = m_version->font();
    bold.setBold(true);
    m_version->setFont(bold);
    m_version->setGeometry(9, 78, 425, 17);

    m_text = new QTextEdit(this);
    m_text->setObjectName(QLatin1String(ChangelogNames::Text));
    m_text->setReadOnly(true);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text->setAccessibleName(QStringLiteral("Changelog"));
    m_text->setGeometry(9, 97, 425, 153);

    auto* homeLabel = new QLabel(QStringLiteral("Homepage:"), this);
    homeLabel->setObjectName(QLatin1String(ChangelogNames::HomeLabel));
    homeLabel->setFont(bold);
    homeLabel->setGeometry(9, 262, 70, 17);
    const QString home = QString::fromLatin1(HomePage);
    auto* link = new QLabel(QStringLiteral("<a href=\"%1\">%1</a>").arg(home.toHtmlEscaped()), this);
    link->setObjectName(QLatin1String(ChangelogNames::HomeLink));
    link->setTextFormat(Qt::RichText);
    link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    link->setCursor(Qt::PointingHandCursor);
    link->setAccessibleName(QStringLiteral("Homepage: %1").arg(home));
    link->setGeometry(80, 262, 260, 17);
    connect(link, &QLabel::linkActivated, this, [](const QString& url) { PlatformHooks::openUrl(url); });
    homeLabel->setBuddy(link);

    auto* close = new QPushButton(QStringLiteral("&Close"), this);
    close->setObjectName(QLatin1String(ChangelogNames::Close));
    close->setGeometry(345, 257, 89, 25);
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void ChangelogWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    // Shown without becoming active (offscreen, or behind a modal window): the text is there anyway.
    formActivate();
}

void ChangelogWindow::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        formActivate();
}

void ChangelogWindow::formActivate() {
    m_text->clear();
    QTextCursor cursor(m_text->document());
    QTextCharFormat normal;
    normal.setFontWeight(QFont::Normal);
    QTextCharFormat heading = normal;
    heading.setFontWeight(QFont::Bold);
    bool first = true;
    for (const ChangelogLine& line : ChangelogText()) {
        if (!first)
            cursor.insertBlock();
        first = false;
        cursor.setBlockCharFormat(line.kind == ChangelogLine::Heading ? heading : normal);
        cursor.insertText(line.text, line.kind == ChangelogLine::Heading ? heading : normal);
    }
    m_text->moveCursor(QTextCursor::Start);
    m_version->setText(QStringLiteral("Version: %1").arg(QLatin1String(OwnVersion)));
}
