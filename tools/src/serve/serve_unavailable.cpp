// ferrolit serve where the program is built without its web server (the
// Windows build: Debian's cpp-httplib is a Linux shared library, and the
// server's socket layer is POSIX).

#include <iostream>

#include "serve/http_server.hpp"

namespace ferrolit::cli::serve {

int run_server(const ServeOptions&) {
    std::cerr << "ferrolit serve: non disponibile in questa versione del programma (Windows); "
                 "usare ferrolit verify, design e analyse, oppure ferrolit serve della versione per Linux\n";
    return 2;
}

}  // namespace ferrolit::cli::serve
