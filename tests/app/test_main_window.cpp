// The main window and the progress window without a statistics service: start-up, activation,
// the hidden inputs, the history and the gauges.
#include "app/main_window.h"
#include "app/platform_hooks.h"
#include "app/progress_window.h"
#include "scripted_server.h"
#include "service/httpget.h"
#include "skin/gauge.h"
#include "test_files.h"
#include "ui_test_main.h"

#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <memory>

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

} // namespace

class TestMainWindow final : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QList<Message> m_messages;

    QString settingsFile() const { return m_dir.filePath(QStringLiteral("Settings.ini")); }
    void writeSettings(const QByteArray& text) {
        QFile f(settingsFile());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }
    QByteArray readSettings() const { return TestFiles::readFile(settingsFile()); }
    std::unique_ptr<TForm3> makeWindow(QStringList args = {}) {
        return std::make_unique<TForm3>(MainWindowOptions{settingsFile(), std::move(args)});
    }
    static void go(TForm3& w, const QString& text) {
        w.findChild<QComboBox*>(QStringLiteral("Ed_Username"))->setEditText(text);
        w.Ed_EingabeClick();
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
        PlatformHooks::setPrimaryScreenHeight(nullptr);
    }

    void layoutHasItsNamedParts() {
        auto w = makeWindow();
        QCOMPARE(w->windowTitle(), QStringLiteral("Orvane *BETA*"));
        auto* tabs = w->findChild<QTabWidget*>(QStringLiteral("Tabmain"));
        QVERIFY(tabs);
        const QStringList pages = {"Overview", "Data", "Badges", "Ribbons", "Medals", "Unlocks"};
        QCOMPARE(tabs->count(), pages.size());
        for (int i = 0; i < pages.size(); ++i)
            QCOMPARE(tabs->tabText(i), pages[i]);
        for (const char* name : {"GB_fav", "GB_Scores", "GB_Teamwork", "GB_Combat", "GB_Topten", "GB_Leaderboard"})
            QVERIFY2(w->findChild<QGroupBox*>(QLatin1String(name)), name);
        for (const char* name : {"LV_Topten", "LV_personalleaderboard", "LV_Maps", "LV_Army", "Lv_kits", "LV_Vehicle",
                                 "LV_misc", "Lv_weapons"})
            QVERIFY2(w->findChild<QTreeWidget*>(QLatin1String(name)), name);
        QCOMPARE(w->findChild<QPushButton*>(QStringLiteral("Ed_Eingabe"))->text(), QStringLiteral("Go"));
        QCOMPARE(w->findChild<QLabel*>(QStringLiteral("La_Nickrank"))->text(), QStringLiteral("Nick,Rank"));
        QVERIFY(w->findChild<QPlainTextEdit*>(QStringLiteral("Memo1"))->isHidden());
        QVERIFY(w->findChild<QLabel*>(QStringLiteral("EasterPicture"))->isHidden());
        QVERIFY(w->findChild<QComboBox*>(QStringLiteral("Ed_Usernamefkt"))->isHidden());
        for (const char* name : {"Ende2", "Einstellungen2", "Hilfe3", "Update2", "Baout1"})
            QVERIFY2(w->findChild<QAction*>(QLatin1String(name)), name);
        // Before the first lookup the maps table carries its initial names.
        QCOMPARE(w->findChild<QTreeWidget*>(QStringLiteral("LV_Maps"))->topLevelItem(5)->text(0),
                 QStringLiteral("Sharqi Peninsule"));
    }

    void startWithoutSettingsFile() {
        auto w = makeWindow();
        QVERIFY(w->history().isEmpty());
        QVERIFY(w->findChild<QComboBox*>(QStringLiteral("Ed_Username"))->currentText().isEmpty());
        QVERIFY(!w->StatsOnStartPending);
        w->FormActivate();
        QVERIFY(!QFile::exists(settingsFile()));
        QCOMPARE(w->statsServer(), QByteArray("127.0.0.1:28080"));
    }

    void startReadsHistoryWithoutGaps() {
        writeSettings("[Favoriten]\r\nFav2=Alpha\r\nFav4=Bravo\r\n");
        auto w = makeWindow();
        QCOMPARE(w->history(), (QList<QString>{"Alpha", "Bravo"}));
        auto* input = w->findChild<QComboBox*>(QStringLiteral("Ed_Username"));
        QCOMPARE(input->count(), 2);
        QVERIFY(input->currentText().isEmpty());
    }

    void screenHeightRule_data() {
        QTest::addColumn<int>("screen");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("dataHeight");
        QTest::addColumn<bool>("scrollBar");
        QTest::newRow("849") << 849 << 760 << 595 << true;
        QTest::newRow("850") << 850 << 815 << 670 << false;
    }
    void screenHeightRule() {
        QFETCH(int, screen);
        auto w = makeWindow();
        PlatformHooks::setPrimaryScreenHeight([screen] { return screen; });
        w->FormActivate();
        QTEST(w->height(), "height");
        QTEST(w->findChild<QScrollArea*>(QStringLiteral("SB_data"))->height(), "dataHeight");
        const bool on =
            w->findChild<QScrollArea*>(QStringLiteral("SB_data"))->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn;
        QTEST(on, "scrollBar");
    }

    void changelogOnlyForExactFirstArgument_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("shown");
        QTest::newRow("-chlog") << QStringList{"-chlog"} << 1;
        QTest::newRow("capitals") << QStringList{"-CHLOG"} << 0;
        QTest::newRow("second") << QStringList{"x", "-chlog"} << 0;
        QTest::newRow("none") << QStringList{} << 0;
    }
    void changelogOnlyForExactFirstArgument() {
        QFETCH(QStringList, args);
        auto w = makeWindow(args);
        int shown = 0;
        w->showChangelog = [&shown] { ++shown; };
        w->FormActivate();
        w->FormActivate();
        QTEST(shown, "shown");
    }

    void lookupAtStartRunsAtFirstActivationAfterChangelog() {
        writeSettings(deadServer() + "getstatsnick=Starter\r\n");
        auto w = makeWindow({"-chlog"});
        QVERIFY(w->StatsOnStartPending);
        QStringList order;
        w->showChangelog = [&] { order << "changelog"; };
        w->ResetBadgeDescription = [&] { order << "panels"; };
        QVERIFY(w->history().isEmpty());
        w->FormActivate();
        QCOMPARE(w->history(), (QList<QString>{"Starter"}));
        QCOMPARE(order, (QStringList{"changelog", "panels"}));
        QVERIFY(!w->StatsOnStartPending);
        w->FormActivate();
        QCOMPARE(order, (QStringList{"changelog", "panels", "panels"}));
    }

    void hiddenInputsToggleAndTouchNothingElse() {
        writeSettings(deadServer());
        const QByteArray before = readSettings();
        auto w = makeWindow();
        auto* memo = w->findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
        go(*w, QStringLiteral("#rawlog"));
        QVERIFY(!memo->isHidden());
        go(*w, QStringLiteral("#rawlog"));
        QVERIFY(memo->isHidden());

        auto* picture = w->findChild<QLabel*>(QStringLiteral("EasterPicture"));
        go(*w, QStringLiteral("Orvane Easter"));
        QVERIFY(!picture->isHidden());
        QVERIFY(w->findChild<QGroupBox*>(QStringLiteral("GB_Scores"))->isHidden());
        go(*w, QStringLiteral("Orvane Easter"));
        QVERIFY(picture->isHidden());
        QVERIFY(!w->findChild<QGroupBox*>(QStringLiteral("GB_Topten"))->isHidden());

        QVERIFY(w->history().isEmpty());
        QCOMPARE(readSettings(), before);
        QVERIFY(w->progressWindow()->isHidden());
    }

    void emptyInputShowsMessage() {
        auto w = makeWindow();
        go(*w, QString());
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(m_messages[0].text, QStringLiteral("Invalid Nickname/PID"));
        QCOMPARE(m_messages[0].caption, QStringLiteral("Error"));
        QCOMPARE(m_messages[0].icon, QMessageBox::Critical);
        QVERIFY(!QFile::exists(settingsFile()));
        QVERIFY(w->progressWindow()->isHidden());
    }

    void historyRules() {
        writeSettings(deadServer());
        auto w = makeWindow();
        for (const char* nick : {"a", "b", "c", "d", "e", "f"})
            go(*w, QLatin1String(nick));
        QCOMPARE(w->history(), (QList<QString>{"f", "e", "d", "c", "b"}));
        go(*w, QStringLiteral("c"));
        QCOMPARE(w->history(), (QList<QString>{"c", "f", "e", "d", "b"}));
        const QByteArray settings = readSettings();
        QVERIFY(settings.contains("Fav1=c"));
        QVERIFY(settings.contains("Fav5=b"));

        // The same name again leaves the history as it is but still rewrites the file.
        QFile::remove(settingsFile());
        go(*w, QStringLiteral("c"));
        QCOMPARE(w->history(), (QList<QString>{"c", "f", "e", "d", "b"}));
        QVERIFY(readSettings().contains("Fav1=c"));
        auto* fkt = w->findChild<QComboBox*>(QStringLiteral("Ed_Usernamefkt"));
        QCOMPARE(fkt->count(), 5);
        QCOMPARE(fkt->itemText(0), QStringLiteral("c"));
    }

    void failedSettingsWriteStopsGo() {
        // The settings "folder" is a file: no write can succeed there, not even as root.
        const QString blocker = m_dir.filePath(QStringLiteral("blocker"));
        QFile f(blocker);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        const QString path = blocker + QStringLiteral("/Settings.ini");
        TForm3 w(MainWindowOptions{path, {}});
        go(w, QStringLiteral("Someone"));
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(m_messages[0].text, QStringLiteral("Unable to write to %1").arg(path));
        QCOMPARE(w.history(), (QList<QString>{"Someone"}));
        QVERIFY(w.progressWindow()->isHidden());
        QVERIFY(!w.fetcher(ReplyKind::PID)->isBusy());
    }

    void gaugeKeepsWithinRange() {
        TGauge g;
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
        TLoad* load = w->progressWindow();
        load->setOverallProgress(0);
        load->showCentred();
        for (int i = 0; i < 4; ++i)
            load->AddOverallProgress(20);
        QVERIFY(load->isVisible());
        load->AddOverallProgress(20);
        QVERIFY(!load->isVisible());
        load->AddOverallProgress(20);
        QCOMPARE(load->overallProgress(), 100);
        QVERIFY(!load->isVisible());
        // Shown again at 100, it closes by itself.
        load->showCentred();
        QTRY_VERIFY(!load->isVisible());
    }

    void closeButtonText() {
        auto w = makeWindow();
        auto* close = w->progressWindow()->findChild<QPushButton*>(QStringLiteral("Bu_schliessen"));
        QCOMPARE(close->text(), QStringLiteral(" &Schlie\u00DFen"));
        QVERIFY(close->isHidden());
    }

    void statusPanelShowsHint() {
        auto w = makeWindow();
        w->show();
        auto* go = w->findChild<QPushButton*>(QStringLiteral("Ed_Eingabe"));
        go->setToolTip(QStringLiteral("short|the long hint"));
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(go, &enter);
        QCOMPARE(w->findChild<QLabel*>(QStringLiteral("SB_Status"))->text(), QStringLiteral("the long hint"));
    }
};

ORVANE_UI_TEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
