#pragma once

#include <QString>
#include <QStringView>
#include <optional>

// One line of the credits with its mark-up read: the text to draw and the attributes that its tags
// set for the whole line (a line is drawn with one font). Unset attributes keep the base font's.
struct CreditLine {
    QString text;
    QString fontName;            // "<nArial>"; empty keeps the base font
    int pointSize = 0;           // "<s14>"; 0 keeps the base size
    std::optional<unsigned> rgb; // "<c$00BBGGRR>" or "<cR,G,B>", as 0xRRGGBB
    bool bold = false;           // "<b>": the style becomes bold alone
    bool italic = false;         // "<i>": adds italic
    bool underline = false;      // "<u>": adds underline

    bool operator==(const CreditLine&) const = default;
};

// Reads one entry. Tag letters in either case; "<<" is a literal "<"; "<b>", "<i>" and "<u>" take
// three characters whatever the third is; "<s", "<n" and "<c" read up to the next ">" (or the end of
// the line); "<" with any other character hides both. A size or colour that is not a number, or a
// colour with other than three components 0-255, is ignored.
CreditLine ParseCreditLine(QStringView entry);
