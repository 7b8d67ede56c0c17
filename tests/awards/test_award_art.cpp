// The pictures of the award and unlock pages as embedded: each at the size its slot expects, no
// two drawings alike, and every not-earned form the greyed twin of its earned one.
#include "awards/award_catalogue.h"
#include "resources/art.h"

#include <QImage>
#include <QSet>
#include <QTest>

using namespace Awards;

namespace {

QImage picture(const QString& path) {
    return QImage(path).convertToFormat(QImage::Format_ARGB32);
}

QByteArray bitsOf(const QImage& image) {
    return QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes());
}

bool isGrey(const QImage& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (qAlpha(p) && (qRed(p) != qGreen(p) || qGreen(p) != qBlue(p)))
                return false;
        }
    return true;
}

bool sameOutline(const QImage& a, const QImage& b) {
    if (a.size() != b.size())
        return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (qAlpha(a.pixel(x, y)) != qAlpha(b.pixel(x, y)))
                return false;
    return true;
}

} // namespace

class TestAwardArt final : public QObject {
    Q_OBJECT

    QSet<QByteArray> m_seen;

    // An earned form and its not-earned twin: sizes, distinct from every other drawing, greyed.
    void checkPair(const QString& earnedPath, const QString& greyPath, QSize size) {
        const QImage earned = picture(earnedPath);
        const QImage grey = picture(greyPath);
        QVERIFY2(!earned.isNull() && !grey.isNull(), qPrintable(earnedPath));
        QCOMPARE(earned.size(), size);
        QVERIFY2(!isGrey(earned), qPrintable(earnedPath));
        QVERIFY2(isGrey(grey), qPrintable(greyPath));
        QVERIFY2(sameOutline(earned, grey), qPrintable(greyPath));
        for (const QImage& image : {earned, grey}) {
            const QByteArray bits = bitsOf(image);
            QVERIFY2(!m_seen.contains(bits), qPrintable(earnedPath));
            m_seen.insert(bits);
        }
    }

private slots:
    void initTestCase() { initOrvaneArt(); }

    void badges() {
        for (int b = 0; b < BadgeCount; ++b) {
            checkPair(badgePicture(b, 1), badgePicture(b, 0), QSize(100, 100));
            for (int level = 2; level < Awards::BadgeLevels; ++level) {
                const QImage image = picture(badgePicture(b, level));
                QCOMPARE(image.size(), QSize(100, 100));
                const QByteArray bits = bitsOf(image);
                QVERIFY2(!m_seen.contains(bits), qPrintable(badgePicture(b, level)));
                m_seen.insert(bits);
            }
        }
    }

    void medalsAndRibbons() {
        for (int m = 0; m < MedalCount; ++m)
            checkPair(medalPicture(m, true), medalPicture(m, false), QSize(100, 100));
        for (int r = 0; r < RibbonCount; ++r)
            checkPair(ribbonPicture(r, true), ribbonPicture(r, false), QSize(95, 95));
    }

    void unlocks() {
        for (int u = 0; u < UnlockCount; ++u)
            checkPair(unlockPicture(u, true), unlockPicture(u, false), QSize(194, 51));
    }

    void bullets() {
        for (int i = 0; i < 4; ++i) {
            const QImage icon = picture(statusIcon(i));
            QCOMPARE(icon.size(), QSize(16, 16));
            QVERIFY(!m_seen.contains(bitsOf(icon)));
            m_seen.insert(bitsOf(icon));
        }
    }
};

QTEST_GUILESS_MAIN(TestAwardArt)
#include "test_award_art.moc"
