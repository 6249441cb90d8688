#pragma once

// The few threads that run the long requests (a design, a record of many
// sections), apart from those that serve connections, so that the page and
// quick verifications are answered while they run. Its queue is bounded, and
// every job has a time budget: the caller stops waiting when it is spent.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace ferrolit::cli::serve {

class WorkPool {
public:
    enum class Outcome {
        Done,  // the job ran to its end
        Full,  // too many jobs waiting: not queued
        Late,  // the budget was spent, waiting or running (a running job ends unseen)
    };

    WorkPool(std::size_t workers, std::size_t most_waiting);
    ~WorkPool();
    WorkPool(const WorkPool&) = delete;
    WorkPool& operator=(const WorkPool&) = delete;

    // Runs `job` on a worker and waits for it at most `budget`. A job that the
    // caller gave up before it started never runs; `job` must own its data.
    Outcome run(std::function<void()> job, std::chrono::steady_clock::duration budget);

private:
    struct Job;
    void work();

    const std::size_t most_waiting_;
    std::mutex mutex_;
    std::condition_variable queued_;
    std::deque<std::shared_ptr<Job>> waiting_;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace ferrolit::cli::serve
