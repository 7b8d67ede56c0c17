#include "resources/art.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside of any namespace.
static int registerOrvaneArt() {
    Q_INIT_RESOURCE(orvane_art);
    return 0;
}

void initOrvaneArt() {
    static const int registered = registerOrvaneArt();
    Q_UNUSED(registered);
}
