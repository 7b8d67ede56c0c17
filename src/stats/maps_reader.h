#pragma once

#include "service/service_reply.h"
#include "stats/data_reader.h"

#include <optional>

// The maps table from the maps reply.

inline constexpr int MapsHighestPosition = 142;

// 21 rows in map order: Time, Wins, Losses, Ratio, Best Round ("n/a": the service sends none).
std::optional<TableCells> readMaps(const ServiceReply& reply);
