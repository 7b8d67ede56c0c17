#include "about/credits_text.h"

namespace {

void addEmpty(QStringList& lines, int count) {
    for (int i = 0; i < count; ++i)
        lines << QString();
}

} // namespace

QStringList CreditsText() {
    QStringList lines;
    lines << QStringLiteral("<u><b><s14><nArial>Orvane") << QString();

    lines << QStringLiteral("<b>Code:") << QStringLiteral("The Orvane contributors") << QString();
    lines << QStringLiteral("<b>GUI:") << QStringLiteral("Qt 6 by The Qt Company and the Qt Project") << QString();
    lines << QStringLiteral("<b>Gfx:") << QStringLiteral("Drawn line by line by Orvane's own art generator")
          << QString();
    lines << QStringLiteral("<b>Chaos:") << QStringLiteral("Everyone who ever filed an issue") << QString();

    lines << QStringLiteral("<b>Special Thanks to:") << QString();
    lines << QStringLiteral("<b>Beta Testing: ") << QStringLiteral("The test suite, every single night")
          << QStringLiteral("The demo players of orvane-statsd") << QString();
    lines << QStringLiteral("<b>Useful Information:") << QStringLiteral("https://curl.se/libcurl/")
          << QStringLiteral("https://github.com/yhirose/cpp-httplib") << QString();
    lines << QStringLiteral("<b>Battlefield 2\u2122:") << QStringLiteral("Digital Illusions CE\u2122") << QString();
    lines << QStringLiteral("<b>Coffee:") << QStringLiteral("Lots of it. Black, no sugar, no mercy.");

    addEmpty(lines, 5);
    // The short name in block letters; the fixed-pitch font keeps the columns.
    lines << QStringLiteral("<b><nTerminal> ___    ____   __     __  ")
          << QStringLiteral("<b><nTerminal>/ _ \\  |  _ \\  \\ \\   / /  ")
          << QStringLiteral("<b><nTerminal>| | | | | |_) |  \\ \\ / /  ")
          << QStringLiteral("<b><nTerminal>| | | | |  _ <<    \\ V /   ")
          << QStringLiteral("<b><nTerminal>| |_| | | | \\ \\    | |    ")
          << QStringLiteral("<b><nTerminal>\\___/  |_|  \\_\\   |_|     ");
    lines << QString();

    lines << QString::fromLatin1(HomePage) << QStringLiteral("Made with Qt 6, libcurl, SQLite, cpp-httplib and CMake");
    addEmpty(lines, 5);
    lines << QStringLiteral("More tools from the Orvane project at") << QStringLiteral("<b>https://orvane.org/");
    addEmpty(lines, 4);
    lines << QStringLiteral("\u00a9 2026 The Orvane contributors. Battlefield 2 is a trademark of Electronic Arts.");
    addEmpty(lines, 12);
    lines << QStringLiteral("(42)");
    addEmpty(lines, 3);
    return lines;
}
