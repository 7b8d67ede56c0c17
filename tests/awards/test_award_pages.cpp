// The Badges, Ribbons, Medals and Unlocks pages as a user meets them: real lookups against
// orvane-statsd, every picture, level and count compared with the service's database; clicks and
// keys on the award pictures through the window, the description panels and when they reset; and a
// failed awards or unlocks reply, from a scripted service, taking the pages back to their start.
#include "app/main_window.h"
#include "app/platform_hooks.h"
#include "awards/award_catalogue.h"
#include "awards/award_page.h"
#include "awards/award_slot.h"
#include "awards/unlocks_page.h"
#include "scripted_server.h"
#include "skin/roll_group_box.h"
#include "stats/format.h"
#include "statsd_process.h"
#include "test_files.h"
#include "ui_test_main.h"
#include "window_driver.h"

#include <QAccessible>
#include <QFile>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLocale>
#include <QSet>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>

using namespace Awards;

namespace {

// What the service's database holds of one player's awards and unlocks.
class Database final {
public:
    explicit Database(const QString& path) {
        if (sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
            m_db = nullptr;
    }
    ~Database() { sqlite3_close(m_db); }
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    bool isOpen() const { return m_db; }

    // award id -> highest level (a badge's level, a medal's count, 1 for a ribbon)
    QHash<QByteArray, qint64> awards(qint64 pid) const {
        QHash<QByteArray, qint64> out;
        each("SELECT award, max(level) FROM awards WHERE pid = ?1 GROUP BY award", pid,
             [&out](sqlite3_stmt* st) { out.insert(text(st, 0), sqlite3_column_int64(st, 1)); });
        return out;
    }
    // The first column of the first row, for a statement whose one parameter is the PID.
    qint64 value(const char* sql, qint64 pid) const {
        qint64 out = -1;
        each(sql, pid, [&out](sqlite3_stmt* st) { out = sqlite3_column_int64(st, 0); });
        return out;
    }
    QSet<QByteArray> unlocks(qint64 pid) const {
        QSet<QByteArray> out;
        each("SELECT id FROM unlocks WHERE pid = ?1 AND state = 's'", pid,
             [&out](sqlite3_stmt* st) { out.insert(text(st, 0)); });
        return out;
    }

private:
    static QByteArray text(sqlite3_stmt* st, int column) {
        return QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(st, column)));
    }
    template <typename F> void each(const char* sql, qint64 pid, F row) const {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(m_db, sql, -1, &st, nullptr) == SQLITE_OK) {
            sqlite3_bind_int64(st, 1, pid);
            while (sqlite3_step(st) == SQLITE_ROW)
                row(st);
        }
        sqlite3_finalize(st);
    }
    sqlite3* m_db = nullptr;
};

QString latin(const char* text) {
    return QString::fromLatin1(text);
}

// A scripted service: one general-statistics fixture for every player, and the awards and unlocks
// replies the test sets.
struct Replies {
    QByteArray awards;
    QByteArray unlocks;
};

} // namespace

class TestAwardPages final : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<StatsdProcess> m_statsd;
    std::unique_ptr<Database> m_db;
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<WindowDriver> m_driver;

    QString settingsFile() const { return m_dir.filePath(QStringLiteral("Settings.ini")); }

    void openWindow(const QByteArray& server) {
        m_driver.reset();
        m_window.reset();
        QFile f(settingsFile());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("[Allgemein]\r\nstatsserver=" + server + "\r\n");
        f.close();
        MainWindowOptions options;
        options.settingsPath = settingsFile();
        m_window = std::make_unique<MainWindow>(std::move(options));
        m_driver = std::make_unique<WindowDriver>(*m_window);
        m_driver->activate();
    }

    template <typename T = QLabel> T* find(const QString& name) const { return m_window->findChild<T*>(name); }
    QLabel* label(const char* name) const { return find(latin(name)); }
    QString textOf(const char* name) const {
        QLabel* l = label(name);
        return l ? l->text() : QStringLiteral("<missing %1>").arg(latin(name));
    }
    bool hasBullet(const char* name) const {
        QLabel* l = label(name);
        return l && !l->pixmap().isNull();
    }
    bool shown(const QString& name) const {
        auto* w = find<QWidget>(name);
        return w && !w->isHidden();
    }

    // A click where the user would click: the middle of the award's drawing, on whichever of the
    // slot's pictures is on top there.
    void clickAward(const QString& anyPictureName) {
        QLabel* picture = find(anyPictureName);
        QVERIFY2(picture, qPrintable(anyPictureName));
        auto* slot = qobject_cast<AwardSlot*>(picture->parentWidget());
        QVERIFY(slot);
        const QPoint middle = slot->width() < 100 ? QPoint(47, 47) : QPoint(50, 40);
        QWidget* target = slot->childAt(middle);
        QVERIFY(target);
        QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(slot, middle));
    }

    void lookUp(const QString& text) {
        QVERIFY(m_driver->lookUp(text));
        QCOMPARE(m_driver->lastOutcome(), LookupOutcome::Complete);
    }

private slots:
    void initTestCase() {
        PlatformHooks::setMessageBoxAnswer(
            [](QMessageBox::Icon, const QString&, const QString&) { return QMessageBox::Ok; });
        m_statsd = std::make_unique<StatsdProcess>();
        QVERIFY2(m_statsd->isReady(), qPrintable(m_statsd->errorString()));
        m_db = std::make_unique<Database>(m_statsd->databasePath());
        QVERIFY(m_db->isOpen());
        openWindow(m_statsd->hostPort());
    }

    // Each lookup shows exactly what the database holds for that player, whatever the one before
    // showed: the rows run from the player who holds everything to one who holds nothing.
    void pagesMatchDatabase_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<qint64>("pid");
        QTest::newRow("=DOG= Sarge, every award") << QStringLiteral("=DOG= Sarge") << qint64(45000001);
        QTest::newRow("FreshRecruit, nothing") << QStringLiteral("45000004") << qint64(45000004);
        QTest::newRow("[SAS] Nightshade") << QStringLiteral("[SAS] Nightshade") << qint64(45000003);
        QTest::newRow("Sarge") << QStringLiteral("Sarge") << qint64(45000002);
        QTest::newRow("|CMD| Overlord") << QStringLiteral("45000010") << qint64(45000010);
    }
    void pagesMatchDatabase() {
        QFETCH(QString, input);
        QFETCH(qint64, pid);
        lookUp(input);
        const QHash<QByteArray, qint64> held = m_db->awards(pid);
        for (int b = 0; b < BadgeCount; ++b) {
            const qint64 level = held.value(Badges[std::size_t(b)].id, 0);
            for (int l = 0; l < Awards::BadgeLevels; ++l)
                QVERIFY2(shown(AwardNames::badgePicture(b, l)) == (l == 0 || l == level),
                         qPrintable(AwardNames::badgePicture(b, l)));
            auto* slot = qobject_cast<AwardSlot*>(find(AwardNames::badgePicture(b, 0))->parentWidget());
            const QString name = latin(Badges[std::size_t(b)].names[std::size_t(level)]).trimmed();
            QCOMPARE(slot->accessibleName(), level == 0 ? name + QStringLiteral(", not earned") : name);
        }
        for (int m = 0; m < MedalCount; ++m) {
            const char* id = Medals[std::size_t(m)].id;
            const bool earned = held.contains(id);
            QCOMPARE(shown(AwardNames::earnedPicture(Kind::Medal, m)), earned);
            QVERIFY(shown(AwardNames::notEarnedPicture(Kind::Medal, m)));
            const QString count = QStringLiteral("x%1").arg(earned ? held.value(id) : 0);
            QCOMPARE(find(AwardNames::countLabel(m))->text(), count);
            auto* slot = qobject_cast<AwardSlot*>(find(AwardNames::earnedPicture(Kind::Medal, m))->parentWidget());
            QCOMPARE(slot->accessibleName(),
                     latin(Medals[std::size_t(m)].name) +
                         (earned ? QStringLiteral(", earned, ") + count : QStringLiteral(", not earned")));
        }
        for (int r = 0; r < RibbonCount; ++r) {
            QCOMPARE(shown(AwardNames::earnedPicture(Kind::Ribbon, r)), held.contains(Ribbons[std::size_t(r)].id));
            QVERIFY(shown(AwardNames::notEarnedPicture(Kind::Ribbon, r)));
        }
        const QSet<QByteArray> unlocked = m_db->unlocks(pid);
        for (int u = 0; u < UnlockCount; ++u) {
            const bool on = unlocked.contains(Unlocks[std::size_t(u)].id);
            QCOMPARE(shown(UnlockNames::unlockedPicture(u)), on);
            QCOMPARE(find(latin(Unlocks[std::size_t(u)].notEarnedName))->accessibleName(),
                     latin(Unlocks[std::size_t(u)].name) +
                         (on ? QStringLiteral(", unlocked") : QStringLiteral(", locked")));
        }
        if (pid == 45000001) {
            QCOMPARE(unlocked.size(), UnlockCount);
            QCOMPARE(held.size(), BadgeCount + MedalCount + RibbonCount);
        }
        if (pid == 45000004)
            QVERIFY(held.isEmpty() && unlocked.isEmpty());
        const QStringList log = m_window->rawLogLines();
        for (const char* name : {"Awards", "Unlocks"})
            QVERIFY(log.contains(QString(22, QLatin1Char('/')) + latin(name) + QString(24, QLatin1Char('\\'))));
    }

    // A badge's level 0 and level 3 pictures, and the next-level part of the panel.
    void badgeClicks() {
        lookUp(QStringLiteral("45000004"));
        clickAward(AwardNames::badgePicture(0, 0));
        QCOMPARE(textOf(AwardNames::BadgeName), QStringLiteral("Engineer Combat Badge"));
        QCOMPARE(textOf(AwardNames::BadgeLines[0]), QStringLiteral("Not earned yet"));
        QCOMPARE(textOf(AwardNames::BadgeLines[1]), QString());
        QCOMPARE(QList<bool>({hasBullet(AwardNames::BadgeBullets[0]), hasBullet(AwardNames::BadgeBullets[1]),
                              hasBullet(AwardNames::BadgeBullets[2])}),
                 QList<bool>({true, false, false}));
        QVERIFY(shown(latin(AwardNames::NextPart)));
        QCOMPARE(textOf(AwardNames::NextName), QStringLiteral("Basic Engineer Combat Badge"));
        QCOMPARE(textOf(AwardNames::NextLines[0]), QStringLiteral("IAR: 10 kills while an Engineer"));
        QVERIFY(hasBullet(AwardNames::NextBullets[0]) && !hasBullet(AwardNames::NextBullets[1]));
        QVERIFY(!label(AwardNames::NextPicture)->pixmap().isNull());
        QCOMPARE(label(AwardNames::NextPicture)->toolTip(), QStringLiteral("Basic Engineer Combat Badge"));
        QCOMPARE(label(AwardNames::BadgeLines[0])->accessibleName(), QStringLiteral("Requirement 1: Not earned yet"));

        lookUp(QStringLiteral("45000001"));
        clickAward(AwardNames::badgePicture(12, 0)); // the Engineer Badge, at Sarge's expert level
        QCOMPARE(textOf(AwardNames::BadgeName), QStringLiteral("Expert Engineer Badge"));
        QCOMPARE(textOf(AwardNames::BadgeLines[1]), QStringLiteral("250 repairs"));
        QCOMPARE(label(AwardNames::BadgePicture)->toolTip(), QStringLiteral("Expert Engineer Badge"));
        QVERIFY(!shown(latin(AwardNames::NextPart)));
        QVERIFY(!hasBullet(AwardNames::NextBullets[0]));
        QVERIFY(hasBullet(AwardNames::BadgeBullets[2]));
    }

    // Beside each requirement that is a career total, the player's own figure: a tick when met, or
    // how far there is still to go; round conditions show nothing.
    void careerProgress() {
        const auto expected = [](qint64 have, qint64 goal, bool hours) {
            const auto shown = [hours](qint64 v) {
                return hours ? QString::fromLatin1(FormatDuration(quint32(v))) : QLocale().toString(v);
            };
            return have >= goal ? QStringLiteral("\u2713 ") + shown(have)
                                : QStringLiteral("%1 of %2").arg(shown(have), shown(goal));
        };
        const auto progress = [this](const char* line) { return find(latin(line) + QStringLiteral("_progress")); };

        lookUp(QStringLiteral("45000001"));
        clickAward(AwardNames::badgePicture(12, 0)); // the Engineer Badge, at Sarge's expert level
        QVERIFY(progress(AwardNames::BadgeLines[0])->isHidden());
        const qint64 repairs = m_db->value("SELECT rpar FROM players WHERE pid = ?1", 45000001);
        const qint64 engineer = m_db->value("SELECT time FROM kits WHERE pid = ?1 AND id = 2", 45000001);
        QVERIFY(repairs >= 0 && engineer >= 0);
        QCOMPARE(progress(AwardNames::BadgeLines[1])->text(), expected(repairs, 250, false));
        QCOMPARE(progress(AwardNames::BadgeLines[2])->text(), expected(engineer, 100 * 3600, true));
        QVERIFY(label(AwardNames::BadgeLines[1])->accessibleName().endsWith(progress(AwardNames::BadgeLines[1])->text()));

        // WakeIslander holds the basic Engineer Combat Badge: the veteran level's time is still to go.
        lookUp(QStringLiteral("45000006"));
        clickAward(AwardNames::badgePicture(0, 0));
        QCOMPARE(textOf(AwardNames::NextName), QStringLiteral("Veteran Engineer Combat Badge"));
        QVERIFY(progress(AwardNames::NextLines[0])->isHidden());
        const qint64 wakeEngineer = m_db->value("SELECT time FROM kits WHERE pid = ?1 AND id = 2", 45000006);
        QCOMPARE(progress(AwardNames::NextLines[1])->text(), expected(wakeEngineer, 15 * 3600, true));
        QVERIFY(!progress(AwardNames::NextLines[1])->isHidden());

        // The Medal of Valor: the teamwork score against 30,000, a fresh player's nothing at all.
        lookUp(QStringLiteral("45000004"));
        clickAward(AwardNames::earnedPicture(Kind::Medal, 11));
        QCOMPARE(progress(AwardNames::MedalLines[3])->text(), QStringLiteral("0 of %1").arg(QLocale().toString(30000)));
        // The line is read with its progress, once, however often the figures came.
        lookUp(QStringLiteral("45000004"));
        clickAward(AwardNames::earnedPicture(Kind::Medal, 11));
        QCOMPARE(label(AwardNames::MedalLines[3])->accessibleName(),
                 QStringLiteral("Requirement 4: 30,000 Teamwork score, Progress: ") +
                     progress(AwardNames::MedalLines[3])->text());
    }

    // "x0" for a medal not earned, the count label's text for one earned; four bullets for the
    // Medal of Valor, one for the Gold Star after it.
    void medalClicks() {
        lookUp(QStringLiteral("45000004"));
        clickAward(AwardNames::earnedPicture(Kind::Medal, 11));
        QCOMPARE(textOf(AwardNames::MedalName), QStringLiteral("Medal of Valor"));
        QCOMPARE(textOf(AwardNames::MedalCount), QStringLiteral("x0"));
        lookUp(QStringLiteral("45000001"));
        const QHash<QByteArray, qint64> held = m_db->awards(45000001);
        clickAward(AwardNames::earnedPicture(Kind::Medal, 11));
        QCOMPARE(textOf(AwardNames::MedalCount), QStringLiteral("x%1").arg(held.value(Medals[11].id)));
        QCOMPARE(textOf(AwardNames::MedalLines[3]), QStringLiteral("30,000 Teamwork score"));
        for (const char* bullet : AwardNames::MedalBullets)
            QVERIFY(hasBullet(bullet));
        clickAward(AwardNames::earnedPicture(Kind::Medal, 0));
        QCOMPARE(textOf(AwardNames::MedalName), QStringLiteral("Gold Star"));
        QCOMPARE(textOf(AwardNames::MedalCount), QStringLiteral("x%1").arg(held.value(Medals[0].id)));
        QCOMPARE(QList<bool>({hasBullet(AwardNames::MedalBullets[0]), hasBullet(AwardNames::MedalBullets[1]),
                              hasBullet(AwardNames::MedalBullets[2]), hasBullet(AwardNames::MedalBullets[3])}),
                 QList<bool>({true, false, false, false}));
        QCOMPARE(label(AwardNames::MedalCount)->accessibleName(),
                 QStringLiteral("Awarded: x%1").arg(held.value(Medals[0].id)));

        // The panel follows a later reply: the next player's count, not the last one's.
        lookUp(QStringLiteral("45000004"));
        QCOMPARE(textOf(AwardNames::MedalCount), QStringLiteral("x0"));
        QCOMPARE(label(AwardNames::MedalPicture)->pixmap().toImage(), QPixmap(medalPicture(0, false)).toImage());
    }

    // Tab reaches the award slots; Space and Enter open them as a click does.
    void keyboard() {
        lookUp(QStringLiteral("45000001"));
        auto* first = qobject_cast<AwardSlot*>(find(AwardNames::badgePicture(0, 0))->parentWidget());
        find<QTabWidget>(latin(MainNames::Tabs))->setCurrentIndex(2);
        m_driver->activate();
        first->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), first);
        m_driver->pressKey(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), find(AwardNames::badgePicture(1, 0))->parentWidget());
        m_driver->pressKey(Qt::Key_Space);
        QCOMPARE(textOf(AwardNames::BadgeName), QStringLiteral("Expert Sniper Combat Badge"));
        auto* ribbon = qobject_cast<AwardSlot*>(find(AwardNames::earnedPicture(Kind::Ribbon, 5))->parentWidget());
        ribbon->setFocus(Qt::TabFocusReason);
        m_driver->pressKey(Qt::Key_Return);
        QCOMPARE(textOf(AwardNames::RibbonName), QStringLiteral("Armored Service Ribbon"));
        QCOMPARE(ribbon->accessibleName(), QStringLiteral("Armored Service Ribbon, earned"));

        // Assistive technology meets one button per award and can press it.
        QAccessibleInterface* button = QAccessible::queryAccessibleInterface(first);
        QVERIFY(button);
        QCOMPARE(button->role(), QAccessible::Button);
        QCOMPARE(button->text(QAccessible::Name), QStringLiteral("Expert Engineer Combat Badge"));
        QCOMPARE(button->childCount(), 0);
        button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(textOf(AwardNames::BadgeName), QStringLiteral("Expert Engineer Combat Badge"));
    }

    // A lookup start puts the ribbon and medal panels back to their first award; the badge panel
    // keeps its badge until the window is activated again.
    void resets() {
        lookUp(QStringLiteral("45000001"));
        clickAward(AwardNames::earnedPicture(Kind::Ribbon, 8));
        clickAward(AwardNames::earnedPicture(Kind::Medal, 11));
        clickAward(AwardNames::badgePicture(5, 0));
        QCOMPARE(textOf(AwardNames::RibbonName), QStringLiteral("Far East Service Ribbon"));
        m_driver->type(QStringLiteral("45000002"));
        m_driver->pressEnter(); // the resets run before any reply is in
        QCOMPARE(textOf(AwardNames::RibbonName), QStringLiteral("Air Defense Ribbon"));
        QCOMPARE(textOf(AwardNames::RibbonLines[1]),
                 QStringLiteral("IAR: 11 kills with Air Defense (SAM, AA Vehicle)"));
        QVERIFY(!hasBullet(AwardNames::RibbonBullets[2]));
        QCOMPARE(textOf(AwardNames::MedalName), QStringLiteral("Gold Star"));
        QCOMPARE(textOf(AwardNames::BadgeName), QStringLiteral("Expert Anti-Tank Combat Badge"));
        QVERIFY(m_driver->waitForLookup());
        m_window->formActivate();
        QVERIFY(textOf(AwardNames::BadgeName).endsWith(QLatin1String("Engineer Combat Badge")));
        QCOMPARE(textOf(AwardNames::BadgeName),
                 latin(Badges[0].names[std::size_t(m_db->awards(45000002).value(Badges[0].id, 0))]));
    }

    // Badge and medal panels fold by their caption bars; ribbon panels do not.
    void folding() {
        auto* badges = find<RollGroupBox>(latin(AwardNames::BadgePanels[0]));
        QVERIFY(badges);
        const QRect sf = find<QWidget>(latin(AwardNames::BadgePanels[1]))->geometry();
        QTest::mouseClick(badges, Qt::LeftButton, {}, QPoint(300, 8));
        QVERIFY(badges->isRolledUp());
        QCOMPARE(badges->height(), RollGroupBox::CaptionHeight);
        QCOMPARE(find<QWidget>(latin(AwardNames::BadgePanels[1]))->geometry(), sf);
        QTest::mouseClick(badges, Qt::LeftButton, {}, QPoint(300, 8));
        QVERIFY(!badges->isRolledUp());
        QVERIFY(find<RollGroupBox>(latin(AwardNames::MedalPanels[1])));
        QVERIFY(!find<RollGroupBox>(latin(AwardNames::RibbonPanels[0])));
        QVERIFY(find<QGroupBox>(latin(AwardNames::RibbonPanels[0])));
    }

    // Once the new player's statistics are shown, a failed awards or unlocks reply leaves no
    // earlier player's awards under the new name.
    void failedRepliesReset() {
        ScriptedServer server;
        QVERIFY(server.isListening());
        auto replies = std::make_shared<Replies>();
        const QByteArray stats = TestFiles::fixture("getplayerinfo_stats.txt");
        server.setResponder([replies, stats](const QByteArray& request) {
            const QByteArray line = request.left(request.indexOf("\r\n"));
            QByteArray body = "O\nH\tpid\tasof\nD\t1\t1700000000\n$\t12\t$";
            if (line.contains("/ASP/getplayerinfo.aspx") && !line.contains("info=mtm-"))
                body = stats;
            else if (line.contains("getawardsinfo"))
                body = replies->awards;
            else if (line.contains("getunlocksinfo"))
                body = replies->unlocks;
            ScriptedServer::Script s;
            return s.send(ScriptedServer::reply("200 OK", body));
        });
        openWindow(server.hostPort());
        replies->awards = "O\nH\taward\tlevel\nD\t2051907\t3\nD\t1031105\t2\nD\t3040109\t1\n$\t30\t$";
        replies->unlocks = "O\nH\tid\tstate\nD\t11\ts\nD\t111\ts\n$\t12\t$";
        QVERIFY(m_driver->lookUp(QStringLiteral("45000001")));
        QVERIFY(shown(AwardNames::earnedPicture(Kind::Medal, 0)));
        QCOMPARE(find(AwardNames::countLabel(0))->text(), QStringLiteral("x3"));
        QCOMPARE(textOf(AwardNames::MedalCount), QStringLiteral("x3"));
        QVERIFY(shown(AwardNames::badgePicture(0, 2)));
        QVERIFY(shown(UnlockNames::unlockedPicture(0)) && shown(UnlockNames::unlockedPicture(9)));
        QVERIFY(!shown(UnlockNames::unlockedPicture(1)));

        replies->awards = "<html>busy</html>";
        replies->unlocks = "O$";
        QVERIFY(m_driver->lookUp(QStringLiteral("45000002")));
        QVERIFY(!shown(AwardNames::earnedPicture(Kind::Medal, 0)));
        QCOMPARE(find(AwardNames::countLabel(0))->text(), QStringLiteral("x0"));
        QCOMPARE(textOf(AwardNames::MedalCount), QStringLiteral("x0"));
        QVERIFY(!shown(AwardNames::badgePicture(0, 2)));
        QVERIFY(!shown(AwardNames::earnedPicture(Kind::Ribbon, 0)));
        QCOMPARE(textOf(AwardNames::BadgeName), QStringLiteral("Engineer Combat Badge"));
        for (int u = 0; u < UnlockCount; ++u)
            QVERIFY(!shown(UnlockNames::unlockedPicture(u)));

        // A medal id as the reply's last token: earned, with no number made up for it.
        replies->awards = "O\nH\taward\nD\t2051907";
        replies->unlocks = "O\nD\t11";
        QVERIFY(m_driver->lookUp(QStringLiteral("45000001")));
        QVERIFY(shown(AwardNames::earnedPicture(Kind::Medal, 0)));
        QCOMPARE(find(AwardNames::countLabel(0))->text(), QStringLiteral("x"));
        QCOMPARE(
            qobject_cast<AwardSlot*>(find(AwardNames::earnedPicture(Kind::Medal, 0))->parentWidget())->accessibleName(),
            QStringLiteral("Gold Star, earned"));
        QVERIFY(!shown(UnlockNames::unlockedPicture(0)));
    }
};

ORVANE_UI_TEST_MAIN(TestAwardPages)
#include "test_award_pages.moc"
