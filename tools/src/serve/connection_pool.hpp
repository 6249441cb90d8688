#pragma once

// The threads that serve connections, with a bound on the connections held
// in all and on those served at once for one client address: a client that
// opens many connections waits for its own to end, never takes every thread.
// Independent of sockets (a connection is an int handed to `serve`), so that
// it can be tested alone.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace ferrolit::cli::serve {

struct ConnectionLimits {
    std::size_t threads;     // connections served at once
    std::size_t most_open;   // served and waiting, in all
    std::size_t per_client;  // served at once for one client address
};

class ConnectionPool {
public:
    using Serve = std::function<void(int connection)>;

    ConnectionPool(ConnectionLimits limits, Serve serve);
    ~ConnectionPool();
    ConnectionPool(const ConnectionPool&) = delete;
    ConnectionPool& operator=(const ConnectionPool&) = delete;

    // Queues a connection for a thread, first waiting while the pool is full:
    // the connections not yet accepted wait in the listen backlog meanwhile.
    // False when the pool is stopping (the caller closes the connection).
    bool admit(int connection, std::string client);
    // Whether connections wait for a thread (an idle one should make way).
    bool others_waiting() const;

private:
    struct Waiting {
        int connection;
        std::string client;
    };
    void work();
    // The first waiting connection whose client is under its limit, or end().
    std::deque<Waiting>::iterator next_eligible();

    const ConnectionLimits limits_;
    const Serve serve_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Waiting> waiting_;
    std::map<std::string, std::size_t> served_;  // per client address
    std::size_t serving_ = 0;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace ferrolit::cli::serve
