#include "settings/ini_file.h"

#include <QFile>
#include <QSaveFile>
#include <optional>

namespace {

// A settings file is a few hundred bytes; anything far larger is not one of ours and is not
// loaded whole into memory.
constexpr qint64 MaxFileSize = 16 * 1024 * 1024;

bool isSpace(char c) {
    return c == ' ' || c == '\t';
}

QByteArrayView trimmed(QByteArrayView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isSpace(text[begin]))
        ++begin;
    while (end > begin && isSpace(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

bool sameName(QByteArrayView a, QByteArrayView b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The name of a section header line ("[name]", blanks allowed around the name), or nothing.
std::optional<QByteArrayView> sectionName(QByteArrayView line) {
    const QByteArrayView text = trimmed(line);
    if (!text.startsWith('['))
        return std::nullopt;
    const qsizetype close = text.indexOf(']');
    return trimmed(close < 0 ? text.sliced(1) : text.sliced(1, close - 1));
}

bool isComment(QByteArrayView line) {
    return trimmed(line).startsWith(';');
}

// The key of a "key=value" line, or nothing for a line that holds none.
std::optional<QByteArrayView> keyName(QByteArrayView line) {
    if (isComment(line))
        return std::nullopt;
    const qsizetype eq = line.indexOf('=');
    if (eq < 0)
        return std::nullopt;
    return trimmed(line.first(eq));
}

QByteArray keyLine(QByteArrayView key, QByteArrayView value) {
    return key.toByteArray().append('=').append(value);
}

} // namespace

IniFile IniFile::fromBytes(QByteArrayView content) {
    IniFile file;
    // Editors that save as UTF-8 put a byte-order mark first; it is not part of the first line's
    // text (else a section header there would not be found), but it goes back where it was.
    static constexpr QByteArrayView Bom("\xEF\xBB\xBF");
    if (content.startsWith(Bom)) {
        file.m_byteOrderMark = true;
        content = content.sliced(Bom.size());
    }
    qsizetype pos = 0;
    while (pos < content.size()) {
        const qsizetype lf = content.indexOf('\n', pos);
        if (lf < 0) {
            file.m_lines.append({content.sliced(pos).toByteArray(), {}});
            break;
        }
        const bool crlf = lf > pos && content[lf - 1] == '\r';
        const qsizetype textEnd = crlf ? lf - 1 : lf;
        file.m_lines.append({content.sliced(pos, textEnd - pos).toByteArray(), crlf ? "\r\n" : "\n"});
        pos = lf + 1;
    }
    return file;
}

IniFile::LoadResult IniFile::load(const QString& path) {
    m_lines.clear();
    QFile file(path);
    if (!file.exists())
        return LoadResult::Missing;
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxFileSize)
        return LoadResult::Unreadable;
    const QByteArray content = file.read(MaxFileSize + 1);
    if (file.error() != QFileDevice::NoError || content.size() > MaxFileSize)
        return LoadResult::Unreadable;
    *this = fromBytes(content);
    return LoadResult::Loaded;
}

IniFile::SectionRange IniFile::findSection(QByteArrayView section) const {
    SectionRange range;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const auto name = sectionName(m_lines[i].text);
        if (!name)
            continue;
        if (range.header >= 0) {
            range.end = i;
            return range;
        }
        if (sameName(*name, section))
            range.header = i;
    }
    if (range.header >= 0)
        range.end = m_lines.size();
    return range;
}

qsizetype IniFile::findKey(const SectionRange& range, QByteArrayView key) const {
    for (qsizetype i = range.header + 1; i < range.end; ++i) {
        const auto name = keyName(m_lines[i].text);
        if (name && sameName(*name, key))
            return i;
    }
    return -1;
}

QByteArray IniFile::value(QByteArrayView section, QByteArrayView key) const {
    const SectionRange range = findSection(section);
    if (range.header < 0)
        return {};
    const qsizetype line = findKey(range, key);
    if (line < 0)
        return {};
    const QByteArrayView text = m_lines[line].text;
    QByteArrayView value = trimmed(text.sliced(text.indexOf('=') + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.sliced(1, value.size() - 2);
    return value.first(qMin(value.size(), MaxValueLength)).toByteArray();
}

// New lines follow the file's own line endings; a new file gets those of the profile-string
// functions.
QByteArray IniFile::lineEnding() const {
    for (const Line& line : m_lines) {
        if (!line.eol.isEmpty())
            return line.eol;
    }
    return "\r\n";
}

void IniFile::setValue(QByteArrayView section, QByteArrayView key, QByteArrayView value) {
    qsizetype stop = value.size();
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == '\r' || value[i] == '\n' || value[i] == '\0') {
            stop = i;
            break;
        }
    }
    value = value.first(stop);

    const QByteArray eol = lineEnding();
    const SectionRange range = findSection(section);
    if (range.header >= 0) {
        const qsizetype line = findKey(range, key);
        if (line >= 0) {
            QByteArray& text = m_lines[line].text;
            text = text.first(text.indexOf('=') + 1).append(value);
            return;
        }
        // After the section's last key, so that blank lines and comments before the next
        // section stay where they are.
        qsizetype after = range.header;
        for (qsizetype i = range.header + 1; i < range.end; ++i) {
            if (keyName(m_lines[i].text))
                after = i;
        }
        if (m_lines[after].eol.isEmpty())
            m_lines[after].eol = eol;
        m_lines.insert(after + 1, Line{keyLine(key, value), eol});
        return;
    }
    if (!m_lines.isEmpty() && m_lines.last().eol.isEmpty())
        m_lines.last().eol = eol;
    m_lines.append(Line{'[' + section.toByteArray() + ']', eol});
    m_lines.append(Line{keyLine(key, value), eol});
}

QByteArray IniFile::toBytes() const {
    QByteArray out;
    if (m_byteOrderMark)
        out = "\xEF\xBB\xBF";
    for (const Line& line : m_lines)
        out += line.text + line.eol;
    return out;
}

bool IniFile::save(const QString& path) const {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray content = toBytes();
    // commit() does not see an error of the flush it does itself (a short write on a full disk)
    // and would rename the cut file into place, so flush first and check.
    if (file.write(content) != content.size() || !file.flush()) {
        file.cancelWriting(); // the temporary file goes with `file`
        return false;
    }
    return file.commit();
}
