#pragma once

#include <QByteArray>
#include <QList>

// The flat list of fields cut from one reply body; positions count from 0. Tokens stay 8-bit
// text (Windows-1252) inside the core and are decoded only where the UI shows them.
using ReplyTokens = QList<QByteArray>;
