#include "lookup/lookup_rules.h"

namespace Lookup {

bool IsPid(QStringView text) {
    if (text.isEmpty())
        return false;
    // Only the ten ASCII digits: the Windows-1252 superscripts and other locale digits would not
    // make a number the service understands.
    for (QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

QList<QString> UpdateHistory(const QList<QString>& history, const QString& text) {
    QList<QString> result{text};
    for (const QString& entry : history)
        if (entry != text && result.size() < HistorySize)
            result.append(entry);
    return result;
}

} // namespace Lookup
