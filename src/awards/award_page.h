#pragma once

#include "awards/award_catalogue.h"
#include "awards/award_progress.h"
#include "awards/award_reader.h"

#include <QList>
#include <QSize>
#include <QString>
#include <QWidget>
#include <array>

class AwardSlot;
class QGroupBox;
class QLabel;
class RollGroupBox;

// The object names of the award pages, shared with the tests. Award pictures are named after their
// award: "Im_1031105_2" (a badge level), "Im_2051907" (earned), "La_2051907" (a medal's count).
namespace AwardNames {
inline constexpr char BadgesPage[] = "TS_Badges";
inline constexpr char RibbonsPage[] = "TS_Ribbons";
inline constexpr char MedalsPage[] = "TS_Medals";

inline constexpr const char* BadgePanels[2] = {"GB_badges", "GB_sfbadges"};
inline constexpr const char* RibbonPanels[2] = {"GB_ribbons", "GB_sfribbons"};
inline constexpr const char* MedalPanels[2] = {"GB_medals", "GB_sfmedals"};
inline constexpr char BadgeDescription[] = "GB_badgedesc";
inline constexpr char RibbonDescription[] = "GB_ribbondesc";
inline constexpr char MedalDescription[] = "GB_medaldesc";

// "Description - Badges"
inline constexpr char BadgePicture[] = "Im_badesc";
inline constexpr char BadgeName[] = "La_baname1";
inline constexpr const char* BadgeLines[] = {"La_reqba1", "La_reqba2", "La_reqba3"};
inline constexpr const char* BadgeBullets[] = {"Im_reqba1", "Im_reqba2", "Im_reqba3"};
inline constexpr char NextPart[] = "Pa_badgenext"; // holds the next-level controls below
inline constexpr char NextPicture[] = "Im_badescnext";
inline constexpr char NextName[] = "La_baname2";
inline constexpr const char* NextLines[] = {"La_reqbanext1", "La_reqbanext2", "La_reqbanext3"};
inline constexpr const char* NextBullets[] = {"Im_reqbanext1", "Im_reqbanext2", "Im_reqbanext3"};
// "Description - Ribbons"
inline constexpr char RibbonPicture[] = "Im_rbdesc";
inline constexpr char RibbonName[] = "La_ribname";
inline constexpr const char* RibbonLines[] = {"La_req1", "La_req2", "La_req3", "La_req4"};
inline constexpr const char* RibbonBullets[] = {"Im_req1", "Im_req2", "Im_req3", "Im_req4"};
// "Description - Medals"
inline constexpr char MedalPicture[] = "Im_medesc";
inline constexpr char MedalCount[] = "La_medesczahl";
inline constexpr char MedalName[] = "La_medalname";
inline constexpr const char* MedalLines[] = {"La_reqme1", "La_reqme2", "La_reqme3", "La_reqme4"};
inline constexpr const char* MedalBullets[] = {"Im_reqme1", "Im_reqme2", "Im_reqme3", "Im_reqme4"};

QString badgePicture(int badge, int level);             // "Im_1031105_2"
QString earnedPicture(Awards::Kind kind, int index);    // "Im_2051907"
QString notEarnedPicture(Awards::Kind kind, int index); // "Image29"
QString countLabel(int medal);                          // "La_2051907"
} // namespace AwardNames

// One of the three award pages: two award panels (main game above, special forces below) and the
// description panel, which shows the clicked award with its requirements.
class AwardPage final : public QWidget {
    Q_OBJECT

public:
    AwardPage(Awards::Kind kind, QWidget* parent);

    Awards::Kind kind() const { return m_kind; }
    // Shows exactly what one awards reply says; the description panel then shows the award it
    // showed, as the page now shows it.
    void showAwards(const AwardStatus& status);
    // Back to the start state: nothing earned, every count "x0"; the description panel is reset.
    void reset();
    // The player's career totals, for the progress beside the badge requirements; empty: none.
    void showCareer(const CareerFigures& figures);
    // The page's first award in the description panel, at the state the page shows.
    void resetDescription();

    QSize designSize() const { return m_designSize; }

private:
    struct Slot {
        AwardSlot* slot = nullptr;
        QList<QLabel*> pictures; // badge: levels 0 to 3; medal and ribbon: not earned, earned
        QLabel* count = nullptr; // medals
    };
    struct Line {
        QLabel* bullet = nullptr;
        QLabel* text = nullptr;
        QLabel* progress = nullptr; // badges: the player's figure beside a career total
    };

    void buildPanels();
    void buildDescription(RollGroupBox* box);
    QList<Line> buildLines(QWidget* parent, int x, int count, const char* const* bullets, const char* const* texts,
                           const QString& caption);
    void activate(int index, QLabel* picture);
    void showBadge(int badge, int level);
    void showDecoration(int index, QLabel* picture);
    void setLines(const QList<Line>& lines, const QList<QByteArray>& texts);
    void showProgress(const QList<Line>& lines, QByteArrayView id, int level);
    void speak(int index);
    int shownLevel(int badge) const;
    bool earnedShown(int index) const;

    Awards::Kind m_kind;
    QSize m_designSize;
    QList<Slot> m_slots;
    int m_described = 0; // the award the description panel shows
    int m_describedLevel = 0;
    CareerFigures m_career;

    RollGroupBox* m_description = nullptr;
    QLabel* m_picture = nullptr;
    QLabel* m_name = nullptr;
    QLabel* m_count = nullptr;
    QList<Line> m_lines;
    QWidget* m_nextPart = nullptr;
    QLabel* m_nextPicture = nullptr;
    QLabel* m_nextName = nullptr;
    QList<Line> m_nextLines;
};
