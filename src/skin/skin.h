#pragma once

class QApplication;
class QString;

namespace Skin {
// Unpacks the program's style sheet from the resources and applies it to the whole application.
void apply(QApplication& app);
// The style sheet text (empty if the resource is missing).
QString styleSheet();
} // namespace Skin
