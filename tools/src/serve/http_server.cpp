#include "serve/http_server.hpp"

#include <httplib.h>

#include <iostream>

#include "serve/server_core.hpp"

namespace ferrolit::cli::serve {

namespace {

// Connections served at once; further ones wait in the queue. Each
// verification takes milliseconds, so a few workers keep the page responsive
// and bound the memory and processor a burst of requests can take.
constexpr std::size_t kWorkers = 4;
constexpr time_t kTimeoutSeconds = 10;

void answer(const ServerOptions& options, const httplib::Request& in, httplib::Response& out) {
    const Response r = handle({in.method, in.path, in.body, in.get_header_value("Content-Type")}, options);
    out.status = r.status;
    for (const auto& [name, value] : r.headers) out.set_header(name, value);
    out.set_header("X-Content-Type-Options", "nosniff");
    out.set_content(r.body, r.content_type);
}

}  // namespace

int run_server(const ServeOptions& options) {
    httplib::Server server;
    server.new_task_queue = [] { return new httplib::ThreadPool(kWorkers); };
    // SO_REUSEADDR alone: a restarted server gets its port back at once, but
    // a second server on a port in use fails instead of sharing it (the
    // library's default adds SO_REUSEPORT).
    server.set_socket_options([](socket_t sock) {
        const int yes = 1;
        setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    server.set_payload_max_length(kMostBodyBytes);
    server.set_read_timeout(kTimeoutSeconds, 0);
    server.set_write_timeout(kTimeoutSeconds, 0);
    server.set_keep_alive_timeout(2);
    server.set_keep_alive_max_count(100);
    const ServerOptions core{options.version};
    const auto handler = [core](const httplib::Request& in, httplib::Response& out) { answer(core, in, out); };
    // Every path and method goes to the core, which knows the routes.
    const std::string any = ".*";
    server.Get(any, handler).Post(any, handler).Put(any, handler).Patch(any, handler).Delete(any, handler);
    server.Options(any, handler);
    // What httplib answers by itself (413 over the payload limit, 400 for a
    // malformed request) gets the same JSON body as the core's answers.
    server.set_error_handler([](const httplib::Request&, httplib::Response& out) {
        if (!out.body.empty()) return;
        const std::string message =
            out.status == 413 ? "richiesta troppo grande: al massimo " + std::to_string(kMostBodyBytes >> 20) + " MiB"
                              : "richiesta non valida (HTTP " + std::to_string(out.status) + ")";
        out.set_content("{\"errore\":\"" + message + "\",\"chiave\":null}", "application/json; charset=utf-8");
    });
    const char* host = "127.0.0.1";
    int port = options.port;
    if (port == 0)
        port = server.bind_to_any_port(host);
    else if (!server.bind_to_port(host, port))
        port = -1;
    if (port < 0) {
        std::cerr << "ferrolit serve: impossibile ascoltare su " << host << ":" << options.port
                  << " (porta occupata o non ammessa)\n";
        return 2;
    }
    std::cout << "http://" << host << ":" << port << "/" << std::endl;
    return server.listen_after_bind() ? 0 : 2;
}

}  // namespace ferrolit::cli::serve
