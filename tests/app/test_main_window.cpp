// The main window and the progress window as the user meets them, with no statistics service or
// a dead one: start-up, activation, the screen fit, the keyboard, the hidden inputs, the history
// and its settings file, the gauges and what a screen reader is told.
#include "app/platform_hooks.h"
#include "app/progress_window.h"
#include "scripted_server.h"
#include "skin/gauge.h"
#include "stats/data_page.h"
#include "stats/overview_page.h"
#include "test_files.h"
#include "ui_test_main.h"
#include "window_driver.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <memory>
#include <unistd.h>

namespace {

struct Message {
    QMessageBox::Icon icon;
    QString caption;
    QString text;
};

// Settings naming a closed loopback port: every request fails at once with a refused connection.
QByteArray deadServer() {
    return "[Allgemein]\r\nstatsserver=127.0.0.1:" + QByteArray::number(ScriptedServer::refusingPort()) + "\r\n";
}

constexpr QSize DesignSize(1009, 815);
constexpr int CompactHeight = 760;

// A screen that holds the design size with room to spare.
constexpr QSize RoomyScreen(1920, 1040);

void setScreen(QSize available, int height) {
    PlatformHooks::setAvailableScreenSize([available] { return available; });
    PlatformHooks::setPrimaryScreenHeight([height] { return height; });
}

// A widget's place in the window's own coordinates.
QRect placeInWindow(const QWidget* widget, const QWidget* window) {
    return QRect(widget->mapTo(window, QPoint(0, 0)), widget->size());
}

QScrollArea* enclosingScrollArea(QWidget* widget) {
    for (QWidget* w = widget; w; w = w->parentWidget())
        if (auto* area = qobject_cast<QScrollArea*>(w))
            return area;
    return nullptr;
}

bool scrolls(const QScrollArea* area) {
    return area->verticalScrollBar()->maximum() > 0 || area->horizontalScrollBar()->maximum() > 0;
}

// Where a settings file cannot be written.
enum class Unwritable { FileAsFolder, DirectoryInPlace, ProcFile, ProcFolder, ReadOnlyFile, ReadOnlyFolder };

} // namespace

class TestMainWindow final : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QList<Message> m_messages;

    QString settingsFile() const { return m_dir.filePath(QStringLiteral("Settings.ini")); }
    void writeSettings(const QByteArray& text) const { writeFile(settingsFile(), text); }
    static void writeFile(const QString& path, const QByteArray& text) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }
    QByteArray readSettings() const { return TestFiles::readFile(settingsFile()); }

    // Short limits: a lookup against a port that does not answer ends within the test's patience.
    static std::unique_ptr<MainWindow> windowAt(const QString& path, QStringList args = {}) {
        MainWindowOptions options{path, std::move(args), {}};
        options.limits.connectTimeoutMs = 2000;
        options.limits.idleTimeoutMs = 1000;
        options.limits.deadlineMs = 3000;
        return std::make_unique<MainWindow>(std::move(options));
    }
    std::unique_ptr<MainWindow> makeWindow(QStringList args = {}) const {
        return windowAt(settingsFile(), std::move(args));
    }

    // Another window takes the activation, then the main window gets it back.
    static void reactivate(WindowDriver& driver) {
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        driver.activate();
    }

    static void clickTab(WindowDriver& driver, int index) {
        QTabBar* bar = driver.find<QTabWidget>(MainNames::Tabs)->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
        QCOMPARE(bar->currentIndex(), index);
    }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        PlatformHooks::setMessageBoxAnswer([this](QMessageBox::Icon icon, const QString& caption, const QString& text) {
            m_messages.append({icon, caption, text});
            return QMessageBox::Ok;
        });
    }
    void init() {
        QFile::remove(settingsFile());
        m_messages.clear();
        setScreen(RoomyScreen, RoomyScreen.height());
    }
    void cleanupTestCase() {
        PlatformHooks::setAvailableScreenSize(nullptr);
        PlatformHooks::setPrimaryScreenHeight(nullptr);
        PlatformHooks::setMessageBoxAnswer(nullptr);
    }

    void layoutHasItsNamedParts() {
        auto w = makeWindow();
        WindowDriver d(*w);
        QCOMPARE(w->objectName(), QLatin1String(MainNames::Window));
        QCOMPARE(w->windowTitle(), QStringLiteral("Orvane *BETA*"));
        auto* tabs = d.find<QTabWidget>(MainNames::Tabs);
        QVERIFY(tabs);
        const QStringList pages = {"Overview", "Data", "Badges", "Ribbons", "Medals", "Unlocks"};
        QCOMPARE(tabs->count(), pages.size());
        for (int i = 0; i < pages.size(); ++i)
            QCOMPARE(tabs->tabText(i), pages[i]);
        QVERIFY(d.find<OverviewPage>(OverviewNames::Page));
        QVERIFY(d.find<DataPage>(DataNames::Page));
        for (const char* name : {OverviewNames::Favourites, OverviewNames::Scores, OverviewNames::Teamwork,
                                 OverviewNames::Combat, OverviewNames::TopTenGroup, OverviewNames::BoardGroup})
            QVERIFY2(d.find<QGroupBox>(name), name);
        for (const char* name : {OverviewNames::TopTen, OverviewNames::Board, DataNames::Maps, DataNames::Army,
                                 DataNames::Kits, DataNames::Vehicles, DataNames::Misc, DataNames::Weapons})
            QVERIFY2(d.find<QTreeWidget>(name), name);
        QCOMPARE(d.find<QPushButton>(MainNames::Go)->text(), QStringLiteral("Go"));
        QCOMPARE(d.find<QLabel>(MainNames::NameLine)->text(), QStringLiteral("Nick,Rank"));
        QVERIFY(d.find<QPlainTextEdit>(OverviewNames::RawLog)->isHidden());
        QVERIFY(d.find<QLabel>(OverviewNames::Easter)->isHidden());
        QVERIFY(d.find<QComboBox>(MainNames::History)->isHidden());
        for (const char* name :
             {MainNames::Exit, MainNames::Options, MainNames::Donate, MainNames::Update, MainNames::About})
            QVERIFY2(d.find<QAction>(name), name);
        // Before the first lookup the maps table carries its initial names.
        QCOMPARE(d.find<QTreeWidget>(DataNames::Maps)->topLevelItem(5)->text(0), QStringLiteral("Sharqi Peninsule"));
        QCOMPARE(w->session(), nullptr);
    }

    // What a screen reader is told before any lookup; test_statistics_pages follows the values.
    void accessibleNames() {
        auto w = makeWindow();
        WindowDriver d(*w);
        QCOMPARE(d.find<QLabel>(MainNames::Banner)->accessibleName(), QStringLiteral("Orvane"));
        // The status line is read as what it says: a fixed name would hide its text.
        auto* status = w->progressWindow()->findChild<QLabel*>(QLatin1String(ProgressNames::Status));
        QVERIFY(status);
        QVERIFY(status->accessibleName().isEmpty());
        for (const OverviewNames::Figure& figure : OverviewNames::Figures) {
            auto* label = d.find<QLabel>(figure.objectName);
            QVERIFY2(label, figure.objectName);
            QCOMPARE(label->accessibleName(), QString::fromLatin1(figure.caption).trimmed() + QStringLiteral(": ") +
                                                  QString::fromLatin1(figure.initial));
        }
        QCOMPARE(d.find<QLabel>("La_Globalpoints")->accessibleName(), QStringLiteral("Global: 0"));
        QCOMPARE(d.find<QLabel>("La_killass")->accessibleName(), QStringLiteral("Kill Assist: 0"));
        QCOMPARE(d.find<QLabel>(OverviewNames::EaScore)->accessibleName(), QStringLiteral("EA Score: 0"));
    }

    void startWithoutSettingsFile() {
        auto w = makeWindow();
        WindowDriver d(*w);
        QVERIFY(w->history().isEmpty());
        QVERIFY(d.find<QComboBox>(MainNames::Input)->currentText().isEmpty());
        d.activate();
        QCOMPARE(w->session(), nullptr);
        QVERIFY(!QFile::exists(settingsFile()));
        QCOMPARE(w->statsServer(), QByteArray("127.0.0.1:28080"));
        QVERIFY(m_messages.isEmpty());
    }

    void startReadsHistoryWithoutGaps() {
        writeSettings("[Favoriten]\r\nFav2=Alpha\r\nFav4=Bravo\r\n");
        auto w = makeWindow();
        WindowDriver d(*w);
        QCOMPARE(w->history(), (QList<QString>{"Alpha", "Bravo"}));
        auto* input = d.find<QComboBox>(MainNames::Input);
        QCOMPARE(input->count(), 2);
        QVERIFY(input->currentText().isEmpty());
    }

    // An editor that saves as UTF-8 puts a byte-order mark first: the file still reads, and the
    // mark is still there after the history is written.
    void settingsWithByteOrderMark() {
        ScriptedServer server;
        QVERIFY(server.isListening());
        ScriptedServer::Script notFound;
        server.setScript(notFound.send(ScriptedServer::reply("404 Not Found", "Not Found")));
        writeSettings("\xEF\xBB\xBF[Allgemein]\r\nstatsserver=" + server.hostPort() + "\r\n");
        auto w = makeWindow();
        WindowDriver d(*w);
        QCOMPARE(w->statsServer(), server.hostPort());
        QVERIFY(d.lookUp(QStringLiteral("Someone")));
        QCOMPARE(server.requestCount(), 1);
        QVERIFY(server.requests().first().startsWith("GET /ASP/searchforplayers.aspx"));
        const QByteArray written = readSettings();
        QVERIFY2(written.startsWith("\xEF\xBB\xBF[Allgemein]\r\nstatsserver=" + server.hostPort() + "\r\n"),
                 written.constData());
        QCOMPARE(written.count("\xEF\xBB\xBF"), 1);
        QCOMPARE(written.count("[Allgemein]"), 1);
        QVERIFY(written.contains("[Favoriten]\r\nFav1=Someone\r\n"));
        QVERIFY(m_messages.isEmpty());
    }

    void screenHeightRule_data() {
        QTest::addColumn<int>("screen");
        QTest::addColumn<int>("height");
        QTest::addColumn<bool>("scrollBar");
        QTest::newRow("849") << 849 << CompactHeight << true;
        QTest::newRow("850") << 850 << DesignSize.height() << false;
    }
    void screenHeightRule() {
        QFETCH(int, screen);
        auto w = makeWindow();
        WindowDriver d(*w);
        PlatformHooks::setPrimaryScreenHeight([screen] { return screen; });
        d.activate();
        QTEST(w->height(), "height");
        QCOMPARE(w->width(), DesignSize.width());
        auto* data = d.find<QScrollArea>(DataNames::Scroll);
        QTEST(data->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn, "scrollBar");
        // The Data page ends within the window, above the status panel.
        const QRect dataPlace = placeInWindow(data, w.get());
        QVERIFY(w->rect().contains(dataPlace));
        QVERIFY(dataPlace.bottom() < placeInWindow(d.find<QLabel>(MainNames::Status), w.get()).top());
    }

    void screenFit_data() {
        QTest::addColumn<QSize>("available");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("pagesScroll");
        QTest::newRow("design fits") << RoomyScreen << DesignSize << false;
        QTest::newRow("1024x600") << QSize(1024, 600) << QSize(1009, 600) << true;
        QTest::newRow("800x600") << QSize(800, 600) << QSize(800, 600) << true;
    }
    void screenFit() {
        QFETCH(QSize, available);
        QFETCH(bool, pagesScroll);
        setScreen(available, available.height());
        auto w = makeWindow();
        WindowDriver d(*w);
        d.activate();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        // Where the design does not fit, the window with its frame takes what the screen offers.
        QFETCH(QSize, size);
        const QSize frame = w->frameGeometry().size() - w->size();
        QCOMPARE(w->size(), size.boundedTo(available - frame));
        QVERIFY(w->frameGeometry().width() <= available.width());
        QVERIFY(w->frameGeometry().height() <= available.height());

        // The input and Go stay where the user can reach them.
        for (const char* name : {MainNames::Input, MainNames::Go}) {
            auto* widget = d.find<QWidget>(name);
            QVERIFY2(w->rect().contains(placeInWindow(widget, w.get())), name);
            QVERIFY2(widget->isVisible(), name);
        }
        QScrollArea* overview = enclosingScrollArea(d.find<QWidget>(OverviewNames::Page));
        QVERIFY(overview);
        QCOMPARE(scrolls(overview), pagesScroll);
        // What does not fit can be scrolled to: the page's far corner comes into view.
        if (pagesScroll) {
            overview->verticalScrollBar()->setValue(overview->verticalScrollBar()->maximum());
            overview->horizontalScrollBar()->setValue(overview->horizontalScrollBar()->maximum());
            const QWidget* page = overview->widget();
            const QPoint corner = page->mapTo(overview->viewport(), QPoint(page->width() - 1, page->height() - 1));
            QVERIFY(overview->viewport()->rect().contains(corner));
        }
        clickTab(d, 1);
        auto* data = d.find<QScrollArea>(DataNames::Scroll);
        QVERIFY(w->rect().contains(placeInWindow(data, w.get())));
        if (pagesScroll)
            QVERIFY(data->verticalScrollBar()->maximum() > 0);
    }

    // Pages switch from anywhere in the window, the input included.
    void pageKeys_data() {
        QTest::addColumn<int>("start");
        QTest::addColumn<QByteArray>("focus");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("page");
        const QByteArray input = MainNames::Input;
        QTest::newRow("Ctrl+PgDown") << 0 << input << int(Qt::Key_PageDown) << 1;
        QTest::newRow("Ctrl+PgDown wraps") << 5 << input << int(Qt::Key_PageDown) << 0;
        QTest::newRow("Ctrl+PgUp") << 2 << input << int(Qt::Key_PageUp) << 1;
        QTest::newRow("Ctrl+PgUp wraps") << 0 << input << int(Qt::Key_PageUp) << 5;
        for (int n = 1; n <= 6; ++n)
            QTest::addRow("Ctrl+%d", n) << (n % 6) << input << int(Qt::Key_0 + n) << n - 1;
        QTest::newRow("Ctrl+PgDown in a table") << 0 << QByteArray(OverviewNames::TopTen) << int(Qt::Key_PageDown)
                                                << 1;
        QTest::newRow("Ctrl+4 in a table") << 1 << QByteArray(DataNames::Misc) << int(Qt::Key_4) << 3;
    }
    void pageKeys() {
        QFETCH(int, start);
        QFETCH(QByteArray, focus);
        QFETCH(int, key);
        auto w = makeWindow();
        WindowDriver d(*w);
        d.activate();
        clickTab(d, start);
        // The user clicks where the keys go.
        if (focus == MainNames::Input) {
            QTest::mouseClick(d.find<QComboBox>(MainNames::Input)->lineEdit(), Qt::LeftButton);
            QCOMPARE(QApplication::focusWidget(), d.find<QComboBox>(MainNames::Input));
        } else {
            auto* list = d.find<QTreeWidget>(focus.constData());
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->topLevelItem(0)).center());
            QCOMPARE(QApplication::focusWidget(), list);
        }
        d.pressKey(Qt::Key(key), Qt::ControlModifier);
        QTEST(d.find<QTabWidget>(MainNames::Tabs)->currentIndex(), "page");
    }

    // The arguments carry no nickname: activating with any of them looks nobody up.
    void argumentsStartNoLookup_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("-chlog") << QStringList{"-chlog"};
        QTest::newRow("capitals") << QStringList{"-CHLOG"};
        QTest::newRow("second") << QStringList{"x", "-chlog"};
        QTest::newRow("none") << QStringList{};
    }
    void argumentsStartNoLookup() {
        QFETCH(QStringList, args);
        writeSettings(deadServer());
        auto w = makeWindow(args);
        WindowDriver d(*w);
        d.activate();
        reactivate(d);
        QCOMPARE(w->session(), nullptr);
        QVERIFY(w->history().isEmpty());
        QVERIFY(m_messages.isEmpty());
        QCOMPARE(w->size(), DesignSize);
    }

    void lookupAtStartRunsAtFirstActivationOnly() {
        writeSettings(deadServer() + "getstatsnick=Starter\r\n");
        auto w = makeWindow({"-chlog"});
        WindowDriver d(*w);
        QCOMPARE(w->session(), nullptr);
        QVERIFY(w->history().isEmpty());
        d.activate();
        const LookupSession* first = w->session();
        QVERIFY(first);
        QVERIFY(d.waitForLookup());
        QCOMPARE(d.finishedCount(), 1);
        QCOMPARE(w->history(), (QList<QString>{"Starter"}));
        QCOMPARE(d.find<QComboBox>(MainNames::Input)->currentText(), QStringLiteral("Starter"));

        // A later activation applies the screen again but looks nobody up.
        PlatformHooks::setPrimaryScreenHeight([] { return 800; });
        reactivate(d);
        QCOMPARE(w->height(), CompactHeight);
        QCOMPARE(w->session(), first);
        QCOMPARE(d.finishedCount(), 1);
        QCOMPARE(w->history(), (QList<QString>{"Starter"}));
    }

    void hiddenInputsToggleAndStartNoLookup_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QByteArray>("toggled");
        QTest::addColumn<bool>("hidesGroups");
        QTest::addColumn<bool>("afterLookup");
        for (bool after : {false, true}) {
            const char* when = after ? "after a lookup" : "first";
            QTest::addRow("raw log, %s", when) << QStringLiteral("#rawlog") << QByteArray(OverviewNames::RawLog) << false << after;
            QTest::addRow("thank-you card, %s", when)
                << QStringLiteral("Orvane Easter") << QByteArray(OverviewNames::Easter) << true << after;
        }
    }
    void hiddenInputsToggleAndStartNoLookup() {
        QFETCH(QString, code);
        QFETCH(QByteArray, toggled);
        QFETCH(bool, hidesGroups);
        QFETCH(bool, afterLookup);
        writeSettings(deadServer());
        auto w = makeWindow();
        WindowDriver d(*w);
        w->show();
        if (afterLookup)
            QVERIFY(d.lookUp(QStringLiteral("Someone")));
        const LookupSession* before = w->session();
        const QList<QString> history = w->history();
        const QByteArray settings = readSettings();
        const bool progressShown = w->progressWindow()->isVisible();
        const QString progressText = w->progressWindow()->statusText();

        auto* widget = d.find<QWidget>(toggled.constData());
        auto* scores = d.find<QGroupBox>(OverviewNames::Scores);
        auto* topTen = d.find<QGroupBox>(OverviewNames::TopTenGroup);
        // On, then off again; once by Enter, once by Go.
        for (const bool shown : {true, false}) {
            d.type(code);
            if (shown)
                d.pressEnter();
            else
                d.clickGo();
            QCOMPARE(widget->isHidden(), !shown);
            QCOMPARE(scores->isHidden(), hidesGroups && shown);
            QCOMPARE(topTen->isHidden(), hidesGroups && shown);
            QCOMPARE(w->session(), before);
            QCOMPARE(d.finishedCount(), afterLookup ? 1 : 0);
        }
        QCOMPARE(w->history(), history);
        QCOMPARE(readSettings(), settings);
        QCOMPARE(w->progressWindow()->isVisible(), progressShown);
        QCOMPARE(w->progressWindow()->statusText(), progressText);
        QVERIFY(m_messages.isEmpty());
    }

    void emptyInputShowsMessage() {
        auto w = makeWindow();
        WindowDriver d(*w);
        d.type(QString());
        d.clickGo();
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(m_messages[0].text, QStringLiteral("Invalid Nickname/PID"));
        QCOMPARE(m_messages[0].caption, QStringLiteral("Error"));
        QCOMPARE(m_messages[0].icon, QMessageBox::Critical);
        QCOMPARE(w->session(), nullptr);
        QVERIFY(!QFile::exists(settingsFile()));
        QVERIFY(w->progressWindow()->isHidden());
    }

    void historyRules() {
        writeSettings(deadServer());
        auto w = makeWindow();
        WindowDriver d(*w);
        for (const char* nick : {"a", "b", "c", "d", "e", "f"})
            QVERIFY(d.lookUp(QLatin1String(nick), WindowDriver::Submit::ClickGo));
        QCOMPARE(w->history(), (QList<QString>{"f", "e", "d", "c", "b"}));
        QVERIFY(d.lookUp(QStringLiteral("c")));
        QCOMPARE(w->history(), (QList<QString>{"c", "f", "e", "d", "b"}));
        const QByteArray settings = readSettings();
        QVERIFY(settings.contains("Fav1=c"));
        QVERIFY(settings.contains("Fav5=b"));

        // The same name again leaves the history as it is but still rewrites the file.
        QFile::remove(settingsFile());
        QVERIFY(d.lookUp(QStringLiteral("c")));
        QCOMPARE(w->history(), (QList<QString>{"c", "f", "e", "d", "b"}));
        QVERIFY(readSettings().contains("Fav1=c"));
        auto* fkt = d.find<QComboBox>(MainNames::History);
        QCOMPARE(fkt->count(), 5);
        QCOMPARE(fkt->itemText(0), QStringLiteral("c"));
        QCOMPARE(d.find<QComboBox>(MainNames::Input)->count(), 5);
        QCOMPARE(d.finishedCount(), 8);
        QVERIFY(m_messages.isEmpty());
    }

    // A settings file that cannot be written does not stop Go: the lookup runs, the history is
    // kept in memory, the user is told once per run and later only in the status panel.
    void unwritableSettingsDoNotStopGo_data() {
        QTest::addColumn<int>("kindColumn");
        QTest::newRow("file in the folder's place") << int(Unwritable::FileAsFolder);
        QTest::newRow("folder in the file's place") << int(Unwritable::DirectoryInPlace);
        // Root writes past any mode bits; these two stop it all the same.
        QTest::newRow("read-only file /proc/version") << int(Unwritable::ProcFile);
        QTest::newRow("unwritable folder /proc") << int(Unwritable::ProcFolder);
        if (geteuid() != 0) {
            QTest::newRow("chmod read-only file") << int(Unwritable::ReadOnlyFile);
            QTest::newRow("chmod read-only folder") << int(Unwritable::ReadOnlyFolder);
        }
    }
    void unwritableSettingsDoNotStopGo() {
        QFETCH(int, kindColumn);
        const auto kind = Unwritable(kindColumn);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QString path = dir.filePath(QStringLiteral("Settings.ini"));
        QString restore; // a folder whose mode the test takes away and gives back
        auto giveBack = qScopeGuard([&restore] {
            if (!restore.isEmpty())
                QFile::setPermissions(restore, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        });
        switch (kind) {
        case Unwritable::FileAsFolder:
            writeFile(dir.filePath(QStringLiteral("blocker")), {});
            path = dir.filePath(QStringLiteral("blocker/Settings.ini"));
            break;
        case Unwritable::DirectoryInPlace:
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Settings.ini")));
            break;
        case Unwritable::ProcFile:
            path = QStringLiteral("/proc/version");
            break;
        case Unwritable::ProcFolder:
            path = QStringLiteral("/proc/Settings.ini");
            break;
        case Unwritable::ReadOnlyFile:
            writeFile(path, deadServer());
            QVERIFY(QFile::setPermissions(path, QFile::ReadOwner));
            break;
        case Unwritable::ReadOnlyFolder:
            restore = dir.filePath(QStringLiteral("locked"));
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("locked")));
            writeFile(restore + QStringLiteral("/Settings.ini"), deadServer());
            QVERIFY(QFile::setPermissions(restore, QFile::ReadOwner | QFile::ExeOwner));
            path = restore + QStringLiteral("/Settings.ini");
            break;
        }
        const QByteArray before = TestFiles::readFile(path);
        const QString error = QStringLiteral("Unable to write to %1").arg(QDir::toNativeSeparators(path));

        auto w = windowAt(path);
        WindowDriver d(*w);
        QVERIFY(d.lookUp(QStringLiteral("Someone")));
        QVERIFY(w->session());
        QVERIFY(!w->session()->requests().isEmpty());
        QCOMPARE(d.finishedCount(), 1);
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(m_messages[0].text, error);
        QCOMPARE(m_messages[0].caption, QStringLiteral("Error"));
        QCOMPARE(m_messages[0].icon, QMessageBox::Critical);
        QCOMPARE(w->history(), (QList<QString>{"Someone"}));

        // The second failure goes to the status panel only.
        QVERIFY(d.lookUp(QStringLiteral("Other"), WindowDriver::Submit::ClickGo));
        QCOMPARE(d.finishedCount(), 2);
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(d.find<QLabel>(MainNames::Status)->text(), error);
        QCOMPARE(w->history(), (QList<QString>{"Other", "Someone"}));
        QCOMPARE(d.find<QComboBox>(MainNames::Input)->count(), 2);
        QCOMPARE(d.find<QComboBox>(MainNames::History)->itemText(0), QStringLiteral("Other"));
        QCOMPARE(TestFiles::readFile(path), before);
        if (kind == Unwritable::DirectoryInPlace)
            QVERIFY(QFileInfo(path).isDir());
    }

    void gaugeKeepsWithinRange() {
        Gauge g;
        g.setValue(150);
        QCOMPARE(g.value(), 100);
        g.setValue(-5);
        QCOMPARE(g.value(), 0);
        g.setValue(80);
        g.setMaximum(50);
        QCOMPARE(g.value(), 50);
        QCOMPARE(g.percent(), 100);
        g.setMaximum(0);
        QCOMPARE(g.percent(), 0);
        QCOMPARE(g.text(), QStringLiteral("0 %"));
        g.setMaximum(3);
        g.setValue(1);
        QCOMPARE(g.percent(), 33);
    }

    void overallProgressClosesAtExactly100() {
        auto w = makeWindow();
        ProgressWindow* load = w->progressWindow();
        load->setOverallProgress(0);
        load->showCentred();
        for (int i = 0; i < 4; ++i)
            load->addOverallProgress(20);
        QVERIFY(load->isVisible());
        load->addOverallProgress(20);
        QVERIFY(!load->isVisible());
        load->addOverallProgress(20);
        QCOMPARE(load->overallProgress(), 100);
        QVERIFY(!load->isVisible());
        // Shown again at 100, it closes by itself.
        load->showCentred();
        QTRY_VERIFY(!load->isVisible());
    }

    // With its close button up, the window stays at 100 until the user closes it.
    void closeButtonKeepsTheWindowUpAt100() {
        auto w = makeWindow();
        ProgressWindow* load = w->progressWindow();
        load->setOverallProgress(0);
        load->showCloseButton();
        load->showCentred();
        for (int i = 0; i < 5; ++i)
            load->addOverallProgress(20);
        QCOMPARE(load->overallProgress(), 100);
        QVERIFY(load->isVisible());
        QVERIFY(load->closeButton()->isVisible());
        // Shown again at 100: the deferred close of a finished lookup does not take it either.
        load->hide();
        load->showCentred();
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        QVERIFY(load->isVisible());
        QTest::mouseClick(load->closeButton(), Qt::LeftButton);
        QVERIFY(!load->isVisible());
    }

    void failedLookupStaysUpUntilClosed_data() {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Escape") << true;
        QTest::newRow("close button") << false;
    }
    void failedLookupStaysUpUntilClosed() {
        QFETCH(bool, escape);
        writeSettings(deadServer());
        auto w = makeWindow();
        WindowDriver d(*w);
        d.activate();
        QVERIFY(d.lookUp(QStringLiteral("Someone")));
        QCOMPARE(d.lastOutcome(), LookupOutcome::Failed);
        ProgressWindow* load = w->progressWindow();
        QVERIFY(load->isVisible());
        QVERIFY(load->closeButtonShown());
        QCOMPARE(load->statusColour(), ProgressWindow::Failure);
        if (escape)
            d.pressKey(Qt::Key_Escape);
        else
            QTest::mouseClick(load->closeButton(), Qt::LeftButton);
        QVERIFY(!load->isVisible());
        // The main window is still there for the next Go.
        QVERIFY(w->isVisible());
    }

    void closeButtonText() {
        auto w = makeWindow();
        auto* close = w->progressWindow()->findChild<QPushButton*>(QLatin1String(ProgressNames::Close));
        QVERIFY(close);
        QCOMPARE(close->text(), QStringLiteral(" &Schlie\u00DFen"));
        QVERIFY(close->isHidden());
    }

    void statusPanelShowsHint() {
        auto w = makeWindow();
        WindowDriver d(*w);
        d.activate();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        auto* go = d.find<QPushButton>(MainNames::Go);
        auto* status = d.find<QLabel>(MainNames::Status);
        QTest::mouseMove(go);
        QTRY_COMPARE(status->text(), go->toolTip());
        // Of "short|long" the panel shows the long part.
        auto* input = d.find<QComboBox>(MainNames::Input);
        input->setToolTip(QStringLiteral("short|the long hint"));
        QTest::mouseMove(input);
        QTRY_COMPARE(status->text(), QStringLiteral("the long hint"));
    }
};

ORVANE_UI_TEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
