#pragma once

#include <QDialog>

class QLabel;
class QTextEdit;

// The object names of the changelog window, shared with the tests.
namespace ChangelogNames {
inline constexpr char Window[] = "TForm8";
inline constexpr char Version[] = "La_Version1";
inline constexpr char Text[] = "RE_changelog";
inline constexpr char HomeLabel[] = "La_homepage";
inline constexpr char HomeLink[] = "La_homepagelink";
inline constexpr char Close[] = "spSkinButton1";
} // namespace ChangelogNames

// The version history, newest first, written anew each time the window becomes active. Shown
// modally after an update ("-chlog") and from the about box.
class ChangelogWindow final : public QDialog {
    Q_OBJECT

public:
    explicit ChangelogWindow(QWidget* parent = nullptr);

    // Runs at every activation of the window.
    void formActivate();
    QTextEdit* textBox() const { return m_text; }

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QLabel* m_version;
    QTextEdit* m_text;
};
