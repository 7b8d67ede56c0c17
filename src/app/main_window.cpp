#include "app/main_window.h"

#include "app/platform_hooks.h"
#include "app/progress_window.h"
#include "service/httpget.h"
#include "service/text_codec.h"
#include "settings/settings_store.h"
#include "skin/roll_group_box.h"
#include "stats/statistics_pages.h"
#include "stats/vocabulary.h"
#include "tables/report_list.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QToolTip>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int ClientWidth = 1009;
constexpr int HeaderHeight = 38;
constexpr int StatusHeight = 23;
constexpr int HintMilliseconds = 10000;

// The project's own site; the donation anchor sits on its Orvane page.
const QString DonatePage = QStringLiteral("https://orvane.org/index.php?action=Orvane&#donate");

template <size_t N>
QList<QStringList> vocabularyRows(const std::array<VocabularyEntry, N>& names, const QStringList& rest) {
    QList<QStringList> rows;
    for (const VocabularyEntry& entry : names)
        rows.append(QStringList{QString::fromLatin1(entry.initialName)} + rest);
    return rows;
}

} // namespace

QStringList EmptyBoardEntry() {
    return {QStringLiteral("N/A"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("00:00:00"),
            QStringLiteral("N/A")};
}

TForm3::TForm3(MainWindowOptions options, QWidget* parent)
    : QMainWindow(parent), m_settingsPath(options.settingsPath.isEmpty() ? SettingsPath() : options.settingsPath),
      m_arguments(std::move(options.arguments)) {
    setObjectName(QStringLiteral("TForm3"));
    setWindowTitle(QStringLiteral("Orvane *BETA*"));
    setWindowIcon(QIcon(QStringLiteral(":/art/icon.png")));
    LeaderboardNicks.resize(LeaderboardNickCount);

    buildMenu();
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("CentralWidget"));
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* header = new QWidget(central);
    header->setObjectName(QStringLiteral("HeaderStrip"));
    header->setFixedHeight(HeaderHeight);
    header->setAttribute(Qt::WA_StyledBackground);
    buildHeader(header);
    layout->addWidget(header);

    m_tabs = new QTabWidget(central);
    m_tabs->setObjectName(QStringLiteral("Tabmain"));
    m_tabs->addTab(buildOverviewPage(), QStringLiteral("Overview"));
    m_tabs->addTab(buildDataPage(), QStringLiteral("Data"));
    m_tabs->addTab(buildAwardPage(QStringLiteral("TS_Badges")), QStringLiteral("Badges"));
    m_tabs->addTab(buildAwardPage(QStringLiteral("TS_Ribbons")), QStringLiteral("Ribbons"));
    m_tabs->addTab(buildAwardPage(QStringLiteral("TS_Medals")), QStringLiteral("Medals"));
    m_tabs->addTab(buildAwardPage(QStringLiteral("TS_Unlocks")), QStringLiteral("Unlocks"));
    layout->addWidget(m_tabs, 1);

    m_status = new QLabel(QStringLiteral("Orvane"), central);
    m_status->setObjectName(QStringLiteral("SB_Status"));
    m_status->setFixedHeight(StatusHeight);
    m_status->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_status->setAccessibleName(QStringLiteral("Status"));
    layout->addWidget(m_status);
    setCentralWidget(central);

    buildFetchers();
    FormCreate();
    m_load = new TLoad(this);

    setFixedSize(ClientWidth, 815);
}

TForm3::~TForm3() {
    qApp->removeEventFilter(this);
}

void TForm3::buildMenu() {
    auto icon = [](int index) { return QIcon(QStringLiteral(":/art/menu/%1.png").arg(index)); };
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("Datei1"));
    QAction* exit = file->addAction(icon(0), QStringLiteral("&Exit"), this, &TForm3::Ende2Click);
    exit->setObjectName(QStringLiteral("Ende2"));

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("Bearbeiten1"));
    QAction* options = edit->addAction(icon(1), QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("Einstellungen2"));

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("Hilfe1"));
    QAction* donate = help->addAction(icon(2), QStringLiteral("&Donate"), this, &TForm3::Hilfe3Click);
    donate->setObjectName(QStringLiteral("Hilfe3"));
    QAction* update = help->addAction(icon(3), QStringLiteral("&Update"));
    update->setObjectName(QStringLiteral("Update2"));
    help->addSeparator();
    QAction* about = help->addAction(icon(4), QStringLiteral("&About"));
    about->setObjectName(QStringLiteral("Baout1"));

    // The options dialog, the updater and the about box come with their own windows.
    for (QAction* later : {options, update, about}) {
        later->setEnabled(false);
        later->setStatusTip(QStringLiteral("Not available in this version"));
    }
}

void TForm3::buildHeader(QWidget* header) {
    auto* banner = new QLabel(header);
    banner->setObjectName(QStringLiteral("Im_banner"));
    banner->setGeometry(0, 0, ClientWidth, HeaderHeight);
    banner->setPixmap(QPixmap(QStringLiteral(":/art/banner.png")));

    auto* rank = new QLabel(header);
    rank->setObjectName(QStringLiteral("Im_rank"));
    rank->setGeometry(150, 9, 19, 21);
    rank->setAlignment(Qt::AlignCenter);
    rank->setAccessibleName(QStringLiteral("Rank insignia"));

    auto* nickRank = new QLabel(QStringLiteral("Nick,Rank"), header);
    nickRank->setObjectName(QStringLiteral("La_Nickrank"));
    nickRank->setGeometry(174, 6, 440, 26);

    auto* caption = new QLabel(QStringLiteral("Username/PID"), header);
    caption->setObjectName(QStringLiteral("La_username"));
    caption->setGeometry(620, 11, 90, 16);
    caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    m_username = new QComboBox(header);
    m_username->setObjectName(QStringLiteral("Ed_Username"));
    m_username->setEditable(true);
    m_username->setInsertPolicy(QComboBox::NoInsert);
    m_username->setMaxVisibleItems(5);
    m_username->setGeometry(716, 8, 210, 22);
    m_username->setToolTip(QStringLiteral("Nickname or PID of the player to look up"));
    m_username->setAccessibleName(QStringLiteral("Username/PID"));
    // Enter in the input runs Go. The combo box hands the key to its line edit directly, past any
    // event filter, so the line edit's own signal is the one place that sees it.
    connect(m_username->lineEdit(), &QLineEdit::returnPressed, this, &TForm3::Ed_EingabeClick);
    caption->setBuddy(m_username);

    auto* go = new QPushButton(QStringLiteral("Go"), header);
    go->setObjectName(QStringLiteral("Ed_Eingabe"));
    go->setGeometry(934, 7, 64, 24);
    go->setToolTip(QStringLiteral("Look the player up"));
    connect(go, &QPushButton::clicked, this, &TForm3::Ed_EingabeClick);

    // The history itself, kept apart from the drop-down of the visible input.
    m_usernameHistory = new QComboBox(header);
    m_usernameHistory->setObjectName(QStringLiteral("Ed_Usernamefkt"));
    m_usernameHistory->hide();
}

QWidget* TForm3::buildOverviewPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TS_Overview"));

    struct Group {
        const char* name;
        const char* title;
        QRect place;
    };
    const Group groups[] = {
        {"GB_fav", "Favorites", {8, 8, 216, 292}},
        {"GB_Scores", "Scores", {232, 8, 250, 292}},
        {"GB_Teamwork", "Teamwork", {490, 8, 250, 292}},
        {"GB_Combat", "Combat", {748, 8, 245, 292}},
        {"GB_Topten", "Top Ten", {8, 308, 487, 186}},
        {"GB_Leaderboard", "Personal Leaderboard", {506, 308, 487, 186}},
    };
    for (const Group& g : groups) {
        auto* box = new TRollGroupBox(QString::fromLatin1(g.title), page);
        box->setObjectName(QString::fromLatin1(g.name));
        box->setGeometry(g.place);
        m_overviewGroups.append(box);
    }
    StatisticsPages::buildOverviewGroups(m_overviewGroups[0], m_overviewGroups[1], m_overviewGroups[2],
                                         m_overviewGroups[3]);

    const QList<ReportColumn> boardColumns = {{QStringLiteral("#"), 28, true},   {QStringLiteral("Nickname"), 122},
                                              {QStringLiteral("PID"), 75, true}, {QStringLiteral("Score"), 90, true},
                                              {QStringLiteral("Time"), 90},      {QStringLiteral("Country"), 75}};
    QList<QStringList> boardRows;
    for (int i = 1; i <= 10; ++i)
        boardRows.append(QStringList{QString::number(i)} + EmptyBoardEntry());
    auto* topTen = makeReportList(QStringLiteral("LV_Topten"), boardColumns, boardRows, m_overviewGroups[4]);
    topTen->setGeometry(3, 21, 481, 162);
    QList<ReportColumn> personalColumns = boardColumns;
    personalColumns.last().width = 76;
    m_personalBoard =
        makeReportList(QStringLiteral("LV_personalleaderboard"), personalColumns, boardRows, m_overviewGroups[5]);
    m_personalBoard->setGeometry(3, 21, 481, 162);
    for (QTreeWidget* board : {topTen, m_personalBoard}) {
        board->setFrameShape(QFrame::NoFrame);
        board->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        QFont f(QStringLiteral("Arial"));
        f.setPixelSize(14);
        board->setFont(f);
    }

    m_memo = new QPlainTextEdit(page);
    m_memo->setObjectName(QStringLiteral("Memo1"));
    m_memo->setReadOnly(true);
    m_memo->setGeometry(8, 500, 985, 150);
    m_memo->setAccessibleName(QStringLiteral("Raw data"));
    m_memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_memo->hide();

    m_easter = new QLabel(page);
    m_easter->setObjectName(QStringLiteral("EasterPicture"));
    m_easter->setGeometry(328, 80, 313, 433);
    m_easter->setPixmap(QPixmap(QStringLiteral(":/art/easter.png")));
    m_easter->setAccessibleName(QStringLiteral("Thanks for playing. See you on the battlefield."));
    m_easter->hide();
    return page;
}

QWidget* TForm3::buildDataPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TS_Data"));
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);

    m_dataScroll = new QScrollArea(page);
    m_dataScroll->setObjectName(QStringLiteral("SB_data"));
    m_dataScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_dataScroll->verticalScrollBar()->setObjectName(QStringLiteral("ScB_data"));
    m_dataScroll->setWidgetResizable(false);
    pageLayout->addWidget(m_dataScroll);
    pageLayout->addStretch();

    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("SB_data_content"));
    const QStringList zeros5 = {QStringLiteral("00:00:00"), QStringLiteral("0"), QStringLiteral("0"),
                                QStringLiteral("0"), QStringLiteral("0")};
    const QStringList zeros4 = zeros5.mid(0, 4);

    struct Table {
        const char* group;
        const char* title;
        const char* list;
        QList<ReportColumn> columns;
        QList<QStringList> rows;
        int column; // 0 left, 1 right
        bool misc = false;
    };
    using C = ReportColumn;
    // Wider than the design's 60 pixels: play times past 99 hours must not be cut off.
    constexpr int TimeWidth = 70;
    const QList<Table> tables = {
        {"GB_Maps",
         "Maps",
         "LV_Maps",
         {C{"Mapname", 120}, C{"Time", TimeWidth}, C{"Wins", 58, true}, C{"Losses", 58, true}, C{"Ratio", 50},
          C{"Best Round", 82}},
         vocabularyRows(MapNames, zeros5),
         0},
        {"GB_Vehicles",
         "Vehicles",
         "LV_Vehicle",
         {C{"Type", 120}, C{"Time", TimeWidth}, C{"Kills", 58, true}, C{"Deaths", 58, true}, C{"Ratio", 50},
          C{"Road Kills", 82, true}},
         vocabularyRows(VehicleNames, zeros5),
         0},
        {"GB_Misc",
         "Misc",
         "LV_misc",
         {C{"Type", 238}, C{"Para", 189}},
         {
             {QStringLiteral("PID"), QStringLiteral("0")},
             {QStringLiteral("Country"), QStringLiteral("N/A")},
             {QStringLiteral("Last EA Update"), QStringLiteral("N/A")},
             {QStringLiteral("Enrollment Date"), QStringLiteral("N/A")},
             {QStringLiteral("Last Battle On"), QStringLiteral("N/A")},
             {QStringLiteral("Favorite Victims (Kills)"), QStringLiteral("-")},
             {QStringLiteral("Worst Enemy (Kills)"), QStringLiteral("-")},
             {QStringLiteral("Kicked & Banned"), QStringLiteral("0 / 0")},
             {QStringLiteral("TKs, TDs & VD"), QStringLiteral("N/A")},
         },
         0,
         true},
        {"GB_Army",
         "Army",
         "LV_Army",
         {C{"Type", 120}, C{"Time", TimeWidth}, C{"Wins", 52, true}, C{"Losses", 58, true}, C{"Ratio", 50},
          C{"Best Round", 80, true}},
         vocabularyRows(ArmyNames, zeros5),
         1},
        {"GB_Kits",
         "Kits",
         "Lv_kits",
         {C{"Type", 120}, C{"Time", TimeWidth}, C{"Kills", 78, true}, C{"Deaths", 78, true}, C{"Ratio", 84}},
         vocabularyRows(KitNames, zeros4),
         1},
        {"GB_Weapons",
         "Weapons",
         "Lv_weapons",
         {C{"Type", 120}, C{"Time", TimeWidth}, C{"Kills", 58, true}, C{"Deaths", 58, true}, C{"Ratio", 50},
          C{"Accuracy", 74}},
         vocabularyRows(WeaponNames, zeros5),
         1},
    };
    // Each table is as tall as its fixed rows; the groups stack in two columns.
    constexpr int RowHeight = 15, HeaderRow = 20, Gap = 6, GroupWidth = 452;
    constexpr int ColumnLeft[2] = {40, 510};
    int columnTop[2] = {Gap, Gap};
    int bottom = 0;
    for (const Table& t : tables) {
        const int listHeight = (t.misc ? 0 : HeaderRow) + static_cast<int>(t.rows.size()) * RowHeight + 4;
        const QRect place(ColumnLeft[t.column], columnTop[t.column], GroupWidth, listHeight + 28);
        columnTop[t.column] = place.bottom() + 1 + Gap;
        auto* box = new TRollGroupBox(QString::fromLatin1(t.title), content);
        box->setObjectName(QString::fromLatin1(t.group));
        box->setGeometry(place);
        QTreeWidget* list = makeReportList(QString::fromLatin1(t.list), t.columns, t.rows, box);
        list->setGeometry(6, 22, place.width() - 12, listHeight);
        list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        if (t.misc) {
            list->setHeaderHidden(true);
            connect(list, &QTreeWidget::itemDoubleClicked, this, &TForm3::LV_miscDblClick);
        }
        bottom = std::max(bottom, place.bottom());
    }
    content->resize(ClientWidth - 20, bottom + 8);
    m_dataScroll->setWidget(content);
    return page;
}

QWidget* TForm3::buildAwardPage(const QString& name) {
    auto* page = new QWidget;
    page->setObjectName(name);
    return page;
}

void TForm3::buildFetchers() {
    for (int i = 0; i < ReplyKindCount; ++i) {
        const auto kind = static_cast<ReplyKind>(i);
        const ReplyKindInfo& info = replyKindInfo(kind);
        auto* fetcher = new THTTPGet(this);
        fetcher->setObjectName(QString::fromLatin1(info.fetcherName));
        // The statistics service knows its clients by this agent name.
        fetcher->setAgent("GameSpyHTTP/1.0");
        fetcher->setAcceptTypes("*/*");
        fetcher->setBinaryData(false);
        fetcher->setUseCache(false);
        fetcher->setWaitThread(false);
        connect(fetcher, &THTTPGet::OnProgress, this,
                [this, kind](THTTPGet*, qint32 total, qint32 readed) { handleProgress(kind, total, readed); });
        connect(fetcher, &THTTPGet::OnDoneString, this,
                [this, kind](THTTPGet*, const QByteArray& body) { handleReply(kind, body); });
        connect(fetcher, &THTTPGet::OnError, this, &TForm3::HTTPGetStringError);
        m_fetchers[static_cast<size_t>(i)] = fetcher;
    }
}

void TForm3::FormCreate() {
    FirstActivation = true;
    // The hint hook: the status panel names what is under the mouse.
    qApp->installEventFilter(this);

    const StartupSettings settings = ReadStartupSettings(m_settingsPath);
    m_statsServer = settings.statsServer;
    m_updateServer = settings.updateServer;
    QList<QString> history;
    for (const QByteArray& entry : settings.history)
        history.append(FromWin1252(entry));
    setHistory(history);
    m_username->setEditText(FromWin1252(settings.inputText));
    LeaderboardNicks = settings.leaderboardNicks;
    StartNick = settings.startNick;
    StatsOnStartPending = settings.statsOnStartPending;
}

void TForm3::setHistory(const QList<QString>& history) {
    m_history = history;
    const QString text = m_username->currentText();
    m_usernameHistory->clear();
    m_usernameHistory->addItems(history);
    m_username->clear();
    m_username->addItems(history);
    m_username->setEditText(text);
}

void TForm3::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TForm3::FormActivate() {
    if (!m_arguments.isEmpty() && m_arguments.first() == QLatin1String("-chlog") && FirstActivation) {
        if (showChangelog)
            showChangelog();
        FirstActivation = false;
    }
    m_username->setFocus();
    applyScreenHeight();
    if (StatsOnStartPending) {
        m_username->setEditText(FromWin1252(StartNick));
        StatsOnStartPending = false;
        Ed_EingabeClick();
    }
    for (const auto& reset : {ResetRibbonDescription, ResetMedalDescription, ResetBadgeDescription})
        if (reset)
            reset();
}

void TForm3::applyScreenHeight() {
    // Small screens get a shorter window; the Data page then scrolls.
    const bool compact = PlatformHooks::primaryScreenHeight() < 850;
    m_dataScroll->setVerticalScrollBarPolicy(compact ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    setFixedSize(ClientWidth, compact ? 760 : 815);
    m_dataScroll->setFixedHeight(compact ? 595 : 670);
}

bool TForm3::eventFilter(QObject* watched, QEvent* event) {
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

void TForm3::updateHint(QWidget* widget) {
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

QStringList TForm3::rawLogLines() const {
    return m_logLines;
}

void TForm3::appendLog(const QList<QByteArray>& lines) {
    const qsizetype first = m_logLines.size();
    for (const QByteArray& line : lines)
        m_logLines.append(FromWin1252(line));
    // A hidden log is filled when it is shown: appending to the widget is the costly part.
    if (!m_memo->isHidden())
        m_memo->appendPlainText(m_logLines.mid(first).join(QLatin1Char('\n')));
}

void TForm3::setRawLogVisible(bool visible) {
    if (visible)
        m_memo->setPlainText(m_logLines.join(QLatin1Char('\n')));
    m_memo->setVisible(visible);
}

void TForm3::Ende2Click() {
    close();
}

void TForm3::Hilfe3Click() {
    PlatformHooks::openUrl(DonatePage);
}
