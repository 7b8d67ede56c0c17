#include "skin/skin.h"

#include <QApplication>
#include <QFile>
#include <QPalette>
#include <QStyleFactory>

static void initSkinResources() {
    Q_INIT_RESOURCE(skin);
}

namespace Skin {

QString styleSheet() {
    initSkinResources();
    QFile file(QStringLiteral(":/skin/orvane.qss"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

void apply(QApplication& app) {
    // Fusion draws every control the same on every desktop; the style sheet gives it our colours.
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        app.setStyle(fusion);
    QPalette tips = app.palette();
    tips.setColor(QPalette::ToolTipBase, Qt::white);
    tips.setColor(QPalette::ToolTipText, QColor(0x1b, 0x1f, 0x23));
    app.setPalette(tips);
    app.setStyleSheet(styleSheet());
}

} // namespace Skin
