#include "stats/overview_page.h"

#include "service/text_codec.h"
#include "skin/roll_group_box.h"
#include "stats/next_rank_panel.h"
#include "stats/vocabulary.h"
#include "tables/report_list.h"
#include "tables/table_actions.h"

#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QTreeWidget>

namespace OverviewNames {

using F = OverviewField;
const std::array<Figure, OverviewFieldCount> Figures{{
    {F::GlobalScore, "La_Globalpoints", "Global", "0"},
    {F::TeamScore, "La_Teampoints", "Team", "0"},
    {F::CombatScore, "La_Combatpoints", "Combat", "0"},
    {F::CommanderScore, "La_Commanderpoints", "Commander", "0"},
    {F::TimeCommander, "La_timecommander", "Commander", "0"},
    {F::TimeSquadLeader, "La_timesleader", "Squad Leader", "0"},
    {F::TimeSquadMember, "La_timesmember", "Squad Member", "0"},
    {F::TimeLoneWolf, "La_timelone", "Lone Wolf", "0"},
    {F::TimeTotal, "La_timetotal", "Total", "0"},
    {F::WinsLosses, "La_Winslosses", "Wins/Losses", "0/0 (0,00)"},
    {F::CapturedCp, "La_captcp", "Captured CP", "0"},
    {F::CaptureAssists, "La_captass", "Capture Assist", "0"},
    {F::DefendedCp, "La_captdef", "Defended CP", "0"},
    {F::KillAssists, "La_killass", "Kill Assist ", "0"},
    {F::Heals, "La_heal", "Heal", "0"},
    {F::Revives, "La_revive", "Revive", "0"},
    {F::Resupplies, "La_support", "Support", "0"},
    {F::Repairs, "La_repair", "Repair", "0"},
    {F::DriverAssists, "La_driver", "Driver", "0"},
    {F::Accuracy, "La_accuracy", "Accuracy", "0"},
    {F::ScorePerMinute, "La_SPM", "SPM", "0"},
    {F::Suicides, "La_suicides", "Suicides", "0"},
    {F::KillDeathRatio, "La_kdratio", "K/D Ratio", "0"},
    {F::KillsTotal, "La_killstotal", "Kills Total", "0"},
    {F::KillsPerMinute, "La_killsmin", "Kills Per Minute ", "0"},
    {F::KillsPerRound, "La_killsround", "Kills Per Round ", "0"},
    {F::DeathsTotal, "La_deathstotal", "Death Total", "0"},
    {F::DeathsPerMinute, "La_deathsmin", "Deaths Per Minute ", "0"},
    {F::DeathsPerRound, "La_deathsround", "Death Per Round ", "0"},
}};

const Figure& figure(OverviewField field) {
    return Figures[static_cast<size_t>(field)];
}

} // namespace OverviewNames

namespace {

constexpr int RowHeight = 21;
constexpr int FirstRow = 26;
constexpr char FigureTemplate[] = "%1: %2";

QLabel* addLabel(QWidget* parent, const QString& text, const QString& name, const char* role) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setProperty("role", role);
    QFont f = label->font();
    f.setBold(true);
    f.setPixelSize(11);
    label->setFont(f);
    return label;
}

void addDivider(QWidget* parent, int y) {
    auto* line = new QFrame(parent);
    line->setProperty("role", "divider");
    line->setGeometry(10, y, parent->width() - 20, 1);
}

// A value label is read out together with its caption: "Global: 205200".
void setSpokenValue(QLabel* label, const QString& caption, const QString& text) {
    label->setAccessibleName(QString::fromLatin1(FigureTemplate).arg(caption.trimmed(), text));
}

// The lit band over the upper part of a favourite picture.
QPixmap overlayPixmap() {
    QPixmap band(43, 19);
    band.fill(QColor(233, 236, 237, 69));
    return band;
}

// What the figures whose caption does not say it all stand for.
struct FigureHint {
    OverviewField field;
    const char* text;
};
constexpr FigureHint FigureHints[] = {
    {OverviewField::WinsLosses, "Rounds won / rounds lost (wins per loss)"},
    {OverviewField::ScorePerMinute, "Global score per minute played"},
    {OverviewField::KillDeathRatio, "Kills per death"},
    {OverviewField::KillsTotal, "Kills / best kill streak"},
    {OverviewField::KillsPerMinute, "Kills per minute played"},
    {OverviewField::KillsPerRound, "Kills per round played"},
    {OverviewField::DeathsTotal, "Deaths / worst death streak"},
    {OverviewField::DeathsPerMinute, "Deaths per minute played"},
    {OverviewField::DeathsPerRound, "Deaths per round played"},
    {OverviewField::Accuracy, "Hits per shot fired, all weapons"},
};

void setHint(QLabel* caption, QLabel* value, const QString& hint) {
    for (QLabel* label : {caption, value})
        label->setToolTip(hint);
    value->setAccessibleDescription(hint);
}

constexpr const char* FavouriteInitial[] = {"Weaponname", "Vehiclename", "Kitname", "Mapname"};
constexpr const char* FavouritePanels[] = {"Pa_favweapon", "Pa_favvehicle", "Pa_favkit", "Pa_favmap"};

} // namespace

QStringList EmptyBoardEntry() {
    return {QStringLiteral("N/A"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("00:00:00"),
            QStringLiteral("N/A")};
}

OverviewPage::OverviewPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QLatin1String(OverviewNames::Page));
    setMinimumSize(DesignSize);

    struct Group {
        const char* name;
        const char* title;
        QRect place;
    };
    const Group groups[] = {
        {OverviewNames::Favourites, "Favorites", {8, 8, 216, 292}},
        {OverviewNames::Scores, "Scores", {232, 8, 250, 292}},
        {OverviewNames::Teamwork, "Teamwork", {490, 8, 250, 292}},
        {OverviewNames::Combat, "Combat", {748, 8, 245, 292}},
        {OverviewNames::TopTenGroup, "Top Ten", {8, 308, 487, 186}},
        {OverviewNames::BoardGroup, "Personal Leaderboard", {506, 308, 487, 186}},
    };
    for (const Group& g : groups) {
        auto* box = new RollGroupBox(QString::fromLatin1(g.title), this);
        box->setObjectName(QLatin1String(g.name));
        box->setGeometry(g.place);
        m_groups.append(box);
    }
    buildFavourites(m_groups[0]);

    // The EA score opens the Scores group; it comes with the rank reply.
    m_eaScore = addLabel(m_groups[1], QStringLiteral("0"), QLatin1String(OverviewNames::EaScore), "value");
    QLabel* eaCaption = addLabel(m_groups[1], QStringLiteral("EA Score"), QStringLiteral("Lc_EAScore"), "caption");
    eaCaption->setGeometry(10, FirstRow, 130, 18);
    m_eaScore->setGeometry(m_groups[1]->width() - 130, FirstRow, 120, 18);
    m_eaScore->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    eaCaption->setBuddy(m_eaScore);
    setHint(eaCaption, m_eaScore, QStringLiteral("The player's place on the service's score leaderboard"));
    setSpokenValue(m_eaScore, eaCaption->text(), m_eaScore->text());
    addDivider(m_groups[1], FirstRow + RowHeight + 2);

    using F = OverviewField;
    buildFigures(m_groups[1], int(F::GlobalScore), int(F::TimeTotal), {int(F::CommanderScore)});
    buildFigures(m_groups[2], int(F::WinsLosses), int(F::DriverAssists), {int(F::WinsLosses), int(F::DefendedCp)});
    buildFigures(m_groups[3], int(F::Accuracy), int(F::DeathsPerRound),
                 {int(F::KillDeathRatio), int(F::KillsPerRound)});

    const QList<ReportColumn> boardColumns = {
        {QStringLiteral("#"), 28, CellKind::Integer},     {QStringLiteral("Nickname"), 122},
        {QStringLiteral("PID"), 75, CellKind::Integer},   {QStringLiteral("Score"), 90, CellKind::Integer},
        {QStringLiteral("Time"), 90, CellKind::Duration}, {QStringLiteral("Country"), 75}};
    QList<QStringList> boardRows;
    for (int i = 1; i <= 10; ++i)
        boardRows.append(QStringList{QString::number(i)} + EmptyBoardEntry());
    m_topTen = makeReportList(QLatin1String(OverviewNames::TopTen), boardColumns, boardRows, m_groups[4]);
    m_topTen->setAccessibleName(QStringLiteral("Top Ten"));
    QList<ReportColumn> personalColumns = boardColumns;
    personalColumns.last().width = 76;
    m_board = makeReportList(QLatin1String(OverviewNames::Board), personalColumns, boardRows, m_groups[5]);
    m_board->setAccessibleName(QStringLiteral("Personal Leaderboard"));
    for (QTreeWidget* board : {m_topTen, m_board}) {
        board->setGeometry(3, 21, 481, 162);
        board->setFrameShape(QFrame::NoFrame);
        board->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        QFont f(QStringLiteral("Arial"));
        f.setPixelSize(14);
        board->setFont(f);
        connect(board, &QTreeWidget::itemDoubleClicked, this, &OverviewPage::boardDoubleClicked);
    }

    // How far the player is from the next rank, under the leaderboards.
    auto* nextRankGroup = new RollGroupBox(QStringLiteral("Next Rank"), this);
    nextRankGroup->setObjectName(QLatin1String(NextRankNames::Group));
    nextRankGroup->setGeometry(8, 502, 985, 66);
    m_nextRank = new NextRankPanel(nextRankGroup);
    m_nextRank->setGeometry(2, 22, 981, 42);
    m_groups.append(nextRankGroup);

    m_rawLog = new QPlainTextEdit(this);
    m_rawLog->setObjectName(QLatin1String(OverviewNames::RawLog));
    m_rawLog->setReadOnly(true);
    m_rawLog->setGeometry(8, 500, 985, 150);
    m_rawLog->setAccessibleName(QStringLiteral("Raw data"));
    m_rawLog->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_rawLog->hide();

    m_easter = new QLabel(this);
    m_easter->setObjectName(QLatin1String(OverviewNames::Easter));
    m_easter->setGeometry(328, 80, 313, 433);
    m_easter->setAccessibleName(QStringLiteral("Thanks for playing. See you on the battlefield."));
    m_easter->hide();
}

void OverviewPage::buildFavourites(QGroupBox* group) {
    static const QPixmap band = overlayPixmap();
    int y = FirstRow;
    for (size_t i = 0; i < m_favourites.size(); ++i) {
        FavouriteRow& row = m_favourites[i];
        auto* panel = new QWidget(group);
        panel->setObjectName(QLatin1String(FavouritePanels[i]));
        panel->setGeometry(8, y, group->width() - 16, 57);

        // Drawing order, bottom to top: placeholder, the set's pictures, divider, name, band.
        auto* placeholder = new QLabel(panel);
        placeholder->setObjectName(QStringLiteral("Im_favplaceholder%1").arg(i + 1));
        placeholder->setGeometry(4, 6, 45, 45);
        placeholder->setPixmap(QPixmap(QLatin1String(FavouritePlaceholder)));
        // The pictures are decoded when one is first shown, not with the window.
        for (const FavouritePicture& picture : FavouritePictures[i].pictures) {
            auto* image = new QLabel(panel);
            image->setObjectName(QLatin1String(picture.objectName));
            image->setGeometry(4, 6, 45, 45);
            image->setProperty("resource", QLatin1String(picture.resource));
            image->setToolTip(QString::fromLatin1(picture.name));
            image->setAccessibleName(QString::fromLatin1(picture.name));
            image->hide();
            row.pictures.append(image);
        }
        auto* divider = new QFrame(panel);
        divider->setProperty("role", "vdivider");
        divider->setGeometry(56, 8, 1, 41);
        row.name = addLabel(panel, QString::fromLatin1(FavouriteInitial[i]),
                            QLatin1String(OverviewNames::FavouriteLabels[i]), "value");
        row.name->setGeometry(64, 6, panel->width() - 66, 45);
        row.name->setWordWrap(true);
        row.band = new QLabel(panel);
        row.band->setObjectName(QLatin1String(OverviewNames::FavouriteBands[i]));
        row.band->setGeometry(5, 7, 43, 19);
        row.band->setPixmap(band);
        y += 62;
    }
}

// Caption at the left, value right-aligned on the same line; `Wins/Losses` reads on from its caption.
void OverviewPage::buildFigures(QGroupBox* group, int first, int last, const QList<int>& dividersAfter) {
    int y = FirstRow + (first == 0 ? RowHeight + 7 : 0);
    for (int i = first; i <= last; ++i) {
        const OverviewNames::Figure& figure = OverviewNames::Figures[static_cast<size_t>(i)];
        const QString objectName = QLatin1String(figure.objectName);
        QLabel* caption =
            addLabel(group, QString::fromLatin1(figure.caption), QStringLiteral("Lc_") + objectName.mid(3), "caption");
        caption->setGeometry(10, y, 130, 18);
        QLabel* value = addLabel(group, QString::fromLatin1(figure.initial), objectName, "value");
        if (figure.field == OverviewField::WinsLosses) {
            caption->adjustSize();
            caption->setFixedHeight(18);
            value->setGeometry(10 + caption->width() + 6, y, group->width() - 26 - caption->width(), 18);
            value->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        } else {
            value->setGeometry(group->width() - 10 - 120, y, 120, 18);
            value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        }
        caption->setBuddy(value);
        for (const FigureHint& hint : FigureHints) {
            if (hint.field == figure.field)
                setHint(caption, value, QString::fromLatin1(hint.text));
        }
        m_figures[static_cast<size_t>(i)] = value;
        setSpokenValue(value, caption->text(), value->text());
        y += RowHeight;
        if (dividersAfter.contains(i)) {
            addDivider(group, y + 2);
            y += 7;
        }
    }
}

void OverviewPage::setFigure(OverviewField field, const QString& text) {
    QLabel* label = m_figures[static_cast<size_t>(field)];
    label->setText(text);
    setSpokenValue(label, QString::fromLatin1(OverviewNames::figure(field).caption), text);
}

void OverviewPage::showStatistics(const OverviewValues& values) {
    for (size_t i = 0; i < m_favourites.size(); ++i) {
        FavouriteRow& row = m_favourites[i];
        const FavouriteValue& favourite = values.favourites[i];
        QLabel* picture = nullptr;
        if (favourite.picture)
            for (QLabel* candidate : std::as_const(row.pictures))
                if (candidate->objectName() == QLatin1String(favourite.picture->objectName))
                    picture = candidate;
        if (row.shown && row.shown != picture)
            row.shown->hide();
        if (picture) {
            if (picture->pixmap().isNull())
                picture->setPixmap(QPixmap(picture->property("resource").toString()));
            picture->show();
        }
        row.shown = picture;
        const QString name = FromWin1252(favourite.name);
        row.name->setText(name);
        row.band->setToolTip(name);
        row.band->setAccessibleName(name);
    }
    for (int i = 0; i < OverviewFieldCount; ++i)
        setFigure(OverviewField(i), FromWin1252(values.fields[static_cast<size_t>(i)]));
    m_nextRank->showFacts(values.facts);
}

void OverviewPage::showEaScore(const QByteArray& score) {
    const QString text = FromWin1252(score);
    m_eaScore->setText(text);
    setSpokenValue(m_eaScore, QStringLiteral("EA Score"), text);
}

void OverviewPage::reset() {
    for (size_t i = 0; i < m_favourites.size(); ++i) {
        FavouriteRow& row = m_favourites[i];
        if (row.shown)
            row.shown->hide();
        row.shown = nullptr;
        row.name->setText(QString::fromLatin1(FavouriteInitial[i]));
        row.band->setToolTip({});
        row.band->setAccessibleName({});
    }
    for (const OverviewNames::Figure& figure : OverviewNames::Figures)
        setFigure(figure.field, QString::fromLatin1(figure.initial));
    showEaScore("0");
    m_nextRank->reset();
}

namespace {

constexpr int ScoreColumn = 3;
const QString NotFound = QStringLiteral("not found");

void writeEntry(QTreeWidget* list, int row, const BoardEntry& entry) {
    setCell(list, row, 1, FromWin1252(entry.nickname));
    setCell(list, row, 2, FromWin1252(entry.pid));
    setCell(list, row, 3, FromWin1252(entry.score));
    setCell(list, row, 4, FromWin1252(entry.time));
    setCell(list, row, 5, FromWin1252(entry.country));
}

} // namespace

void OverviewPage::showTopTen(const QList<BoardEntry>& entries) {
    // A service with fewer than ten players sends fewer records: the rows below them are empty.
    const QStringList empty = EmptyBoardEntry();
    const BoardEntry none{ToWin1252(empty[1]), ToWin1252(empty[0]), ToWin1252(empty[2]), ToWin1252(empty[3]),
                          ToWin1252(empty[4])};
    m_topTen->setUpdatesEnabled(false);
    for (int r = 0; r < BoardRows; ++r)
        writeEntry(m_topTen, r, r < entries.size() ? entries[r] : none);
    m_topTen->setUpdatesEnabled(true);
}

void OverviewPage::addBoardRecord(const BoardEntry& entry) {
    addBoardRow({BoardRow::State::Record, entry});
}

void OverviewPage::addBoardUnknown(const QByteArray& nick) {
    const QStringList empty = EmptyBoardEntry();
    addBoardRow({BoardRow::State::Unknown,
                 {ToWin1252(NotFound), nick, ToWin1252(empty[2]), ToWin1252(empty[3]), ToWin1252(empty[4])}});
}

// Every row is written from the ranked list, so that a row the user moved by sorting is never
// overwritten by the next record.
void OverviewPage::addBoardRow(const BoardRow& row) {
    if (m_boardRows.size() >= BoardRows)
        return;
    m_boardRows.append(row);
    QList<BoardRow> rows = m_boardRows;
    rows.resize(BoardRows);
    rows = rankByScore(rows);
    const QStringList empty = EmptyBoardEntry();
    const QList<QByteArray> captions = BoardCaptions();
    m_board->setUpdatesEnabled(false);
    for (int r = 0; r < BoardRows; ++r) {
        if (rows[r].state == BoardRow::State::Empty) {
            for (int column = 1; column <= empty.size(); ++column)
                setCell(m_board, r, column, empty[column - 1]);
        } else {
            writeEntry(m_board, r, rows[r].entry);
        }
        setCell(m_board, r, 0, QString::fromLatin1(captions[r]));
    }
    if (m_sorting)
        m_sorting->markRanked(m_board, ScoreColumn);
    m_board->setUpdatesEnabled(true);
}

void OverviewPage::boardDoubleClicked(QTreeWidgetItem* item) {
    if (!item || !item->isSelected())
        return;
    // The whole nickname, clan tag and blanks included.
    const QString nick = item->text(1);
    if (nick != QLatin1String("N/A") && !nick.isEmpty())
        emit playerRequested(ToWin1252(nick));
}

void OverviewPage::resetPersonalBoard() {
    const QStringList empty = EmptyBoardEntry();
    m_boardRows.clear();
    m_board->setUpdatesEnabled(false);
    for (int row = 0; row < 10; ++row)
        for (int column = 1; column <= empty.size(); ++column)
            setCell(m_board, row, column, empty[column - 1]);
    m_board->setUpdatesEnabled(true);
}

void OverviewPage::toggleEasterPicture() {
    const bool show = m_easter->isHidden();
    if (show && m_easter->pixmap().isNull())
        m_easter->setPixmap(QPixmap(QStringLiteral(":/art/easter.png")));
    m_easter->setVisible(show);
    for (QGroupBox* group : std::as_const(m_groups))
        group->setVisible(!show);
}
