#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The program's one Windows-1252 decoder and encoder, used at the border between the 8-bit core
// and the UI. Qt has no Windows-1252 codec of its own without ICU.

// Every byte decodes; the five bytes Windows-1252 leaves unassigned (0x81, 0x8D, 0x8F, 0x90,
// 0x9D) become the C1 controls of the same value, as Windows does, so any byte text round-trips.
QString FromWin1252(QByteArrayView text);

// Characters outside Windows-1252 encode as '?', one per character (a surrogate pair is one).
QByteArray ToWin1252(QStringView text);
