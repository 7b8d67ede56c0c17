#include "skin/lazy_picture.h"

#include <QEvent>
#include <QLabel>
#include <QObject>

namespace {

constexpr char ResourceProperty[] = "lazyResource";

void load(QLabel* label) {
    const QVariant resource = label->property(ResourceProperty);
    if (!resource.isValid())
        return;
    label->setProperty(ResourceProperty, QVariant());
    label->setPixmap(QPixmap(resource.toString()));
}

class Loader final : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            if (auto* label = qobject_cast<QLabel*>(watched)) {
                load(label);
                label->removeEventFilter(this);
            }
        }
        return false;
    }
};

Loader& loader() {
    static Loader instance;
    return instance;
}

} // namespace

namespace LazyPicture {

void set(QLabel* label, const QString& resource) {
    label->setProperty(ResourceProperty, resource);
    label->installEventFilter(&loader());
    if (label->isVisible())
        load(label);
}

QPixmap pixmap(QLabel* label) {
    load(label);
    return label->pixmap();
}

} // namespace LazyPicture
