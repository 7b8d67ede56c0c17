#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

// One initialization file in the dialect of the Windows profile-string functions, held as its
// lines so that everything not written stays byte for byte as it was (line endings, comments,
// unknown sections and keys). Names match without regard to ASCII letter case; the first of
// duplicate sections or keys is the one read and written. Text stays 8-bit (Windows-1252).
class IniFile final {
public:
    // Characters of a value that a read returns at most.
    static constexpr qsizetype MaxValueLength = 2047;

    enum class LoadResult { Loaded, Missing, Unreadable };

    static IniFile fromBytes(QByteArrayView content);
    // Missing when no file is there (the contents are then empty); Unreadable when the path is
    // there but cannot be read whole, for example a folder or an oversized file.
    LoadResult load(const QString& path);

    // The value as the profile-string functions give it: blanks around it dropped, one pair of
    // enclosing quotes removed, at most MaxValueLength characters; empty when absent.
    QByteArray value(QByteArrayView section, QByteArrayView key) const;

    // Replaces the key's value in place, or appends the key at the end of its section, or the
    // section with the key at the end of the file. A value ends at its first CR, LF or NUL,
    // which could not be read back otherwise.
    void setValue(QByteArrayView section, QByteArrayView key, QByteArrayView value);

    QByteArray toBytes() const;

    // Writes a temporary file beside the target and renames it over the target, so that a
    // failure at any point leaves the old file or the new one, never a part.
    bool save(const QString& path) const;

private:
    struct Line {
        QByteArray text; // without its line ending
        QByteArray eol;  // "\r\n", "\n", or empty for a last line without one
    };
    struct SectionRange {
        qsizetype header = -1; // -1: no such section
        qsizetype end = -1;    // one past its last line
    };

    SectionRange findSection(QByteArrayView section) const;
    qsizetype findKey(const SectionRange& range, QByteArrayView key) const;
    QByteArray lineEnding() const;

    QList<Line> m_lines;
    bool m_byteOrderMark = false; // a UTF-8 mark before the first line, written back as it came
};
