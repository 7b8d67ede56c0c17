#pragma once

#include "stats/data_reader.h"
#include "stats/overview_reader.h"
#include "stats/rank_reader.h"

class QWidget;

// The widgets of the statistics pages and how the readers' values are shown on them. Every show
// function writes only what its value holds and finds its widgets by object name under `root`.
namespace StatisticsPages {

// Fills the four upper group boxes of the Overview page: favourites, scores, teamwork, combat.
void buildOverviewGroups(QWidget* favourites, QWidget* scores, QWidget* teamwork, QWidget* combat);

void showOverview(QWidget* root, const OverviewValues& values);
void showDataTables(QWidget* root, const DataValues& values);
void showMaps(QWidget* root, const TableCells& rows);
void showRank(QWidget* root, const RankValues& values);

} // namespace StatisticsPages
