#include "serve/connection_pool.hpp"

#include <algorithm>

namespace ferrolit::cli::serve {

ConnectionPool::ConnectionPool(ConnectionLimits limits, Serve serve) : limits_(limits), serve_(std::move(serve)) {
    threads_.reserve(limits_.threads);
    for (std::size_t i = 0; i < limits_.threads; ++i) threads_.emplace_back([this] { work(); });
}

ConnectionPool::~ConnectionPool() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    for (std::thread& t : threads_) t.join();
}

bool ConnectionPool::admit(int connection, std::string client) {
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return stopping_ || waiting_.size() + serving_ < limits_.most_open; });
        if (stopping_) return false;
        waiting_.push_back({connection, std::move(client)});
    }
    changed_.notify_all();
    return true;
}

bool ConnectionPool::others_waiting() const {
    const std::lock_guard lock(mutex_);
    return !waiting_.empty();
}

std::deque<ConnectionPool::Waiting>::iterator ConnectionPool::next_eligible() {
    return std::find_if(waiting_.begin(), waiting_.end(), [&](const Waiting& w) {
        const auto s = served_.find(w.client);
        return s == served_.end() || s->second < limits_.per_client;
    });
}

void ConnectionPool::work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return stopping_ || next_eligible() != waiting_.end(); });
        if (stopping_) return;
        const auto next = next_eligible();
        const Waiting w = *next;
        waiting_.erase(next);
        ++served_[w.client];
        ++serving_;
        lock.unlock();
        serve_(w.connection);
        lock.lock();
        if (--served_[w.client] == 0) served_.erase(w.client);
        --serving_;
        changed_.notify_all();
    }
}

}  // namespace ferrolit::cli::serve
