#pragma once

#include "stats/player_progress.h"

#include <QWidget>
#include <optional>

class Gauge;
class QLabel;

// The object names of the next-rank group, shared with the tests.
namespace NextRankNames {
inline constexpr char Group[] = "GB_NextRank";
inline constexpr char Insignia[] = "Im_NextRank";
inline constexpr char Name[] = "La_NextRank";
inline constexpr char Bar[] = "PB_NextRank";
inline constexpr char ToGo[] = "La_NextRankToGo";
inline constexpr char Badges[] = "La_NextRankBadges";
} // namespace NextRankNames

// How far the player is from the next rank: its insignia and name, a bar from this rank's minimum
// score to the next one's, the points still to go with an estimate of the play time, and the
// badges the next rank also asks for that the player still lacks.
class NextRankPanel final : public QWidget {
    Q_OBJECT

public:
    explicit NextRankPanel(QWidget* parent);

    // The player's figures; the badges follow with the awards reply.
    void showFacts(const PlayerFacts& facts);
    void showBadges(const BadgeLevels& badges);
    void reset();

    const NextRank& shown() const { return m_next; }

private:
    void refresh();

    std::optional<PlayerFacts> m_facts;
    std::optional<BadgeLevels> m_badges;
    NextRank m_next;
    QLabel* m_insignia = nullptr;
    QLabel* m_name = nullptr;
    Gauge* m_bar = nullptr;
    QLabel* m_toGo = nullptr;
    QLabel* m_missing = nullptr;
};
