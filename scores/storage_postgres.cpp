// storage_postgres.cpp: the runs in PostgreSQL, for several score servers sharing one database. The
// URI goes to libpq as it is; each commit is flushed before a run is acknowledged
// (synchronous_commit is set on for the server's sessions whatever the database's default).
#include <libpq-fe.h>

#include <cstdlib>
#include <type_traits>

#include "connection_pool.h"
#include "storage.h"

namespace {

// Given before the URI, so that a connect_timeout in the URI wins.
constexpr const char *connect_timeout_seconds = "5";

// Two servers starting at once create the tables one after the other, under this advisory lock.
constexpr const char *schema_lock = "SELECT pg_advisory_lock(7621306419061346593)";
constexpr const char *schema_unlock = "SELECT pg_advisory_unlock(7621306419061346593)";

constexpr const char *schema[] = {
    R"(CREATE TABLE IF NOT EXISTS runs (
        id          bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
        script_hash text NOT NULL UNIQUE,
        name        text NOT NULL,
        score       integer NOT NULL CHECK (score BETWEEN 0 AND 65535),
        hard        boolean NOT NULL,
        cleared     boolean NOT NULL,
        ticks       integer NOT NULL CHECK (ticks >= 0),
        submitted   timestamptz NOT NULL DEFAULT now(),
        script      text NOT NULL
    ))",
    "CREATE INDEX IF NOT EXISTS runs_by_rank ON runs (hard, score DESC, id)",
};

#define RUN_COLUMNS                                                                                                    \
    "id, name, score, hard, cleared, ticks, to_char(submitted AT TIME ZONE 'UTC', 'YYYY-MM-DD\"T\"HH24:MI:SS\"Z\"')"

enum Statement { INSERT_RUN, FIND_ID_BY_HASH, FIND_RUN, FIND_SCRIPT, TOP_RUNS, STATEMENT_COUNT };

// clang-format off
constexpr const char *statement_texts[STATEMENT_COUNT] = {
    "INSERT INTO runs (script_hash, name, score, hard, cleared, ticks, script) VALUES ($1, $2, $3, $4, $5, $6, $7) "
    "ON CONFLICT (script_hash) DO NOTHING RETURNING id",
    "SELECT id FROM runs WHERE script_hash = $1",
    // The rank: the better scores of the mode, and the equal scores submitted earlier.
    "SELECT " RUN_COLUMNS ", 1 + (SELECT count(*) FROM runs AS better WHERE better.hard = runs.hard "
    "AND better.score > runs.score) + (SELECT count(*) FROM runs AS equal WHERE equal.hard = runs.hard "
    "AND equal.score = runs.score AND equal.id < runs.id) FROM runs WHERE id = $1",
    "SELECT script FROM runs WHERE id = $1",
    "SELECT " RUN_COLUMNS ", row_number() OVER (ORDER BY score DESC, id) FROM runs WHERE hard = $1 "
    "ORDER BY score DESC, id LIMIT $2",
};
// clang-format on

// libpq's messages run over several lines ("connection to server ... failed: ...\n\tIs the server
// running ...?"): one line, blanks folded.
std::string one_line(const char *message)
{
    std::string line;
    for (const char *p = message; *p != '\0'; p++) {
        bool blank = *p == '\n' || *p == '\r' || *p == '\t' || *p == ' ';
        if (!blank)
            line += *p;
        else if (!line.empty() && line.back() != ' ')
            line += ' ';
    }
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    return line;
}

using Result = std::unique_ptr<PGresult, decltype(&PQclear)>;

class Connection {
  public:
    Connection(const std::string &uri, bool create_schema)
    {
        const char *keywords[] = {"connect_timeout", "client_encoding", "dbname", nullptr};
        const char *values[] = {connect_timeout_seconds, "UTF8", uri.c_str(), nullptr};
        conn_ = PQconnectdbParams(keywords, values, 1);
        if (conn_ == nullptr)
            throw StorageError("PostgreSQL: out of memory");
        if (PQstatus(conn_) != CONNECTION_OK) {
            std::string message = one_line(PQerrorMessage(conn_));
            PQfinish(conn_);
            throw StorageError("PostgreSQL: " + message);
        }
        try {
            command("SET synchronous_commit = on");
            if (create_schema) {
                command(schema_lock);
                for (const char *sql : schema)
                    command(sql);
                command(schema_unlock);
            }
            for (int i = 0; i < STATEMENT_COUNT; i++)
                check(Result(PQprepare(conn_, statement_name(i), statement_texts[i], 0, nullptr), PQclear),
                      PGRES_COMMAND_OK);
        } catch (...) {
            PQfinish(conn_);
            throw;
        }
    }
    Connection(const Connection &) = delete;
    ~Connection() { PQfinish(conn_); }

    bool broken() const { return PQstatus(conn_) != CONNECTION_OK; }

    // Runs a prepared statement with text parameters and gives its rows.
    Result run(Statement which, std::initializer_list<const char *> parameters)
    {
        Result result(PQexecPrepared(conn_, statement_name(which), static_cast<int>(parameters.size()),
                                     parameters.begin(), nullptr, nullptr, 0),
                      PQclear);
        check(result, PGRES_TUPLES_OK);
        return result;
    }

  private:
    static const char *statement_name(int which)
    {
        static constexpr const char *names[STATEMENT_COUNT] = {"insert_run", "find_id_by_hash", "find_run",
                                                               "find_script", "top_runs"};
        return names[which];
    }

    void command(const char *sql)
    {
        Result result(PQexec(conn_, sql), PQclear);
        if (PQresultStatus(result.get()) != PGRES_TUPLES_OK)
            check(result, PGRES_COMMAND_OK);
    }

    void check(const Result &result, ExecStatusType expected)
    {
        if (result == nullptr || PQresultStatus(result.get()) != expected)
            throw StorageError("PostgreSQL: " + one_line(PQerrorMessage(conn_)));
    }

    PGconn *conn_ = nullptr;
};

std::string text(const Result &result, int row, int column)
{
    return std::string(PQgetvalue(result.get(), row, column),
                       static_cast<size_t>(PQgetlength(result.get(), row, column)));
}

int64_t number(const Result &result, int row, int column)
{
    return std::strtoll(PQgetvalue(result.get(), row, column), nullptr, 10);
}

bool boolean(const Result &result, int row, int column) { return PQgetvalue(result.get(), row, column)[0] == 't'; }

StoredRun read_run(const Result &result, int row)
{
    StoredRun run;
    run.id = number(result, row, 0);
    run.name = text(result, row, 1);
    run.score = static_cast<uint16_t>(number(result, row, 2));
    run.hard = boolean(result, row, 3);
    run.cleared = boolean(result, row, 4);
    run.ticks = static_cast<uint32_t>(number(result, row, 5));
    run.date = text(result, row, 6);
    run.rank = number(result, row, 7);
    return run;
}

class PostgresStorage : public Storage {
  public:
    PostgresStorage(const std::string &uri, int connections)
        : pool_(connections, [uri] { return std::make_unique<Connection>(uri, false); })
    {
        Connection first(uri, true); // reaches the database and makes the tables before the first request
    }

    StoredRun add_run(const NewRun &run, bool &created) override
    {
        std::string score = std::to_string(run.run.score), ticks = std::to_string(run.run.ticks);
        return with_connection([&](Connection &db) {
            // Each statement commits on its own. A script that another server is storing at this moment
            // makes the insert wait for that commit and then do nothing; the select then sees the row.
            Result inserted = db.run(INSERT_RUN, {run.script_hash.c_str(), run.name.c_str(), score.c_str(),
                                                  run.run.hard ? "t" : "f", run.run.cleared ? "t" : "f",
                                                  ticks.c_str(), run.script.c_str()});
            created = PQntuples(inserted.get()) == 1;
            std::string id;
            if (created) {
                id = text(inserted, 0, 0);
            } else {
                Result found = db.run(FIND_ID_BY_HASH, {run.script_hash.c_str()});
                if (PQntuples(found.get()) != 1)
                    throw StorageError("PostgreSQL: the run with the same script is gone");
                id = text(found, 0, 0);
            }
            Result stored = db.run(FIND_RUN, {id.c_str()});
            if (PQntuples(stored.get()) != 1)
                throw StorageError("PostgreSQL: the stored run is gone");
            return read_run(stored, 0);
        });
    }

    std::optional<StoredRun> find_run(int64_t id) override
    {
        std::string key = std::to_string(id);
        return with_connection([&](Connection &db) -> std::optional<StoredRun> {
            Result result = db.run(FIND_RUN, {key.c_str()});
            if (PQntuples(result.get()) != 1)
                return std::nullopt;
            return read_run(result, 0);
        });
    }

    std::optional<std::string> find_script(int64_t id) override
    {
        std::string key = std::to_string(id);
        return with_connection([&](Connection &db) -> std::optional<std::string> {
            Result result = db.run(FIND_SCRIPT, {key.c_str()});
            if (PQntuples(result.get()) != 1)
                return std::nullopt;
            return text(result, 0, 0);
        });
    }

    std::vector<StoredRun> top_runs(bool hard, int limit) override
    {
        std::string count = std::to_string(limit);
        return with_connection([&](Connection &db) {
            Result result = db.run(TOP_RUNS, {hard ? "t" : "f", count.c_str()});
            std::vector<StoredRun> runs;
            for (int row = 0; row < PQntuples(result.get()); row++)
                runs.push_back(read_run(result, row));
            return runs;
        });
    }

  private:
    // Runs 'work' on a pooled connection. A connection found broken (the database restarted, the
    // network dropped it) is closed, and the work is tried once more on a new one: storing is safe to
    // repeat, since a script is stored once whatever happens.
    template <typename Work> std::invoke_result_t<Work, Connection &> with_connection(Work work)
    {
        for (int attempt = 0;; attempt++) {
            auto db = pool_.lease();
            try {
                return work(*db);
            } catch (const StorageError &) {
                if (!db->broken())
                    throw;
                db.drop();
                if (attempt == 1)
                    throw;
            }
        }
    }

    ConnectionPool<Connection> pool_;
};

} // namespace

std::unique_ptr<Storage> open_postgres_storage(const std::string &uri, int connections)
{
    return std::make_unique<PostgresStorage>(uri, connections);
}
