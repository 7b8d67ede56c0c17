#include "settings/options_dialog.h"

#include "app/platform_hooks.h"
#include "service/protocol.h"
#include "service/text_codec.h"
#include "settings/settings_store.h"
#include "skin/header_panel.h"

#include <QCheckBox>
#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

constexpr int ClientWidth = 448;
// Thirty pixels above the design's 364: the General page holds the statistics service too.
constexpr int ClientHeight = 394;
constexpr int HeaderHeight = 64;
constexpr int StartNickLength = 22;
constexpr qreal DimmedOpacity = 100.0 / 255.0;

QPushButton* addButton(const QString& text, const char* name, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

} // namespace

OptionsDialog::OptionsDialog(QString settingsPath, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint),
      m_settingsPath(std::move(settingsPath)) {
    setObjectName(QLatin1String(OptionsNames::Window));
    setWindowTitle(QStringLiteral("Options"));
    setFixedSize(ClientWidth, ClientHeight);

    auto* header = new HeaderPanel(QStringLiteral("Options"), QStringLiteral("Configure your Orvane"),
                                   QPixmap(QStringLiteral(":/art/header48.png")), this);
    header->setGeometry(0, 0, ClientWidth, HeaderHeight);

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QLatin1String(OptionsNames::Pages));
    m_pages->setGeometry(0, HeaderHeight + 4, ClientWidth, ClientHeight - HeaderHeight - 4 - 36);
    m_pages->addTab(buildGeneralPage(), QStringLiteral("&General"));
    m_pages->addTab(buildSavedDataPage(), QStringLiteral("&Saved Data"));

    m_apply = addButton(QStringLiteral(" &Apply"), OptionsNames::Apply, this);
    m_apply->setGeometry(ClientWidth - 91 - 8, ClientHeight - 25 - 6, 91, 25);
    connect(m_apply, &QPushButton::clicked, this, &OptionsDialog::apply);

    // Top to bottom, then Apply.
    setTabOrder(m_pages, m_startOnLaunch);
    setTabOrder(m_startOnLaunch, m_startNick);
    setTabOrder(m_startNick, m_nickname);
    setTabOrder(m_nickname, findChild<QPushButton*>(QLatin1String(OptionsNames::Add)));
    setTabOrder(findChild<QPushButton*>(QLatin1String(OptionsNames::Add)),
                findChild<QPushButton*>(QLatin1String(OptionsNames::Delete)));
    setTabOrder(findChild<QPushButton*>(QLatin1String(OptionsNames::Delete)),
                findChild<QPushButton*>(QLatin1String(OptionsNames::ClearAll)));
    setTabOrder(findChild<QPushButton*>(QLatin1String(OptionsNames::ClearAll)), m_list);
    setTabOrder(m_list, m_statsServer);
    setTabOrder(m_statsServer, m_apply);

    applyDimming();
}

QWidget* OptionsDialog::buildGeneralPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TS_general"));

    auto* start = new QGroupBox(QStringLiteral("Startoptions"), page);
    start->setGeometry(6, 6, 435, 57);
    m_startOnLaunch = new QCheckBox(QStringLiteral(" Get Stats at Orvane-Start"), start);
    m_startOnLaunch->setObjectName(QLatin1String(OptionsNames::StartOnLaunch));
    m_startOnLaunch->setGeometry(10, 24, 190, 22);
    connect(m_startOnLaunch, &QCheckBox::clicked, this, &OptionsDialog::applyDimming);
    m_startLabel = new QLabel(QStringLiteral("Nick/PID:"), start);
    m_startLabel->setObjectName(QLatin1String(OptionsNames::StartLabel));
    m_startLabel->setGeometry(214, 24, 60, 22);
    m_startNick = new QLineEdit(start);
    m_startNick->setObjectName(QLatin1String(OptionsNames::StartNick));
    m_startNick->setMaxLength(StartNickLength);
    m_startNick->setGeometry(276, 24, 150, 22);
    m_startNick->setAccessibleName(QStringLiteral("Nick/PID"));
    m_startNick->setGraphicsEffect(new QGraphicsOpacityEffect(m_startNick));
    m_startLabel->setBuddy(m_startNick);

    auto* board = new QGroupBox(QStringLiteral("Personal Leaderboard"), page);
    board->setGeometry(6, 68, 435, 165);
    auto* nickLabel = new QLabel(QStringLiteral("Nickname:"), board);
    nickLabel->setGeometry(10, 24, 70, 22);
    m_nickname = new QLineEdit(board);
    m_nickname->setObjectName(QLatin1String(OptionsNames::Nickname));
    m_nickname->setGeometry(82, 24, 150, 22);
    m_nickname->setAccessibleName(QStringLiteral("Nickname"));
    nickLabel->setBuddy(m_nickname);
    connect(m_nickname, &QLineEdit::returnPressed, this, &OptionsDialog::addNick);

    QPushButton* add = addButton(QStringLiteral("&Add"), OptionsNames::Add, board);
    add->setGeometry(10, 56, 100, 25);
    connect(add, &QPushButton::clicked, this, &OptionsDialog::addNick);
    QPushButton* remove = addButton(QStringLiteral("&Delete"), OptionsNames::Delete, board);
    remove->setGeometry(10, 88, 100, 25);
    connect(remove, &QPushButton::clicked, this, &OptionsDialog::deleteSelected);
    QPushButton* clear = addButton(QStringLiteral("&Clear all"), OptionsNames::ClearAll, board);
    clear->setGeometry(10, 120, 100, 25);
    connect(clear, &QPushButton::clicked, this, &OptionsDialog::clearAll);

    m_list = new QListWidget(board);
    m_list->setObjectName(QLatin1String(OptionsNames::List));
    m_list->setGeometry(246, 20, 180, 136);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setAccessibleName(QStringLiteral("Personal Leaderboard players"));
    connect(m_list, &QListWidget::itemSelectionChanged, this, &OptionsDialog::listSelectionChanged);

    auto* serverLabel = new QLabel(QStringLiteral("Statistics ser&vice:"), page);
    serverLabel->setGeometry(12, 240, 110, 22);
    m_statsServer = new QLineEdit(page);
    m_statsServer->setObjectName(QLatin1String(OptionsNames::StatsServer));
    m_statsServer->setGeometry(124, 240, 200, 22);
    m_statsServer->setAccessibleName(QStringLiteral("Statistics service"));
    m_statsServer->setToolTip(QStringLiteral("Host or host:port of the statistics service"));
    serverLabel->setBuddy(m_statsServer);
    return page;
}

QWidget* OptionsDialog::buildSavedDataPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TS_saveddata"));
    auto* history = new QGroupBox(QStringLiteral("History"), page);
    history->setGeometry(6, 6, 435, 57);
    auto* label = new QLabel(QStringLiteral("Clear \"Username/PID\" History"), history);
    label->setGeometry(10, 24, 220, 22);
    QPushButton* clear = addButton(QStringLiteral("&Clear History"), OptionsNames::ClearHistory, history);
    clear->setGeometry(326, 22, 100, 25);
    connect(clear, &QPushButton::clicked, this, &OptionsDialog::clearHistory);
    return page;
}

void OptionsDialog::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        formActivate();
}

void OptionsDialog::formActivate() {
    const OptionsMemory memory = m_memory ? m_memory() : OptionsMemory{};
    m_list->clear();
    for (const QByteArray& nick : memory.leaderboardNicks)
        if (!nick.isEmpty())
            m_list->addItem(FromWin1252(nick));
    if (const std::optional<bool> start = ReadStartOption(m_settingsPath))
        m_startOnLaunch->setChecked(*start);
    m_startNick->setText(FromWin1252(memory.startNick));
    m_statsServer->setText(FromWin1252(memory.statsServer));
    applyDimming();
}

void OptionsDialog::applyDimming() {
    const bool on = m_startOnLaunch->isChecked();
    m_startNick->setEnabled(on);
    m_startLabel->setEnabled(on);
    static_cast<QGraphicsOpacityEffect*>(m_startNick->graphicsEffect())->setOpacity(on ? 1.0 : DimmedOpacity);
}

void OptionsDialog::addNick() {
    const QString text = m_nickname->text();
    if (!text.isEmpty() && m_list->count() < LeaderboardNickCount &&
        m_list->findItems(text, Qt::MatchFixedString).isEmpty())
        m_list->addItem(text);
    m_nickname->setFocus();
}

void OptionsDialog::deleteSelected() {
    qDeleteAll(m_list->selectedItems());
}

void OptionsDialog::clearAll() {
    m_list->clear();
    m_nickname->setFocus();
}

void OptionsDialog::listSelectionChanged() {
    for (int i = 0; i < m_list->count(); ++i)
        if (m_list->item(i)->isSelected()) {
            m_nickname->setText(m_list->item(i)->text());
            return;
        }
}

QStringList OptionsDialog::entries() const {
    QStringList texts;
    for (int i = 0; i < m_list->count(); ++i)
        texts.append(m_list->item(i)->text());
    return texts;
}

void OptionsDialog::apply() {
    // A service address that cannot be used is refused before anything changes.
    const QByteArray server = ToWin1252(m_statsServer->text().trimmed());
    if (!IsServerAddress(server)) {
        showError(QStringLiteral("Invalid statistics service: \"%1\" is not a host or host:port.")
                      .arg(m_statsServer->text()));
        m_statsServer->setFocus();
        return;
    }

    QList<QByteArray> nicks;
    for (const QString& entry : entries())
        nicks.append(ToWin1252(entry));
    emit listApplied(nicks);

    const QByteArray startField = ToWin1252(m_startNick->text());
    SettingsWriteResult written = WriteOptions(m_settingsPath, m_startOnLaunch->isChecked(), nicks, startField);
    if (written.ok())
        written = WriteStatsServer(m_settingsPath, server);
    if (!written.ok()) {
        showError(written.errorText);
        return;
    }
    if (!startField.isEmpty())
        if (const ReplyTokens first = CutReply(startField); !first.isEmpty())
            emit startNickApplied(first.first());
    emit statsServerApplied(server);
    hide();
    emit boardRequested();
}

void OptionsDialog::clearHistory() {
    const SettingsWriteResult written = ClearFavorites(m_settingsPath);
    if (!written.ok()) {
        showError(written.errorText);
        return;
    }
    emit historyCleared();
}

void OptionsDialog::showError(const QString& text) {
    PlatformHooks::showMessage(this, QMessageBox::Critical, QStringLiteral("Error"), text);
}
