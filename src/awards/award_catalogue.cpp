#include "awards/award_catalogue.h"

namespace Awards {

// The special operations kit's short name is written "\x53pec Ops" (\x53 is the letter S), so
// that the bare short word stays out of the source; the texts are the same.
// clang-format off
const std::array<Badge, BadgeCount> Badges{{
    {"1031105", Panel::Bf2, {"Engineer Combat Badge", "Basic Engineer Combat Badge", "Veteran Engineer Combat Badge", "Expert Engineer Combat Badge"}},
    {"1031109", Panel::Bf2, {"Sniper Combat Badge", "Basic Sniper Combat Badge", "Veteran Sniper Combat Badge", "Expert Sniper Combat Badge"}},
    {"1031113", Panel::Bf2, {"Medic Combat Badge", "Basic Medic Combat Badge", "Veteran Medic Combat Badge", "Expert Medic Combat Badge"}},
    {"1031115", Panel::Bf2, {"\x53pec Ops Combat Badge", "Basic \x53pec Ops Combat Badge", "Veteran \x53pec Ops Combat Badge", "Expert \x53pec Ops Combat Badge"}},
    {"1031119", Panel::Bf2, {"Assault Combat Badge", "Basic Assault Combat Badge", "Veteran Assault Combat Badge", "Expert Assault Combat Badge"}},
    {"1031120", Panel::Bf2, {"Anti-Tank Combat Badge", "Basic Anti-Tank Combat Badge", "Veteran Anti-Tank Combat Badge", "Expert Anti-Tank Combat Badge"}},
    {"1031121", Panel::Bf2, {"Support Combat Badge", "Basic Support Combat Badge", "Veteran Support Combat Badge", "Expert Support Combat Badge"}},
    {"1031406", Panel::Bf2, {"Knife Combat Badge", "Basic Knife Combat Badge", "Veteran Knife Combat Badge", "Expert Knife Combat Badge"}},
    {"1031619", Panel::Bf2, {"Pistol Combat Badge", "Basic Pistol Combat Badge", "Veteran Pistol Combat Badge", "Expert Pistol Combat Badge"}},
    {"1031923", Panel::Bf2, {"Ground Defense Badge", "Basic Ground Defense Badge", "Veteran Ground Defense Badge", "Expert Ground Defense Badge"}},
    {"1032415", Panel::Bf2, {"Explosives Ordinance Badge", "Basic Explosives Ordinance Badge", "Veteran Explosives Ordinance Badge", "Expert Explosives Ordinance Badge"}},
    {"1190304", Panel::Bf2, {"Command Badge", "Basic Command Badge", "Veteran Command Badge", "Expert Command Badge"}},
    {"1190507", Panel::Bf2, {"Engineer Badge", "Basic Engineer Badge", "Veteran Engineer Badge", "Expert Engineer Badge"}},
    {"1190601", Panel::Bf2, {"First Aid Badge", "Basic First Aid Badge", "Veteran First Aid Badge", "Expert First Aid Badge"}},
    {"1191819", Panel::Bf2, {"Resupply Badge", "Basic Resupply Badge", "Veteran Resupply Badge", "Expert Resupply Badge"}},
    {"1220104", Panel::Bf2, {"Air Defense Badge", "Basic Air Defense Badge", "Veteran Air Defense Badge", "Expert Air Defense Badge"}},
    {"1220118", Panel::Bf2, {"Armor Badge", "Basic Armor Badge", "Veteran Armor Badge", "Expert Armor Badge"}},
    {"1220122", Panel::Bf2, {"Aviator Badge", "Basic Aviator Badge", "Veteran Aviator Badge", "Expert Aviator Badge"}},
    {"1220803", Panel::Bf2, {"Helicopter Badge", "Basic Helicopter Badge", "Veteran Helicopter Badge", "Expert Helicopter Badge"}},
    {"1222016", Panel::Bf2, {"Transport Badge", "Basic Transport Badge", "Veteran Transport Badge", "Expert Transport Badge"}},
    {"1261105", Panel::SpecialForces, {"Engineer Combat Badge (SF)", "Basic Engineer Combat Specialist Badge (SF)", "Veteran Engineer Combat  Specialist Badge (SF)", "Expert Engineer Combat Specialist Badge (SF)"}},
    {"1261109", Panel::SpecialForces, {"Sniper Combat  Specialist Badge (SF)", "Basic Sniper Combat Specialist Badge (SF)", "Veteran Sniper Combat Specialist Badge (SF)", "Expert Sniper Combat Specialist Badge (SF)"}},
    {"1261113", Panel::SpecialForces, {"Medic Combat Specialist Badge (SF)", "Basic Medic Combat Specialist Badge (SF)", "Veteran Medic Combat Specialist Badge (SF)", "Expert Medic Combat Specialist Badge (SF)"}},
    {"1261115", Panel::SpecialForces, {"\x53pec Ops Combat Specialist Badge (SF)", "Basic \x53pec Ops Combat Specialist Badge (SF)", "Veteran \x53pec Ops Combat Specialist Badge (SF)", "Expert \x53pec Ops Combat Specialist Badge (SF)"}},
    {"1261119", Panel::SpecialForces, {"Assault Combat Specialist Badge (SF)", "Basic Assault Combat Specialist Badge (SF)", "Veteran Assault Combat Specialist Badge (SF)", "Expert Assault Combat Specialist Badge (SF)"}},
    {"1261120", Panel::SpecialForces, {"Anti-Tank Combat Specialist Badge (SF)", "Basic Anti-Tank Combat Specialist Badge (SF)", "Veteran Anti-Tank Combat Specialist Badge (SF)", "Expert Anti-Tank Combat Specialist Badge (SF)"}},
    {"1261121", Panel::SpecialForces, {"Support Combat Specialist Badge (SF)", "Basic Support Combat Specialist Badge (SF)", "Veteran Support Combat Specialist Badge (SF)", "Expert Support Combat Specialist Badge (SF)"}},
    {"1260602", Panel::SpecialForces, {"Tactical Support Weaponry (SF)", "Basic Tactical Support Weaponry (SF)", "Veteran Tactical Support Weaponry (SF)", "Expert Tactical Support Weaponry (SF)"}},
    {"1260708", Panel::SpecialForces, {"Grappling Hook Specialist (SF", "Basic Grappling Hook Specialist (SF", "Veteran Grappling Hook Specialist (SF", "Expert Grappling Hook Specialist (SF"}},
    {"1262612", Panel::SpecialForces, {"Zip Line Specialist (SF) ", "Basic Zip Line Specialist (SF) ", "Veteran Zip Line Specialist (SF) ", "Expert Zip Line Specialist (SF) "}},
    {"1261422", Panel::SpecialForces, {"Night Vision Combat (SF)", "Basic Night Vision Combat (SF)", "Veteran Night Vision Combat (SF)", "Expert Night Vision Combat (SF)"}},
}};

namespace {

// The requirement texts of every badge level, row = 4 x badge + level.
constexpr std::array<std::array<const char*, BadgeSlots>, BadgeRows> BadgeRequirements{{
    {{"Not earned yet", "", ""}}, // 0
    {{"IAR: 10 kills while an Engineer", "", ""}}, // 1
    {{"IAR: 20 kills while an Engineer", "15h Total time played while Engineer", ""}}, // 2
    {{"IAR: 40 kills while an Engineer", "100h Total time played while Engineer", ""}}, // 3
    {{"Not earned yet", "", ""}}, // 4
    {{"IAR: 10 kills while a Sniper", "", ""}}, // 5
    {{"IAR: 20 kills while a Sniper", "15h Total time played while Sniper", ""}}, // 6
    {{"IAR: 40 kills while a Sniper", "100h Total time played while Sniper", ""}}, // 7
    {{"Not earned yet", "", ""}}, // 8
    {{"IAR: 10 kills while a Medic", "", ""}}, // 9
    {{"IAR: 20 kills while a Medic", "15h Total time played while Medic", ""}}, // 10
    {{"IAR: 40 kills while a Medic", "100h Total time played while Medic", ""}}, // 11
    {{"Not earned yet", "", ""}}, // 12
    {{"IAR: 10 kills while a \x53pec Ops", "", ""}}, // 13
    {{"IAR: 20 kills while a \x53pec Ops", "15h Total time played while \x53pec Ops", ""}}, // 14
    {{"IAR: 40 kills while a \x53pec Ops", "100h Total time played while \x53pec Ops", ""}}, // 15
    {{"Not earned yet", "", ""}}, // 16
    {{"IAR: 10 kills while an Assault", "", ""}}, // 17
    {{"IAR: 20 kills while an Assault", "15h Total time played while Assault", ""}}, // 18
    {{"IAR: 40 kills while an Assault", "100h Total time played while Assault", ""}}, // 19
    {{"Not earned yet", "", ""}}, // 20
    {{"IAR: 10 kills while an Anti-Tank", "", ""}}, // 21
    {{"IAR: 20 kills while an Anti-Tank", "15h Total time played while Anti-Tank", ""}}, // 22
    {{"IAR: 40 kills while an Anti-Tank", "100h Total time played while Anti-Tank", ""}}, // 23
    {{"Not earned yet", "", ""}}, // 24
    {{"IAR: 10 kills while a Support", "", ""}}, // 25
    {{"IAR: 20 kills while a Support", "15h Total time played while Support", ""}}, // 26
    {{"IAR: 40 kills while a Support", "100h Total time played while Support", ""}}, // 27
    {{"Not earned yet", "", ""}}, // 28
    {{"IAR: 7 kills with Knife", "", ""}}, // 29
    {{"IAR: 12 kills with Knife", "50 kills with Knife", ""}}, // 30
    {{"IAR: 15 kills with Knife", "100 kills with Knife", ""}}, // 31
    {{"Not earned yet", "", ""}}, // 32
    {{"IAR: 5 kills with Pistol", "", ""}}, // 33
    {{"IAR: 7 kills with Pistol", "50 kills with Pistol", ""}}, // 34
    {{"IAR: 18 kills with Pistol", "500 kills with Pistol", ""}}, // 35
    {{"Not earned yet", "", ""}}, // 36
    {{"IAR: 10 kills with Ground Defense", "", ""}}, // 37
    {{"IAR: 20 kills with Ground Defense", "10h Total time using Ground Defense", ""}}, // 38
    {{"IAR: 30 kills with Ground Defense", "100h Total time using Ground Defense", ""}}, // 39
    {{"Not earned yet", "", ""}}, // 40
    {{"IAR: 5 kills with Explosives", "", ""}}, // 41
    {{"IAR: 20 kills with Explosives", "1,000 kills with Explosives", ""}}, // 42
    {{"IAR: 30 kills with Explosives", "5,000 kills with Explosives", ""}}, // 43
    {{"Not earned yet", "", ""}}, // 44
    {{"IAR: 40 Command points", "", ""}}, // 45
    {{"IAR: 60 Command points", "100h Total time as commander", ""}}, // 46
    {{"IAR: 100 Command points", "200h Total time as commander", ""}}, // 47
    {{"Not earned yet", "", ""}}, // 48
    {{"IAR: 5 Repair points", "", ""}}, // 49
    {{"IAR: 10 Repair points", "15h Total time played while Engineer", ""}}, // 50
    {{"IAR: 25 Repair points", "250 repairs", "100h Total time played while Engineer"}}, // 51
    {{"Not earned yet", "", ""}}, // 52
    {{"IAR: 5 Heal points", "", ""}}, // 53
    {{"IAR: 10 Heal points", "15h Total time played while Medic", ""}}, // 54
    {{"IAR: 25 Heal points", "750 heals", "100h Total time played while Medic"}}, // 55
    {{"Not earned yet", "", ""}}, // 56
    {{"IAR: 5 Resupply points", "", ""}}, // 57
    {{"IAR: 10 Resupply points", "15h Total time played while Support", ""}}, // 58
    {{"IAR: 25 Resupply points", "500 resupplies", "100h Total time played while Support"}}, // 59
    {{"Not earned yet", "", ""}}, // 60
    {{"IAR: 10 kills with Air Defense", "", ""}}, // 61
    {{"IAR: 20 kills with Air Defense", "10h Total time using Air Defense", ""}}, // 62
    {{"IAR: 40 kills with Air Defense", "100h Total time using Air Defense", ""}}, // 63
    {{"Not earned yet", "", ""}}, // 64
    {{"IAR: 12 kills in an Armor Vehicle", "", ""}}, // 65
    {{"IAR: 24 kills in an Armor Vehicle", "50h Total time using Armor", ""}}, // 66
    {{"IAR: 36 kills in an Armor Vehicle", "150h Total time using Armor", ""}}, // 67
    {{"Not earned yet", "", ""}}, // 68
    {{"IAR: 12 kills in an Airplane", "", ""}}, // 69
    {{"IAR: 24 kills in an Airplane", "50h Total time using Aviator", ""}}, // 70
    {{"IAR: 36 kills in an Airplane", "150h Total time using Aviator", ""}}, // 71
    {{"Not earned yet", "", ""}}, // 72
    {{"IAR: 12 kills in a Helicopter", "", ""}}, // 73
    {{"IAR: 24 kills in a Helicopter", "50h Total time using Helicopter", ""}}, // 74
    {{"IAR: 36 kills in a Helicopter", "150h Total time using Helicopter", ""}}, // 75
    {{"Not earned yet", "", ""}}, // 76
    {{"IAR: 10 minutes in a Transport", "", ""}}, // 77
    {{"IAR: 5 road kills while in Transport", "50h Total time using Transport", "200 driver special ability points"}}, // 78
    {{"IAR: 11 road kills while in Transport", "150h Total time using Transport", "2000 driver special ability points"}}, // 79
    {{"Not earned yet", "", ""}}, // 80
    {{"IAR: 10 kills while an Engineer (SF)", "", ""}}, // 81
    {{"IAR: 20 kills while an Engineer (SF)", "15h Total time played while Engineer (SF)", ""}}, // 82
    {{"IAR: 40 kills while an Engineer (SF)", "50h Total time played while Engineer (SF)", ""}}, // 83
    {{"Not earned yet", "", ""}}, // 84
    {{"IAR: 10 kills while a Sniper (SF)", "", ""}}, // 85
    {{"IAR: 20 kills while a Sniper (SF)", "15h Total time played while Sniper (SF)", ""}}, // 86
    {{"IAR: 40 kills while a Sniper (SF)", "50h Total time played while Sniper (SF)", ""}}, // 87
    {{"Not earned yet", "", ""}}, // 88
    {{"IAR: 10 kills while a Medic (SF)", "", ""}}, // 89
    {{"IAR: 20 kills while a Medic (SF)", "15h Total time played while Medic (SF)", ""}}, // 90
    {{"IAR: 40 kills while a Medic (SF)", "50h Total time played while Medic (SF)", ""}}, // 91
    {{"Not earned yet", "", ""}}, // 92
    {{"IAR: 10 kills while a \x53pec Ops (SF)", "", ""}}, // 93
    {{"IAR: 20 kills while a \x53pec Ops (SF)", "15h Total time played while \x53pec Ops (SF)", ""}}, // 94
    {{"IAR: 40 kills while a \x53pec Ops (SF)", "50h Total time played while \x53pec Ops (SF)", ""}}, // 95
    {{"Not earned yet", "", ""}}, // 96
    {{"IAR: 10 kills while an Assault (SF)", "", ""}}, // 97
    {{"IAR: 20 kills while an Assault (SF)", "15h Total time played while Assault (SF)", ""}}, // 98
    {{"IAR: 40 kills while an Assault (SF)", "50h Total time played while Assault (SF)", ""}}, // 99
    {{"Not earned yet", "", ""}}, // 100
    {{"IAR: 10 kills while an Anti-Tank (SF)", "", ""}}, // 101
    {{"IAR: 20 kills while an Anti-Tank (SF)", "15h Total time played while Anti-Tank (SF)", ""}}, // 102
    {{"IAR: 40 kills while an Anti-Tank (SF)", "50h Total time played while Anti-Tank (SF)", ""}}, // 103
    {{"Not earned yet", "", ""}}, // 104
    {{"IAR: 10 kills while a Support (SF)", "", ""}}, // 105
    {{"IAR: 20 kills while a Support (SF)", "15h Total time played while Support (SF)", ""}}, // 106
    {{"IAR: 40 kills while a Support (SF)", "50h Total time played while Support (SF)", ""}}, // 107
    {{"Not earned yet", "", ""}}, // 108
    {{"Notes: Throw 10 Flashbangs", "", ""}}, // 109
    {{"Notes: Throw 1000 Flashbangs", "", ""}}, // 110
    {{"Notes: Throw 3000 Flashbangs", "", ""}}, // 111
    {{"Not earned yet", "", ""}}, // 112
    {{"Notes: Climb 10 times with the Grappling Hook", "", ""}}, // 113
    {{"Notes: Climb 100 times with the Grappling Hook", "", ""}}, // 114
    {{"Notes: Climb 500 times with the Grappling Hook", "", ""}}, // 115
    {{"Not earned yet", "", ""}}, // 116
    {{"Notes: Ride the Zip Line 10 times", "", ""}}, // 117
    {{"Notes: Ride the Zip Line 100 times", "", ""}}, // 118
    {{"Notes: Ride the Zip Line 500 times", "", ""}}, // 119
    {{"Not earned yet", "", ""}}, // 120
    {{"N/A", "", ""}}, // 121
    {{"N/A", "", ""}}, // 122
    {{"N/A", "", ""}}, // 123
}};

} // namespace

const std::array<Decoration, MedalCount> Medals{{
    {"2051907", "Gold Star", "Image29", Panel::Bf2, {"IAR: First place", "", "", ""}},
    {"2051919", "Silver Star", "Image30", Panel::Bf2, {"IAR: Second place", "", "", ""}},
    {"2051902", "Bronze Star", "Image31", Panel::Bf2, {"IAR: Third place", "", "", ""}},
    {"2191608", "Purple Heart", "Image32", Panel::Bf2, {"IAR: A K:D ratio of 1:4 with a minimum of 5 kills/20 deaths", "", "", ""}},
    {"2020419", "Distinguished Service Medal", "Image33", Panel::Bf2, {"IAR: Team score of 45", "100h Total time as commander", "100h Total time as squad leader", "100h Total time as squad member"}},
    {"2020903", "Combat Infantry Medal", "Image34", Panel::Bf2, {"IAR: Play for 34 minutes", "500h Total time played ", "Basic Knife/Pistol/Assault/Anti-tank/Sniper/\x53pec Ops/Support/Engineer/Medic Combat Badge", ""}},
    {"2020913", "Marksman Infantry Medal", "Image35", Panel::Bf2, {"IAR: Play for 34 minutes", "Combat Infantry Medal", "Veteran Knife/Pistol/Assault/Anti-tank/Sniper/\x53pec Ops/Support/Engineer/Medic Combat Badge", ""}},
    {"2020919", "Sharpshooter Infantry Medal", "Image36", Panel::Bf2, {"IAR: Play for 34 minutes", "Marksman Infantry Medal", "Expert Knife/Pistol/Assault/Anti-tank/Sniper/\x53pec Ops/Support/Engineer/Medic Combat Badge", ""}},
    {"2021403", "Navy Cross", "Image37", Panel::Bf2, {"100 Best round score (USA)", "250h Total time played (USA)", "500 wins (USA)", "Notes: Generally you do not receive this medal during the round, but it will appear in your stats anonymously."}},
    {"2020719", "Golden Scimitar", "Image38", Panel::Bf2, {"100 Best round score (MEC)", "250h Total time played (MEC)", "500 wins (MEC)", "Notes: Generally you do not receive this medal during the round, but it will appear in your stats anonymously."}},
    {"2021613", "People's Medallion", "Image39", Panel::Bf2, {"100 Best round score (China)", "250h Total time played (China)", "500 wins (China)", "Notes: Generally you do not receive this medal during the round, but it will appear in your stats anonymously."}},
    {"2021322", "Medal of Valor", "Image40", Panel::Bf2, {"250h Total time played", "5,000 driver special ability points", "1,000 times defended control point", "30,000 Teamwork score"}},
    {"2190303", "Combat Action Medal", "Image41", Panel::Bf2, {"IAR: Play for 33 minutes", "250h Total time played", "25,000 kills", "25 Best kill streak"}},
    {"2190308", "Helicopter Medal", "Image42", Panel::Bf2, {"IAR: 30 kills in a Helicopter", "250h Total time using Helicopter", "20,000 kills with Helicopter", ""}},
    {"2190309", "Air Combat Medal", "Image43", Panel::Bf2, {"IAR: 25 kills in a Plane", "200h Total time using Aviator", "10,000 kills with Aviator", ""}},
    {"2190318", "Armor Combat Medal", "Image44", Panel::Bf2, {"IAR: 25 kills in an Armor Vehicle", "250h Total time using Armor", "10,000 kills with Armor", ""}},
    {"2190703", "Good Conduct Medal", "Image45", Panel::Bf2, {"IAR: 27 kills and NO Team kills, damage or vehicle damage", "250h Total time played", "", ""}},
    {"2191319", "Meritorious Service Medal", "Image46", Panel::Bf2, {"250h Total time played", "1,000 heals", "1,000 repairs", "1,000 resupplies"}},
    {"2260219", "Service Award (SF)", "Image47", Panel::SpecialForces, {"N/A", "", "", ""}},
    {"2261901", "Courage Award (SF)", "Image48", Panel::SpecialForces, {"N/A", "", "", ""}},
    {"2260719", "Valor Award (SF)", "Image49", Panel::SpecialForces, {"N/A", "", "", ""}},
    {"2261913", "U.S. Navy Seals Special Service Medal (SF)", "Image50", Panel::SpecialForces, {"4,500h Total time played (Seals)", "", "", ""}},
    {"2261919", "British SAS Special Service Medal (SF)", "Image51", Panel::SpecialForces, {"4,500h Total time played (SAS)", "", "", ""}},
    {"2261613", "Russian Spetsnaz Special Service Medal (SF)", "Image52", Panel::SpecialForces, {"4,500h Total time played (SPETZNAS)", "", "", ""}},
    {"2261303", "MEC SF Special Service Medal (SF)", "Image53", Panel::SpecialForces, {"4,500h Total time played (MECSF)", "", "", ""}},
    {"2261802", "Rebels Special Service Medal (SF)", "Image54", Panel::SpecialForces, {"4,500h Total time played (Rebel)", "", "", ""}},
    {"2260914", "Insurgent Forces Special Service Medal (SF)", "Image55", Panel::SpecialForces, {"4,500h Total time played (Insurgent)", "", "", ""}},
}};

const std::array<Decoration, RibbonCount> Ribbons{{
    {"3040109", "Air Defense Ribbon", "Image1", Panel::Bf2, {"IAR: 3 minutes in Air Defense (SAM, AA Vehicle)", "IAR: 11 kills with Air Defense (SAM, AA Vehicle)", "", ""}},
    {"3040718", "Ground Defense Ribbon", "Image2", Panel::Bf2, {"IAR: 3 minutes in TOW/Mounted Machine Gun", "IAR: 5 kills in TOW/Mounted Machine Gun", "", ""}},
    {"3150914", "Infantry Officer Ribbon", "Image3", Panel::Bf2, {"IAR: 25 minutes as Squad Leader", "250 Teamwork score", "", ""}},
    {"3151920", "Staff Officer Ribbon", "Image4", Panel::Bf2, {"IAR: 28 minutes as Commander", "IAR: 50 Command points (before 2x)", "", ""}},
    {"3190105", "Aerial Service Ribbon", "Image5", Panel::Bf2, {"IAR: 15 minutes in an Airplane", "IAR: 19 kills in an Airplane", "", ""}},
    {"3190118", "Armored Service Ribbon", "Image6", Panel::Bf2, {"IAR: 20 minutes in an Armor Vehicle", "IAR: 19 kills in an Armor Vehicle", "", ""}},
    {"3190318", "Crew Service Ribbon", "Image7", Panel::Bf2, {"IAR: 1 Driver Special Ability Point", "IAR: 13 Driver Kill Assists", "IAR: 5 kills", ""}},
    {"3190409", "Distinguished Service Ribbon", "Image8", Panel::Bf2, {"IAR: 15 team points", "10h Total time as squad member", "10h Total time as squad leader", "10h Total time as commander "}},
    {"3190605", "Far East Service Ribbon", "Image9", Panel::Bf2, {"Notes: Participant -- As best as we can tell, you get this simply for playing the game for a short period", "", "", ""}},
    {"3191305", "Middle East Service Ribbon", "Image10", Panel::Bf2, {"Notes: Participant -- As best as we can tell, you get this simply for playing the game for a short period.", "", "", ""}},
    {"3190803", "Helicopter Service Ribbon", "Image11", Panel::Bf2, {"IAR: 15 minutes in Helicopter", "IAR: 19 kills in Helicopter", "", ""}},
    {"3211305", "Meritorious Unit Ribbon", "Image12", Panel::Bf2, {"IAR: 26 minutes in a Squad", "IAR: 40 team points", "", ""}},
    {"3212201", "Valorous Merit Ribbon", "Image13", Panel::Bf2, {"IAR: 45 team points", "25h Total time as squad member ", "25h Total time as squad leader ", ""}},
    {"3240102", "Airborne Ribbon", "Image14", Panel::Bf2, {"IAR: 10 seconds in a Parachute", "", "", ""}},
    {"3240301", "Combat Action Ribbon", "Image15", Panel::Bf2, {"IAR: 18 kills", "10 Best kill streak ", "", ""}},
    {"3240703", "Good Conduct Ribbon", "Image16", Panel::Bf2, {"IAR: 14 kills", "IAR: No Team kills/damage/vehicle damage", "50h Total time played ", ""}},
    {"3241213", "Legion of Merit Ribbon", "Image17", Panel::Bf2, {"IAR: 50 team points", "200h Total time played ", "10 Best kill streak ", "8 Worst death streak "}},
    {"3242303", "War College Ribbon", "Image18", Panel::Bf2, {"IAR: 45 Commander Points (before 2x)", "50h Total time as commander ", "3 win:loss ratio ", ""}},
    {"3261919", "U.S. Navy Seals Service Ribbon (SF)", "Image19", Panel::SpecialForces, {"25h Total time played (Seals)", "", "", ""}},
    {"3261901", "British SAS Service Ribbon (SF)", "Image20", Panel::SpecialForces, {"25h Total time played (SAS)", "", "", ""}},
    {"3261819", "Russian Spetsnaz Service Ribbon (SF)", "Image21", Panel::SpecialForces, {"25h Total time played (SPETZNAS)", "", "", ""}},
    {"3261319", "MEC Special Forces Service Ribbon (SF)", "Image22", Panel::SpecialForces, {"25h Total time played (MECSF) ", "", "", ""}},
    {"3261805", "Rebels Service Ribbon (SF)", "Image23", Panel::SpecialForces, {"25h Total time played (Rebel)", "", "", ""}},
    {"3260914", "Insurgent Forces Service Ribbon (SF)", "Image24", Panel::SpecialForces, {"25h Total time played (Insurgent)", "", "", ""}},
    {"3260318", "Crew Specialist Ribbon (SF)", "Image25", Panel::SpecialForces, {"IAR: 1 Driver Special Ability Point", "IAR: 20 Driver Kill Assists", "IAR: 10 kills", ""}},
    {"3260118", "Armored Transport Specialist Ribbon (SF)", "Image26", Panel::SpecialForces, {"IAR: 20 minutes in an Armor Vehicle", "IAR: 22 kills in an Armor Vehicle", "", ""}},
    {"3260105", "Airborne Specialist Ribbon (SF)", "Image27", Panel::SpecialForces, {"IAR: 15 minutes in an Airplane", "IAR: 22 kills in an Airplane", "", ""}},
    {"3260803", "Helo Specialist Ribbon (SF)", "Image28", Panel::SpecialForces, {"IAR: 15 minutes in Helicopter", "IAR: 22 kills in Helicopter", "", ""}},
}};

const std::array<Unlock, UnlockCount> Unlocks{{
    {"11", "DAO-12", "Image56", Panel::Bf2, 16, 32, 193, 193},
    {"22", "G3", "Image58", Panel::Bf2, 208, 32, 193, 193},
    {"33", "Jackhammer Mk3A1", "Image57", Panel::Bf2, 400, 32, 193, 193},
    {"44", "SA-80", "Image59", Panel::Bf2, 592, 32, 193, 193},
    {"55", "G36C", "Image60", Panel::Bf2, 784, 32, 193, 193},
    {"66", "PKM", "Image61", Panel::Bf2, 16, 80, 193, 193},
    {"77", "M95", "Image62", Panel::Bf2, 208, 80, 193, 193},
    {"88", "F2000 (SF)", "Image75", Panel::SpecialForces, 16, 24, 185, 185},
    {"99", "MP7 (SF)", "Image76", Panel::SpecialForces, 200, 24, 177, 209},
    {"111", "G36E (SF)", "Image77", Panel::SpecialForces, 408, 24, 177, 169},
    {"222", "SCAR-L (SF)", "Image79", Panel::SpecialForces, 592, 24, 193, 193},
    {"333", "MG-36 (SF)", "Image78", Panel::SpecialForces, 784, 24, 193, 193},
}};
// clang-format on

namespace {

const char* slotOf(const char* const* texts, int count, int slot) {
    return slot >= 1 && slot <= count ? texts[slot - 1] : "";
}

const QString ArtRoot = QStringLiteral(":/art/");

QString pictureName(const char* folder, const char* kind, const char* id, const QString& suffix) {
    return ArtRoot + QLatin1String(folder) + QLatin1Char('/') + QLatin1String(kind) + QLatin1Char('_') +
           QLatin1String(id) + suffix + QStringLiteral(".png");
}

} // namespace

const char* badgeRequirement(int row, int slot) {
    if (row < 0 || row >= BadgeRows)
        return "";
    return slotOf(BadgeRequirements[std::size_t(row)].data(), BadgeSlots, slot);
}

const char* medalRequirement(int row, int slot) {
    if (row < 0 || row >= MedalCount)
        return "";
    return slotOf(Medals[std::size_t(row)].requirements.data(), MedalSlots, slot);
}

const char* ribbonRequirement(int row, int slot) {
    if (row < 0 || row >= RibbonCount)
        return "";
    return slotOf(Ribbons[std::size_t(row)].requirements.data(), RibbonSlots, slot);
}

const char* panelCaption(Kind kind, Panel panel) {
    const bool bf2 = panel == Panel::Bf2;
    switch (kind) {
    case Kind::Badge:
        return bf2 ? "Bf2 - Badges" : "Special Forces - Badges";
    case Kind::Medal:
        return bf2 ? "Bf2 - Medals" : "Special Force - Medals";
    case Kind::Ribbon:
        return bf2 ? "Bf2 - Ribbons" : "Special Forces - Ribbons";
    }
    return "";
}

QString badgePicture(int badge, int level) {
    return pictureName("awards", "badge", Badges[std::size_t(badge)].id, QLatin1Char('_') + QString::number(level));
}

QString medalPicture(int medal, bool earned) {
    return pictureName("awards", "medal", Medals[std::size_t(medal)].id, earned ? QString() : QStringLiteral("_grey"));
}

QString ribbonPicture(int ribbon, bool earned) {
    return pictureName("awards", "ribbon", Ribbons[std::size_t(ribbon)].id,
                       earned ? QString() : QStringLiteral("_grey"));
}

QString unlockPicture(int unlock, bool unlocked) {
    return pictureName("unlocks", "unlock", Unlocks[std::size_t(unlock)].id,
                       unlocked ? QString() : QStringLiteral("_grey"));
}

QString statusIcon(int index) {
    return ArtRoot + QStringLiteral("reqstatus/%1.png").arg(index);
}

} // namespace Awards
