#pragma once

// ferrolit serve: the page and its API over HTTP on 127.0.0.1 only.

#include <string>

namespace ferrolit::cli::serve {

struct ServeOptions {
    int port = 8765;  // 0: a free port chosen by the system
    std::string version;
    // The page's WebAssembly module to serve (ferrolit.js written by make
    // web); empty: the one make web writes in this build tree, if there is one.
    std::string module;
    bool server_only = false;  // no module: the page sends all its work to the server
};

// Listens until the process ends; prints "http://127.0.0.1:PORT/" on
// standard output once it accepts connections. Returns 2 when it cannot listen.
int run_server(const ServeOptions& options);

}  // namespace ferrolit::cli::serve
