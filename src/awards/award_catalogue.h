#pragma once

#include <QString>
#include <array>

// The program's fixed knowledge of the game's awards and unlocks: ids as the statistics service
// reports them, names as shown, the panel each is drawn on, and the requirement texts of the
// description panels. Everything here is constant data; texts are shown exactly as written,
// doubled and trailing blanks included.
namespace Awards {

enum class Kind { Badge, Medal, Ribbon };
// Each award page and the unlocks page have a main-game panel at the top and a special-forces
// panel below it.
enum class Panel { Bf2, SpecialForces };

inline constexpr int BadgeCount = 31;
inline constexpr int MedalCount = 27;
inline constexpr int RibbonCount = 28;
inline constexpr int BadgeLevels = 4; // 0 not earned, 1 basic, 2 veteran, 3 expert
inline constexpr int BadgeRows = BadgeCount * BadgeLevels;
inline constexpr int BadgeSlots = 3; // requirement texts per row
inline constexpr int MedalSlots = 4;
inline constexpr int RibbonSlots = 4;
inline constexpr int UnlockCount = 12;

struct Badge {
    const char* id; // "1031105"
    Panel panel;
    std::array<const char*, BadgeLevels> names; // by level
};

// A medal or a ribbon; its position in its table is its requirement row.
struct Decoration {
    const char* id;
    const char* name;
    const char* notEarnedName; // object name of the not-earned picture ("Image29")
    Panel panel;
    std::array<const char*, 4> requirements; // "" where a slot has no text
};

extern const std::array<Badge, BadgeCount> Badges;
extern const std::array<Decoration, MedalCount> Medals;
extern const std::array<Decoration, RibbonCount> Ribbons;

// Requirement row of a badge level (badge counted from 0).
constexpr int badgeRow(int badge, int level) {
    return BadgeLevels * badge + level;
}

// The requirement tables: slot counts from 1; a slot without text, or one outside the table, is "".
const char* badgeRequirement(int row, int slot);
const char* medalRequirement(int row, int slot);
const char* ribbonRequirement(int row, int slot);

// The panel captions of the three award pages.
const char* panelCaption(Kind kind, Panel panel);

struct Unlock {
    const char* id;            // "11"
    const char* name;          // the weapon, also the tooltip
    const char* notEarnedName; // object name of the not-unlocked picture ("Image56")
    Panel panel;
    int x, y; // within the panel
    int width;
    int notEarnedWidth; // the not-unlocked picture's width (the height is 49 for both)
};
extern const std::array<Unlock, UnlockCount> Unlocks;
inline constexpr const char* UnlockPanelCaptions[2] = {"Bf2 - Unlocks", "Bf2 - Special Forces"};

// The embedded pictures (":/art/..."), drawn by the art generator under the same names.
QString badgePicture(int badge, int level);
QString medalPicture(int medal, bool earned);
QString ribbonPicture(int ribbon, bool earned);
QString unlockPicture(int unlock, bool unlocked);
// The four bullets of the description panels: check mark, cross, arrow, copy symbol.
QString statusIcon(int index);
inline constexpr int ArrowIcon = 2;

} // namespace Awards
