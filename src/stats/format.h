#pragma once

#include <QByteArray>
#include <QLocale>

// Display formats of the statistics values. Results are 8-bit text like the reply tokens.

// Whole seconds as hh:mm:ss, each part at least two digits, hours unbounded (100:00:00).
QByteArray FormatDuration(quint32 seconds);

// numerator / denominator with exactly two decimals and the locale's decimal separator; a zero
// denominator shows the numerator itself. The hundredths are rounded half to even.
QByteArray FormatRatio(quint32 numerator, quint32 denominator, const QLocale& locale = QLocale());

// A reply token read as a count for the two formats above: anything that is not a decimal number
// from 0 to 4294967295 (letters, empty, negative, too large) counts as 0.
quint32 countFromToken(const QByteArray& token);
