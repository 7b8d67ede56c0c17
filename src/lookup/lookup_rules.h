#pragma once

#include <QList>
#include <QString>

namespace Lookup {

// A nickname typed as this toggles the hidden picture on the Overview page (a small thank-you card).
inline const QString EasterNick = QStringLiteral("Orvane Easter");
// Typing this seven-character code toggles the raw-data log of every accepted reply.
inline const QString MemoCode = QStringLiteral("#rawlog");

inline constexpr int HistorySize = 5;

// A PID is a non-empty text of decimal digits; anything else is looked up as a nickname.
bool IsPid(QStringView text);

// Puts the text first, drops every other copy of it and keeps the five most recent entries.
QList<QString> UpdateHistory(const QList<QString>& history, const QString& text);

} // namespace Lookup
