#pragma once

#include "stats/data_reader.h"
#include "stats/player_progress.h"

#include <QByteArray>
#include <QWidget>

class QScrollArea;
class QTreeWidget;
class QTreeWidgetItem;

// The object names of the Data page, shared with the tests.
namespace DataNames {
inline constexpr char Page[] = "TS_Data";
inline constexpr char Scroll[] = "SB_data";
inline constexpr char Maps[] = "LV_Maps";
inline constexpr char Vehicles[] = "LV_Vehicle";
inline constexpr char Misc[] = "LV_misc";
inline constexpr char Army[] = "LV_Army";
inline constexpr char Kits[] = "Lv_kits";
inline constexpr char Weapons[] = "Lv_weapons";
} // namespace DataNames

// The Data page: the maps, vehicle, misc, army, kit and weapon tables in a scrolling area.
class DataPage final : public QWidget {
    Q_OBJECT

public:
    explicit DataPage(QWidget* parent);

    void showTables(const DataValues& values);
    void showMaps(const TableCells& rows);
    void showCountry(const QByteArray& country);
    void showDates(const PlayerFacts& facts);
    // The row names as every lookup writes them (they differ from the first captions in places).
    void resetRowCaptions();
    // A table back to its state before the first lookup.
    void resetMaps();
    void resetTables(); // all but the maps
    // Small screens: the scroll bar stays shown.
    void setCompact(bool compact);

    QTreeWidget* maps() const { return m_maps; }
    QTreeWidget* vehicles() const { return m_vehicles; }
    QTreeWidget* misc() const { return m_misc; }
    QTreeWidget* army() const { return m_army; }
    QTreeWidget* kits() const { return m_kits; }
    QTreeWidget* weapons() const { return m_weapons; }

signals:
    // A double click on the misc rows that name a player: the nickname to look up.
    void playerRequested(const QByteArray& nick);

private:
    void miscDoubleClicked(QTreeWidgetItem* item);

    QScrollArea* m_scroll = nullptr;
    QTreeWidget* m_maps = nullptr;
    QTreeWidget* m_vehicles = nullptr;
    QTreeWidget* m_misc = nullptr;
    QTreeWidget* m_army = nullptr;
    QTreeWidget* m_kits = nullptr;
    QTreeWidget* m_weapons = nullptr;
};
