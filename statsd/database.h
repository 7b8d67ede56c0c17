#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// SQLite access for the service. A connection is used by one thread at a time: request handlers
// borrow one from the pool for the length of a request, so reads run in parallel (WAL mode).
namespace db {

class Connection;

// A prepared statement owned by its connection's cache; reset and cleared when the handle goes.
class Statement final {
public:
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    Statement(Statement&& other) noexcept;
    ~Statement();

    explicit operator bool() const { return m_stmt != nullptr; }

    Statement& bind(int index, std::int64_t value);
    Statement& bind(int index, std::string_view value);

    // True while a row is available; done() tells a finished query from a failed one.
    bool step();
    bool done() const { return m_done; }
    // Ready to run again with new bindings.
    void reset();

    std::int64_t integer(int column) const;
    std::string text(int column) const;
    bool isNull(int column) const;

private:
    friend class Connection;
    explicit Statement(sqlite3_stmt* stmt) : m_stmt(stmt) {}

    sqlite3_stmt* m_stmt;
    bool m_done = false;
};

class Connection final {
public:
    // Opens (creating if needed) the database file; nullptr and the reason on failure.
    static std::unique_ptr<Connection> open(const std::string& path, std::string& error);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // A cached prepared statement for the SQL text; an empty Statement when it does not compile.
    Statement prepare(std::string_view sql);
    bool exec(const char* sql);
    std::string lastError() const;
    // True when the database may have changed since the last call (always on the first): another
    // connection committed a change in between.
    bool databaseChanged();

    // The SQL of every statement prepared on this connection so far.
    std::vector<std::string> preparedSql() const;

private:
    explicit Connection(sqlite3* handle) : m_handle(handle) {}

    sqlite3* m_handle;
    std::vector<std::pair<std::string, sqlite3_stmt*>> m_cache;
    std::int64_t m_dataVersion = -1;
};

// Whether the file holds no tables at all (a new file, or an empty database).
bool isEmpty(Connection& connection, bool& empty, std::string& error);
// The tables of a new database, without indexes: the population goes in first.
bool createTables(Connection& connection, std::string& error);
// The indexes, the board and the nickname index, once the population is in.
bool finishSchema(Connection& connection, std::string& error);
// Checks that the file is a database of this service, bringing one of an earlier schema up to date.
// False with a reason otherwise (the file is then left as it was).
bool ensureSchema(Connection& connection, std::string& error);

class ConnectionPool final {
public:
    explicit ConnectionPool(std::string path) : m_path(std::move(path)) {}

    class Lease final {
    public:
        Lease(ConnectionPool& pool, std::unique_ptr<Connection> connection)
            : m_pool(pool), m_connection(std::move(connection)) {}
        Lease(const Lease&) = delete;
        Lease& operator=(const Lease&) = delete;
        ~Lease();
        explicit operator bool() const { return m_connection != nullptr; }
        Connection& operator*() const { return *m_connection; }
        Connection* operator->() const { return m_connection.get(); }

    private:
        ConnectionPool& m_pool;
        std::unique_ptr<Connection> m_connection;
    };

    // A free connection, or a new one; an empty lease when the file cannot be opened.
    Lease acquire();

private:
    std::string m_path;
    std::mutex m_mutex;
    std::vector<std::unique_ptr<Connection>> m_free;
};

} // namespace db
