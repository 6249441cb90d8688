// verify_members: the rows of the forces table grouped by member as they
// come (an analysis program writes a member's rows together), each group
// handed to a pool of workers through a short queue, so that memory holds a
// few members' rows and never the whole table. A worker verifies its
// member's section once over all its stations and combinations and keeps the
// envelope: per check, the worst station and combination.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <new>
#include <set>
#include <sstream>
#include <thread>
#include <unordered_map>

#include "ferrolit/format.hpp"
#include "ferrolit/version.h"
#include "verify/members/forces_table.hpp"
#include "verify/members/model_errors.hpp"
#include "verify/members/model_input.hpp"

namespace ferrolit {

namespace members {

namespace {

struct Job {
    std::size_t index = 0;  // into the model's members
    std::vector<ForceRow> rows;
    std::string problem;  // set while grouping: rows apart from the member's others
};

// Rows of one member beyond which it is refused: its section checked in 20 000 station-combinations.
constexpr std::size_t kMostRowsPerMember = 20000;

// The station of a row, to a micrometre: the same station written twice agrees.
double station_key(double x) { return std::round(x * 1e6) / 1e6; }

std::vector<Combination> combinations_of(const std::vector<ForceRow>& rows, std::vector<double>& x) {
    std::vector<Combination> out;
    std::set<std::pair<double, std::string>> seen;
    for (const ForceRow& row : rows) {
        if (!row.problem.empty()) throw Error(ErrorKind::InvalidOperation, row.problem);
        const double at = station_key(row.x);
        if (!seen.emplace(at, row.combination).second)
            throw Error(ErrorKind::InvalidOperation, "riga " + std::to_string(row.line) + ": combinazione \"" +
                                                         row.combination + "\" ripetuta all'ascissa " +
                                                         format::significant(at) + " m");
        Combination c;
        c.name = row.combination + " @ x = " + format::significant(at) + " m";
        c.kind = *row.kind;
        c.N = row.N, c.Vy = row.Vy, c.Vz = row.Vz, c.T = row.T, c.My = row.My, c.Mz = row.Mz;
        out.push_back(std::move(c));
        x.push_back(at);
    }
    return out;
}

// The worst check of each id over the stations, and each station's worst per check.
void envelope(const VerificationResult& r, const std::vector<ForceRow>& rows, const std::vector<double>& x,
              MemberResult& m) {
    std::unordered_map<std::string, std::size_t> by_name;
    for (std::size_t i = 0; i < r.input.combinations.size(); ++i) by_name.emplace(r.input.combinations[i].name, i);
    std::map<double, std::size_t> station_index;
    for (double at : x) station_index.emplace(at, 0);
    for (auto& [at, i] : station_index) {
        i = m.stations.size();
        m.stations.push_back({at, {}});
    }
    for (const CheckResult& c : r.checks) {
        std::optional<double> at;
        if (c.combination) {
            at = x[by_name.at(*c.combination)];
            auto& list = m.stations[station_index.at(*at)].by_check;
            auto it = std::find_if(list.begin(), list.end(), [&](const auto& p) { return p.first == c.id; });
            if (it == list.end())
                list.emplace_back(c.id, c.ratio);
            else
                it->second = std::max(it->second, c.ratio);
        }
        auto it =
            std::find_if(m.checks.begin(), m.checks.end(), [&](const EnvelopeCheck& e) { return e.check.id == c.id; });
        if (it != m.checks.end() && !(c.ratio > it->check.ratio)) continue;
        EnvelopeCheck e{c, at};
        if (c.combination) e.check.combination = rows[by_name.at(*c.combination)].combination;
        if (it == m.checks.end())
            m.checks.push_back(std::move(e));
        else
            *it = std::move(e);
    }
    for (std::size_t i = 0; i < m.checks.size(); ++i)
        if (!m.governing || m.checks[i].check.ratio > m.checks[*m.governing].check.ratio) m.governing = i;
}

MemberResult run_member(const Model& model, Job& job) {
    const MemberEntry& entry = model.members[job.index];
    MemberResult m;
    m.id = entry.id;
    m.section = entry.section;
    m.type = entry.type;
    m.warnings = entry.warnings;
    try {
        if (!entry.problem.empty()) throw Error(ErrorKind::InvalidOperation, entry.problem);
        if (!job.problem.empty()) throw Error(ErrorKind::InvalidOperation, job.problem);
        if (job.rows.empty())
            throw Error(ErrorKind::InvalidOperation, "nessuna riga nella tabella delle sollecitazioni");
        VerificationInput in;
        try {
            in = member_section(entry);
        } catch (const Error& e) {
            throw Error(e.kind(), "sezione \"" + entry.section + "\": " + e.what());
        }
        std::vector<double> x;
        in.combinations = combinations_of(job.rows, x);
        const VerificationResult r = verify(in);
        envelope(r, job.rows, x, m);
        m.verified = r.verified;
        m.max_ratio = r.max_ratio;
        m.not_run = r.not_run;
        m.warnings.insert(m.warnings.end(), r.warnings.begin(), r.warnings.end());
        m.combinations = in.combinations.size();
        m.concrete = in.concrete;
        m.steel = in.steel;
    } catch (const Error& e) {
        m.error = e.what();
    } catch (const std::bad_alloc&) {
        m.error = "memoria esaurita";
    } catch (const std::exception& e) {
        m.error = std::string("errore interno: ") + e.what();
    }
    if (!m.error.empty())
        m.verified = false, m.checks.clear(), m.stations.clear(), m.governing.reset(), m.concrete.reset(),
        m.steel.reset();
    return m;
}

// Groups the rows by member and feeds the jobs to `run`, member after member.
class Grouper {
public:
    Grouper(const Model& model, std::function<void(Job&&)> run) : model_(model), run_(std::move(run)) {}

    void add(ForceRow&& row) {
        if (current_ && row.member == model_.members[current_->index].id) {
            if (current_->rows.size() < kMostRowsPerMember)
                current_->rows.push_back(std::move(row));
            else if (current_->problem.empty())
                current_->problem = "oltre " + std::to_string(kMostRowsPerMember) + " righe: dividere la membratura";
            return;
        }
        flush();
        const auto it = model_.index.find(row.member);
        if (it == model_.index.end()) {
            if (unknown_.insert(row.member).second && unknown_.size() <= 20)
                warnings_.push_back("membratura \"" + row.member + "\" della tabella (riga " +
                                    std::to_string(row.line) + ") assente nel modello: righe ignorate");
            return;
        }
        current_.emplace();
        current_->index = it->second;
        if (!started_.insert(it->second).second)
            current_->problem = "righe non consecutive nella tabella (di nuovo alla riga " + std::to_string(row.line) +
                                "): le righe di una membratura vanno insieme";
        current_->rows.push_back(std::move(row));
    }

    // The last group, then every member without rows.
    void finish() {
        flush();
        for (std::size_t i = 0; i < model_.members.size(); ++i)
            if (!started_.count(i)) run_(Job{i, {}, {}});
        if (unknown_.size() > 20)
            warnings_.push_back(std::to_string(unknown_.size()) + " membrature della tabella assenti nel modello");
    }

    std::vector<std::string> warnings_;

private:
    void flush() {
        if (current_) run_(std::move(*current_));
        current_.reset();
    }

    const Model& model_;
    std::function<void(Job&&)> run_;
    std::optional<Job> current_;
    std::set<std::size_t> started_;
    std::set<std::string> unknown_;
};

// A repeated member's first group is verified before its rows return: its
// result is replaced by the error of the second group, which names the line.
void store(MembersResult& out, std::size_t index, MemberResult&& m) {
    MemberResult& slot = out.members[index];
    if (!slot.id.empty() && m.error.empty()) return;
    slot = std::move(m);
}

class Pool {
public:
    Pool(const Model& model, MembersResult& out, const MembersOptions& options)
        : model_(model), out_(out), progress_(options.progress) {
        const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
        const std::size_t jobs = options.jobs > 0 ? static_cast<std::size_t>(options.jobs) : cores;
        capacity_ = 2 * jobs;
        if (jobs > 1)
            for (std::size_t k = 0; k < jobs; ++k) workers_.emplace_back([this] { work(); });
    }
    Pool(const Pool&) = delete;
    Pool& operator=(const Pool&) = delete;
    ~Pool() { stop(); }

    void submit(Job&& job) {
        if (workers_.empty()) {
            MemberResult m = run_member(model_, job);
            store(out_, job.index, std::move(m));
            ++done_;
            report();
            return;
        }
        std::unique_lock lock(mutex_);
        while (queue_.size() >= capacity_) {
            room_.wait_for(lock, std::chrono::milliseconds(250));
            lock.unlock();
            report();
            lock.lock();
        }
        queue_.push_back(std::move(job));
        ready_.notify_one();
    }

    // Waits for every job; the caller's progress keeps coming meanwhile.
    void drain() {
        std::unique_lock lock(mutex_);
        while (!queue_.empty() || busy_ > 0) {
            room_.wait_for(lock, std::chrono::milliseconds(250));
            lock.unlock();
            report();
            lock.lock();
        }
        lock.unlock();
        stop();
        report();
    }

private:
    void work() {
        while (true) {
            Job job;
            {
                std::unique_lock lock(mutex_);
                ready_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
                if (queue_.empty()) return;
                job = std::move(queue_.front());
                queue_.pop_front();
                ++busy_;
            }
            room_.notify_all();
            MemberResult m = run_member(model_, job);
            {
                std::lock_guard lock(mutex_);
                store(out_, job.index, std::move(m));
                --busy_;
            }
            ++done_;
            room_.notify_all();
        }
    }

    void report() {
        if (progress_) progress_({done_.load(), model_.members.size()});
    }

    void stop() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        ready_.notify_all();
        for (std::thread& t : workers_)
            if (t.joinable()) t.join();
    }

    const Model& model_;
    MembersResult& out_;
    std::function<void(const MembersProgress&)> progress_;
    std::size_t capacity_ = 2;
    std::vector<std::thread> workers_;
    std::deque<Job> queue_;
    std::mutex mutex_;
    std::condition_variable ready_, room_;
    std::size_t busy_ = 0;
    bool stopping_ = false;
    std::atomic<std::size_t> done_{0};
};

void summarise(MembersResult& out) {
    for (const MemberResult& m : out.members) {
        out.verified = out.verified && m.verified && m.error.empty();
        out.max_ratio = std::max(out.max_ratio, m.max_ratio);
        out.checked += m.combinations;
    }
}

MembersResult run(std::string_view model_json, std::optional<std::string_view> forces_csv,
                  const MembersOptions& options) {
    const Model model(model_json);
    const Conventions conventions = read_conventions(model.root);
    MembersResult out;
    out.project = model.project;
    out.version = FERROLIT_VERSION_STRING;
    out.members.resize(model.members.size());
    std::unique_ptr<std::istream> stream;
    std::string name;
    if (forces_csv) {
        stream = std::make_unique<std::istringstream>(std::string(*forces_csv));
        name = "<sollecitazioni>";
    } else {
        std::string path = options.forces_file;
        if (path.empty()) {
            if (!model.root.contains("sollecitazioni"))
                model_error("sollecitazioni", "manca: il file CSV delle sollecitazioni o la lista delle righe");
            const auto& rows = model.root["sollecitazioni"];
            if (!rows.is_string() && !rows.is_array())
                model_error("sollecitazioni", "è il percorso di un file CSV o una lista di righe");
            if (rows.is_string()) {
                path = rows.get<std::string>();
                if (std::filesystem::path(path).is_relative() && !options.base_directory.empty())
                    path = (std::filesystem::path(options.base_directory) / path).string();
            }
        }
        if (!path.empty()) {
            auto file = std::make_unique<std::ifstream>(path, std::ios::binary);
            if (!*file) model_error("sollecitazioni", "impossibile leggere " + path);
            stream = std::move(file);
            name = path;
        }
    }
    const std::unique_ptr<RowSource> rows =
        stream ? csv_rows(*stream, name, conventions) : list_rows(model.root["sollecitazioni"], conventions);
    std::vector<std::string> warnings;
    {
        Pool pool(model, out, options);
        Grouper grouper(model, [&](Job&& job) { pool.submit(std::move(job)); });
        while (auto row = rows->next()) grouper.add(std::move(*row));
        grouper.finish();
        pool.drain();
        warnings = std::move(grouper.warnings_);
    }
    out.warnings = std::move(warnings);
    summarise(out);
    return out;
}

}  // namespace

}  // namespace members

MembersResult verify_members(std::string_view model_json, const MembersOptions& options) {
    return members::run(model_json, std::nullopt, options);
}

MembersResult verify_members(std::string_view model_json, std::string_view forces_csv, const MembersOptions& options) {
    return members::run(model_json, forces_csv, options);
}

std::string verify_members_json(std::string_view model_json, std::string_view forces_csv) {
    return to_json(forces_csv.empty() ? verify_members(model_json) : verify_members(model_json, forces_csv, {}));
}

}  // namespace ferrolit
