#pragma once

#include <QColor>
#include <QWidget>

class QLabel;
class QPushButton;
class TGauge;

// The small frameless window that follows a lookup: a status line, a gauge for the request that
// reported last and a gauge for the lookup as a whole. It closes itself when the overall progress
// reaches exactly 100.
class TLoad final : public QWidget {
    Q_OBJECT

public:
    explicit TLoad(QWidget* mainWindow);

    static const QColor Working; // black while receiving
    static const QColor Success; // green for "Data received"
    static const QColor Failure; // red for every failure text

    void setStatus(const QString& text, const QColor& colour);
    QString statusText() const;
    QColor statusColour() const;

    // Adds a reply's share to the overall gauge and closes the window at exactly 100.
    void AddOverallProgress(int share);
    void setOverallProgress(int value);
    int overallProgress() const;

    // The close button and the overall gauge share one place; one is always shown.
    void showCloseButton();
    void showOverallGauge();

    // Shows the window centred on the main window.
    void showCentred();

    TGauge* PB_fortschritt() const { return m_request; }
    TGauge* PB_fortschrittgesamt() const { return m_overall; }
    QPushButton* Bu_schliessen() const { return m_close; }
    QLabel* La_status() const { return m_status; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormActivate();

    QWidget* m_mainWindow;
    QLabel* m_status;
    TGauge* m_request;
    TGauge* m_overall;
    QPushButton* m_close;
};
