#include "board.h"

#include "database.h"

#include <array>

namespace board {
namespace {

using i64 = std::int64_t;

std::string n(int value) {
    return std::to_string(value);
}

// "X.scor >> 4L" and friends, for a row alias (NEW, OLD, p).
std::string scoreBucket(const std::string& row, int level) {
    return "(" + row + ".scor >> " + n(ScoreBits * level) + ")";
}
std::string pidBucket(const std::string& row, int level) {
    return "(" + row + ".pid >> " + n(PidBits * level) + ")";
}
std::string groupSize(const std::string& row) {
    return "coalesce((SELECT n FROM score_tally WHERE level = 0 AND bucket = " + row + ".scor), 0)";
}

// Counts the row in: every score level, and the PID levels once its score is shared.
std::string addSql(const std::string& row) {
    std::string sql;
    for (int level = 0; level < ScoreLevels; ++level) {
        sql += "INSERT INTO score_tally (level, bucket, n) VALUES (" + n(level) + ", " + scoreBucket(row, level) +
               ", 1) ON CONFLICT (level, bucket) DO UPDATE SET n = n + 1;\n";
    }
    // The PID levels of a score exist only while two or more players share it: the second one
    // brings in the first as well.
    for (int level = 1; level < PidLevels; ++level) {
        sql += "INSERT INTO tie_tally (level, scor, bucket, n) SELECT " + n(level) + ", q.scor, " +
               pidBucket("q", level) + ", 1 FROM players q WHERE q.scor = " + row + ".scor AND q.pid != " + row +
               ".pid AND " + groupSize(row) + " = 2 ON CONFLICT (level, scor, bucket) DO UPDATE SET n = n + 1;\n";
        sql += "INSERT INTO tie_tally (level, scor, bucket, n) SELECT " + n(level) + ", " + row + ".scor, " +
               pidBucket(row, level) + ", 1 WHERE " + groupSize(row) +
               " >= 2 ON CONFLICT (level, scor, bucket) DO UPDATE SET n = n + 1;\n";
    }
    return sql;
}

std::string removeSql(const std::string& row) {
    std::string sql;
    for (int level = 0; level < ScoreLevels; ++level) {
        sql += "UPDATE score_tally SET n = n - 1 WHERE level = " + n(level) +
               " AND bucket = " + scoreBucket(row, level) + ";\n";
        sql += "DELETE FROM score_tally WHERE level = " + n(level) + " AND bucket = " + scoreBucket(row, level) +
               " AND n <= 0;\n";
    }
    for (int level = 1; level < PidLevels; ++level) {
        sql += "UPDATE tie_tally SET n = n - 1 WHERE level = " + n(level) + " AND scor = " + row +
               ".scor AND bucket = " + pidBucket(row, level) + ";\n";
        sql += "DELETE FROM tie_tally WHERE level = " + n(level) + " AND scor = " + row +
               ".scor AND bucket = " + pidBucket(row, level) + " AND n <= 0;\n";
        // A score left to one player needs no PID levels.
        sql += "DELETE FROM tie_tally WHERE level = " + n(level) + " AND scor = " + row + ".scor AND " +
               groupSize(row) + " <= 1;\n";
    }
    return sql;
}

} // namespace

std::string tablesSql() {
    return "CREATE TABLE score_tally (level INTEGER NOT NULL, bucket INTEGER NOT NULL, n INTEGER NOT NULL, "
           "PRIMARY KEY (level, bucket)) WITHOUT ROWID;\n"
           "CREATE TABLE tie_tally (level INTEGER NOT NULL, scor INTEGER NOT NULL, bucket INTEGER NOT NULL, "
           "n INTEGER NOT NULL, PRIMARY KEY (level, scor, bucket)) WITHOUT ROWID;\n";
}

std::string triggersSql() {
    return "CREATE TRIGGER board_insert AFTER INSERT ON players BEGIN\n" + addSql("NEW") + "END;\n" +
           "CREATE TRIGGER board_delete AFTER DELETE ON players BEGIN\n" + removeSql("OLD") + "END;\n" +
           "CREATE TRIGGER board_update AFTER UPDATE OF scor, pid ON players BEGIN\n" + removeSql("OLD") +
           addSql("NEW") + "END;\n";
}

std::string aheadOfSql() {
    std::string sql = "(";
    for (int level = 0; level < ScoreLevels; ++level) {
        // Higher buckets among the siblings at this level: same parent, greater value.
        sql += "(SELECT coalesce(sum(n), 0) FROM score_tally WHERE level = " + n(level) + " AND bucket > " +
               scoreBucket("p", level);
        if (level + 1 < ScoreLevels) {
            sql += " AND bucket <= " + scoreBucket("p", level + 1) + " * 16 + 15";
        }
        sql += ") + ";
    }
    for (int level = 1; level < PidLevels; ++level) {
        // Same score, lower PID buckets among the siblings.
        sql += "(SELECT coalesce(sum(n), 0) FROM tie_tally WHERE level = " + n(level) +
               " AND scor = p.scor AND bucket < " + pidBucket("p", level);
        if (level + 1 < PidLevels) {
            sql += " AND bucket >= " + pidBucket("p", level + 1) + " * 256";
        }
        sql += ") + ";
    }
    sql += "(SELECT count(*) FROM players q WHERE q.scor = p.scor AND q.pid < p.pid AND q.pid >= " + pidBucket("p", 1) +
           " * 256))";
    return sql;
}

std::string sizeSql() {
    return "(SELECT coalesce(sum(n), 0) FROM score_tally WHERE level = " + n(ScoreLevels - 1) + ")";
}

std::optional<Place> at(db::Connection& connection, std::int64_t place, bool& failed) {
    failed = false;
    if (place < 1) {
        return std::nullopt;
    }
    i64 k = place;
    i64 bucket = 0;
    i64 group = 0;
    for (int level = ScoreLevels - 1; level >= 0; --level) {
        const i64 low = level == ScoreLevels - 1 ? -8 : bucket * 16;
        const i64 high = level == ScoreLevels - 1 ? 7 : bucket * 16 + 15;
        db::Statement s = connection.prepare("SELECT bucket, n FROM score_tally WHERE level = ?1 AND bucket "
                                             "BETWEEN ?2 AND ?3 ORDER BY bucket DESC");
        s.bind(1, static_cast<i64>(level)).bind(2, low).bind(3, high);
        bool found = false;
        while (s.step()) {
            const i64 count = s.integer(1);
            if (k <= count) {
                bucket = s.integer(0);
                group = count;
                found = true;
                break;
            }
            k -= count;
        }
        if (!found) {
            failed = !s.done();
            return std::nullopt;
        }
    }
    const i64 score = bucket;
    if (group == 1) {
        db::Statement s = connection.prepare("SELECT pid FROM players WHERE scor = ?1 ORDER BY pid LIMIT 1");
        s.bind(1, score);
        if (!s.step()) {
            failed = true;
            return std::nullopt;
        }
        return Place{score, s.integer(0)};
    }
    i64 pidBucket = 0;
    for (int level = PidLevels - 1; level >= 1; --level) {
        const i64 low = level == PidLevels - 1 ? -128 : pidBucket * 256;
        const i64 high = level == PidLevels - 1 ? 127 : pidBucket * 256 + 255;
        db::Statement s = connection.prepare("SELECT bucket, n FROM tie_tally WHERE level = ?1 AND scor = ?2 AND "
                                             "bucket BETWEEN ?3 AND ?4 ORDER BY bucket");
        s.bind(1, static_cast<i64>(level)).bind(2, score).bind(3, low).bind(4, high);
        bool found = false;
        while (s.step()) {
            const i64 count = s.integer(1);
            if (k <= count) {
                pidBucket = s.integer(0);
                found = true;
                break;
            }
            k -= count;
        }
        if (!found) {
            failed = true; // the counts promised a player here
            return std::nullopt;
        }
    }
    db::Statement s = connection.prepare(
        "SELECT pid FROM players WHERE scor = ?1 AND pid BETWEEN ?2 AND ?3 ORDER BY pid LIMIT 1 OFFSET ?4");
    s.bind(1, score).bind(2, pidBucket * 256).bind(3, pidBucket * 256 + 255).bind(4, k - 1);
    if (!s.step()) {
        failed = true;
        return std::nullopt;
    }
    return Place{score, s.integer(0)};
}

bool build(db::Connection& connection, std::string& error) {
    db::Statement addScore = connection.prepare("INSERT INTO score_tally (level, bucket, n) VALUES (?1, ?2, ?3)");
    db::Statement addTie = connection.prepare("INSERT INTO tie_tally (level, scor, bucket, n) VALUES (?1, ?2, ?3, ?4)");
    bool ok = static_cast<bool>(addScore) && static_cast<bool>(addTie);
    auto run = [&](db::Statement& s) {
        s.step();
        ok = ok && s.done();
        s.reset();
    };

    // Scores come highest first, so each level's buckets come one after the other.
    std::array<i64, ScoreLevels> current{};
    std::array<i64, ScoreLevels> count{};
    bool any = false;
    auto flushScores = [&](int fromLevel) {
        for (int level = fromLevel; level < ScoreLevels; ++level) {
            addScore.bind(1, static_cast<i64>(level)).bind(2, current[level]).bind(3, count[level]);
            run(addScore);
        }
    };
    // The PIDs of one score, lowest first.
    std::vector<i64> group;
    i64 groupScore = 0;
    auto flushGroup = [&] {
        if (group.size() < 2) {
            return;
        }
        for (int level = 1; level < PidLevels; ++level) {
            std::size_t i = 0;
            while (i < group.size()) {
                const i64 b = group[i] >> (PidBits * level);
                std::size_t j = i;
                while (j < group.size() && (group[j] >> (PidBits * level)) == b) {
                    ++j;
                }
                addTie.bind(1, static_cast<i64>(level)).bind(2, groupScore).bind(3, b);
                addTie.bind(4, static_cast<i64>(j - i));
                run(addTie);
                i = j;
            }
        }
    };

    db::Statement walk = connection.prepare("SELECT scor, pid FROM players ORDER BY scor DESC, pid");
    while (ok && walk.step()) {
        const i64 score = walk.integer(0);
        const i64 pid = walk.integer(1);
        if (!any || score != groupScore) {
            flushGroup();
            group.clear();
            groupScore = score;
        }
        group.push_back(pid);
        for (int level = 0; level < ScoreLevels; ++level) {
            const i64 b = score >> (ScoreBits * level);
            if (any && b == current[level]) {
                ++count[level];
                continue;
            }
            if (any) {
                addScore.bind(1, static_cast<i64>(level)).bind(2, current[level]).bind(3, count[level]);
                run(addScore);
            }
            current[level] = b;
            count[level] = 1;
        }
        any = true;
    }
    if (ok && !walk.done()) {
        ok = false;
    }
    if (ok && any) {
        flushGroup();
        flushScores(0);
    }
    if (!ok) {
        error = connection.lastError();
    }
    return ok;
}

} // namespace board
