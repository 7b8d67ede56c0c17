#include "stats/statistics_pages.h"

#include "service/text_codec.h"
#include "stats/vocabulary.h"
#include "tables/report_list.h"

#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QTreeWidget>

namespace StatisticsPages {
namespace {

constexpr int RowHeight = 21;
constexpr int FirstRow = 26;

struct Row {
    const char* caption; // nullptr: a divider
    const char* value;
    const char* initial = "0";
};

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

// Caption at the left, value right-aligned on the same line; `Wins/Losses` reads on from its caption.
void buildValueGroup(QWidget* group, std::initializer_list<Row> rows) {
    int y = FirstRow;
    for (const Row& row : rows) {
        if (!row.caption) {
            addDivider(group, y + 2);
            y += 7;
            continue;
        }
        const QString valueName = QString::fromLatin1(row.value);
        QLabel* caption =
            addLabel(group, QString::fromLatin1(row.caption), QStringLiteral("Lc_") + valueName.mid(3), "caption");
        caption->setGeometry(10, y, 130, 18);
        QLabel* value = addLabel(group, QString::fromLatin1(row.initial), valueName, "value");
        if (valueName == QLatin1String("La_Winslosses")) {
            caption->adjustSize();
            caption->setFixedHeight(18);
            value->setGeometry(10 + caption->width() + 6, y, group->width() - 26 - caption->width(), 18);
            value->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        } else {
            value->setGeometry(group->width() - 10 - 120, y, 120, 18);
            value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        }
        caption->setBuddy(value);
        value->setAccessibleName(QString::fromLatin1(row.caption).trimmed());
        y += RowHeight;
    }
}

struct FavouriteRow {
    FavouriteCategory category;
    const char* label;
    const char* initial;
    const char* overlay;
};

constexpr FavouriteRow FavouriteRows[] = {
    {FavouriteCategory::Weapon, "La_favweapon", "Weaponname", "Im_favalpha1"},
    {FavouriteCategory::Vehicle, "La_favvehicle", "Vehiclename", "Im_favalpha2"},
    {FavouriteCategory::Kit, "La_favkit", "Kitname", "Im_favalpha3"},
    {FavouriteCategory::Map, "La_favmap", "Mapname", "Im_favalpha4"},
};

// The lit band over the upper part of a favourite picture.
QPixmap overlayPixmap() {
    QPixmap band(43, 19);
    band.fill(QColor(233, 236, 237, 69));
    return band;
}

void buildFavourites(QWidget* group) {
    static const char* const rowNames[] = {"Pa_favweapon", "Pa_favvehicle", "Pa_favkit", "Pa_favmap"};
    int y = FirstRow;
    for (size_t i = 0; i < std::size(FavouriteRows); ++i) {
        const FavouriteRow& row = FavouriteRows[i];
        auto* panel = new QWidget(group);
        panel->setObjectName(QLatin1String(rowNames[i]));
        panel->setGeometry(8, y, group->width() - 16, 57);

        // Drawing order, bottom to top: placeholder, the set's pictures, divider, name, overlay.
        auto* placeholder = new QLabel(panel);
        placeholder->setObjectName(QStringLiteral("Im_favplaceholder%1").arg(i + 1));
        placeholder->setGeometry(4, 6, 45, 45);
        placeholder->setPixmap(QPixmap(QLatin1String(FavouritePlaceholder)));
        for (const FavouritePicture& picture : favouriteSet(row.category).pictures) {
            auto* image = new QLabel(panel);
            image->setObjectName(QLatin1String(picture.objectName));
            image->setGeometry(4, 6, 45, 45);
            image->setPixmap(QPixmap(QLatin1String(picture.resource)));
            image->setToolTip(QString::fromLatin1(picture.name));
            image->setAccessibleName(QString::fromLatin1(picture.name));
            image->hide();
        }
        auto* divider = new QFrame(panel);
        divider->setProperty("role", "vdivider");
        divider->setGeometry(56, 8, 1, 41);
        QLabel* name = addLabel(panel, QString::fromLatin1(row.initial), QLatin1String(row.label), "value");
        name->setGeometry(64, 6, panel->width() - 66, 45);
        name->setWordWrap(true);
        auto* overlay = new QLabel(panel);
        overlay->setObjectName(QLatin1String(row.overlay));
        overlay->setGeometry(5, 7, 43, 19);
        overlay->setPixmap(overlayPixmap());
        y += 62;
    }
}

template <typename T> T* child(QWidget* root, const char* name) {
    return root->findChild<T*>(QLatin1String(name));
}

void showRows(QWidget* root, const char* listName, const TableCells& rows) {
    auto* list = child<QTreeWidget>(root, listName);
    if (!list)
        return;
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            setCell(list, r, c + 1, FromWin1252(rows[r][c]));
}

} // namespace

void buildOverviewGroups(QWidget* favourites, QWidget* scores, QWidget* teamwork, QWidget* combat) {
    buildFavourites(favourites);
    buildValueGroup(scores, {
                                {"EA Score", "La_EAScore"},
                                {nullptr, nullptr},
                                {"Global", "La_Globalpoints"},
                                {"Team", "La_Teampoints"},
                                {"Combat", "La_Combatpoints"},
                                {"Commander", "La_Commanderpoints"},
                                {nullptr, nullptr},
                                {"Commander", "La_timecommander"},
                                {"Squad Leader", "La_timesleader"},
                                {"Squad Member", "La_timesmember"},
                                {"Lone Wolf", "La_timelone"},
                                {"Total", "La_timetotal"},
                            });
    buildValueGroup(teamwork, {
                                  {"Wins/Losses", "La_Winslosses", "0/0 (0,00)"},
                                  {nullptr, nullptr},
                                  {"Captured CP", "La_captcp"},
                                  {"Capture Assist", "La_captass"},
                                  {"Defended CP", "La_captdef"},
                                  {nullptr, nullptr},
                                  {"Kill Assist ", "La_killass"},
                                  {"Heal", "La_heal"},
                                  {"Revive", "La_revive"},
                                  {"Support", "La_support"},
                                  {"Repair", "La_repair"},
                                  {"Driver", "La_driver"},
                              });
    buildValueGroup(combat, {
                                {"Accuracy", "La_accuracy"},
                                {"SPM", "La_SPM"},
                                {"Suicides", "La_suicides"},
                                {"K/D Ratio", "La_kdratio"},
                                {nullptr, nullptr},
                                {"Kills Total", "La_killstotal"},
                                {"Kills Per Minute ", "La_killsmin"},
                                {"Kills Per Round ", "La_killsround"},
                                {nullptr, nullptr},
                                {"Death Total", "La_deathstotal"},
                                {"Deaths Per Minute ", "La_deathsmin"},
                                {"Death Per Round ", "La_deathsround"},
                            });
}

void showOverview(QWidget* root, const OverviewValues& values) {
    for (const FavouriteSet& set : FavouritePictures)
        for (const FavouritePicture& picture : set.pictures)
            if (auto* image = child<QLabel>(root, picture.objectName))
                image->hide();
    for (size_t i = 0; i < values.favourites.size() && i < std::size(FavouriteRows); ++i) {
        const FavouriteValue& favourite = values.favourites[i];
        const QString name = FromWin1252(favourite.name);
        if (favourite.picture)
            if (auto* image = child<QLabel>(root, favourite.picture->objectName))
                image->show();
        if (auto* label = child<QLabel>(root, FavouriteRows[i].label))
            label->setText(name);
        if (auto* overlay = child<QLabel>(root, FavouriteRows[i].overlay)) {
            overlay->setToolTip(name);
            overlay->setAccessibleName(name);
        }
    }
    for (const LabelValue& value : values.labels)
        if (auto* label = child<QLabel>(root, value.objectName))
            label->setText(FromWin1252(value.text));
}

void showDataTables(QWidget* root, const DataValues& values) {
    showRows(root, "LV_Army", values.army);
    showRows(root, "Lv_kits", values.kits);
    showRows(root, "Lv_weapons", values.weapons);
    showRows(root, "LV_Vehicle", values.vehicles);
    if (auto* misc = child<QTreeWidget>(root, "LV_misc"))
        for (const MiscValue& value : values.misc)
            setCell(misc, value.row, 1, FromWin1252(value.text));
}

void showMaps(QWidget* root, const TableCells& rows) {
    showRows(root, "LV_Maps", rows);
}

void showRank(QWidget* root, const RankValues& values) {
    if (auto* score = child<QLabel>(root, "La_EAScore"))
        score->setText(FromWin1252(values.eaScore));
    if (auto* misc = child<QTreeWidget>(root, "LV_misc"))
        setCell(misc, 1, 1, FromWin1252(values.country));
    if (auto* picture = child<QLabel>(root, "Im_rank")) {
        picture->clear();
        if (values.insignia)
            picture->setPixmap(QPixmap(QLatin1String(values.insignia)));
        picture->setAccessibleName(FromWin1252(values.rankName));
        picture->setToolTip(FromWin1252(values.rankName));
    }
    if (auto* line = child<QLabel>(root, "La_Nickrank"))
        line->setText(FromWin1252(values.nameLine));
}

} // namespace StatisticsPages
