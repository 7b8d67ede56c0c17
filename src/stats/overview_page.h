#pragma once

#include "leaderboard/board_reader.h"
#include "stats/overview_reader.h"

#include <QByteArray>
#include <QList>
#include <QWidget>
#include <array>

class NextRankPanel;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QTreeWidget;
class QTreeWidgetItem;
class TableSorting;

// The object names of the Overview page, shared with the tests.
namespace OverviewNames {
inline constexpr char Page[] = "TS_Overview";
inline constexpr char Favourites[] = "GB_fav";
inline constexpr char Scores[] = "GB_Scores";
inline constexpr char Teamwork[] = "GB_Teamwork";
inline constexpr char Combat[] = "GB_Combat";
inline constexpr char TopTenGroup[] = "GB_Topten";
inline constexpr char BoardGroup[] = "GB_Leaderboard";
inline constexpr char TopTen[] = "LV_Topten";
inline constexpr char Board[] = "LV_personalleaderboard";
inline constexpr char RawLog[] = "Memo1";
inline constexpr char Easter[] = "EasterPicture";
inline constexpr char EaScore[] = "La_EAScore";

// One figure of the Scores, Teamwork and Combat groups.
struct Figure {
    OverviewField field;
    const char* objectName; // "La_Globalpoints"
    const char* caption;    // as shown, trailing blanks included
    const char* initial;    // before the first lookup
};
extern const std::array<Figure, OverviewFieldCount> Figures;
const Figure& figure(OverviewField field);

// The favourites' name labels and the bands over their pictures, weapon, vehicle, kit, map.
inline constexpr const char* FavouriteLabels[] = {"La_favweapon", "La_favvehicle", "La_favkit", "La_favmap"};
inline constexpr const char* FavouriteBands[] = {"Im_favalpha1", "Im_favalpha2", "Im_favalpha3", "Im_favalpha4"};
} // namespace OverviewNames

// The cells of an empty leaderboard row after its "#": nickname, PID, score, time and country.
QStringList EmptyBoardEntry();

// The Overview page: favourites, the Scores, Teamwork and Combat figures, the two leaderboards, the
// hidden raw-data log and the hidden thank-you card.
class OverviewPage final : public QWidget {
    Q_OBJECT

public:
    explicit OverviewPage(QWidget* parent);

    void showStatistics(const OverviewValues& values);
    void showEaScore(const QByteArray& score);
    // Every figure and favourite back to its state before the first lookup.
    void reset();

    // The personal leaderboard is ranked with the shared sort state of the window's tables.
    void setSorting(TableSorting* sorting) { m_sorting = sorting; }

    // The ten records from the top: written into the rows as they stand now, "#" untouched.
    void showTopTen(const QList<BoardEntry>& entries);
    // A record (or an entry the service does not know) fills the next unfilled row of the personal
    // leaderboard, and the rows are ranked again; with all ten rows filled it is ignored.
    void addBoardRecord(const BoardEntry& entry);
    void addBoardUnknown(const QByteArray& nick);
    int boardCount() const { return int(m_boardRows.size()); }
    // Every row of the personal leaderboard unfilled; the "#" captions stay.
    void resetPersonalBoard();
    QTreeWidget* topTen() const { return m_topTen; }
    QTreeWidget* personalBoard() const { return m_board; }

    // The thank-you card stands in for the six groups while it is shown.
    void toggleEasterPicture();
    QPlainTextEdit* rawLog() const { return m_rawLog; }
    NextRankPanel* nextRank() const { return m_nextRank; }

signals:
    // A double click on a filled leaderboard row: the whole nickname to look up.
    void playerRequested(const QByteArray& nick);

public:
    // The page's design size; smaller windows scroll it.
    static constexpr QSize DesignSize{1003, 656};

private:
    struct FavouriteRow {
        QList<QLabel*> pictures; // one per picture of the category, hidden but the one shown
        QLabel* name = nullptr;
        QLabel* band = nullptr;
        QLabel* shown = nullptr;
    };

    void buildFavourites(QGroupBox* group);
    void buildFigures(QGroupBox* group, int first, int last, const QList<int>& dividersAfter);
    void setFigure(OverviewField field, const QString& text);
    void addBoardRow(const BoardRow& row);
    void boardDoubleClicked(QTreeWidgetItem* item);

    QList<QGroupBox*> m_groups;
    std::array<FavouriteRow, 4> m_favourites;
    std::array<QLabel*, OverviewFieldCount> m_figures{};
    QLabel* m_eaScore = nullptr;
    QTreeWidget* m_topTen = nullptr;
    QTreeWidget* m_board = nullptr;
    QList<BoardRow> m_boardRows; // the filled rows of the personal leaderboard, in arrival order
    TableSorting* m_sorting = nullptr;
    QPlainTextEdit* m_rawLog = nullptr;
    QLabel* m_easter = nullptr;
    NextRankPanel* m_nextRank = nullptr;
};
