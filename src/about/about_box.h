#pragma once

#include <QDialog>

class QLabel;
class ChangelogWindow;
class ScrollingCredits;

// The object names of the about box, shared with the tests.
namespace AboutNames {
inline constexpr char Window[] = "TForm5";
inline constexpr char Banner[] = "Im_banner";
inline constexpr char Version[] = "La_Version1";
inline constexpr char Credits[] = "Credits";
inline constexpr char Changelog[] = "Bu_Changelog";
inline constexpr char Close[] = "spSkinButton1";
} // namespace AboutNames

// The about box: a banner that opens the home page, the version, the scrolling credits (started
// again from below at every activation) and the way to the changelog.
class AboutBox final : public QDialog {
    Q_OBJECT

public:
    AboutBox(ChangelogWindow* changelog, QWidget* parent = nullptr);

    ScrollingCredits* credits() const { return m_credits; }
    // Runs at every activation of the window.
    void formActivate();

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ChangelogWindow* m_changelog;
    QLabel* m_banner;
    ScrollingCredits* m_credits;
};
