// connection_pool.h: up to a fixed number of database connections, each used by one request at a
// time. Both backends keep their connections, with their prepared statements, in one of these.
#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

template <typename Connection> class ConnectionPool {
  public:
    using Opener = std::function<std::unique_ptr<Connection>()>;

    // 'open' makes a new connection or throws; it is called when every connection is busy and there
    // are fewer than 'capacity'.
    ConnectionPool(int capacity, Opener open) : capacity_(capacity), open_(std::move(open)) {}

    // A connection lent to one caller, given back when it goes out of scope. A caller that found the
    // connection broken drops it instead, and the next caller opens a new one.
    class Lease {
      public:
        Lease(ConnectionPool &pool, std::unique_ptr<Connection> connection)
            : pool_(pool), connection_(std::move(connection))
        {
        }
        Lease(const Lease &) = delete;
        ~Lease() { pool_.give_back(std::move(connection_)); }
        Connection &operator*() { return *connection_; }
        Connection *operator->() { return connection_.get(); }
        void drop() { connection_.reset(); }

      private:
        ConnectionPool &pool_;
        std::unique_ptr<Connection> connection_;
    };

    Lease lease()
    {
        std::unique_lock lock(mutex_);
        available_.wait(lock, [&] { return !idle_.empty() || open_count_ < capacity_; });
        if (!idle_.empty()) {
            std::unique_ptr<Connection> connection = std::move(idle_.back());
            idle_.pop_back();
            return Lease(*this, std::move(connection));
        }
        open_count_++;
        lock.unlock();
        try {
            return Lease(*this, open_());
        } catch (...) {
            lock.lock();
            open_count_--;
            available_.notify_one();
            throw;
        }
    }

  private:
    void give_back(std::unique_ptr<Connection> connection)
    {
        std::lock_guard lock(mutex_);
        if (connection)
            idle_.push_back(std::move(connection));
        else
            open_count_--;
        available_.notify_one();
    }

    const int capacity_;
    Opener open_;
    std::mutex mutex_;
    std::condition_variable available_;
    std::vector<std::unique_ptr<Connection>> idle_;
    int open_count_ = 0;
};
