// bounded_server.h: cpp-httplib's server with every connection bounded in time, bytes and number.
//
// Each connection carries one request (the answer closes it). A fixed pool of workers takes the
// connections from a bounded queue; past it, and past a number of connections from one address, a
// connection is answered 503 at once. A request has a deadline for the whole of it, however slowly
// its bytes come, and a cap on the bytes read from it; the answer has a deadline of its own.
#pragma once

#include <httplib.h>

#include <mutex>
#include <string>
#include <unordered_map>

class BoundedServer : public httplib::Server {
  public:
    BoundedServer();

    // After binding: lets as many connections wait to be accepted as the queue holds (httplib's own
    // backlog of 5 drops the connections of a burst, and their clients try again a second later).
    void widen_backlog();

  private:
    // Called by the listening thread's queue on a worker for each accepted connection; replaces
    // httplib's own, which would keep a connection open for more requests.
    bool process_and_close_socket(int sock) override;

    // The connections being served per client address, capped.
    bool take_address_slot(const std::string &address);
    void give_back_address_slot(const std::string &address);

    std::mutex addresses_mutex_;
    std::unordered_map<std::string, int> connections_per_address_;
};
