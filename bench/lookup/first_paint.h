#pragma once

// Start-up time points shared by the program's start-up run and the minimal window it is set
// beside: when a top-level window was shown and when its first paint was done, on a clock the
// caller started at the top of main(). Qt only, so that the minimal window links nothing else.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QObject>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <optional>

namespace FirstPaint {

inline double toMs(qint64 ns) {
    return static_cast<double>(ns) / 1e6;
}

// Runs the event loop until done() holds; false after timeoutMs. A timer wakes the loop now and
// then, so that a wait for something that never comes still ends.
template <typename Done> bool waitUntil(Done done, int timeoutMs) {
    QTimer watchdog;
    watchdog.start(100);
    const QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

struct ShownTimes {
    qint64 shownNs = 0;
    qint64 paintedNs = 0;
};

class ShowWatch final : public QObject {
public:
    std::optional<qint64> shownAt;
    bool painted = false;

    explicit ShowWatch(const QElapsedTimer& clock) : m_clock(clock) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show && !shownAt)
            shownAt = m_clock.nsecsElapsed();
        else if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }

private:
    const QElapsedTimer& m_clock;
};

// Shows the window and runs the loop until its first paint has been done; nothing on a time-out.
inline std::optional<ShownTimes> showAndPaint(QWidget& window, const QElapsedTimer& clock, int timeoutMs) {
    ShowWatch watch(clock);
    window.installEventFilter(&watch);
    window.show();
    // The filter sees the paint event before it is handled; the loop pass that delivered it ends
    // after the whole window has been painted.
    waitUntil([&] { return watch.painted; }, timeoutMs);
    const qint64 paintedNs = clock.nsecsElapsed();
    window.removeEventFilter(&watch);
    if (!watch.shownAt || !watch.painted)
        return std::nullopt;
    return ShownTimes{*watch.shownAt, paintedNs};
}

// The one line bench/lookup/run reads: "startup-ms <shown> <painted>".
inline void printStartup(const ShownTimes& times) {
    std::printf("startup-ms %.2f %.2f\n", toMs(times.shownNs), toMs(times.paintedNs));
}

} // namespace FirstPaint
