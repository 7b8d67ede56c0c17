#pragma once

#include <QByteArray>
#include <QString>

namespace TestFiles {

// The whole file, or nothing when it cannot be read.
QByteArray readFile(const QString& path);

// A reply body stored under tests/fixtures; a missing one ends the test program.
QByteArray fixture(const char* name);

} // namespace TestFiles
