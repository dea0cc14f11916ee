// bounded_server.cpp: the worker pool, the per-request deadline and byte cap, and the closing of a
// connection.
#include "bounded_server.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <condition_variable>
#include <deque>
#include <thread>
#include <vector>

#include "verify.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Workers, and accepted connections waiting for one. Verification takes one core at a time; the
// other workers read, store and answer meanwhile.
constexpr int worker_count = 64;
constexpr size_t max_waiting_connections = 256;
// Connections served at once for one client address: half the workers, so that the clients of one
// address (or one that holds connections open) leave the other half to everyone else.
constexpr int max_connections_per_address = worker_count / 2;

// The longest wait for the next bytes of a request, and for room to write the answer.
constexpr milliseconds read_timeout{5000};
constexpr milliseconds write_timeout{5000};
// The whole request, from the connection's turn to its last byte read: a client that sends a byte now
// and then does not keep a worker past it. Writing the answer has as long again.
constexpr milliseconds request_deadline{10000};
constexpr milliseconds answer_deadline{10000};
// The bytes read from one request: the longest script and room for its request line and headers.
constexpr size_t max_request_bytes = max_script_bytes + 16 * 1024;
// After answering, what the client still sends is read and dropped for so long, so that closing does
// not reset the connection before the client has read the answer (it may still be sending a body
// that was refused unread).
constexpr milliseconds linger_time{500};
constexpr size_t max_linger_bytes = 1 << 20;

// Set by the queue while it turns a connection away on the listening thread.
thread_local bool turning_away = false;

int milliseconds_until(Clock::time_point deadline, milliseconds most)
{
    auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now());
    return static_cast<int>(std::max(milliseconds(0), std::min(left, most)).count());
}

bool wait_for(int sock, short events, int timeout_ms)
{
    pollfd p{sock, events, 0};
    int ready;
    do {
        ready = poll(&p, 1, timeout_ms);
    } while (ready < 0 && errno == EINTR);
    return ready > 0;
}

std::string numeric_address(const sockaddr_storage &address, socklen_t length, int &port)
{
    char host[NI_MAXHOST], service[NI_MAXSERV];
    if (getnameinfo(reinterpret_cast<const sockaddr *>(&address), length, host, sizeof host, service,
                    sizeof service, NI_NUMERICHOST | NI_NUMERICSERV) != 0)
        return std::string();
    port = std::atoi(service);
    return host;
}

std::string peer_address(int sock, int &port)
{
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (getpeername(sock, reinterpret_cast<sockaddr *>(&address), &length) != 0)
        return std::string();
    return numeric_address(address, length, port);
}

// The request's bytes, read through a small buffer (httplib reads the head a byte at a time), each
// read bounded by the read timeout and the request's deadline, all of them by the byte cap.
class DeadlineStream : public httplib::Stream {
  public:
    DeadlineStream(int sock, std::string address, int port)
        : sock_(sock), address_(std::move(address)), port_(port), deadline_(Clock::now() + request_deadline)
    {
    }

    bool is_readable() const override
    {
        return buffered_ < filled_ || wait_for(sock_, POLLIN, milliseconds_until(deadline_, read_timeout));
    }

    bool is_writable() const override
    {
        start_answer();
        return wait_for(sock_, POLLOUT, milliseconds_until(answer_deadline_, write_timeout));
    }

    ssize_t read(char *ptr, size_t size) override
    {
        if (buffered_ == filled_) {
            size_t room = std::min(sizeof buffer_, max_request_bytes - read_total_);
            if (room == 0 || !is_readable())
                return -1;
            ssize_t n = recv(sock_, buffer_, room, 0);
            if (n <= 0)
                return n;
            read_total_ += static_cast<size_t>(n);
            buffered_ = 0;
            filled_ = static_cast<size_t>(n);
        }
        size_t n = std::min(size, filled_ - buffered_);
        std::memcpy(ptr, buffer_ + buffered_, n);
        buffered_ += n;
        return static_cast<ssize_t>(n);
    }

    // Never blocks past the answer's deadline: only what fits in the socket's buffer is sent.
    ssize_t write(const char *ptr, size_t size) override
    {
        for (;;) {
            if (!is_writable())
                return -1;
            ssize_t n = send(sock_, ptr, size, MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n >= 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR))
                return n;
        }
    }

    void get_remote_ip_and_port(std::string &ip, int &port) const override
    {
        ip = address_;
        port = port_;
    }

    void get_local_ip_and_port(std::string &ip, int &port) const override
    {
        sockaddr_storage address{};
        socklen_t length = sizeof address;
        if (getsockname(sock_, reinterpret_cast<sockaddr *>(&address), &length) == 0)
            ip = numeric_address(address, length, port);
    }

    int socket() const override { return sock_; }

  private:
    void start_answer() const
    {
        if (!answering_) {
            answering_ = true;
            answer_deadline_ = Clock::now() + answer_deadline;
        }
    }

    int sock_;
    std::string address_;
    int port_;
    Clock::time_point deadline_;
    mutable bool answering_ = false;
    mutable Clock::time_point answer_deadline_;
    char buffer_[4096];
    size_t buffered_ = 0, filled_ = 0; // the unread part of the buffer is [buffered_, filled_)
    size_t read_total_ = 0;
};

void linger_and_close(int sock)
{
    shutdown(sock, SHUT_WR);
    auto until = Clock::now() + linger_time;
    char scrap[4096];
    size_t dropped = 0;
    while (dropped < max_linger_bytes && wait_for(sock, POLLIN, milliseconds_until(until, linger_time))) {
        ssize_t n = recv(sock, scrap, sizeof scrap, 0);
        if (n <= 0)
            break;
        dropped += static_cast<size_t>(n);
    }
    close(sock);
}

// A whole answer with {"error": message}, for a connection turned away unread.
std::string canned_answer(const char *status, const char *message)
{
    std::string body = std::string("{\"error\":\"") + message + "\"}";
    return std::string("HTTP/1.1 ") + status + "\r\nContent-Type: application/json\r\nContent-Length: " +
           std::to_string(body.size()) + "\r\nRetry-After: 5\r\nConnection: close\r\n\r\n" + body;
}

// Written only if it fits in the socket at once: a connection turned away never holds the thread.
void turn_away(int sock, const std::string &answer)
{
    send(sock, answer.data(), answer.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    shutdown(sock, SHUT_WR);
    char scrap[4096];
    while (recv(sock, scrap, sizeof scrap, MSG_DONTWAIT) > 0) {
    }
    close(sock);
}

// A fixed pool of workers over a bounded queue. A connection that finds the queue full is turned away
// on the listening thread at once.
class BoundedQueue : public httplib::TaskQueue {
  public:
    BoundedQueue()
    {
        for (int i = 0; i < worker_count; i++)
            workers_.emplace_back([this] { work(); });
    }

    void enqueue(std::function<void()> job) override
    {
        {
            std::lock_guard lock(mutex_);
            if (jobs_.size() < max_waiting_connections) {
                jobs_.push_back(std::move(job));
                ready_.notify_one();
                return;
            }
        }
        turning_away = true;
        job();
        turning_away = false;
    }

    void shutdown() override
    {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        ready_.notify_all();
        for (std::thread &worker : workers_)
            worker.join();
    }

  private:
    void work()
    {
        for (;;) {
            std::function<void()> job;
            {
                std::unique_lock lock(mutex_);
                ready_.wait(lock, [&] { return stopping_ || !jobs_.empty(); });
                if (jobs_.empty())
                    return; // stopping, with every waiting connection served
                job = std::move(jobs_.front());
                jobs_.pop_front();
            }
            job();
        }
    }

    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::function<void()>> jobs_;
    std::vector<std::thread> workers_;
    bool stopping_ = false;
};

} // namespace

BoundedServer::BoundedServer()
{
    new_task_queue = [] { return new BoundedQueue; };
}

void BoundedServer::widen_backlog() { ::listen(svr_sock_.load(), static_cast<int>(max_waiting_connections)); }

bool BoundedServer::take_address_slot(const std::string &address)
{
    std::lock_guard lock(addresses_mutex_);
    int &count = connections_per_address_[address];
    if (count >= max_connections_per_address)
        return false;
    count++;
    return true;
}

void BoundedServer::give_back_address_slot(const std::string &address)
{
    std::lock_guard lock(addresses_mutex_);
    auto entry = connections_per_address_.find(address);
    if (entry != connections_per_address_.end() && --entry->second <= 0)
        connections_per_address_.erase(entry);
}

bool BoundedServer::process_and_close_socket(int sock)
{
    int port = 0;
    std::string address = turning_away ? std::string() : peer_address(sock, port);
    static const std::string server_busy = canned_answer("503 Service Unavailable", "the server is busy");
    static const std::string address_busy =
        canned_answer("429 Too Many Requests", "too many connections from this address at once");
    if (turning_away || address.empty()) {
        turn_away(sock, server_busy);
        return false;
    }
    if (!take_address_slot(address)) {
        turn_away(sock, address_busy);
        return false;
    }
    DeadlineStream stream(sock, address, port);
    bool closed = false;
    bool ok = process_request(stream, true, closed, nullptr);
    give_back_address_slot(address);
    linger_and_close(sock);
    return ok;
}
