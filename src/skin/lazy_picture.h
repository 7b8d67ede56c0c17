#pragma once

#include <QPixmap>
#include <QString>

class QLabel;

// Pictures decoded when first shown rather than when the window is built: the label keeps the
// resource path and decodes it the first time it becomes visible, or when someone asks for it.
namespace LazyPicture {
void set(QLabel* label, const QString& resource);
// The label's picture, decoded now if it has not been yet.
QPixmap pixmap(QLabel* label);
} // namespace LazyPicture
