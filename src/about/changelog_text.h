#pragma once

#include <QList>
#include <QString>

// One line of the version history: a version heading (bold), a "- " entry, or the empty line
// between two versions.
struct ChangelogLine {
    enum Kind { Heading, Entry, Gap };
    Kind kind = Entry;
    QString text;
};

// The history, newest version first, in the order in which it is written into the window.
QList<ChangelogLine> ChangelogText();
