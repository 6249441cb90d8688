// Many sections, one a line, on a small pool of threads. Every worker reads,
// verifies and keeps its own objects (the component's registry of a
// verification lives inside it), so nothing is shared but the queue; the
// items go back to the caller in line order, as soon as each is ready, and
// the workers run at most a window of lines ahead of the one awaited.

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <new>
#include <thread>

#include "ferrolit/verify.hpp"

namespace ferrolit {

namespace {

struct Line {
    int number;
    std::string_view text;
};

std::vector<Line> lines_of(std::string_view text) {
    std::vector<Line> lines;
    int number = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        ++number;
        const std::string_view row = text.substr(start, end - start);
        if (row.find_first_not_of(" \t\r") != std::string_view::npos) lines.push_back({number, row});
        start = end + 1;
    }
    return lines;
}

BatchItem run_line(const Line& line, const BatchOptions& options) {
    BatchItem item;
    item.line = line.number;
    try {
        const VerificationInput in = read_verification_input(line.text, {options.source, line.number});
        item.result = options.design ? design(in) : verify(in);
        if (options.render) item.rendered = options.render(*item.result, line.number);
    } catch (const Error& e) {
        item.error = e.what();
    } catch (const std::bad_alloc&) {
        item.error = "memoria esaurita";
    } catch (const std::exception& e) {
        item.error = std::string("errore interno: ") + e.what();
    }
    if (!item.result && !options.source.empty() && item.error.rfind(options.source + ":", 0) != 0)
        item.error = options.source + ":" + std::to_string(line.number) + ": " + item.error;
    return item;
}

}  // namespace

void verify_lines(std::string_view text, const BatchOptions& options, const std::function<void(BatchItem&&)>& deliver) {
    const std::vector<Line> lines = lines_of(text);
    const std::size_t n = lines.size();
    std::size_t jobs =
        options.jobs > 0 ? static_cast<std::size_t>(options.jobs) : std::max(1u, std::thread::hardware_concurrency());
    jobs = std::min(jobs, n);
    if (jobs <= 1) {
        for (const Line& line : lines) deliver(run_line(line, options));
        return;
    }
    const std::size_t window = 64 * jobs;
    std::vector<std::optional<BatchItem>> slots(n);
    std::mutex mutex;
    std::condition_variable ready, room;
    std::size_t next = 0, awaited = 0;
    bool stop = false;
    auto work = [&] {
        while (true) {
            std::size_t i;
            {
                std::unique_lock lock(mutex);
                room.wait(lock, [&] { return stop || next == n || next < awaited + window; });
                if (stop || next == n) return;
                i = next++;
            }
            BatchItem item = run_line(lines[i], options);
            {
                std::lock_guard lock(mutex);
                slots[i] = std::move(item);
            }
            ready.notify_all();
        }
    };
    std::vector<std::thread> workers;
    for (std::size_t k = 0; k < jobs; ++k) workers.emplace_back(work);
    auto finish = [&] {
        {
            std::lock_guard lock(mutex);
            stop = true;
        }
        room.notify_all();
        for (std::thread& t : workers) t.join();
    };
    try {
        for (std::size_t i = 0; i < n; ++i) {
            BatchItem item;
            {
                std::unique_lock lock(mutex);
                ready.wait(lock, [&] { return slots[i].has_value(); });
                item = std::move(*slots[i]);
                slots[i].reset();
                awaited = i + 1;
            }
            room.notify_all();
            deliver(std::move(item));
        }
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

}  // namespace ferrolit
