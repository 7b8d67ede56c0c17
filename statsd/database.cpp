#include "database.h"

#include "blocks.h"
#include "board.h"

#include <sqlite3.h>

namespace db {
namespace {

constexpr const char* SchemaVersion = "2";
// Files of the first schema lack the board and the nickname index; they are brought up to date.
constexpr const char* FirstSchemaVersion = "1";

// Column names of the players table follow the statistics keys of the service; see docs/statsd.md.
constexpr const char* SchemaSql = R"sql(
CREATE TABLE meta (key TEXT PRIMARY KEY, value TEXT NOT NULL);
CREATE TABLE players (
    pid INTEGER PRIMARY KEY,
    nick TEXT NOT NULL COLLATE NOCASE,
    country TEXT NOT NULL,
    scor INTEGER NOT NULL, jond INTEGER NOT NULL, wins INTEGER NOT NULL, loss INTEGER NOT NULL,
    mode0 INTEGER NOT NULL, mode1 INTEGER NOT NULL, mode2 INTEGER NOT NULL, time INTEGER NOT NULL,
    smoc INTEGER NOT NULL, cmsc INTEGER NOT NULL, kill INTEGER NOT NULL, kila INTEGER NOT NULL,
    deth INTEGER NOT NULL, suic INTEGER NOT NULL, bksk INTEGER NOT NULL, wdsk INTEGER NOT NULL,
    tvcr INTEGER NOT NULL, topr INTEGER NOT NULL, twsc INTEGER NOT NULL, cpcp INTEGER NOT NULL,
    cacp INTEGER NOT NULL, dfcp INTEGER NOT NULL, heal INTEGER NOT NULL, rviv INTEGER NOT NULL,
    rsup INTEGER NOT NULL, rpar INTEGER NOT NULL, tgte INTEGER NOT NULL, dkas INTEGER NOT NULL,
    dsab INTEGER NOT NULL, cdsc INTEGER NOT NULL, rank INTEGER NOT NULL, kick INTEGER NOT NULL,
    bbrs INTEGER NOT NULL, tcdr INTEGER NOT NULL, ban INTEGER NOT NULL, lbtl INTEGER NOT NULL,
    vrk INTEGER NOT NULL, tsql INTEGER NOT NULL, tsqm INTEGER NOT NULL, tlwf INTEGER NOT NULL,
    mvks INTEGER NOT NULL, vmks INTEGER NOT NULL, tnv INTEGER NOT NULL, tgm INTEGER NOT NULL,
    de6 INTEGER NOT NULL, de7 INTEGER NOT NULL, de8 INTEGER NOT NULL,
    unlockpoints INTEGER NOT NULL
);
CREATE TABLE awards (
    pid INTEGER NOT NULL REFERENCES players (pid), award INTEGER NOT NULL, level INTEGER NOT NULL,
    earned INTEGER NOT NULL, first INTEGER NOT NULL,
    PRIMARY KEY (pid, award, level)) WITHOUT ROWID;
)sql";

// Indexes are made after the population is in: building one from sorted data beats keeping it
// current row by row.
constexpr const char* IndexSql = R"sql(
CREATE UNIQUE INDEX players_by_nick ON players (nick);
CREATE INDEX players_by_score ON players (scor DESC, pid, nick);
)sql";

// Nicknames by their three-character pieces, for the contains search; kept in step with the
// players table by triggers.
constexpr const char* NickSearchSql = R"sql(
CREATE VIRTUAL TABLE nick_search USING fts5(nick, content = 'players', content_rowid = 'pid',
    tokenize = 'trigram case_sensitive 0', detail = none);
INSERT INTO nick_search (nick_search) VALUES ('rebuild');
CREATE TRIGGER nick_search_insert AFTER INSERT ON players BEGIN
    INSERT INTO nick_search (rowid, nick) VALUES (NEW.pid, NEW.nick);
END;
CREATE TRIGGER nick_search_delete AFTER DELETE ON players BEGIN
    INSERT INTO nick_search (nick_search, rowid, nick) VALUES ('delete', OLD.pid, OLD.nick);
END;
CREATE TRIGGER nick_search_update AFTER UPDATE OF pid, nick ON players BEGIN
    INSERT INTO nick_search (nick_search, rowid, nick) VALUES ('delete', OLD.pid, OLD.nick);
    INSERT INTO nick_search (rowid, nick) VALUES (NEW.pid, NEW.nick);
END;
)sql";

bool execAll(Connection& connection, const std::string& sql, std::string& error) {
    if (!connection.exec(sql.c_str())) {
        error = connection.lastError();
        return false;
    }
    return true;
}

bool setVersion(Connection& connection, std::string& error) {
    Statement meta = connection.prepare("INSERT OR REPLACE INTO meta (key, value) VALUES ('schema', ?1)");
    meta.bind(1, std::string_view(SchemaVersion));
    meta.step();
    if (!meta.done()) {
        error = connection.lastError();
        return false;
    }
    return true;
}

// The board, the nickname index and their triggers, over a players table that holds its players.
bool addDerived(Connection& connection, std::string& error) {
    return execAll(connection, board::tablesSql(), error) && board::build(connection, error) &&
           execAll(connection, board::triggersSql(), error) && execAll(connection, NickSearchSql, error) &&
           setVersion(connection, error);
}

} // namespace

Statement::Statement(Statement&& other) noexcept : m_stmt(other.m_stmt), m_done(other.m_done) {
    other.m_stmt = nullptr;
}

Statement::~Statement() {
    if (m_stmt != nullptr) {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
}

Statement& Statement::bind(int index, std::int64_t value) {
    if (m_stmt != nullptr) {
        sqlite3_bind_int64(m_stmt, index, value);
    }
    return *this;
}

Statement& Statement::bind(int index, std::string_view value) {
    if (m_stmt != nullptr) {
        sqlite3_bind_text(m_stmt, index, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
    }
    return *this;
}

bool Statement::step() {
    if (m_stmt == nullptr || m_done) {
        return false;
    }
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW) {
        return true;
    }
    m_done = rc == SQLITE_DONE;
    if (!m_done) {
        // A failed step ends the statement; done() stays false so the caller sees the failure.
        sqlite3_reset(m_stmt);
        sqlite3_stmt* failed = m_stmt;
        m_stmt = nullptr;
        sqlite3_clear_bindings(failed);
    }
    return false;
}

void Statement::reset() {
    if (m_stmt != nullptr) {
        sqlite3_reset(m_stmt);
    }
    m_done = false;
}

std::int64_t Statement::integer(int column) const {
    return m_stmt == nullptr ? 0 : sqlite3_column_int64(m_stmt, column);
}

bool Statement::isNull(int column) const {
    return m_stmt == nullptr || sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

std::string Statement::text(int column) const {
    if (m_stmt == nullptr) {
        return {};
    }
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    const int size = sqlite3_column_bytes(m_stmt, column);
    return data == nullptr ? std::string() : std::string(data, static_cast<std::size_t>(size));
}

std::unique_ptr<Connection> Connection::open(const std::string& path, std::string& error) {
    sqlite3* handle = nullptr;
    // Each connection is used by one thread at a time, so SQLite's own locking of it is not needed.
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(path.c_str(), &handle, flags, nullptr) != SQLITE_OK) {
        error = handle != nullptr ? sqlite3_errmsg(handle) : "out of memory";
        sqlite3_close(handle);
        return nullptr;
    }
    std::unique_ptr<Connection> connection(new Connection(handle));
    sqlite3_busy_timeout(handle, 5000);
    // WAL is switched on by the caller once the file is known to be ours: the switch rewrites the header.
    if (!connection->exec("PRAGMA synchronous=NORMAL") || !connection->exec("PRAGMA foreign_keys=ON")) {
        error = connection->lastError();
        return nullptr;
    }
    return connection;
}

Connection::~Connection() {
    for (auto& [sql, stmt] : m_cache) {
        sqlite3_finalize(stmt);
    }
    sqlite3_close(m_handle);
}

Statement Connection::prepare(std::string_view sql) {
    for (auto& [text, stmt] : m_cache) {
        if (text == sql) {
            return Statement(stmt);
        }
    }
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v3(m_handle, sql.data(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT, &stmt,
                           nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt);
        return Statement(nullptr);
    }
    m_cache.emplace_back(std::string(sql), stmt);
    return Statement(stmt);
}

bool Connection::exec(const char* sql) {
    return sqlite3_exec(m_handle, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

std::string Connection::lastError() const {
    return sqlite3_errmsg(m_handle);
}

bool isEmpty(Connection& connection, bool& empty, std::string& error) {
    Statement tables = connection.prepare("SELECT count(*) FROM sqlite_schema");
    if (!tables.step()) {
        error = connection.lastError();
        return false;
    }
    empty = tables.integer(0) == 0;
    return true;
}

bool createTables(Connection& connection, std::string& error) {
    return execAll(connection, SchemaSql, error) && execAll(connection, blocks::schemaSql(), error);
}

bool finishSchema(Connection& connection, std::string& error) {
    return execAll(connection, "BEGIN", error) && execAll(connection, IndexSql, error) &&
           addDerived(connection, error) && execAll(connection, "COMMIT", error);
}

bool ensureSchema(Connection& connection, std::string& error) {
    std::string version;
    {
        Statement meta = connection.prepare("SELECT value FROM meta WHERE key = 'schema'");
        if (meta.step()) {
            version = meta.text(0);
        }
    }
    if (version == SchemaVersion) {
        return true;
    }
    if (version == FirstSchemaVersion) {
        if (!execAll(connection, "BEGIN IMMEDIATE", error)) {
            return false;
        }
        if (!execAll(connection, blocks::tableSql(), error) ||
            !execAll(connection, blocks::fromItemTablesSql(), error) ||
            !execAll(connection, blocks::viewsSql(), error) || !addDerived(connection, error) ||
            !execAll(connection, "COMMIT", error)) {
            connection.exec("ROLLBACK");
            return false;
        }
        return true;
    }
    error = "not a database of orvane-statsd (or of another version of it)";
    return false;
}

bool Connection::databaseChanged() {
    Statement version = prepare("PRAGMA data_version");
    const std::int64_t now = version.step() ? version.integer(0) : -2;
    const bool changed = now != m_dataVersion || now < 0;
    m_dataVersion = now;
    return changed;
}

std::vector<std::string> Connection::preparedSql() const {
    std::vector<std::string> sql;
    for (const auto& [text, stmt] : m_cache) {
        sql.push_back(text);
    }
    return sql;
}

ConnectionPool::Lease::~Lease() {
    if (m_connection != nullptr) {
        std::lock_guard lock(m_pool.m_mutex);
        m_pool.m_free.push_back(std::move(m_connection));
    }
}

ConnectionPool::Lease ConnectionPool::acquire() {
    {
        std::lock_guard lock(m_mutex);
        if (!m_free.empty()) {
            std::unique_ptr<Connection> connection = std::move(m_free.back());
            m_free.pop_back();
            return Lease(*this, std::move(connection));
        }
    }
    std::string error;
    auto connection = Connection::open(m_path, error);
    if (connection != nullptr) {
        // Serving only reads; a request can never change the data.
        connection->exec("PRAGMA query_only=1");
    }
    return Lease(*this, std::move(connection));
}

} // namespace db
