#pragma once

#include <QString>
#include <QStringList>

// The home page of the program on the project's site.
inline constexpr char HomePage[] = "https://orvane.org/index.php?action=Orvane";

// The 71 lines of the about box's credits, in the credits mark-up.
QStringList CreditsText();
