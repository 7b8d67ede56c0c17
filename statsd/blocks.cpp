#include "blocks.h"

#include "catalogue.h"

#include <numeric>

namespace blocks {
namespace {

std::vector<int> range(int count) {
    std::vector<int> ids(static_cast<std::size_t>(count));
    std::iota(ids.begin(), ids.end(), 0);
    return ids;
}

bool isUnlocks(const Block& block) {
    return block.columns.size() == 1 && std::string(block.columns[0]) == "state";
}

// How the view shows a stored value.
std::string shown(const Block& block, int id, const char* figure) {
    const std::string c = column(block, id, figure);
    return isUnlocks(block) ? "CASE " + c + " WHEN 1 THEN 's' ELSE 'n' END" : c;
}

// How a value written to the view is stored.
std::string stored(const Block& block, const char* figure) {
    return isUnlocks(block) ? std::string("(NEW.state = 's')") : std::string("NEW.") + figure;
}

std::string viewSql(const Block& block) {
    std::string sql = "CREATE VIEW " + std::string(block.view) + " AS\n";
    for (std::size_t i = 0; i < block.ids.size(); ++i) {
        const int id = block.ids[i];
        sql += i == 0 ? "    SELECT " : "    UNION ALL SELECT ";
        sql += "pid, " + std::to_string(id) + " AS id";
        for (const char* figure : block.columns) {
            sql += ", " + shown(block, id, figure) + " AS " + figure;
        }
        sql += " FROM figures\n";
    }
    return sql + ";\n";
}

// Changing (or adding) one item of a view changes that item's columns of the player's row.
std::string setItemSql(const Block& block) {
    std::string sql = "UPDATE figures SET ";
    bool first = true;
    for (const int id : block.ids) {
        for (const char* figure : block.columns) {
            const std::string c = column(block, id, figure);
            sql += first ? "" : ", ";
            sql += c + " = CASE WHEN NEW.id = " + std::to_string(id) + " THEN " + stored(block, figure) + " ELSE " + c +
                   " END";
            first = false;
        }
    }
    return sql + " WHERE pid = NEW.pid;\n";
}

std::string triggersSql(const Block& block) {
    const std::string view = block.view;
    return "CREATE TRIGGER " + view + "_update INSTEAD OF UPDATE ON " + view + " BEGIN\n" + setItemSql(block) +
           "END;\n" + "CREATE TRIGGER " + view + "_insert INSTEAD OF INSERT ON " + view + " BEGIN\n" +
           "INSERT OR IGNORE INTO figures (pid) VALUES (NEW.pid);\n" + setItemSql(block) + "END;\n";
}

} // namespace

const Block& weapons() {
    static const Block b{"weapons", "w", {"time", "kills", "deaths", "fired", "hits"}, range(catalogue::WeaponCount)};
    return b;
}
const Block& vehicles() {
    static const Block b{"vehicles", "v", {"time", "kills", "deaths", "roadkills"}, range(catalogue::VehicleCount)};
    return b;
}
const Block& armies() {
    static const Block b{"armies", "a", {"time", "wins", "losses", "best"}, range(catalogue::ArmyCount)};
    return b;
}
const Block& kits() {
    static const Block b{"kits", "k", {"time", "kills", "deaths"}, range(catalogue::KitCount)};
    return b;
}
const Block& maps() {
    static const Block b{
        "maps", "m", {"time", "wins", "losses"}, std::vector<int>(catalogue::MapIds.begin(), catalogue::MapIds.end())};
    return b;
}
const Block& unlocks() {
    static const Block b{
        "unlocks", "u", {"state"}, std::vector<int>(catalogue::UnlockIds.begin(), catalogue::UnlockIds.end())};
    return b;
}

const std::vector<Block>& all() {
    static const std::vector<Block> list = {weapons(), vehicles(), armies(), kits(), maps(), unlocks()};
    return list;
}

std::string column(const Block& block, int id, const char* figure) {
    std::string c = block.key + std::to_string(id);
    if (!isUnlocks(block)) {
        c += '_';
        c += figure;
    }
    return c;
}

std::string tableSql() {
    std::string sql = "CREATE TABLE figures (\n    pid INTEGER PRIMARY KEY REFERENCES players (pid)";
    for (const Block& block : all()) {
        for (const int id : block.ids) {
            for (const char* figure : block.columns) {
                sql += ",\n    " + column(block, id, figure) + " INTEGER NOT NULL DEFAULT 0";
            }
        }
    }
    return sql + ");\n";
}

std::string viewsSql() {
    std::string sql;
    for (const Block& block : all()) {
        sql += viewSql(block) + triggersSql(block);
    }
    return sql;
}

std::string schemaSql() {
    return tableSql() + viewsSql();
}

std::string fromItemTablesSql() {
    std::string columns = "pid";
    std::string values = "p.pid";
    for (const Block& block : all()) {
        for (const int id : block.ids) {
            for (const char* figure : block.columns) {
                columns += ", " + column(block, id, figure);
                const std::string value = std::string("(SELECT ") + figure + " FROM " + block.view +
                                          " x WHERE x.pid = p.pid AND x.id = " + std::to_string(id) + ")";
                values += ", coalesce(" + (isUnlocks(block) ? "(" + value + " = 's')" : value) + ", 0)";
            }
        }
    }
    std::string sql = "INSERT INTO figures (" + columns + ") SELECT " + values + " FROM players p;\n";
    for (const Block& block : all()) {
        sql += std::string("DROP TABLE ") + block.view + ";\n";
    }
    return sql;
}

} // namespace blocks
