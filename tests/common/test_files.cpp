#include "test_files.h"

#include <QFile>
#include <QtGlobal>

namespace TestFiles {

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray fixture(const char* name) {
    QFile file(QStringLiteral(ORVANE_FIXTURES_DIR "/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", name);
    return file.readAll();
}

} // namespace TestFiles
