// storage.cpp: the backend a database URL names.
#include "storage.h"

std::unique_ptr<Storage> open_storage(const std::string &url, int connections)
{
    if (url.rfind("sqlite:", 0) == 0 && url.size() > 7)
        return open_sqlite_storage(url.substr(7), connections);
    if (url.rfind("postgresql://", 0) == 0 || url.rfind("postgres://", 0) == 0)
        return open_postgres_storage(url, connections);
    // The URL is not echoed: it may hold a password.
    throw StorageError("--db must be sqlite:PATH or a postgresql:// URI");
}
