#include "serve/work_pool.hpp"

#include <algorithm>

namespace ferrolit::cli::serve {

struct WorkPool::Job {
    std::function<void()> run;
    bool done = false;
    std::condition_variable finished;
};

WorkPool::WorkPool(std::size_t workers, std::size_t most_waiting) : most_waiting_(most_waiting) {
    threads_.reserve(workers);
    for (std::size_t i = 0; i < workers; ++i) threads_.emplace_back([this] { work(); });
}

WorkPool::~WorkPool() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    queued_.notify_all();
    for (std::thread& t : threads_) t.join();
}

WorkPool::Outcome WorkPool::run(std::function<void()> job, std::chrono::steady_clock::duration budget) {
    auto j = std::make_shared<Job>();
    j->run = std::move(job);
    std::unique_lock lock(mutex_);
    if (stopping_ || waiting_.size() >= most_waiting_) return Outcome::Full;
    waiting_.push_back(j);
    queued_.notify_one();
    if (j->finished.wait_for(lock, budget, [&] { return j->done; })) return Outcome::Done;
    // Not started: it leaves the queue; running: it ends unseen.
    const auto queued = std::find(waiting_.begin(), waiting_.end(), j);
    if (queued != waiting_.end()) waiting_.erase(queued);
    return Outcome::Late;
}

void WorkPool::work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        queued_.wait(lock, [&] { return stopping_ || !waiting_.empty(); });
        if (waiting_.empty()) return;  // stopping, nothing left
        const std::shared_ptr<Job> j = waiting_.front();
        waiting_.pop_front();
        lock.unlock();
        j->run();
        lock.lock();
        j->done = true;
        j->finished.notify_all();
    }
}

}  // namespace ferrolit::cli::serve
