// Many sections, one a line, on a small pool of threads. Every worker takes
// the next line, reads, verifies and renders it with objects of its own (the
// component's registry of a verification lives inside it), so nothing is
// shared but the queue; the items go back to the caller in line order as
// soon as each is ready. Workers run at most a window of lines ahead of the
// one awaited, so memory stays bounded whatever the length of the file.

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

// The non-blank lines of a text, one after the other.
class Lines {
public:
    explicit Lines(std::string_view text) : text_(text) {}

    std::optional<Line> next() {
        while (start_ < text_.size()) {
            std::size_t end = text_.find('\n', start_);
            if (end == std::string_view::npos) end = text_.size();
            const std::string_view row = text_.substr(start_, end - start_);
            start_ = end + 1;
            ++number_;
            if (row.find_first_not_of(" \t\r") != std::string_view::npos) return Line{number_, row};
        }
        return std::nullopt;
    }

private:
    std::string_view text_;
    std::size_t start_ = 0;
    int number_ = 0;
};

BatchItem run_line(const Line& line, const BatchOptions& options) {
    BatchItem item;
    item.line = line.number;
    bool located = false;  // the message starts with its own source and line
    try {
        const VerificationInput in = read_verification_input(line.text, {options.source, line.number});
        item.result = options.design ? design(in) : verify(in);
        if (options.render) item.rendered = options.render(*item.result, line.number);
    } catch (const InputError& e) {
        item.error = e.what();
        located = !e.source().empty();
    } catch (const Error& e) {
        item.error = e.what();
    } catch (const std::bad_alloc&) {
        item.error = "memoria esaurita";
    } catch (const std::exception& e) {
        item.error = std::string("errore interno: ") + e.what();
    }
    if (!item.result && !options.source.empty() && !located)
        item.error = options.source + ":" + std::to_string(line.number) + ": " + item.error;
    return item;
}

}  // namespace

void verify_lines(std::string_view text, const BatchOptions& options, const std::function<void(BatchItem&&)>& deliver) {
    Lines lines(text);
    const std::size_t jobs =
        options.jobs > 0 ? static_cast<std::size_t>(options.jobs) : std::max(1u, std::thread::hardware_concurrency());
    if (jobs <= 1) {
        while (const auto line = lines.next()) deliver(run_line(*line, options));
        return;
    }
    // Item i waits in slot i % window: a worker takes i only while i < awaited + window.
    const std::size_t window = 64 * jobs;
    std::vector<std::optional<BatchItem>> slots(window);
    std::mutex mutex;
    std::condition_variable ready, room;
    std::size_t taken = 0, awaited = 0;
    bool exhausted = false, stop = false;
    auto work = [&] {
        while (true) {
            std::size_t i;
            std::optional<Line> line;
            {
                std::unique_lock lock(mutex);
                room.wait(lock, [&] { return stop || exhausted || taken < awaited + window; });
                if (stop || exhausted) return;
                line = lines.next();
                if (!line) {
                    exhausted = true;
                    ready.notify_all();
                    room.notify_all();
                    return;
                }
                i = taken++;
            }
            BatchItem item = run_line(*line, options);
            {
                std::lock_guard lock(mutex);
                slots[i % window] = std::move(item);
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
        for (std::size_t i = 0;; ++i) {
            BatchItem item;
            {
                std::unique_lock lock(mutex);
                ready.wait(lock, [&] { return slots[i % window].has_value() || (exhausted && i >= taken); });
                if (!slots[i % window]) break;  // every line delivered
                item = std::move(*slots[i % window]);
                slots[i % window].reset();
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
