#include "app/main_window.h"

#include "about/about_box.h"
#include "about/changelog_window.h"
#include "app/platform_hooks.h"
#include "app/progress_window.h"
#include "awards/award_page.h"
#include "awards/unlocks_page.h"
#include "lookup/lookup_rules.h"
#include "service/text_codec.h"
#include "settings/options_dialog.h"
#include "settings/settings_store.h"
#include "skin/gauge.h"
#include "stats/data_page.h"
#include "stats/next_rank_panel.h"
#include "stats/overview_page.h"
#include "tables/table_actions.h"
#include "update/updater_window.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>
#include <QStackedWidget>
#include <QToolButton>
#include <QToolTip>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr char WindowTitle[] = "Orvane *BETA*";

constexpr int DesignWidth = 1009;
constexpr int DesignHeight = 815;
constexpr int CompactHeight = 760; // screens under CompactScreen pixels high
constexpr int CompactScreen = 850;
constexpr int HeaderHeight = 38;
constexpr int StatusHeight = 23;
constexpr int HintMilliseconds = 10000;

// The project's own site; the donation anchor sits on its Orvane page.
const QString DonatePage = QStringLiteral("https://orvane.org/index.php?action=Orvane&#donate");

} // namespace

MainWindow::MainWindow(MainWindowOptions options, QWidget* parent)
    : QMainWindow(parent), m_settingsPath(options.settingsPath.isEmpty() ? SettingsPath() : options.settingsPath),
      m_arguments(std::move(options.arguments)), m_limits(std::move(options.limits)) {
    setObjectName(QLatin1String(MainNames::Window));
    setWindowTitle(QLatin1String(WindowTitle));
    setWindowIcon(QIcon(QStringLiteral(":/art/icon.png")));

    buildMenu();
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("CentralWidget"));
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    setCentralWidget(central);
    layout->addWidget(buildHeader());

    // Every page is made once, under its final parent.
    m_tabs = new QTabWidget(central);
    m_tabs->setObjectName(QLatin1String(MainNames::Tabs));
    m_tabs->tabBar()->setFocusPolicy(Qt::StrongFocus);
    // The pages' final parent is the tab widget's own stack: made there, adding them as tabs moves
    // nothing, so no widget is styled twice.
    m_pageStack = m_tabs->findChild<QStackedWidget*>();
    QScrollArea* overviewArea = scrollArea(QLatin1String(OverviewNames::Page));
    m_overview = new OverviewPage(overviewArea->viewport());
    overviewArea->setWidget(m_overview);
    m_tabs->addTab(overviewArea, QStringLiteral("Overview"));
    m_data = new DataPage(pageParent());
    m_tabs->addTab(m_data, QStringLiteral("Data"));
    const std::array<Awards::Kind, 3> awardKinds = {Awards::Kind::Badge, Awards::Kind::Ribbon, Awards::Kind::Medal};
    for (std::size_t i = 0; i < awardKinds.size(); ++i) {
        QScrollArea* area = scrollArea(QString());
        m_awardPages[i] = new AwardPage(awardKinds[i], area->viewport());
        area->setObjectName(m_awardPages[i]->objectName() + QStringLiteral("_scroll"));
        area->setWidget(m_awardPages[i]);
        m_tabs->addTab(area, m_awardPages[i]->objectName().mid(3));
    }
    QScrollArea* unlocksArea = scrollArea(QLatin1String(UnlockNames::Page));
    m_unlocks = new UnlocksPage(unlocksArea->viewport());
    unlocksArea->setWidget(m_unlocks);
    m_tabs->addTab(unlocksArea, QStringLiteral("Unlocks"));
    layout->addWidget(m_tabs, 1);
    connect(m_data, &DataPage::playerRequested, this, &MainWindow::lookUp);
    connect(m_overview, &OverviewPage::playerRequested, this, &MainWindow::lookUp);
    buildTables();

    // The hint line; it reads as what it says, so it has no name of its own.
    m_status = new QLabel(QStringLiteral("Orvane"), central);
    m_status->setObjectName(QLatin1String(MainNames::Status));
    m_status->setFixedHeight(StatusHeight);
    m_status->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    layout->addWidget(m_status);

    buildShortcuts();
    m_firstActivation = true;
    // The hint hook: the status panel names what is under the mouse.
    qApp->installEventFilter(this);
    readSettings();
    m_progress = new ProgressWindow(this);
    UpdaterOptions updater;
    updater.server = m_updateServer;
    m_updater = new UpdaterWindow(std::move(updater), this);
    connect(m_updater, &UpdaterWindow::quitRequested, this, &QWidget::close);
    m_changelog = new ChangelogWindow(this);
    m_about = new AboutBox(m_changelog, this);
    m_options = new OptionsDialog(m_settingsPath, this);
    m_options->setMemory([this] { return OptionsMemory{m_leaderboardNicks, m_startNick, m_statsServer}; });
    connect(m_options, &OptionsDialog::listApplied, this, &MainWindow::applyBoardList);
    connect(m_options, &OptionsDialog::startNickApplied, this, [this](const QByteArray& nick) { m_startNick = nick; });
    connect(m_options, &OptionsDialog::statsServerApplied, this,
            [this](const QByteArray& address) { m_statsServer = address; });
    connect(m_options, &OptionsDialog::boardRequested, this, &MainWindow::startBoardSession);
    connect(m_options, &OptionsDialog::historyCleared, this, &MainWindow::clearHistory);
    resize(DesignWidth, DesignHeight);
    applyScreenSize();
}

MainWindow::~MainWindow() {
    qApp->removeEventFilter(this);
    endSession();
    endBoardSession();
}

void MainWindow::buildMenu() {
    auto icon = [](int index) { return QIcon(QStringLiteral(":/art/menu/%1.png").arg(index)); };
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("Datei1"));
    QAction* exit = file->addAction(icon(0), QStringLiteral("&Exit"), this, &QWidget::close);
    exit->setObjectName(QLatin1String(MainNames::Exit));

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("Bearbeiten1"));
    QAction* options = edit->addAction(icon(1), QStringLiteral("&Options"), this, &MainWindow::showOptions);
    options->setObjectName(QLatin1String(MainNames::Options));

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("Hilfe1"));
    QAction* donate = help->addAction(icon(2), QStringLiteral("&Donate"), this, &MainWindow::openDonatePage);
    donate->setObjectName(QLatin1String(MainNames::Donate));
    QAction* update = help->addAction(icon(3), QStringLiteral("&Update"), this, [this] { showWindow(m_updater); });
    update->setObjectName(QLatin1String(MainNames::Update));
    help->addSeparator();
    QAction* about = help->addAction(icon(4), QStringLiteral("&About"), this, [this] { showWindow(m_about); });
    about->setObjectName(QLatin1String(MainNames::About));
}

// The seven tables sort by header click with one shared state; all eight copy their selected row.
void MainWindow::buildTables() {
    m_sorting = new TableSorting(this);
    m_overview->setSorting(m_sorting);
    struct Table {
        QTreeWidget* list;
        CopyTable copy;
        const char* menu;
        const char* action;
    };
    const Table tables[] = {
        {m_data->maps(), CopyTable::Maps, "PM_Maps", "Copy"},
        {m_data->army(), CopyTable::Army, "PM_Army", "Copy3"},
        {m_data->kits(), CopyTable::Kits, "PM_Kits", "Copy4"},
        {m_data->vehicles(), CopyTable::Vehicles, "PM_Vehicles", "Copy1"},
        {m_data->weapons(), CopyTable::Weapons, "PM_Weapons", "Copy5"},
        {m_data->misc(), CopyTable::Misc, "PM_Misc", "Copy2"},
        {m_overview->topTen(), CopyTable::TopTen, "PM_TopTen", "Copy7"},
        {m_overview->personalBoard(), CopyTable::Board, "PM_Leaderboard", "Copy8"},
    };
    for (const Table& t : tables) {
        // The misc table only shows values: it has no headers and does not sort.
        if (t.copy != CopyTable::Misc)
            m_sorting->attach(t.list);
        addCopyMenu(t.list, t.copy, t.menu, t.action, t.copy != CopyTable::Board);
    }
}

// The header keeps the design's places at the design width; on a narrower window the name line
// gives way first, so that the input and Go stay reachable.
QWidget* MainWindow::buildHeader() {
    auto* header = new QWidget(this);
    header->setObjectName(QStringLiteral("HeaderStrip"));
    header->setFixedHeight(HeaderHeight);
    header->setAttribute(Qt::WA_StyledBackground);

    auto* banner = new QLabel(header);
    banner->setObjectName(QLatin1String(MainNames::Banner));
    banner->setGeometry(0, 0, DesignWidth, HeaderHeight);
    banner->setPixmap(QPixmap(QStringLiteral(":/art/banner.png")));
    banner->setAccessibleName(QStringLiteral("Orvane"));

    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(0, 0, 11, 0);
    row->setSpacing(0);
    row->addSpacerItem(new QSpacerItem(150, 0, QSizePolicy::Preferred, QSizePolicy::Minimum));

    m_rankPicture = new QLabel(header);
    m_rankPicture->setObjectName(QLatin1String(MainNames::RankPicture));
    m_rankPicture->setFixedSize(19, 21);
    m_rankPicture->setAlignment(Qt::AlignCenter);
    m_rankPicture->setAccessibleName(QStringLiteral("Rank insignia"));
    row->addWidget(m_rankPicture);
    row->addSpacing(5);

    m_nameLine = new QLabel(QStringLiteral("Nick,Rank"), header);
    m_nameLine->setObjectName(QLatin1String(MainNames::NameLine));
    m_nameLine->setMinimumWidth(0);
    m_nameLine->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    row->addWidget(m_nameLine, 1);

    // Other players the search found under the same nickname, a click away.
    m_matches = new QToolButton(header);
    m_matches->setObjectName(QLatin1String(MainNames::Matches));
    m_matches->setPopupMode(QToolButton::InstantPopup);
    m_matches->setMenu(new QMenu(m_matches));
    m_matches->setToolTip(QStringLiteral("Other players with this nickname"));
    m_matches->hide();
    row->addWidget(m_matches);
    row->addSpacing(8);

    auto* caption = new QLabel(QStringLiteral("Username/PID"), header);
    caption->setObjectName(QStringLiteral("La_username"));
    caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    row->addWidget(caption);
    row->addSpacing(6);

    m_input = new QComboBox(header);
    m_input->setObjectName(QLatin1String(MainNames::Input));
    m_input->setEditable(true);
    m_input->setInsertPolicy(QComboBox::NoInsert);
    m_input->setMaxVisibleItems(5);
    m_input->setFixedSize(210, 22);
    m_input->setToolTip(QStringLiteral("Nickname or PID of the player to look up"));
    m_input->setAccessibleName(QStringLiteral("Username/PID"));
    // Enter in the input runs Go. The combo box hands the key to its line edit directly, past any
    // event filter, so the line edit's own signal is the one place that sees it.
    connect(m_input->lineEdit(), &QLineEdit::returnPressed, this, &MainWindow::go);
    caption->setBuddy(m_input);
    row->addWidget(m_input);
    row->addSpacing(8);

    m_go = new QPushButton(QStringLiteral("Go"), header);
    m_go->setObjectName(QLatin1String(MainNames::Go));
    m_go->setFixedSize(64, 24);
    m_go->setToolTip(QStringLiteral("Look the player up"));
    connect(m_go, &QPushButton::clicked, this, &MainWindow::go);
    row->addWidget(m_go);

    // The history itself, kept apart from the drop-down of the visible input.
    m_historyBox = new QComboBox(header);
    m_historyBox->setObjectName(QLatin1String(MainNames::History));
    m_historyBox->hide();
    return header;
}

// Pages switch from anywhere in the window: Ctrl+PgUp/PgDn in turn, Ctrl+1 to Ctrl+6 directly.
void MainWindow::buildShortcuts() {
    const auto add = [this](const QKeySequence& keys, auto slot) {
        auto* shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, slot);
    };
    add(QKeySequence(Qt::CTRL | Qt::Key_PageDown),
        [this] { m_tabs->setCurrentIndex((m_tabs->currentIndex() + 1) % m_tabs->count()); });
    add(QKeySequence(Qt::CTRL | Qt::Key_PageUp),
        [this] { m_tabs->setCurrentIndex((m_tabs->currentIndex() + m_tabs->count() - 1) % m_tabs->count()); });
    for (int i = 0; i < 6; ++i)
        add(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_1 + i)), [this, i] { m_tabs->setCurrentIndex(i); });
}

// The frame of a page at its design size that scrolls where the window is smaller. The page is
// made inside it, so that it is never polished twice.
QWidget* MainWindow::pageParent() const {
    return m_pageStack ? static_cast<QWidget*>(m_pageStack) : m_tabs;
}

QScrollArea* MainWindow::scrollArea(const QString& pageName) {
    auto* area = new QScrollArea(pageParent());
    area->setObjectName(pageName + QStringLiteral("_scroll"));
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    return area;
}

void MainWindow::readSettings() {
    const StartupSettings settings = ReadStartupSettings(m_settingsPath);
    m_statsServer = settings.statsServer;
    m_updateServer = settings.updateServer;
    QList<QString> history;
    for (const QByteArray& entry : settings.history)
        history.append(FromWin1252(entry));
    setHistory(history);
    m_input->setEditText(FromWin1252(settings.inputText));
    m_leaderboardNicks = settings.leaderboardNicks;
    m_startNick = settings.startNick;
    m_statsOnStartPending = settings.statsOnStartPending;
}

void MainWindow::setHistory(const QList<QString>& history) {
    m_history = history;
    const QString text = m_input->currentText();
    m_historyBox->clear();
    m_historyBox->addItems(history);
    m_input->clear();
    m_input->addItems(history);
    m_input->setEditText(text);
}

// The secondary windows are not modal: shown, or brought to the front when already shown.
void MainWindow::showWindow(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        formActivate();
}

void MainWindow::formActivate() {
    if (!m_arguments.isEmpty() && m_arguments.first() == QLatin1String("-chlog") && m_firstActivation) {
        m_firstActivation = false;
        // Modal to this window, without a nested event loop: the look-up at start follows at once.
        m_changelog->open();
    }
    m_input->setFocus();
    applyScreenSize();
    if (m_statsOnStartPending) {
        m_input->setEditText(FromWin1252(m_startNick));
        m_statsOnStartPending = false;
        go();
    }
    resetAwardDescriptions(true);
}

// The design size where the screen holds it (a shorter one on small screens); otherwise the window
// takes what the screen has, and the pages scroll.
void MainWindow::applyScreenSize() {
    const bool compact = PlatformHooks::primaryScreenHeight() < CompactScreen;
    m_data->setCompact(compact);
    const QSize design(DesignWidth, compact ? CompactHeight : DesignHeight);
    const QSize room = PlatformHooks::availableScreenSize();
    // The frame comes on top of the client area.
    const QSize frame = frameGeometry().size() - geometry().size();
    const QSize fits = design.boundedTo(room - frame);
    if (fits == design) {
        setFixedSize(design);
        return;
    }
    setMinimumSize(480, 320);
    setMaximumSize(design);
    resize(fits);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::Enter:
        if (auto* w = qobject_cast<QWidget*>(watched); w && w->window() == this)
            updateHint(w);
        break;
    case QEvent::Leave:
        if (auto* w = qobject_cast<QWidget*>(watched); w && w->window() == this && w->parentWidget())
            updateHint(w->parentWidget());
        break;
    case QEvent::ToolTip:
        if (auto* w = qobject_cast<QWidget*>(watched); w && w->window() == this && !w->toolTip().isEmpty()) {
            // Hints stay up for ten seconds; of "short|long" the tooltip shows the short part.
            const QString tip = w->toolTip().section(QLatin1Char('|'), 0, 0);
            QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), tip, w, {}, HintMilliseconds);
            return true;
        }
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::updateHint(QWidget* widget) {
    QString hint;
    for (QWidget* w = widget; w && w != this; w = w->parentWidget())
        if (!w->toolTip().isEmpty()) {
            hint = w->toolTip();
            break;
        }
    if (const qsizetype bar = hint.indexOf(QLatin1Char('|')); bar >= 0)
        hint = hint.mid(bar + 1);
    m_status->setText(hint);
}

void MainWindow::go() {
    const QString text = m_input->currentText();
    if (text == Lookup::EasterNick) {
        m_overview->toggleEasterPicture();
        return;
    }
    if (text == Lookup::MemoCode) {
        setRawLogVisible(m_overview->rawLog()->isHidden());
        return;
    }

    m_progress->showOverallGauge();
    if (text.isEmpty()) {
        PlatformHooks::showMessage(this, QMessageBox::Critical, QStringLiteral("Error"),
                                   QStringLiteral("Invalid Nickname/PID"));
    } else {
        // The previous lookup ends here: none of its late replies reaches a page or the progress.
        endSession();
        endBoardSession();
        m_matches->hide();
        m_overview->resetPersonalBoard();
        setHistory(Lookup::UpdateHistory(m_history, text));
        m_input->setEditText(text);

        m_progress->setOverallProgress(0);
        m_progress->showCentred();
        m_data->resetRowCaptions();
        m_log.append(QStringList());
        if (m_log.size() > LogLookups) {
            m_log.removeFirst();
            if (!m_overview->rawLog()->isHidden())
                setRawLogVisible(true);
        }

        LookupSettings settings = m_limits;
        settings.server = m_statsServer;
        settings.leaderboardNicks = m_leaderboardNicks;
        m_session = new LookupSession(ToWin1252(text), std::move(settings), this);
        connectSession(m_session);
        // The first request goes out before anything else is done.
        m_session->start();
        m_progress->requestGauge()->setValue(0);
        m_progress->setStatus(QStringLiteral("Receiving Data..."), ProgressWindow::Working);
        writeHistory();
    }
    // Whatever was clicked before, a lookup starts from the first ribbon and medal.
    resetAwardDescriptions(false);
    m_input->lineEdit()->selectAll();
}

void MainWindow::lookUp(const QByteArray& nick) {
    m_input->setEditText(FromWin1252(nick));
    go();
}

void MainWindow::endSession() {
    if (!m_session)
        return;
    // The session may be the one speaking right now (a lookup started from its own signal), so it
    // goes later; its transfers end at once and nothing it still says reaches the window.
    m_session->disconnect(this);
    m_session->cancel();
    m_session->deleteLater();
    m_session = nullptr;
}

void MainWindow::connectSession(LookupSession* session) {
    connect(session, &LookupSession::progress, this, &MainWindow::onProgress);
    connect(session, &LookupSession::replyHandled, this, &MainWindow::onReplyHandled);
    connect(session, &LookupSession::statisticsRead, this, [this](const OverviewValues& o, const DataValues& d) {
        m_overview->showStatistics(o);
        m_data->showTables(d);
        m_data->showDates(o.facts);
        showAsOf(o.facts.asOf);
        for (AwardPage* page : m_awardPages)
            page->showCareer(o.career);
    });
    connect(session, &LookupSession::rankRead, this, &MainWindow::showRank);
    connect(session, &LookupSession::otherMatchesFound, this, &MainWindow::offerOtherMatches);
    connect(session, &LookupSession::mapsRead, m_data, &DataPage::showMaps);
    connect(session, &LookupSession::awardsRead, this, &MainWindow::showAwards);
    connect(session, &LookupSession::unlocksRead, this,
            [this](const ServiceReply& reply) { m_unlocks->showUnlocks(readUnlocks(reply)); });
    connect(session, &LookupSession::topTenRead, m_overview, &OverviewPage::showTopTen);
    connect(session, &LookupSession::boardRecordRead, this,
            [this](int, const BoardEntry& entry) { m_overview->addBoardRecord(entry); });
    connect(session, &LookupSession::boardEntryUnknown, this,
            [this](int, const QByteArray& nick) { m_overview->addBoardUnknown(nick); });
    connect(session, &LookupSession::pageFailed, this, &MainWindow::resetPage);
    connect(session, &LookupSession::finished, this, &MainWindow::lookupFinished);
}

void MainWindow::showOptions() {
    m_options->show();
    m_options->raise();
    m_options->activateWindow();
    // Showing it is its first activation, whether or not the window system reports one.
    m_options->formActivate();
    // Centred on the desktop, as every secondary window.
    if (const QScreen* screen = this->screen())
        m_options->move(screen->availableGeometry().center() - m_options->rect().center());
}

// Apply: the new list is what fills the personal leaderboard. The chain of the old list ends
// here, whether it runs in a lookup or on its own, so none of its records lands in the new rows.
void MainWindow::applyBoardList(const QList<QByteArray>& nicks) {
    endBoardSession();
    if (m_session)
        m_session->endPersonalBoard();
    m_overview->resetPersonalBoard();
    m_leaderboardNicks = nicks;
    m_leaderboardNicks.resize(LeaderboardNickCount);
}

// The list asked again without a lookup. Its replies go to the raw-data log; a failure is named
// in the status panel, since the progress window belongs to lookups.
void MainWindow::startBoardSession() {
    endBoardSession();
    LookupSettings settings = m_limits;
    settings.server = m_statsServer;
    settings.leaderboardNicks = m_leaderboardNicks;
    m_boardSession = new LookupSession({}, std::move(settings), this);
    LookupSession* session = m_boardSession;
    connect(session, &LookupSession::boardRecordRead, this,
            [this](int, const BoardEntry& entry) { m_overview->addBoardRecord(entry); });
    connect(session, &LookupSession::boardEntryUnknown, this,
            [this](int, const QByteArray& nick) { m_overview->addBoardUnknown(nick); });
    connect(session, &LookupSession::replyHandled, this, [this](const ReplyReport& report) {
        if (!report.log.isEmpty())
            appendLog(report.log);
        if (report.result != ReplyReport::Result::Accepted)
            m_status->setText(QStringLiteral("Personal Leaderboard: ") + report.statusText);
    });
    connect(session, &LookupSession::finished, this, [this, session] {
        if (m_boardSession == session)
            endBoardSession();
    });
    session->startPersonalBoard();
}

void MainWindow::endBoardSession() {
    if (!m_boardSession)
        return;
    m_boardSession->disconnect(this);
    m_boardSession->cancel();
    m_boardSession->deleteLater();
    m_boardSession = nullptr;
}

void MainWindow::clearHistory() {
    setHistory({});
    m_input->setEditText({});
}

// The history goes to the settings file after the first request is on its way. A file that cannot
// be written does not stop the lookup: the history stays in memory, and the user hears of it once.
void MainWindow::writeHistory() {
    QList<QByteArray> entries;
    for (const QString& entry : std::as_const(m_history))
        entries.append(ToWin1252(entry));
    const SettingsWriteResult written = WriteFavorites(m_settingsPath, entries);
    if (written.ok())
        return;
    m_status->setText(written.errorText);
    if (m_settingsWarned)
        return;
    m_settingsWarned = true;
    PlatformHooks::showMessage(this, QMessageBox::Critical, QStringLiteral("Error"), written.errorText);
}

// Once a failure has put up the close button, its text stays until the user has read it: later
// replies of the same lookup must not turn it into "Data received".
void MainWindow::onProgress(ReplyKind kind, qint64 total, qint64 received) {
    if (!m_progress->closeButtonShown())
        m_progress->setStatus(QString::fromLatin1(replyKindInfo(kind).progressText), ProgressWindow::Working);
    m_progress->setRequestProgress(total, received);
}

void MainWindow::onReplyHandled(const ReplyReport& report) {
    const bool accepted = report.result == ReplyReport::Result::Accepted;
    if (!accepted || !m_progress->closeButtonShown())
        m_progress->setStatus(report.statusText, accepted ? ProgressWindow::Success : ProgressWindow::Failure);
    if (report.showsClose)
        m_progress->showCloseButton();
    if (!report.log.isEmpty())
        appendLog(report.log);
    if (report.share > 0)
        m_progress->addOverallProgress(report.share);
}

void MainWindow::showRank(const RankValues& rank) {
    m_overview->showEaScore(rank.eaScore);
    m_data->showCountry(rank.country);
    m_rankPicture->clear();
    if (rank.insignia)
        m_rankPicture->setPixmap(QPixmap(QLatin1String(rank.insignia)));
    m_rankPicture->setAccessibleName(FromWin1252(rank.rankName));
    m_rankPicture->setToolTip(FromWin1252(rank.rankName));
    m_nameLine->setText(FromWin1252(rank.nameLine));
}

// Each other match is looked up by its PID, so that it is that very player.
void MainWindow::offerOtherMatches(const QList<SearchMatch>& others) {
    QMenu* menu = m_matches->menu();
    menu->clear();
    for (const SearchMatch& match : others) {
        const QString text =
            QStringLiteral("%1 (PID %2, score %3)")
                .arg(FromWin1252(match.nick), QString::fromLatin1(match.pid), QString::fromLatin1(match.score));
        QAction* action = menu->addAction(text);
        const QByteArray pid = match.pid;
        connect(action, &QAction::triggered, this, [this, pid] { lookUp(pid); });
    }
    const QString label =
        others.size() == 1 ? QStringLiteral("1 other") : QStringLiteral("%1 others").arg(others.size());
    m_matches->setText(label);
    m_matches->setAccessibleName(QStringLiteral("Other players with this nickname: %1").arg(others.size()));
    m_matches->show();
}

// The title says when the service took the figures shown.
void MainWindow::showAsOf(const std::optional<qint64>& asOf) {
    setWindowTitle(asOf ? QStringLiteral("%1 (as of %2)").arg(QLatin1String(WindowTitle), ServiceTimeText(asOf))
                        : QLatin1String(WindowTitle));
}

void MainWindow::resetRank() {
    m_overview->showEaScore("0");
    m_data->showCountry("N/A");
    m_rankPicture->clear();
    m_rankPicture->setAccessibleName(QStringLiteral("Rank insignia"));
    m_rankPicture->setToolTip({});
    m_nameLine->setText(QStringLiteral("Nick,Rank"));
}

// A page whose reply failed after the new player's statistics were shown goes back to its start
// state: it must not show the previous player's figures under the new name.
void MainWindow::resetPage(ReplyKind kind) {
    switch (kind) {
    case ReplyKind::Rank:
        resetRank();
        break;
    case ReplyKind::Maps:
        m_data->resetMaps();
        break;
    case ReplyKind::Awards:
        for (AwardPage* page : m_awardPages)
            page->reset();
        break;
    case ReplyKind::Unlocks:
        m_unlocks->reset();
        break;
    default:
        break;
    }
}

void MainWindow::showAwards(const ServiceReply& reply) {
    const AwardStatus status = readAwards(reply);
    for (AwardPage* page : m_awardPages)
        page->showAwards(status);
    m_overview->nextRank()->showBadges(BadgeLevelsOf(status));
}

// The order is ribbon, medal, badge; a lookup start leaves the badge panel as it is.
void MainWindow::resetAwardDescriptions(bool badges) {
    m_awardPages[1]->resetDescription();
    m_awardPages[2]->resetDescription();
    if (badges)
        m_awardPages[0]->resetDescription();
}

QStringList MainWindow::rawLogLines() const {
    QStringList lines;
    for (const QStringList& lookup : m_log)
        lines += lookup;
    return lines;
}

void MainWindow::appendLog(const QList<QByteArray>& lines) {
    if (m_log.isEmpty())
        m_log.append(QStringList());
    QStringList& current = m_log.last();
    const qsizetype first = current.size();
    for (const QByteArray& line : lines)
        current.append(FromWin1252(line));
    // A hidden log is filled when it is shown: appending to the widget is the costly part.
    if (!m_overview->rawLog()->isHidden())
        m_overview->rawLog()->appendPlainText(current.mid(first).join(QLatin1Char('\n')));
}

void MainWindow::setRawLogVisible(bool visible) {
    if (visible)
        m_overview->rawLog()->setPlainText(rawLogLines().join(QLatin1Char('\n')));
    m_overview->rawLog()->setVisible(visible);
}

void MainWindow::openDonatePage() {
    PlatformHooks::openUrl(DonatePage);
}
