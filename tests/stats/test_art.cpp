#include "resources/art.h"
#include "stats/vocabulary.h"

#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

namespace {

QImage picture(const QString& path) {
    QImage image(path);
    return image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace

class TestArt final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        initOrvaneArt();
        initOrvaneArt(); // a second call is harmless
    }

    // Every picture the vocabulary names is embedded, at the size its control expects, and no two
    // pictures of a set are the same drawing.
    void favouritePictures() {
        const QImage placeholder = picture(QString::fromLatin1(FavouritePlaceholder));
        QCOMPARE(placeholder.size(), QSize(45, 45));
        for (const FavouriteSet& set : FavouritePictures) {
            QSet<QByteArray> seen;
            for (const FavouritePicture& fav : set.pictures) {
                const QImage image = picture(QString::fromLatin1(fav.resource));
                QVERIFY2(!image.isNull(), fav.resource);
                QCOMPARE(image.size(), QSize(45, 45));
                QVERIFY2(image != placeholder, fav.resource);
                const QByteArray bits(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes());
                QVERIFY2(!seen.contains(bits), fav.resource);
                seen.insert(bits);
            }
        }
    }

    void rankInsignia() {
        QVERIFY(!RankNames[0].insignia);
        QSet<QByteArray> seen;
        for (int rank = 1; rank <= HighestRank; ++rank) {
            const char* resource = RankNames[std::size_t(rank)].insignia;
            QVERIFY(resource);
            const QImage image = picture(QString::fromLatin1(resource));
            QCOMPARE(image.size(), QSize(16, 16));
            // Drawn on white: the corners are opaque white.
            QCOMPARE(image.pixel(0, 0), qRgba(255, 255, 255, 255));
            QCOMPARE(image.pixel(15, 15), qRgba(255, 255, 255, 255));
            const QByteArray bits(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes());
            QVERIFY2(!seen.contains(bits), resource);
            seen.insert(bits);
        }
    }

    void windowPictures_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("size");
        for (int i = 0; i < 5; ++i)
            QTest::addRow("menu %d", i) << QStringLiteral(":/art/menu/%1.png").arg(i) << QSize(16, 16);
        QTest::newRow("banner") << ":/art/banner.png" << QSize(1009, 38);
        QTest::newRow("icon") << ":/art/icon.png" << QSize(64, 64);
        QTest::newRow("header") << ":/art/header48.png" << QSize(48, 48);
        QTest::newRow("thank-you card") << ":/art/easter.png" << QSize(313, 433);
    }
    void windowPictures() {
        QFETCH(QString, path);
        QFETCH(QSize, size);
        QCOMPARE(picture(path).size(), size);
    }

    // A fresh run of the generator writes exactly the embedded files, byte for byte.
    void generatorIsDeterministic() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QProcess generator;
        // Under the sanitizers the font libraries' own leaks would fail the run.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        generator.setProcessEnvironment(env);
        generator.start(QStringLiteral(ORVANE_ARTGEN_PATH), {dir.path()});
        QVERIFY(generator.waitForFinished(120000));
        QCOMPARE(generator.exitStatus(), QProcess::NormalExit);
        QCOMPARE(generator.exitCode(), 0);

        QStringList written;
        QDirIterator it(dir.path(), {QStringLiteral("*.png")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            const QString relative = file.mid(dir.path().size() + 1);
            written << relative;
            QFile fresh(file), embedded(QStringLiteral(":/art/") + relative);
            QVERIFY(fresh.open(QIODevice::ReadOnly));
            QVERIFY2(embedded.open(QIODevice::ReadOnly), qPrintable(relative));
            QVERIFY2(fresh.readAll() == embedded.readAll(), qPrintable(relative));
        }
        QStringList embeddedFiles;
        QDirIterator res(QStringLiteral(":/art"), QDir::Files, QDirIterator::Subdirectories);
        while (res.hasNext())
            embeddedFiles << res.next().mid(6);
        written.sort();
        embeddedFiles.sort();
        QCOMPARE(embeddedFiles, written);
    }
};

QTEST_GUILESS_MAIN(TestArt)
#include "test_art.moc"
