#include "about/about_box.h"
#include "about/changelog_window.h"
#include "about/credits_text.h"
#include "about/scrolling_credits.h"
#include "app/platform_hooks.h"
#include "ui_test_main.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextEdit>

namespace {

// The timer never fires within a test: the passes are driven by tick(), one step at a time.
constexpr unsigned Never = 3600 * 1000;

int countPixels(const QImage& image, QRgb colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == colour;
    return n;
}

} // namespace

class TestAbout final : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_opened.clear();
        PlatformHooks::setOpenUrl([this](const QString& url) { m_opened << url; });
    }

    // With no lines a pass ends as soon as the position falls below 0; the first pass starts one
    // line height further down than the later ones.
    void emptyPasses() {
        ScrollingCredits credits;
        credits.setScrollInterval(Never);
        credits.setLines({});
        credits.resize(200, 50);
        credits.show();
        QSignalSpy passes(&credits, &ScrollingCredits::afterLastCredit);
        credits.setScrolling(true);
        const int lineHeight = QFontMetrics(credits.baseFont()).height();
        QCOMPARE(credits.scrollPos(), 50 + lineHeight);
        QList<int> ticksPerPass;
        int ticks = 0;
        while (ticksPerPass.size() < 3 && ticks < 1000) {
            credits.tick();
            ++ticks;
            if (passes.count() > ticksPerPass.size()) {
                ticksPerPass << ticks;
                QCOMPARE(credits.scrollPos(), 50);
                ticks = 0;
            }
        }
        QCOMPARE(ticksPerPass, (QList<int>{50 + lineHeight + 2, 52, 52}));
    }

    // Every line, the first included, once per pass, in order, and the pass ends after the last.
    void linesOncePerPass_data() {
        QTest::addColumn<unsigned>("steps");
        QTest::newRow("one pixel") << 1u;
        QTest::newRow("seven pixels") << 7u;
    }
    void linesOncePerPass() {
        QFETCH(unsigned, steps);
        ScrollingCredits credits;
        credits.setScrollInterval(Never);
        credits.setScrollSteps(steps);
        credits.resize(200, 40); // shorter than the text: lines come in one after another
        credits.setLines({QStringLiteral("<b>First"), QString(), QStringLiteral("<s14>Second"),
                          QStringLiteral("<nTerminal>"), QStringLiteral("Last")});
        credits.show();
        QStringList events;
        connect(&credits, &ScrollingCredits::showCredit, this, [&](const QString& text) { events << text; });
        connect(&credits, &ScrollingCredits::afterLastCredit, this, [&] { events << QStringLiteral("|"); });
        credits.setScrolling(true);
        for (int i = 0; i < 2000 && events.count(QStringLiteral("|")) < 2; ++i)
            credits.tick();
        const QStringList pass = {"First", "", "Second", "", "Last", "|"};
        // The tick that ends a pass draws the next one's first line at the bottom edge.
        QCOMPARE(events, pass + pass + QStringList{"First"});
    }

    void drawing() {
        ScrollingCredits credits;
        credits.setScrollInterval(Never);
        credits.resize(300, 120);
        credits.setColour(QColor(213, 218, 219));
        credits.setBorderColour(QColor(138, 152, 157));
        credits.setLines({QStringLiteral("<s28><b><c255,0,0>MMMM"), QStringLiteral("<s28><b><c$0000FF00>MMMM")});
        credits.show();
        const QImage still = credits.picture();
        QCOMPARE(still.pixel(0, 0), qRgb(138, 152, 157));
        QCOMPARE(still.pixel(299, 119), qRgb(138, 152, 157));
        QCOMPARE(still.pixel(2, 2), qRgb(213, 218, 219));
        // Both colour forms: red from decimal components, green from $00BBGGRR.
        QVERIFY(countPixels(still, qRgb(255, 0, 0)) > 20);
        QVERIFY(countPixels(still, qRgb(0, 255, 0)) > 20);
        // Still text starts at the top margin, one line after another.
        const QFont big = [&] {
            QFont f = credits.baseFont();
            f.setPointSize(28);
            f.setBold(true);
            return f;
        }();
        QCOMPARE(credits.totalHeight(), 2 * QFontMetrics(big).height());

        credits.setShowBorder(false);
        QCOMPARE(credits.picture().pixel(0, 0), qRgb(213, 218, 219));
        QCOMPARE(credits.accessibleName(), QStringLiteral("Credits"));
        QCOMPARE(credits.accessibleDescription(), QStringLiteral("MMMM\nMMMM"));
    }

    // Hidden, the control draws nothing; shown again, it starts a pass from the bottom edge.
    void hideAndShow() {
        ScrollingCredits credits;
        credits.setScrollInterval(Never);
        credits.resize(200, 40);
        credits.setLines({QStringLiteral("One"), QStringLiteral("Two")});
        credits.show();
        credits.setScrolling(true);
        QStringList shown;
        connect(&credits, &ScrollingCredits::showCredit, this, [&](const QString& text) { shown << text; });
        for (int i = 0; i < 60; ++i)
            credits.tick();
        QCOMPARE(shown, (QStringList{"Two"})); // "One" came with the start
        credits.hide();
        QVERIFY(credits.picture().isNull());
        credits.show();
        QCOMPARE(credits.scrollPos(), 40);
        QCOMPARE(credits.lastShownLine(), 0);
        QCOMPARE(shown, (QStringList{"Two", "One"}));
        QVERIFY(!credits.picture().isNull());
    }

    void aboutBox() {
        ChangelogWindow changelog;
        AboutBox about(&changelog);
        about.credits()->setScrollInterval(Never);
        QCOMPARE(about.objectName(), QStringLiteral("TForm5"));
        QCOMPARE(about.windowTitle(), QStringLiteral("About"));
        QCOMPARE(about.findChild<QLabel*>(QLatin1String(AboutNames::Version))->text(), QStringLiteral("Version: 0.50"));
        QCOMPARE(about.findChild<QPushButton*>(QLatin1String(AboutNames::Changelog))->text(),
                 QStringLiteral("&View Changelog"));
        QCOMPARE(about.findChild<QPushButton*>(QLatin1String(AboutNames::Close))->text(), QStringLiteral("&Close"));
        ScrollingCredits* credits = about.findChild<ScrollingCredits*>(QLatin1String(AboutNames::Credits));
        QCOMPARE(credits, about.credits());
        QCOMPARE(credits->lines(), CreditsText());
        QCOMPARE(credits->size(), QSize(465, 153));
        QVERIFY(!credits->isScrolling());

        // Each opening starts the credits again from below, with the first line reported again.
        QStringList shown;
        connect(credits, &ScrollingCredits::showCredit, this, [&](const QString& text) { shown << text; });
        const int start = 153 + QFontMetrics(credits->baseFont()).height();
        for (int opening = 0; opening < 2; ++opening) {
            shown.clear();
            about.show();
            about.formActivate();
            QVERIFY(credits->isScrolling());
            QCOMPARE(credits->scrollPos(), start);
            for (int i = 0; i < 200; ++i)
                credits->tick();
            QCOMPARE(credits->scrollPos(), start - 200);
            QVERIFY(shown.size() > 3);
            QCOMPARE(shown.first(), QStringLiteral("Orvane"));
            QCOMPARE(shown[2], QStringLiteral("Code:"));
            about.findChild<QPushButton*>(QLatin1String(AboutNames::Close))->click();
            QVERIFY(about.isHidden());
        }

        QTest::mouseClick(about.findChild<QLabel*>(QLatin1String(AboutNames::Banner)), Qt::LeftButton);
        QCOMPARE(m_opened, QStringList{QString::fromLatin1(HomePage)});

        about.show();
        about.findChild<QPushButton*>(QLatin1String(AboutNames::Changelog))->click();
        QVERIFY(changelog.isVisible());
        QVERIFY(!changelog.isModal());
    }

    // The history is written anew at each activation, so two openings show it once.
    void changelogWindow() {
        ChangelogWindow window;
        QCOMPARE(window.objectName(), QStringLiteral("TForm8"));
        QCOMPARE(window.windowTitle(), QStringLiteral("Changelog"));
        for (int opening = 0; opening < 2; ++opening) {
            window.show();
            window.formActivate();
            window.findChild<QPushButton*>(QLatin1String(ChangelogNames::Close))->click();
            QVERIFY(window.isHidden());
        }
        window.show();
        window.formActivate();
        QCOMPARE(window.findChild<QLabel*>(QLatin1String(ChangelogNames::Version))->text(),
                 QStringLiteral("Version: 0.50"));
        QTextEdit* box = window.findChild<QTextEdit*>(QLatin1String(ChangelogNames::Text));
        QVERIFY(box->isReadOnly());
        QStringList bold;
        int entries = 0, empty = 0;
        for (QTextBlock block = box->document()->begin(); block.isValid(); block = block.next()) {
            if (block.text().isEmpty()) {
                ++empty;
                continue;
            }
            bool allBold = true, anyBold = false;
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const bool b = it.fragment().charFormat().fontWeight() >= QFont::Bold;
                allBold &= b;
                anyBold |= b;
            }
            QCOMPARE(allBold, anyBold);
            if (allBold)
                bold << block.text();
            else
                entries += block.text().startsWith(QLatin1String("- "));
        }
        QCOMPARE(bold, (QStringList{"22.01.2006 Version 0.50", "13.01.2006 Version 0.25", "05.01.2006 Version 0.20",
                                    "13.12.2005 Version 0.15", "11.12.2005 Version 0.10"}));
        QCOMPARE(entries, 33);
        QCOMPARE(empty, 4);
        QCOMPARE(box->document()->blockCount(), 42);
        QVERIFY(box->toPlainText().contains(QString::fromUtf8("- H\xc3\xb6here Transparenz f\xc3\xbcr")));

        auto* link = window.findChild<QLabel*>(QLatin1String(ChangelogNames::HomeLink));
        QCOMPARE(link->accessibleName(), QStringLiteral("Homepage: ") + QLatin1String(HomePage));
        emit link->linkActivated(QString::fromLatin1(HomePage));
        QCOMPARE(m_opened, QStringList{QString::fromLatin1(HomePage)});
    }

private:
    QStringList m_opened;
};

ORVANE_UI_TEST_MAIN(TestAbout)
#include "test_about.moc"
