// storage.h: where the runs are kept. One small interface with one source file per database:
// storage_sqlite.cpp (a file beside the server, the default) and storage_postgres.cpp (a server that
// several score servers share). Nothing here keeps state another server process would need.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "verify.h"

// A run as it is read back: the JSON of /api/runs/ID and of each row of /api/scores.
struct StoredRun {
    int64_t id = 0;
    std::string name;
    uint16_t score = 0;
    bool hard = false;
    bool cleared = false;
    uint32_t ticks = 0;
    std::string date; // when it was stored, UTC, "2026-12-09T06:36:01Z"
    int64_t rank = 0; // 1 for the best of its mode; equal scores go to the earlier submission
};

// A run to store: the script as it was sent, and the key that makes it one row however often it
// is sent.
struct NewRun {
    std::string script_hash; // 64 hex digits
    std::string name;
    VerifiedRun run;
    std::string script;
};

// The database is unreachable or refused something. The message is one line.
class StorageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class Storage {
  public:
    virtual ~Storage() = default;

    // Stores the run unless one with the same script hash is there, and returns the stored one
    // (the earlier one when it was there) with its rank. 'created' says which. Returns only after
    // the database committed the row. Safe when the same script arrives at several servers at once.
    virtual StoredRun add_run(const NewRun &run, bool &created) = 0;

    virtual std::optional<StoredRun> find_run(int64_t id) = 0;
    virtual std::optional<std::string> find_script(int64_t id) = 0;

    // The best 'limit' runs of a mode, best first.
    virtual std::vector<StoredRun> top_runs(bool hard, int limit) = 0;
};

// "sqlite:PATH" or a "postgresql://" or "postgres://" URI (handed to libpq as it is). Opens the
// database, creates the tables when they are missing, and keeps up to 'connections' connections.
// Throws StorageError with one line when the URL is not one of these or the database can't be used.
std::unique_ptr<Storage> open_storage(const std::string &url, int connections);

std::unique_ptr<Storage> open_sqlite_storage(const std::string &path, int connections);
std::unique_ptr<Storage> open_postgres_storage(const std::string &uri, int connections);
