#pragma once

#include <QByteArrayView>
#include <array>
#include <span>

// The program's names for what the statistics service only numbers. Plain data, no state.

// One row of a Data page table. The row index is the position in its list; `slot` is the index of
// the row's value inside each block of the reply (the vehicle table skips class 5, the map table
// skips slot 11).
struct VocabularyEntry {
    const char* name;        // written into the table at every lookup
    const char* initialName; // the caption the row carries before the first lookup
    int slot;
};

extern const std::array<VocabularyEntry, 14> WeaponNames;
extern const std::array<VocabularyEntry, 7> KitNames;
extern const std::array<VocabularyEntry, 6> VehicleNames;
extern const std::array<VocabularyEntry, 9> ArmyNames;
extern const std::array<VocabularyEntry, 21> MapNames;

// Favourite pictures: one set per category, each picture named by the set's prefix and its id.
enum class FavouriteCategory { Weapon, Vehicle, Kit, Map };

struct FavouritePicture {
    int id;
    const char* name;       // tooltip and favourites label, as written (differs from the table names)
    const char* objectName; // the picture control: prefix and id, "Im_wea_11"
    const char* resource;   // ":/art/fav/Im_wea_11.png"
};

struct FavouriteSet {
    FavouriteCategory category;
    const char* prefix; // "Im_wea_", "Im_veh_", "Im_kit_", "Im_map_"
    std::span<const FavouritePicture> pictures;
};

// In the order of the favourites group: weapon, vehicle, kit, map.
extern const std::array<FavouriteSet, 4> FavouritePictures;

const FavouriteSet& favouriteSet(FavouriteCategory category);

// The picture whose id is the decimal text `idToken` ("11", not "011" nor " 11"), or nullptr.
const FavouritePicture* findFavourite(FavouriteCategory category, QByteArrayView idToken);

// The neutral picture shown under every favourite row.
inline constexpr const char* FavouritePlaceholder = ":/art/fav/placeholder.png";

// Ranks 0 to 21 with their insignia; rank 0 has none.
inline constexpr int HighestRank = 21;

struct RankEntry {
    const char* name;
    const char* insignia; // resource path, nullptr for rank 0
};

extern const std::array<RankEntry, HighestRank + 1> RankNames;
