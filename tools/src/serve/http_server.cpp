#include "serve/http_server.hpp"

#include <httplib.h>
#include <sys/socket.h>
#include <unistd.h>

#include <iostream>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "ferrolit/error.hpp"

#include "serve/connection_pool.hpp"
#include "serve/connection_stream.hpp"
#include "serve/page_module.hpp"
#include "serve/server_core.hpp"
#include "serve/work_pool.hpp"

namespace ferrolit::cli::serve {

namespace {

using namespace std::chrono_literals;

// Connections: threads that mostly wait on their client are cheap; one client
// address never holds more than 24 of the 32, the other 8 stay for the rest.
constexpr ConnectionLimits kConnections{32, 256, 24};
// Connections the system accepts before the server takes them: a burst of a
// few hundred requests waits here instead of being reset.
constexpr int kListenBacklog = 1024;
// A request (head and body) must arrive whole within this time of its first
// byte, however slowly it trickles in; a new connection has as long to send it.
constexpr auto kRequestTime = 5s;
// An idle connection is kept this long for its next request, and less when
// others wait for a thread; it serves at most this many requests.
constexpr auto kKeepAliveIdle = 2s;
constexpr std::size_t kMostRequestsPerConnection = 100;
constexpr auto kWriteTimeout = 10s;
// A request's head (request line and headers) beside its body.
constexpr std::size_t kMostHeadBytes = 64 * 1024;

// Long requests: two at a time (the machine's other cores stay for the page),
// eight waiting, each answered within its budget or refused with 503.
constexpr std::size_t kHeavyWorkers = 2;
constexpr std::size_t kMostHeavyWaiting = 8;
constexpr auto kHeavyBudget = 30s;
constexpr int kRetryWhenFull = 5;
constexpr int kRetryWhenLate = 30;

// Runs each accepted connection's hand-off at once on the accepting thread:
// the connection pool, not httplib's, decides when a connection is served.
class HandOff final : public httplib::TaskQueue {
public:
    void enqueue(std::function<void()> fn) override { fn(); }
    void shutdown() override {}
};

void copy(const Response& from, httplib::Response& to) {
    to.status = from.status;
    for (const auto& [name, value] : from.headers) to.set_header(name, value);
    to.set_content(from.body, from.content_type);
}

// Where a streamed answer's pieces go: the connection's sink while the
// connection waits for the job, nowhere once it stopped waiting (the job may
// outlive it and its sink).
struct Channel {
    std::mutex mutex;
    httplib::DataSink* sink = nullptr;

    bool write(std::string_view piece) {
        const std::lock_guard lock(mutex);
        return sink != nullptr && sink->write(piece.data(), piece.size());
    }
    void close() {
        const std::lock_guard lock(mutex);
        sink = nullptr;
    }
};

class GuardedServer final : public httplib::Server {
public:
    GuardedServer() : connections_(kConnections, [this](int sock) { serve_connection(sock); }) {}
    ~GuardedServer() override = default;
    GuardedServer(const GuardedServer&) = delete;
    GuardedServer& operator=(const GuardedServer&) = delete;

    // Set before listening; read by the request threads afterwards.
    ServerOptions core;

    void answer(const httplib::Request& in, httplib::Response& out) {
        auto request =
            std::make_shared<Request>(Request{in.method, in.path, in.body, in.get_header_value("Content-Type"),
                                              in.get_header_value("Host"), in.get_header_value("Origin")});
        Response r = respond(request);
        if (r.stream)
            stream(std::move(r), out);
        else
            copy(r, out);
    }

private:
    Response respond(const std::shared_ptr<Request>& request) {
        if (auto refused = refusal(*request, core)) return std::move(*refused);
        if (!is_heavy(*request)) return handle(*request, core);
        // The job owns the request and its answer: it may end after the caller gave up.
        auto result = std::make_shared<Response>();
        const auto job = [request, result, options = core] { *result = handle_streamed(*request, options); };
        switch (heavy_.run(job, kHeavyBudget)) {
            case WorkPool::Outcome::Done:
                return std::move(*result);
            case WorkPool::Outcome::Full:
                return busy("troppi calcoli lunghi in attesa", kRetryWhenFull);
            case WorkPool::Outcome::Late:
                break;
        }
        return busy("il calcolo non è finito entro " + std::to_string(kHeavyBudget.count()) + " s", kRetryWhenLate);
    }

    // Sends a streamed answer in chunks as its long job, run on the pool of
    // long requests, writes them; within the same budget, or its last line says why not.
    void stream(Response&& r, httplib::Response& out) {
        out.status = r.status;
        for (const auto& [name, value] : r.headers) out.set_header(name, value);
        out.set_chunked_content_provider(
            r.content_type, [this, produce = std::move(r.stream)](std::size_t, httplib::DataSink& sink) {
                auto channel = std::make_shared<Channel>();
                channel->sink = &sink;
                const auto job = [produce, channel] {
                    produce([&channel](std::string_view piece) { return channel->write(piece); });
                };
                const WorkPool::Outcome outcome = heavy_.run(job, kHeavyBudget);
                channel->close();
                if (outcome != WorkPool::Outcome::Done) {
                    const Response late =
                        outcome == WorkPool::Outcome::Full
                            ? busy("troppi calcoli lunghi in attesa", kRetryWhenFull)
                            : busy("il calcolo non è finito entro " + std::to_string(kHeavyBudget.count()) + " s",
                                   kRetryWhenLate);
                    const std::string line = late.body + "\n";
                    sink.write(line.data(), line.size());
                }
                sink.done();
                return true;
            });
    }

    // Called by httplib's accept loop for each new connection (see HandOff).
    bool process_and_close_socket(socket_t sock) override {
        if (connections_.admit(sock, peer_address(sock))) return true;
        ::close(sock);
        return false;
    }

    void serve_connection(socket_t sock) {
        ConnectionStream stream(sock, kWriteTimeout);
        const auto make_way = [this] { return connections_.others_waiting(); };
        Clock::time_point wait_until = Clock::now() + kRequestTime;
        for (std::size_t n = 1; n <= kMostRequestsPerConnection; ++n) {
            if (!stream.await_request(wait_until, n == 1 ? std::function<bool()>() : make_way)) break;
            stream.start_request(n == 1 ? wait_until : Clock::now() + kRequestTime, kMostHeadBytes + kMostBodyBytes);
            bool closed = false;
            const bool last = n == kMostRequestsPerConnection;
            if (!process_request(stream, last, closed, [](httplib::Request&) {}) || closed) break;
            wait_until = Clock::now() + kKeepAliveIdle;
        }
        ::shutdown(sock, SHUT_RDWR);
        ::close(sock);
    }

    WorkPool heavy_{kHeavyWorkers, kMostHeavyWaiting};
    ConnectionPool connections_;
};

}  // namespace

int run_server(const ServeOptions& options) {
    std::optional<std::string> module;
    try {
        if (!options.server_only) module = load_page_module(options.module);
    } catch (const Error& e) {
        std::cerr << "ferrolit serve: " << e.what() << "\n";
        return 2;
    }
    auto server = std::make_unique<GuardedServer>();
    server->new_task_queue = [] { return new HandOff; };
    // SO_REUSEADDR alone: a restarted server gets its port back at once, but
    // a second server on a port in use fails instead of sharing it (the
    // library's default adds SO_REUSEPORT). The socket is kept to widen its backlog.
    socket_t listening = INVALID_SOCKET;
    server->set_socket_options([&listening](socket_t sock) {
        const int yes = 1;
        setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        listening = sock;
    });
    server->set_payload_max_length(kMostBodyBytes);
    GuardedServer* s = server.get();
    const auto handler = [s](const httplib::Request& in, httplib::Response& out) { s->answer(in, out); };
    // Every path and method goes to the core, which knows the routes.
    const std::string any = ".*";
    server->Get(any, handler).Post(any, handler).Put(any, handler).Patch(any, handler).Delete(any, handler);
    server->Options(any, handler);
    // What httplib answers by itself (413 over the payload limit, 400 for a
    // malformed request) gets the same JSON body and headers as the core's answers.
    server->set_error_handler([](const httplib::Request&, httplib::Response& out) {
        if (!out.body.empty()) return;
        Response r;
        r.status = out.status;
        r.content_type = "application/json; charset=utf-8";
        const std::string message =
            out.status == 413 ? "richiesta troppo grande: al massimo " + std::to_string(kMostBodyBytes >> 20) + " MiB"
                              : "richiesta non valida (HTTP " + std::to_string(out.status) + ")";
        r.body = "{\"errore\":\"" + message + "\",\"chiave\":null}";
        add_policy_headers(r);
        copy(r, out);
    });
    const char* host = "127.0.0.1";
    int port = options.port;
    if (port == 0)
        port = server->bind_to_any_port(host);
    else if (!server->bind_to_port(host, port))
        port = -1;
    if (port < 0) {
        std::cerr << "ferrolit serve: impossibile ascoltare su " << host << ":" << options.port
                  << " (porta occupata o non ammessa)\n";
        return 2;
    }
    // httplib listens with a backlog of 5; listening again only widens it.
    if (listening != INVALID_SOCKET) ::listen(listening, kListenBacklog);
    server->core = {options.version, port, module ? std::string_view(*module) : std::string_view()};
    std::cout << "http://" << host << ":" << port << "/" << std::endl;
    return server->listen_after_bind() ? 0 : 2;
}

}  // namespace ferrolit::cli::serve
