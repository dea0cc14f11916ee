// storage_sqlite.cpp: the runs in an SQLite file, the embedded default. Write-ahead logging with
// synchronous=FULL: a commit is on disk when it returns, and readers never wait for the writer.
#include <sqlite3.h>

#include <mutex>

#include "connection_pool.h"
#include "storage.h"

namespace {

// Waiting for another connection's write, at most.
constexpr int busy_timeout_ms = 5000;

constexpr const char *schema = R"(
CREATE TABLE IF NOT EXISTS runs (
    id          INTEGER PRIMARY KEY,
    script_hash TEXT NOT NULL UNIQUE,
    name        TEXT NOT NULL,
    score       INTEGER NOT NULL CHECK (score BETWEEN 0 AND 65535),
    hard        INTEGER NOT NULL CHECK (hard IN (0, 1)),
    cleared     INTEGER NOT NULL CHECK (cleared IN (0, 1)),
    ticks       INTEGER NOT NULL CHECK (ticks >= 0),
    submitted   INTEGER NOT NULL DEFAULT (unixepoch()),
    script      TEXT NOT NULL
);
CREATE INDEX IF NOT EXISTS runs_by_rank ON runs (hard, score DESC, id);
)";

// The columns of a StoredRun, in the order read_run reads them; the rank is counted from the index:
// the better scores of the mode, and the equal scores submitted earlier.
#define RUN_COLUMNS                                                                                                    \
    "id, name, score, hard, cleared, ticks, strftime('%Y-%m-%dT%H:%M:%SZ', submitted, 'unixepoch'), "                  \
    "1 + (SELECT count(*) FROM runs AS better WHERE better.hard = runs.hard AND better.score > runs.score) "            \
    "  + (SELECT count(*) FROM runs AS equal WHERE equal.hard = runs.hard AND equal.score = runs.score "              \
    "     AND equal.id < runs.id)"

enum Statement {
    BEGIN,
    COMMIT,
    ROLLBACK,
    INSERT_RUN,
    FIND_ID_BY_HASH,
    FIND_RUN,
    FIND_SCRIPT,
    TOP_RUNS,
    STATEMENT_COUNT
};

// clang-format off
constexpr const char *statement_texts[STATEMENT_COUNT] = {
    // BEGIN IMMEDIATE takes the write lock at once, so two writers never deadlock upgrading a read.
    "BEGIN IMMEDIATE",
    "COMMIT",
    "ROLLBACK",
    "INSERT INTO runs (script_hash, name, score, hard, cleared, ticks, script) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7) "
    "ON CONFLICT (script_hash) DO NOTHING RETURNING id",
    "SELECT id FROM runs WHERE script_hash = ?1",
    "SELECT " RUN_COLUMNS " FROM runs WHERE id = ?1",
    "SELECT script FROM runs WHERE id = ?1",
    // The rank of the n-th row is n: counted here, not per row.
    "SELECT id, name, score, hard, cleared, ticks, strftime('%Y-%m-%dT%H:%M:%SZ', submitted, 'unixepoch'), "
    "row_number() OVER (ORDER BY score DESC, id) FROM runs WHERE hard = ?1 ORDER BY score DESC, id LIMIT ?2",
};
// clang-format on

class Connection {
  public:
    explicit Connection(const std::string &path)
    {
        int status = sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        if (status != SQLITE_OK) {
            std::string message = db_ != nullptr ? sqlite3_errmsg(db_) : sqlite3_errstr(status);
            sqlite3_close(db_);
            throw StorageError("SQLite: can't open " + path + ": " + message);
        }
        sqlite3_busy_timeout(db_, busy_timeout_ms);
        exec("PRAGMA journal_mode = WAL");
        exec("PRAGMA synchronous = FULL");
        exec(schema);
        for (int i = 0; i < STATEMENT_COUNT; i++)
            if (sqlite3_prepare_v3(db_, statement_texts[i], -1, SQLITE_PREPARE_PERSISTENT, &statements_[i],
                                   nullptr) != SQLITE_OK)
                fail("preparing a statement");
    }
    Connection(const Connection &) = delete;
    ~Connection()
    {
        for (sqlite3_stmt *statement : statements_)
            sqlite3_finalize(statement);
        sqlite3_close(db_);
    }

    [[noreturn]] void fail(const char *doing) { throw StorageError(std::string("SQLite: ") + doing + ": " + sqlite3_errmsg(db_)); }

    void exec(const char *sql)
    {
        if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            fail(sql);
    }

    // The statement, reset and cleared, ready for its parameters.
    sqlite3_stmt *statement(Statement which)
    {
        sqlite3_stmt *s = statements_[which];
        sqlite3_reset(s);
        sqlite3_clear_bindings(s);
        return s;
    }

    // Steps once: true for a row, false when done.
    bool step(sqlite3_stmt *s)
    {
        int status = sqlite3_step(s);
        if (status == SQLITE_ROW)
            return true;
        if (status != SQLITE_DONE)
            fail("running a statement");
        return false;
    }

    void run(Statement which)
    {
        sqlite3_stmt *s = statement(which);
        step(s);
        sqlite3_reset(s);
    }

  private:
    sqlite3 *db_ = nullptr;
    sqlite3_stmt *statements_[STATEMENT_COUNT] = {};
};

std::string text_column(sqlite3_stmt *s, int column)
{
    const unsigned char *text = sqlite3_column_text(s, column);
    return text != nullptr ? std::string(reinterpret_cast<const char *>(text),
                                         static_cast<size_t>(sqlite3_column_bytes(s, column)))
                           : std::string();
}

StoredRun read_run(sqlite3_stmt *s)
{
    StoredRun run;
    run.id = sqlite3_column_int64(s, 0);
    run.name = text_column(s, 1);
    run.score = static_cast<uint16_t>(sqlite3_column_int(s, 2));
    run.hard = sqlite3_column_int(s, 3) != 0;
    run.cleared = sqlite3_column_int(s, 4) != 0;
    run.ticks = static_cast<uint32_t>(sqlite3_column_int64(s, 5));
    run.date = text_column(s, 6);
    run.rank = sqlite3_column_int64(s, 7);
    return run;
}

void bind_text(sqlite3_stmt *s, int index, const std::string &text)
{
    sqlite3_bind_text(s, index, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
}

class SqliteStorage : public Storage {
  public:
    SqliteStorage(const std::string &path, int connections)
        : pool_(connections, [path] { return std::make_unique<Connection>(path); })
    {
        auto first = pool_.lease(); // opens the file and makes the tables now, not at the first request
    }

    StoredRun add_run(const NewRun &run, bool &created) override
    {
        auto db = pool_.lease();
        int64_t id = 0;
        // One writer at a time in this process: the others wait here rather than in SQLite's busy
        // handler, whose sleeps grow while the lock is taken again and again.
        std::unique_lock writing(write_mutex_);
        db->run(BEGIN);
        try {
            sqlite3_stmt *insert = db->statement(INSERT_RUN);
            bind_text(insert, 1, run.script_hash);
            bind_text(insert, 2, run.name);
            sqlite3_bind_int(insert, 3, run.run.score);
            sqlite3_bind_int(insert, 4, run.run.hard ? 1 : 0);
            sqlite3_bind_int(insert, 5, run.run.cleared ? 1 : 0);
            sqlite3_bind_int64(insert, 6, run.run.ticks);
            bind_text(insert, 7, run.script);
            created = db->step(insert);
            if (created) {
                id = sqlite3_column_int64(insert, 0);
                db->step(insert); // to the end: the insert is complete
            }
            sqlite3_reset(insert);
            if (!created) {
                sqlite3_stmt *find = db->statement(FIND_ID_BY_HASH);
                bind_text(find, 1, run.script_hash);
                if (!db->step(find))
                    db->fail("finding the run that has the same script");
                id = sqlite3_column_int64(find, 0);
                sqlite3_reset(find);
            }
            db->run(COMMIT);
            writing.unlock();
        } catch (const StorageError &) {
            sqlite3_stmt *rollback = db->statement(ROLLBACK);
            sqlite3_step(rollback); // nothing to do when the failed statement already rolled back
            sqlite3_reset(rollback);
            throw;
        }
        return *find_stored_run(*db, id);
    }

    std::optional<StoredRun> find_run(int64_t id) override
    {
        auto db = pool_.lease();
        return find_stored_run(*db, id);
    }

    std::optional<std::string> find_script(int64_t id) override
    {
        auto db = pool_.lease();
        sqlite3_stmt *s = db->statement(FIND_SCRIPT);
        sqlite3_bind_int64(s, 1, id);
        std::optional<std::string> script;
        if (db->step(s))
            script = text_column(s, 0);
        sqlite3_reset(s);
        return script;
    }

    std::vector<StoredRun> top_runs(bool hard, int limit) override
    {
        auto db = pool_.lease();
        sqlite3_stmt *s = db->statement(TOP_RUNS);
        sqlite3_bind_int(s, 1, hard ? 1 : 0);
        sqlite3_bind_int(s, 2, limit);
        std::vector<StoredRun> runs;
        while (db->step(s))
            runs.push_back(read_run(s));
        sqlite3_reset(s);
        return runs;
    }

  private:
    std::optional<StoredRun> find_stored_run(Connection &db, int64_t id)
    {
        sqlite3_stmt *s = db.statement(FIND_RUN);
        sqlite3_bind_int64(s, 1, id);
        std::optional<StoredRun> run;
        if (db.step(s))
            run = read_run(s);
        sqlite3_reset(s);
        return run;
    }

    ConnectionPool<Connection> pool_;
    std::mutex write_mutex_;
};

} // namespace

std::unique_ptr<Storage> open_sqlite_storage(const std::string &path, int connections)
{
    return std::make_unique<SqliteStorage>(path, connections);
}
