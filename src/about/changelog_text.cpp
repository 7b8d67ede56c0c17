#include "about/changelog_text.h"

#include <initializer_list>

namespace {

struct Block {
    const char16_t* heading;
    std::initializer_list<const char16_t*> entries;
};

// The German letters are written as escapes so that the text does not depend on the source
// file's encoding.
const std::initializer_list<Block> Blocks = {
    {u"22.01.2006 Version 0.50",
     {u"- \"Top Ten\" added", u"- \"Leaderboard\" added", u"- Options added", u"- History is now deletable",
      u"- Stats can be received at program start", u"- Statusbar activated", u"- Donate button added",
      u"- English translation", u"- Copy Feature (at tables)", u"- Small fixes"}},
    {u"13.01.2006 Version 0.25",
     {u"- Namen f\u00fcr Badges, Ribbons und Medals hinzugef\u00fcgt", u"- Hintsystem eingebaut",
      u"- Favoriten in der \u00dcbersicht eingef\u00fcgt", u"- Combobox mit Historyfunktion und ini-Datei",
      u"- Austausch und Vorbereitung der Statusbar", u"- Kleinere \u00c4nderungen"}},
    {u"05.01.2006 Version 0.20",
     {u"- Gr\u00f6\u00dfe an 1042x786 automatisch anpassbar",
      u"- Vorraussetzungen f\u00fcr Badges, Ribbons und Medals hinzugef\u00fcgt", u"- Unlocks abrufbar",
      u"- Skin vervollst\u00e4ndigt", u"- Editfelder bei \u00dcbersicht durch Labels ersetzt",
      u"- Fehler bei falscher Benutzereingabe behoben", u"- Sortierungsfehler weitgehend behoben",
      u"- Weitere kleinere \u00c4nderungen"}},
    {u"13.12.2005 Version 0.15",
     {u"- Skinsystem eingebaut", u"- Updatefunktion gefixt", u"- Medaillen abrufbar",
      u"- H\u00f6here Transparenz f\u00fcr noch nicht erreichte Awards"}},
    {u"11.12.2005 Version 0.10",
     {u"- Erste Betaversion released", u"- \u00dcbersichtsseite nur grob gestaltet", u"- Medaillen noch nicht abrufbar",
      u"- Leaderboard noch nicht implementiert", u"- Beschreibungen noch nicht implementiert"}},
};

} // namespace

QList<ChangelogLine> ChangelogText() {
    QList<ChangelogLine> lines;
    for (const Block& block : Blocks) {
        if (!lines.isEmpty())
            lines.append({ChangelogLine::Gap, QString()});
        lines.append({ChangelogLine::Heading, QString::fromUtf16(block.heading)});
        for (const char16_t* entry : block.entries)
            lines.append({ChangelogLine::Entry, QString::fromUtf16(entry)});
    }
    return lines;
}
