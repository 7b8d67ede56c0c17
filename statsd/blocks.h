#pragma once

#include <string>
#include <vector>

// The per-item figures of a player (weapons, vehicles, armies, kits, maps, unlocks) are stored as one
// row per player in the table figures, one column per item and figure ("w3_kills", "m601_time",
// "u44"): a million players then take a million rows instead of eighty million. Views with the
// familiar shape (weapons: pid, id, time, kills, deaths, fired, hits; ...) read and, through their
// triggers, change them one item at a time.
namespace blocks {

struct Block {
    const char* view;                 // "weapons"
    const char* key;                  // column prefix in figures: "w"
    std::vector<const char*> columns; // figures of each item, in view order
    std::vector<int> ids;             // the items
};

const std::vector<Block>& all();
const Block& weapons();
const Block& vehicles();
const Block& armies();
const Block& kits();
const Block& maps();
const Block& unlocks(); // one column per unlock: 1 chosen ("s"), 0 not ("n")

// Column of figures that holds one figure of one item ("w3_kills"; "u44" for an unlock).
std::string column(const Block& block, int id, const char* figure);

// The figures table, the views and their triggers.
std::string schemaSql();
std::string tableSql();
std::string viewsSql();
// Fills figures from tables of one row per item (as files of the first schema have them), then
// drops those tables; the views take their names afterwards.
std::string fromItemTablesSql();

} // namespace blocks
