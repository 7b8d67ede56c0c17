#include "stats/data_page.h"

#include "service/text_codec.h"
#include "skin/roll_group_box.h"
#include "stats/vocabulary.h"
#include "tables/report_list.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

template <size_t N>
QList<QStringList> vocabularyRows(const std::array<VocabularyEntry, N>& names, const QStringList& rest) {
    QList<QStringList> rows;
    for (const VocabularyEntry& entry : names)
        rows.append(QStringList{QString::fromLatin1(entry.initialName)} + rest);
    return rows;
}

const QStringList Zeros5 = {QStringLiteral("00:00:00"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"),
                            QStringLiteral("0")};

const QList<QStringList>& miscRows() {
    static const QList<QStringList> rows = {
        {QStringLiteral("PID"), QStringLiteral("0")},
        {QStringLiteral("Country"), QStringLiteral("N/A")},
        {QStringLiteral("Last EA Update"), QStringLiteral("N/A")},
        {QStringLiteral("Enrollment Date"), QStringLiteral("N/A")},
        {QStringLiteral("Last Battle On"), QStringLiteral("N/A")},
        {QStringLiteral("Favorite Victims (Kills)"), QStringLiteral("-")},
        {QStringLiteral("Worst Enemy (Kills)"), QStringLiteral("-")},
        {QStringLiteral("Kicked & Banned"), QStringLiteral("0 / 0")},
        {QStringLiteral("TKs, TDs & VD"), QStringLiteral("N/A")},
    };
    return rows;
}

// Writes a whole table in one go: one repaint, not one per cell.
void fill(QTreeWidget* list, const TableCells& rows) {
    list->setUpdatesEnabled(false);
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            setCell(list, r, c + 1, FromWin1252(rows[r][c]));
    list->setUpdatesEnabled(true);
}

void fillStrings(QTreeWidget* list, const QList<QStringList>& rows, int fromColumn) {
    list->setUpdatesEnabled(false);
    for (int r = 0; r < rows.size(); ++r)
        for (int c = fromColumn; c < rows[r].size(); ++c)
            setCell(list, r, c, rows[r][c]);
    list->setUpdatesEnabled(true);
}

template <size_t N> void writeCaptions(QTreeWidget* list, const std::array<VocabularyEntry, N>& names) {
    list->setUpdatesEnabled(false);
    for (size_t i = 0; i < N; ++i)
        setCell(list, int(i), 0, QString::fromLatin1(names[i].name));
    list->setUpdatesEnabled(true);
}

// Rows 5 and 6 of the misc table name a player: "=DOG= Sarge (12)".
constexpr int FirstPlayerRow = 5;
constexpr int LastPlayerRow = 6;

} // namespace

DataPage::DataPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QLatin1String(DataNames::Page));
    auto* pageLayout = new QVBoxLayout(this);
    pageLayout->setContentsMargins(0, 0, 0, 0);

    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QLatin1String(DataNames::Scroll));
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->verticalScrollBar()->setObjectName(QStringLiteral("ScB_data"));
    m_scroll->setWidgetResizable(false);
    pageLayout->addWidget(m_scroll);

    auto* content = new QWidget(m_scroll);
    content->setObjectName(QStringLiteral("SB_data_content"));
    const QStringList zeros4 = Zeros5.mid(0, 4);

    struct Table {
        const char* group;
        const char* title;
        const char* list;
        QList<ReportColumn> columns;
        QList<QStringList> rows;
        int column; // 0 left, 1 right
        QTreeWidget** member;
        bool misc = false;
    };
    using C = ReportColumn;
    // Times, ratios and percentages sort by their value, not as text.
    constexpr CellKind Int = CellKind::Integer, Dur = CellKind::Duration, Dec = CellKind::Decimal;
    // Wider than the design's 60 pixels: play times past 99 hours must not be cut off.
    constexpr int TimeWidth = 70;
    const QList<Table> tables = {
        {"GB_Maps",
         "Maps",
         DataNames::Maps,
         {C{"Mapname", 120}, C{"Time", TimeWidth, Dur}, C{"Wins", 58, Int}, C{"Losses", 58, Int}, C{"Ratio", 50, Dec},
          C{"Best Round", 82, Dec}},
         vocabularyRows(MapNames, Zeros5),
         0,
         &m_maps},
        {"GB_Vehicles",
         "Vehicles",
         DataNames::Vehicles,
         {C{"Type", 120}, C{"Time", TimeWidth, Dur}, C{"Kills", 58, Int}, C{"Deaths", 58, Int}, C{"Ratio", 50, Dec},
          C{"Road Kills", 82, Int}},
         vocabularyRows(VehicleNames, Zeros5),
         0,
         &m_vehicles},
        {"GB_Misc", "Misc", DataNames::Misc, {C{"Type", 238}, C{"Para", 189}}, miscRows(), 0, &m_misc, true},
        {"GB_Army",
         "Army",
         DataNames::Army,
         {C{"Type", 120}, C{"Time", TimeWidth, Dur}, C{"Wins", 52, Int}, C{"Losses", 58, Int}, C{"Ratio", 50, Dec},
          C{"Best Round", 80, Int}},
         vocabularyRows(ArmyNames, Zeros5),
         1,
         &m_army},
        {"GB_Kits",
         "Kits",
         DataNames::Kits,
         {C{"Type", 120}, C{"Time", TimeWidth, Dur}, C{"Kills", 78, Int}, C{"Deaths", 78, Int}, C{"Ratio", 84, Dec}},
         vocabularyRows(KitNames, zeros4),
         1,
         &m_kits},
        {"GB_Weapons",
         "Weapons",
         DataNames::Weapons,
         {C{"Type", 120}, C{"Time", TimeWidth, Dur}, C{"Kills", 58, Int}, C{"Deaths", 58, Int}, C{"Ratio", 50, Dec},
          C{"Accuracy", 74, Dec}},
         vocabularyRows(WeaponNames, Zeros5),
         1,
         &m_weapons},
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
        auto* box = new RollGroupBox(QString::fromLatin1(t.title), content);
        box->setObjectName(QString::fromLatin1(t.group));
        box->setGeometry(place);
        QTreeWidget* list = makeReportList(QString::fromLatin1(t.list), t.columns, t.rows, box);
        list->setAccessibleName(QString::fromLatin1(t.title));
        list->setGeometry(6, 22, place.width() - 12, listHeight);
        list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        if (t.misc)
            setHeaderHidden(list, true);
        *t.member = list;
        bottom = std::max(bottom, place.bottom());
    }
    connect(m_misc, &QTreeWidget::itemDoubleClicked, this, &DataPage::miscDoubleClicked);
    content->resize(1003 - 14, bottom + 8);
    m_scroll->setWidget(content);
}

void DataPage::showTables(const DataValues& values) {
    fill(m_army, values.army);
    fill(m_kits, values.kits);
    fill(m_weapons, values.weapons);
    fill(m_vehicles, values.vehicles);
    m_misc->setUpdatesEnabled(false);
    for (const MiscValue& value : values.misc)
        setCell(m_misc, value.row, 1, FromWin1252(value.text));
    m_misc->setUpdatesEnabled(true);
}

void DataPage::showMaps(const TableCells& rows) {
    fill(m_maps, rows);
}

void DataPage::showCountry(const QByteArray& country) {
    setCell(m_misc, 1, 1, FromWin1252(country));
}

// The misc table's dates, in the user's locale and time zone.
void DataPage::showDates(const PlayerFacts& facts) {
    setCell(m_misc, 2, 1, ServiceTimeText(facts.asOf));
    setCell(m_misc, 3, 1, ServiceTimeText(facts.joined));
    setCell(m_misc, 4, 1, ServiceTimeText(facts.lastBattle));
}

void DataPage::resetRowCaptions() {
    writeCaptions(m_weapons, WeaponNames);
    writeCaptions(m_kits, KitNames);
    writeCaptions(m_vehicles, VehicleNames);
    writeCaptions(m_maps, MapNames);
    writeCaptions(m_army, ArmyNames);
}

void DataPage::resetMaps() {
    fillStrings(m_maps, vocabularyRows(MapNames, Zeros5), 1);
}

void DataPage::resetTables() {
    fillStrings(m_army, vocabularyRows(ArmyNames, Zeros5), 1);
    fillStrings(m_kits, vocabularyRows(KitNames, Zeros5.mid(0, 4)), 1);
    fillStrings(m_weapons, vocabularyRows(WeaponNames, Zeros5), 1);
    fillStrings(m_vehicles, vocabularyRows(VehicleNames, Zeros5), 1);
    fillStrings(m_misc, miscRows(), 1);
}

void DataPage::setCompact(bool compact) {
    m_scroll->setVerticalScrollBarPolicy(compact ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded);
}

void DataPage::miscDoubleClicked(QTreeWidgetItem* item) {
    const int row = m_misc->indexOfTopLevelItem(item);
    if (row < FirstPlayerRow || row > LastPlayerRow || cell(m_misc, FirstPlayerRow, 1) == QLatin1String("-"))
        return;
    // The whole nickname, clan tag and blanks included.
    const QByteArray nick = miscNickname(ToWin1252(item->text(1)));
    if (!nick.isEmpty())
        emit playerRequested(nick);
}
