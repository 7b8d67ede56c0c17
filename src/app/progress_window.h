#pragma once

#include <QColor>
#include <QWidget>

class QLabel;
class QPushButton;
class Gauge;

// The object names of the progress window, shared with the tests.
namespace ProgressNames {
inline constexpr char Window[] = "TLoad";
inline constexpr char Status[] = "La_status";
inline constexpr char RequestGauge[] = "PB_fortschritt";
inline constexpr char OverallGauge[] = "PB_fortschrittgesamt";
inline constexpr char Close[] = "Bu_schliessen";
} // namespace ProgressNames

// The small frameless window that follows a lookup: a status line, a gauge for the request that
// reported last and a gauge for the lookup as a whole. It closes itself when the overall progress
// reaches exactly 100, unless a failure put up its close button; Escape closes it too.
class ProgressWindow final : public QWidget {
    Q_OBJECT

public:
    explicit ProgressWindow(QWidget* mainWindow);

    static const QColor Working; // black while receiving
    static const QColor Success; // green for "Data received"
    static const QColor Failure; // red for every failure text

    void setStatus(const QString& text, const QColor& colour);
    QString statusText() const;
    QColor statusColour() const;

    // Adds a reply's share to the overall gauge; at exactly 100 the window closes.
    void addOverallProgress(int share);
    void setOverallProgress(int value);
    int overallProgress() const;
    void setRequestProgress(qint64 total, qint64 received);

    // The close button and the overall gauge share one place; one is always shown.
    void showCloseButton();
    void showOverallGauge();
    bool closeButtonShown() const;

    // Shows the window centred on the main window.
    void showCentred();

    Gauge* requestGauge() const { return m_request; }
    Gauge* overallGauge() const { return m_overall; }
    QPushButton* closeButton() const { return m_close; }
    QLabel* statusLabel() const { return m_status; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* m_mainWindow;
    QLabel* m_status;
    Gauge* m_request;
    Gauge* m_overall;
    QPushButton* m_close;
};
