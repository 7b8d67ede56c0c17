#pragma once

#ifndef ORVANE_VERSION
#error "ORVANE_VERSION comes from the project's version in CMakeLists.txt"
#endif

// The program's own version text, as the update server names its files ("0.50").
inline constexpr char OwnVersion[] = ORVANE_VERSION;
