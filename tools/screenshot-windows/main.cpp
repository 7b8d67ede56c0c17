// Takes the screenshots of the updater, the about box and the changelog window offscreen:
//   orvane-screenshot-windows OUTDIR [--update-server HOST:PORT]
// With an update server the updater is shown after a version check.
#include "about/about_box.h"
#include "about/changelog_window.h"
#include "about/scrolling_credits.h"
#include "resources/art.h"
#include "skin/skin.h"
#include "update/updater_window.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QSignalSpy>
#include <QTest>

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    initOrvaneArt();
    Skin::apply(app);

    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("outdir"), QStringLiteral("folder for the PNG files"));
    parser.addOption({QStringLiteral("update-server"), QStringLiteral("update server"), QStringLiteral("host:port")});
    parser.addOption({QStringLiteral("credits-ticks"), QStringLiteral("scroll steps before the about box is taken"),
                      QStringLiteral("n"), QStringLiteral("150")});
    parser.process(app);
    if (parser.positionalArguments().isEmpty())
        parser.showHelp(1);
    const QDir out(parser.positionalArguments().first());
    QDir().mkpath(out.path());

    UpdaterOptions options;
    options.server = parser.value(QStringLiteral("update-server")).toLatin1();
    options.packageManaged = false;
    UpdaterWindow updater(std::move(options));
    updater.show();
    updater.formActivate();
    if (parser.isSet(QStringLiteral("update-server"))) {
        QSignalSpy checked(&updater, &UpdaterWindow::checkFinished);
        QTest::mouseClick(updater.findChild<QWidget*>(QLatin1String(UpdaterNames::Check)), Qt::LeftButton);
        checked.wait(10000);
    }
    updater.grab().save(out.filePath(QStringLiteral("updater.png")));

    ChangelogWindow changelog;
    AboutBox about(&changelog);
    about.show();
    about.formActivate();
    // Far enough up that the title and the first names are in view.
    const int ticks = parser.value(QStringLiteral("credits-ticks")).toInt();
    for (int i = 0; i < ticks; ++i)
        about.credits()->tick();
    about.grab().save(out.filePath(QStringLiteral("about-box.png")));

    changelog.show();
    changelog.formActivate();
    changelog.grab().save(out.filePath(QStringLiteral("changelog.png")));
    return 0;
}
