#pragma once

#include "awards/award_reader.h"

#include <QList>
#include <QSize>
#include <QWidget>

class QLabel;

namespace UnlockNames {
inline constexpr char Page[] = "TS_Unlocks";
inline constexpr const char* Panels[2] = {"GB_unlocks", "GB_sfunlocks"};
QString unlockedPicture(int unlock); // "Im_11"
} // namespace UnlockNames

// The Unlocks page: the twelve weapon unlocks on two panels, each shown in colour over its
// greyed picture when the player has chosen it.
class UnlocksPage final : public QWidget {
    Q_OBJECT

public:
    explicit UnlocksPage(QWidget* parent);

    void showUnlocks(const UnlockStatus& status);
    // Back to the start state: nothing unlocked.
    void reset() { showUnlocks(UnlockStatus{}); }

    static constexpr QSize DesignSize{1004, 249};

private:
    struct Pictures {
        QLabel* locked = nullptr;
        QLabel* unlocked = nullptr;
    };
    QList<Pictures> m_unlocks;
};
